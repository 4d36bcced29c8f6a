#include "ledger_totals.h"

#include "data/dates.h"

#include <QDate>

namespace halvo {

namespace {

// Only text in the stored form counts, as only a real date would in the walk.
const QString yearIncome = QStringLiteral(
    "SELECT SUM(Income) AS YearIncome FROM tblFinance WHERE RecDate >= ? AND RecDate < ? "
    "AND RecDate GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'");
const QString yearExpense = QStringLiteral(
    "SELECT SUM(Expense) AS YearExpense FROM tblFinance WHERE RecDate >= ? AND RecDate < ? "
    "AND RecDate GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'");
const QString wholeLedger = QStringLiteral("SELECT RecDate, Income, Expense FROM tblFinance");

Money moneyOf(const QVariant& value)
{
    if (value.isNull())
        return {};
    if (value.canConvert<Money>() && value.metaType() == QMetaType::fromType<Money>())
        return value.value<Money>();
    return Money::fromUnits(value.toLongLong());
}

QDate dateOf(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<QDate>())
        return value.toDate();
    return Dates::fromStored(value.toString());
}

} // namespace

Result<LedgerTotals> yearLedgerTotals(const Connection& connection, int year)
{
    const QVariantList range{Dates::toStored(QDate(year, 1, 1)),
                             Dates::toStored(QDate(year + 1, 1, 1))};
    auto income = connection.sum(yearIncome, range);
    if (!income)
        return income.error();
    auto expense = connection.sum(yearExpense, range);
    if (!expense)
        return expense.error();
    return LedgerTotals{income.value(), expense.value()};
}

Result<LedgerTotals> walkLedgerTotals(const Connection& connection, int year)
{
    auto rows = connection.select(wholeLedger);
    if (!rows)
        return rows.error();
    const QString digits = QString::number(year);
    LedgerTotals totals;
    for (const QVariantList& row : rows.value().values) {
        const QDate date = dateOf(row.value(0));
        if (!date.isValid() || !Dates::format(date, Dates::ShortDate).contains(digits))
            continue;
        totals.income += moneyOf(row.value(1));
        totals.expense += moneyOf(row.value(2));
    }
    return totals;
}

} // namespace halvo
