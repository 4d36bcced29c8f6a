#include "reminders.h"

#include "data/dates.h"

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
    struct Dated {
        qint64 days;
        Reminder reminder;
    };
    QList<Dated> ending, late;
    for (const TenantLease& t : leases.value()) {
        const QString who = QStringLiteral("%1 (%2)").arg(t.tenant, t.property);
        if (const std::optional<QDate> end = leaseEnd(t.lease)) {
            const qint64 days = today.daysTo(*end);
            if (days >= 0 && days <= LeaseEndReminderDays)
                ending.append({days,
                               {t.tenantId,
                                days == 0 ? QStringLiteral("The lease of %1 ends today.").arg(who)
                                          : QStringLiteral("The lease of %1 ends on %2, in %3 %4.")
                                                .arg(who, Dates::format(*end, Dates::ShortDate))
                                                .arg(days)
                                                .arg(days == 1 ? QStringLiteral("day")
                                                               : QStringLiteral("days"))}});
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
        late.append({daysLate,
                     {t.tenantId, QStringLiteral("%1 is %2 days late with the rent due %3: %4 "
                                                 "of rent unpaid.")
                                      .arg(who)
                                      .arg(daysLate)
                                      .arg(Dates::format(open->due, Dates::ShortDate),
                                           open->rent.format(MoneyFormat::Bound))}});
    }
    std::stable_sort(ending.begin(), ending.end(),
                     [](const Dated& a, const Dated& b) { return a.days < b.days; });
    std::stable_sort(late.begin(), late.end(),
                     [](const Dated& a, const Dated& b) { return a.days > b.days; });
    QList<Reminder> all;
    for (const QList<Dated>* list : {&ending, &late})
        for (const Dated& d : *list)
            all.append(d.reminder);
    return all;
}

} // namespace halvo
