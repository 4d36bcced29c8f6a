#pragma once
// A tenant's rent as an account: the charges a lease makes, month by month, on its due day; the
// late fee of a month paid after its grace period; and the payments, each going to the oldest
// charge still open. Charges are computed from the lease, never stored, so that a rent changed
// from a date on changes the months after it only, and a payment entered late under an earlier
// date recomputes the late fee of the month it paid.

#include "data/money.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

namespace halvo {

enum class LateFee { None, Fixed, Percent, Daily };

struct RentTerms {
    int dueDay = 1; // a day past the month's end falls on its last day
    int graceDays = 0;
    LateFee lateFee = LateFee::None;
    // Fixed: the fee; Percent: the percentage of the month's rent (5 for 5 %); Daily: the fee of
    // each day late.
    Money fee;
    Money cap; // Daily: the most a month's fee comes to; zero for no cap
    // The day the lease ends when the user says so: a month-to-month lease given notice, or a
    // lease that ends before or after its period.
    std::optional<QDate> endDate;
};

// The rent was `rentBefore` until `from`, the day a change took effect.
struct RentChange {
    QDate from;
    Money rentBefore;
};

struct Lease {
    QDate start;
    QString period; // "1 year" to "5 year", "1 month", "3 month", "6 month", "month-to-month"
    Money rent;     // the rent now: since the last change, or since the start when none
    QList<RentChange> changes;
    RentTerms terms;
};

struct Payment {
    QDate date;
    Money amount;
};

// One month's rent.
struct Charge {
    QDate due;
    Money rent;
    Money lateFee;               // as it stands on the day asked about
    std::optional<QDate> paidOn; // the day the payments covered it whole
};

struct RentAccount {
    QList<Charge> charges; // every charge due on or before the day, oldest first
    Money charged, lateFees, paid;
    Money paidThisMonth; // payments dated in the day's month, up to the day
    Money balance() const { return charged + lateFees - paid; } // below zero: paid ahead
};

// The last day of the lease: its period from the start, or the end the user set; none for a
// lease that runs on (month-to-month, or with no period).
std::optional<QDate> leaseEnd(const Lease& lease);
// The rent of a charge due on the day.
Money rentOn(const Lease& lease, const QDate& day);
// The due dates from the lease start to its end or to `through`, whichever comes first.
QList<QDate> dueDates(const Lease& lease, const QDate& through);
// The oldest charge due by `day` that `paid` (all that was paid up to then) does not cover,
// since payments go to the oldest charge first; and what of the charges is left unpaid.
struct Unpaid {
    QDate due;
    Money rent; // of all the charges due by the day, less what was paid
};
std::optional<Unpaid> oldestUnpaid(const Lease& lease, const Money& paid, const QDate& day);
// The account as it stands at the end of `day`, from the payments dated up to then.
RentAccount rentAccount(const Lease& lease, QList<Payment> payments, const QDate& day);

} // namespace halvo
