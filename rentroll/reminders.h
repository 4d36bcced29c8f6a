#pragma once
// What to remind the user of at login: leases that end within 60 days, and rents later than
// their grace period. Nothing when there is nothing to say.

#include "rentroll/rent_roll.h"

namespace halvo {

constexpr int LeaseEndReminderDays = 60;

struct Reminder {
    qint64 tenantId = 0;
    QString text;
};

// The leases ending first, then the rents late, the longest late first.
Result<QList<Reminder>> reminders(const Connection& connection, const QDate& today);

} // namespace halvo
