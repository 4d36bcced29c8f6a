#include "rent_account.h"

#include <QRegularExpression>
#include <algorithm>

namespace halvo {

namespace {

QDate dueIn(int year, int month, int dueDay)
{
    const QDate first(year, month, 1);
    return QDate(year, month, std::min(std::max(dueDay, 1), first.daysInMonth()));
}

// A percentage of an amount, to the cent.
Money percentOf(const Money& amount, const Money& percent)
{
    const __int128 units = static_cast<__int128>(amount.units()) * percent.units()
                           / (100 * Money::Scale);
    return Money::fromUnits(static_cast<std::int64_t>(units)).roundedToCents();
}

Money lateFee(const RentTerms& terms, const Money& rent, qint64 daysLate)
{
    if (daysLate <= 0)
        return {};
    switch (terms.lateFee) {
    case LateFee::None: return {};
    case LateFee::Fixed: return terms.fee;
    case LateFee::Percent: return percentOf(rent, terms.fee);
    case LateFee::Daily: {
        const Money fee = Money::fromUnits(terms.fee.units() * daysLate);
        return terms.cap.isZero() || fee < terms.cap ? fee : terms.cap;
    }
    }
    return {};
}

} // namespace

std::optional<QDate> leaseEnd(const Lease& lease)
{
    if (lease.terms.endDate)
        return lease.terms.endDate;
    static const QRegularExpression term(QStringLiteral("^\\s*(\\d+)\\s*(year|month)\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = term.match(lease.period);
    if (!m.hasMatch() || !lease.start.isValid())
        return std::nullopt;
    const int n = m.captured(1).toInt();
    const bool years = m.captured(2).compare(QLatin1String("year"), Qt::CaseInsensitive) == 0;
    return (years ? lease.start.addYears(n) : lease.start.addMonths(n)).addDays(-1);
}

Money rentOn(const Lease& lease, const QDate& day)
{
    // The rent until the first change after the day; the rent now when none comes after it.
    const RentChange* next = nullptr;
    for (const RentChange& c : lease.changes)
        if (c.from > day && (!next || c.from < next->from))
            next = &c;
    return next ? next->rentBefore : lease.rent;
}

QList<QDate> dueDates(const Lease& lease, const QDate& through)
{
    QList<QDate> dates;
    if (!lease.start.isValid() || !through.isValid())
        return dates;
    QDate last = through;
    if (const std::optional<QDate> end = leaseEnd(lease); end && *end < last)
        last = *end;
    for (QDate month(lease.start.year(), lease.start.month(), 1); month <= last;
         month = month.addMonths(1)) {
        const QDate due = dueIn(month.year(), month.month(), lease.terms.dueDay);
        if (due >= lease.start && due <= last)
            dates.append(due);
    }
    return dates;
}

std::optional<Unpaid> oldestUnpaid(const Lease& lease, const Money& paid, const QDate& day)
{
    // The account's own walk, with all that was paid as one payment of the day, so that the two
    // can never disagree on which charge is the oldest open.
    const RentAccount account = rentAccount(lease, {Payment{day, paid}}, day);
    for (const Charge& c : account.charges)
        if (!c.paidOn && !c.rent.isZero())
            return Unpaid{c.due, account.charged - account.paid};
    return std::nullopt;
}

RentAccount rentAccount(const Lease& lease, QList<Payment> payments, const QDate& day)
{
    RentAccount account;
    payments.erase(std::remove_if(payments.begin(), payments.end(),
                                  [&](const Payment& p) { return p.date > day; }),
                   payments.end());
    std::stable_sort(payments.begin(), payments.end(),
                     [](const Payment& a, const Payment& b) { return a.date < b.date; });
    for (const QDate& due : dueDates(lease, day))
        account.charges.append(Charge{due, rentOn(lease, due), {}, std::nullopt});

    // The payments in date order, each to the oldest charge still open: a charge is paid on the
    // day of the payment that covers what is left of it.
    qsizetype open = 0;
    Money leftOfCharge = account.charges.isEmpty() ? Money() : account.charges.first().rent;
    for (const Payment& p : payments) {
        account.paid += p.amount;
        if (p.date.year() == day.year() && p.date.month() == day.month())
            account.paidThisMonth += p.amount;
        Money left = p.amount;
        while (open < account.charges.size() && left > Money()) {
            const Money used = std::min(left, leftOfCharge);
            left -= used;
            leftOfCharge -= used;
            if (!leftOfCharge.isNegative() && leftOfCharge.isZero()) {
                account.charges[open].paidOn = p.date;
                if (++open < account.charges.size())
                    leftOfCharge = account.charges[open].rent;
            }
        }
    }
    for (Charge& c : account.charges) {
        account.charged += c.rent;
        // Late from the day after the grace period until the day it was paid, or until today.
        const QDate lastOnTime = c.due.addDays(lease.terms.graceDays);
        const QDate until = c.paidOn ? *c.paidOn : day;
        c.lateFee = lateFee(lease.terms, c.rent, lastOnTime.daysTo(until));
        account.lateFees += c.lateFee;
    }
    return account;
}

} // namespace halvo
