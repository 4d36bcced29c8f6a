#include "rent_roll_words.h"

#include "data/dates.h"

#include <QCoreApplication>

namespace halvo {

namespace {

struct Words {
    Q_DECLARE_TR_FUNCTIONS(RentRollWords)
};

QString leaseEnds(const QString& who, const Reminder& r)
{
    if (r.days == 0)
        return Words::tr("The lease of %1 ends today.").arg(who);
    const QString text = r.days == 1 ? Words::tr("The lease of %1 ends on %2, in %3 day.")
                                     : Words::tr("The lease of %1 ends on %2, in %3 days.");
    return text.arg(who, Dates::format(r.day, Dates::ShortDate), QString::number(r.days));
}

} // namespace

QString wording(const Reminder& r)
{
    const QString who = Words::tr("%1 (%2)").arg(r.tenant, r.property);
    switch (r.kind) {
    case Reminder::Kind::LeaseEnds: break;
    case Reminder::Kind::RentLate:
        return Words::tr("%1 is %2 days late with the rent due %3: %4 of rent unpaid.")
            .arg(who, QString::number(r.days), Dates::format(r.day, Dates::ShortDate),
                 r.unpaid.format(MoneyFormat::Bound));
    }
    return leaseEnds(who, r);
}

QString wording(RentRefusal refusal)
{
    switch (refusal) {
    case RentRefusal::TenantGone: return Words::tr("The tenant is no longer there.");
    case RentRefusal::TenantGoneNothingRecorded:
        return Words::tr("The tenant is no longer in the database; nothing was recorded.");
    case RentRefusal::AmountNotAboveZero: return Words::tr("Enter an amount above $0.00.");
    case RentRefusal::NoReasonForKeeping: break;
    }
    return Words::tr("Say why the deposit is kept.");
}

} // namespace halvo
