#include "reminders.h"

#include "data/dates.h"

#include <algorithm>

namespace halvo {

Result<QList<Reminder>> reminders(const Connection& connection, const QDate& today)
{
    Result<QList<TenantLease>> leases = loadLeases(connection);
    if (!leases)
        return leases.error();
    Result<QMap<qint64, QList<Payment>>> payments = loadPayments(connection);
    if (!payments)
        return payments.error();
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
        const QList<Payment> paid = payments.value().value(t.tenantId);
        if (!t.termsSaved && paid.isEmpty())
            continue;
        const RentAccount account = rentAccount(t.lease, paid, today);
        const auto open = std::find_if(account.charges.begin(), account.charges.end(),
                                       [](const Charge& c) { return !c.paidOn; });
        if (open == account.charges.end())
            continue;
        const qint64 daysLate = open->due.daysTo(today);
        if (daysLate <= t.lease.terms.graceDays)
            continue;
        late.append({daysLate,
                     {t.tenantId, QStringLiteral("%1 is %2 days late with the rent due %3: %4 "
                                                 "owed.")
                                      .arg(who)
                                      .arg(daysLate)
                                      .arg(Dates::format(open->due, Dates::ShortDate),
                                           account.balance().format(MoneyFormat::Bound))}});
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
