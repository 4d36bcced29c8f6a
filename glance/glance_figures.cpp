#include "glance_figures.h"

namespace halvo {

namespace {

// Stored dates ("yyyy-MM-dd") sort as text in date order, so a month is the stretch from its
// first day to the next month's first day. These bounds are those of the summary's year totals:
// the twelve months of a year add up to exactly its total. After December 9999, which no date
// passes, the bound is a text after every stored date.
QString monthStart(int year, int month)
{
    if (month > 12) {
        ++year;
        month = 1;
    }
    if (year > 9999)
        return QStringLiteral("9999-12-32");
    return QStringLiteral("%1-%2-01")
        .arg(year, 4, 10, QLatin1Char('0'))
        .arg(month, 2, 10, QLatin1Char('0'));
}

// The ledger's sums by day (glance/glance_schema.cpp): the portfolio's days are kept under the
// nickname '', so that one statement serves both, each a stretch of the table's key.
const QString daySums = QStringLiteral("SELECT SUM(Income), SUM(Expense) FROM tblLedgerDay "
                                       "WHERE NickName = ? AND RecDate >= ? AND RecDate < ?");

// The sums of the rows dated from `from` up to (not including) `to`.
Result<PeriodFigures> sumsBetween(const Connection& connection, const QString& property,
                                  const QString& from, const QString& to)
{
    const Result<Rows> rows =
        connection.select(daySums, {property.isEmpty() ? QStringLiteral("") : property, from, to});
    if (!rows)
        return rows.error();
    if (rows.value().values.isEmpty())
        return PeriodFigures{};
    const QVariantList& sums = rows.value().values.first();
    const Result<Money> income = moneyFromStored(sums.value(0));
    if (!income)
        return income.error();
    const Result<Money> expense = moneyFromStored(sums.value(1));
    if (!expense)
        return expense.error();
    return PeriodFigures{income.value(), expense.value()};
}

// The year of a stored date: its first four digits.
std::optional<int> yearOf(const QVariant& date)
{
    bool isNumber = false;
    const int year = date.toString().left(4).toInt(&isNumber);
    if (!isNumber || year < 1 || year > 9999)
        return std::nullopt;
    return year;
}

} // namespace

Result<std::optional<YearSpan>> ledgerYears(const Connection& connection)
{
    // Each bound is one step into the date index. An empty date sorts before every year and a
    // NULL has none; neither counts.
    const Result<QVariant> first = connection.scalar(
        QStringLiteral("SELECT MIN(RecDate) FROM tblFinance WHERE RecDate >= ?"),
        {monthStart(1, 1)});
    if (!first)
        return first.error();
    const Result<QVariant> last = connection.scalar(
        QStringLiteral("SELECT MAX(RecDate) FROM tblFinance WHERE RecDate < ?"),
        {monthStart(9999, 13)});
    if (!last)
        return last.error();
    const std::optional<int> from = yearOf(first.value());
    const std::optional<int> to = yearOf(last.value());
    if (!from || !to || *from > *to)
        return std::optional<YearSpan>();
    return std::optional<YearSpan>(YearSpan{*from, *to});
}

Result<bool> ledgerHasRowsIn(const Connection& connection, int year)
{
    const Result<QVariant> found = connection.scalar(
        QStringLiteral("SELECT 1 FROM tblFinance WHERE RecDate >= ? AND RecDate < ? LIMIT 1"),
        {monthStart(year, 1), monthStart(year, 13)});
    if (!found)
        return found.error();
    return !found.value().isNull();
}

Result<MonthFigures> monthFigures(const Connection& connection, const QString& property, int year)
{
    MonthFigures months;
    for (int month = 1; month <= 12; ++month) {
        Result<PeriodFigures> sums = sumsBetween(connection, property, monthStart(year, month),
                                                 monthStart(year, month + 1));
        if (!sums)
            return sums.error();
        months[size_t(month - 1)] = sums.value();
    }
    return months;
}

Result<QList<YearFigures>> yearFigures(const Connection& connection, const QString& property,
                                       const YearSpan& span)
{
    QList<YearFigures> years;
    for (int year = span.first; year <= span.last; ++year) {
        Result<PeriodFigures> sums =
            sumsBetween(connection, property, monthStart(year, 1), monthStart(year, 13));
        if (!sums)
            return sums.error();
        years.append({year, sums.value()});
    }
    return years;
}

} // namespace halvo
