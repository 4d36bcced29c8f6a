#include "ledger_totals.h"

#include "data/dates.h"

#include <QDate>
#include <cmath>

namespace halvo {

namespace {

// Both totals in one pass over the year's stretch of the index on (RecDate, Income, Expense).
// Dates are written only in the stored form, so the range holds exactly the year's dates; an
// empty date sorts before every year and a NULL matches no comparison.
const QString yearTotals = QStringLiteral(
    "SELECT SUM(Income), SUM(Expense) FROM tblFinance WHERE RecDate >= ? AND RecDate < ?");
const QString wholeLedger = QStringLiteral("SELECT RecDate, Income, Expense FROM tblFinance");

// An amount as read from a money column, or a SUM of one (a count of ten-thousandths); a
// value stored as a real number is rounded to the unit; no value is 0.
Money moneyOf(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return {};
    if (value.metaType() == QMetaType::fromType<Money>())
        return value.value<Money>();
    if (value.metaType().id() == QMetaType::Double)
        return Money::fromUnits(std::llround(value.toDouble() * Money::Scale));
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
    auto rows = connection.select(yearTotals, range);
    if (!rows)
        return rows.error();
    if (rows.value().values.isEmpty())
        return LedgerTotals{};
    const QVariantList& sums = rows.value().values.first();
    return LedgerTotals{moneyOf(sums.value(0)), moneyOf(sums.value(1))};
}

QString yearLedgerStatement() { return yearTotals; }

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
