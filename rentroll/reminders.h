#pragma once
// What to remind the user of at login: leases that end within 60 days, and rents later than
// their grace period. Nothing when there is nothing to say.

#include "rentroll/rent_roll.h"

namespace halvo {

constexpr int LeaseEndReminderDays = 60;

// What a reminder is of, with its values; the reminders window words it.
struct Reminder {
    enum class Kind { LeaseEnds, RentLate };
    Kind kind = Kind::LeaseEnds;
    qint64 tenantId = 0;
    QString tenant;   // "First Last"
    QString property; // the nickname
    QDate day;        // the lease's end, or the day the rent left unpaid was due
    qint64 days = 0;  // until the lease ends (0: it ends today), or how late the rent is
    Money unpaid;     // a rent late: of all the rent due by today, what is not paid
};

// The leases ending first, then the rents late, the longest late first.
Result<QList<Reminder>> reminders(const Connection& connection, const QDate& today);

} // namespace halvo
