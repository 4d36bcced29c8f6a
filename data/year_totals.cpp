#include "year_totals.h"

namespace halvo {

namespace {

// The summary's labels read "$ 0.00" until their first tick; the blank is no part of an amount.
Money readBack(const QString& shown)
{
    return Money::parse(QString(shown).remove(QLatin1Char(' '))).valueOr(Money());
}

} // namespace

YearTotals::YearTotals(QObject* parent)
    : QObject(parent), incomeText_(QStringLiteral("$ 0.00")), expenseText_(QStringLiteral("$ 0.00"))
{
}

Money YearTotals::income() const { return readBack(incomeText_); }

Money YearTotals::expense() const { return readBack(expenseText_); }

void YearTotals::setShown(int year, const QString& incomeText, const QString& expenseText)
{
    if (year == year_ && incomeText == incomeText_ && expenseText == expenseText_)
        return;
    year_ = year;
    incomeText_ = incomeText;
    expenseText_ = expenseText;
    emit changed();
}

} // namespace halvo
