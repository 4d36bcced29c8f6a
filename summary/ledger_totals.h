#pragma once
// The current year's income and expense, the two ledger totals of the portfolio summary.

#include "data/connection.h"
#include "data/money.h"
#include "core/result.h"

namespace halvo {

struct LedgerTotals {
    Money income;
    Money expense;
    bool operator==(const LedgerTotals&) const = default;
};

// Adds up Income and Expense of the rows dated in the given year with two aggregate statements
// over that year's date range. Stored dates ("yyyy-MM-dd") sort as text in date order, so
// the range is one stretch of the index on RecDate: the cost follows the rows of that year,
// never the rows of other years. A row without a date, or without an amount, adds nothing.
Result<LedgerTotals> yearLedgerTotals(const Connection& connection, int year);
// Its statement, with the year's first day and the next year's first day as parameters.
QString yearLedgerStatement();

// The same totals found the long way: every row of the ledger is read, its date written in the
// short date form and kept when the text holds the year's four digits. The aggregate above is
// checked against this, and the benchmark measures the two side by side.
Result<LedgerTotals> walkLedgerTotals(const Connection& connection, int year);

} // namespace halvo
