#pragma once
// The worksheet on paper and in a CSV file. On paper the properties stand three to a page in
// columns A, B and C, as on the form: a row for each of the lines 3 to 21 on every page, the
// totals over all properties (23a to 23e) after the last page's lines. The CSV file has a
// column for every property and one for all of them.

#include "core/result.h"
#include "data/row_source.h"
#include "tax/schedule_e.h"

#include <QString>

namespace halvo {

constexpr int PropertiesOnAPage = 3;

// The name a worksheet column goes by: the nickname, or "(No property)" for the rows kept
// under none.
QString worksheetColumnName(const WorksheetColumn& column);

// The totals the form names on line 23, as "23a", the caption, the amount.
struct WorksheetTotal {
    QString line;
    QString caption;
    Money amount;
};
QList<WorksheetTotal> worksheetTotals(const Worksheet& sheet);

// The report's rows: one for each line of the year's layout on each page, the page's number in
// Page (which begins a new page when it changes); the page's properties in LetterA, NameA,
// AddressA and the like for B and C; Line ("3"), Caption ("Rents received"), AmountA to AmountC
// (empty where the property has no amount); the totals of line 23 in Total23a to Total23e, and
// their captions in Caption23a to Caption23e, on every row; line A's question and answer in
// QuestionA and AnswerA, on every row. Before the lines of a page, lines 1b and 2 (type of
// property, fair rental days, personal use days) with the page's entries as text in TextA to
// TextC. After a page's lines, a row for each of its properties whose line 18 holds both computed
// depreciation and ledger rows, with the warning in Notice. No row for a year with no columns.
MemoryRows worksheetRows(const Worksheet& sheet);

// The CSV file's rows: "Line", "Description", each column's name, "All Properties"; the
// addresses; lines 1b and 2 (type of property, fair rental days, personal use days); a row for
// each line 3 to 21; then the totals of line 23 under "All Properties"; then a "Note" row for
// each property whose line 18 holds both kinds of depreciation; then line A ("A", its question,
// its answer under "All Properties").
QList<QVariantList> worksheetTable(const Worksheet& sheet);
Status writeWorksheetCsv(const Worksheet& sheet, const QString& path);

} // namespace halvo
