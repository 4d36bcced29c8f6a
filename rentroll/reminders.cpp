#include "reminders.h"

#include <QHash>
#include <algorithm>

namespace halvo {

Result<QList<Reminder>> reminders(const Connection& connection, const QDate& today)
{
    Result<QList<TenantLease>> leases = loadLeases(connection);
    if (!leases)
        return leases.error();
    // What each tenant has paid up to today, added up by the database: payments go to the
    // oldest charge first, so the total says which charge is the oldest still open.
    Result<Rows> paidRows = connection.select(
        QStringLiteral("SELECT TenantID, SUM(Amount) FROM tblRentPayment WHERE RecDate <= ? "
                       "GROUP BY TenantID"),
        {today});
    if (!paidRows)
        return paidRows.error();
    QHash<qint64, Money> paidBy;
    for (const QVariantList& r : paidRows.value().values)
        paidBy.insert(r[0].toLongLong(), moneyFromStored(r[1]).valueOr(Money()));
    QList<Reminder> ending, late;
    for (const TenantLease& t : leases.value()) {
        if (const std::optional<QDate> end = leaseEnd(t.lease)) {
            const qint64 days = today.daysTo(*end);
            if (days >= 0 && days <= LeaseEndReminderDays)
                ending.append({Reminder::Kind::LeaseEnds, t.tenantId, t.tenant, t.property, *end,
                               days, Money()});
        }
        // Rent is followed only for the tenants whose rent the user keeps here: with terms given
        // or a payment named. A file kept before the rent roll would otherwise say that every
        // tenant owes every month since the lease began.
        if (!t.termsSaved && !paidBy.contains(t.tenantId))
            continue;
        const std::optional<Unpaid> open = oldestUnpaid(t.lease, paidBy.value(t.tenantId), today);
        if (!open)
            continue;
        const qint64 daysLate = open->due.daysTo(today);
        if (daysLate <= t.lease.terms.graceDays)
            continue;
        late.append({Reminder::Kind::RentLate, t.tenantId, t.tenant, t.property, open->due,
                     daysLate, open->rent});
    }
    std::stable_sort(ending.begin(), ending.end(),
                     [](const Reminder& a, const Reminder& b) { return a.days < b.days; });
    std::stable_sort(late.begin(), late.end(),
                     [](const Reminder& a, const Reminder& b) { return a.days > b.days; });
    return ending + late;
}

} // namespace halvo
