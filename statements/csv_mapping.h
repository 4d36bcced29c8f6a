#pragma once
// How the columns of one bank's CSV files are read: which column holds the date, the payee and
// the amounts, how dates and amounts are written. A mapping is saved by its name, which stands
// for the bank account, and read back for the next file from the same bank.

#include "csv_reader.h"
#include "statement.h"

#include <QChar>
#include <QString>
#include <optional>

namespace halvo {

enum class DateOrder { Unset, DayMonthYear, MonthDayYear, YearMonthDay };

// Where the sign of an amount comes from: the amount itself (negative is money out), a column of
// money out beside a column of money in, or a column that says which of the two the amount is.
enum class AmountStyle { Signed, DebitCredit, AmountAndSign };

struct CsvMapping {
    QString name;
    QString encoding = QStringLiteral("UTF-8");
    QChar delimiter = u',';
    QChar decimalMark = u'.';
    int headerRows = 1;
    DateOrder dateOrder = DateOrder::Unset;
    AmountStyle amounts = AmountStyle::Signed;
    bool moneyOutPositive = false; // Signed: money out written positive, as on card statements
    // 0-based columns; -1 where the file has none.
    int dateColumn = -1, payeeColumn = -1, memoColumn = -1, amountColumn = -1, debitColumn = -1,
        creditColumn = -1, signColumn = -1, numberColumn = -1;

    // One "key=value" line for each setting, in a fixed order, as the database keeps it.
    QString toText() const;
    // Unknown keys are passed over (a mapping saved by a later version); a value that cannot be
    // is an error naming it.
    static Result<CsvMapping> fromText(const QString& text);

    bool operator==(const CsvMapping&) const = default;
};

// The one date order that every date in the mapping's date column (after the header rows)
// fits; Unset when several fit (every day is 12 or less) or none does: the user chooses then.
DateOrder dateOrderOf(const QList<CsvRow>& rows, const CsvMapping& mapping);

// A date of the file that reads as one day in the mapping's date order and as another in an
// order that fits every date of the file as well ("03/04/2026": March 4 or April 3).
struct DateOfBothWays {
    QString written; // as the file writes it
    QDate read;      // as the mapping's order reads it
};

// The first date of the file that reads both ways, for the user to be told which way the
// mapping reads it; none when the dates tell their order, or every order reads them alike.
std::optional<DateOfBothWays> dateOfBothWays(const QList<CsvRow>& rows, const CsvMapping& mapping);

// The statement the rows make: one line for each row after the header rows. Any row that does
// not read makes the whole of it an error naming the row's line and what it holds.
Result<Statement> applyMapping(const QList<CsvRow>& rows, const CsvMapping& mapping);

} // namespace halvo
