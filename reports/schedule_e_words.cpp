#include "schedule_e_words.h"

#include <QCoreApplication>

namespace halvo {

namespace {

struct Words {
    Q_DECLARE_TR_FUNCTIONS(ScheduleEWords)
};

// "\"Pest Control\" (expense), \"Bank Fees\" (expense)"
QString named(const QList<CategoryKey>& categories)
{
    QStringList names;
    for (const CategoryKey& c : categories)
        names << (c.income ? Words::tr("\"%1\" (income)") : Words::tr("\"%1\" (expense)"))
                     .arg(c.category);
    return names.join(QStringLiteral(", "));
}

QString withoutLine(const WorksheetRefusal& r)
{
    const QString text = r.categories.size() == 1
                             ? Words::tr("The category %1 of %2 has no Schedule E line: give it "
                                         "one in the category editor.")
                             : Words::tr("The categories %1 of %2 have no Schedule E line: give "
                                         "them one in the category editor.");
    return text.arg(named(r.categories), QString::number(r.year));
}

QString notAnAmount(const WorksheetRefusal& r)
{
    const CategoryKey which = r.categories.value(0);
    const QString text =
        which.income ? Words::tr("The income of \"%1\" in %2 is not an amount: %3")
                     : Words::tr("The expense of \"%1\" in %2 is not an amount: %3");
    return text.arg(which.category, QString::number(r.year), r.stored);
}

} // namespace

QString wording(const WorksheetRefusal& r)
{
    switch (r.kind) {
    case WorksheetRefusal::Kind::CategoriesWithoutLine: return withoutLine(r);
    case WorksheetRefusal::Kind::NotAnAmount: return notAnAmount(r);
    case WorksheetRefusal::Kind::MileageRateUnknown:
        return Words::tr("HALVO does not know the standard mileage rate of %1.").arg(r.year);
    case WorksheetRefusal::Kind::RowsWithoutCategory: break;
    }
    return Words::tr("Ledger rows of %1 have no category, so they cannot go on Schedule E: give "
                     "each one a category.")
        .arg(r.year);
}

} // namespace halvo
