#pragma once
// The figures of the year at a glance, read from the ledger: for one property (by nickname) or
// for the whole portfolio, the income and expense of each month of a year, and the income,
// expense and profit of every year the ledger holds. Money is exact, as the ledger keeps it;
// the window rounds it to the cent only to show it.
//
// Each figure is a sum over one stretch of dates, read from the ledger's sums by day
// (glance/glance_schema.cpp) rather than from its rows: a year is at most 366 rows of that
// table's key, for the portfolio or a property, however many rows the ledger holds. The years'
// bounds are one step each into the ledger's date index.

#include "data/connection.h"
#include "data/money.h"
#include "core/result.h"

#include <QList>
#include <QString>
#include <array>
#include <optional>

namespace halvo {

struct PeriodFigures {
    Money income;
    Money expense;
    Money profit() const { return income - expense; }
    bool operator==(const PeriodFigures&) const = default;
};

using MonthFigures = std::array<PeriodFigures, 12>; // January first

struct YearFigures {
    int year = 0;
    PeriodFigures figures;
    bool operator==(const YearFigures&) const = default;
};

// The years the ledger holds: from the year of its earliest dated row to that of its latest,
// every year between included, whether it has rows or not.
struct YearSpan {
    int first = 0;
    int last = 0;
    bool operator==(const YearSpan&) const = default;
};

// Over the whole ledger, whichever property a row is kept under (or none); none when no row has
// a date.
Result<std::optional<YearSpan>> ledgerYears(const Connection& connection);

// Whether any row of the ledger is dated in the year.
Result<bool> ledgerHasRowsIn(const Connection& connection, int year);

// The months of a year, for a property, or for the portfolio when `property` is empty (every
// row, those kept under no property among them). A property is named as the ledger names it.
Result<MonthFigures> monthFigures(const Connection& connection, const QString& property, int year);

// Each year of the span, oldest first, for a property or (empty) the portfolio.
Result<QList<YearFigures>> yearFigures(const Connection& connection, const QString& property,
                                       const YearSpan& span);

} // namespace halvo
