#include "ledger_totals.h"

#include "data/dates.h"
#include "data/statements.h"

#include <QDate>

namespace halvo {

namespace {

// An amount as read from a money column, or a SUM of one; no value, and a value that is no
// amount, adds nothing.
Money moneyOf(const QVariant& value) { return moneyFromStored(value).valueOr(Money()); }

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
    auto rows = connection.select(Statements::YearLedgerTotals, range);
    if (!rows)
        return rows.error();
    if (rows.value().values.isEmpty())
        return LedgerTotals{};
    const QVariantList& sums = rows.value().values.first();
    return LedgerTotals{moneyOf(sums.value(0)), moneyOf(sums.value(1))};
}

QString yearLedgerStatement() { return Statements::YearLedgerTotals; }

Result<LedgerTotals> walkLedgerTotals(const Connection& connection, int year)
{
    auto rows = connection.select(Statements::LedgerDatesAndAmounts);
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
