#pragma once
// The year's rental schedule of the US return (Schedule E, Part I) from the ledger. Each income
// and expense category goes to one line of the form or is "not on Schedule E" (loan principal,
// capital improvements, deposits held); the worksheet adds up a tax year of the ledger by
// property and line. The mapping lives in a table of its own (tblCategoryLine), so that the
// category table keeps its two columns.

#include "core/outcome.h"
#include "data/connection.h"
#include "data/money.h"

#include <QList>
#include <QMap>
#include <QString>
#include <optional>

namespace halvo {

// A category's line: a line number of the form, or this for "not on Schedule E".
constexpr int NotOnScheduleE = 0;
// Not a line of the form either: each of the year's ledger rows of such an expense category is a
// capital improvement of its property, depreciated from the row's date (tax/depreciation_assets.h)
// and so reaching line 18 over the years, never all at once.
constexpr int CapitalImprovement = 99;

struct TaxLine {
    int number = 0;
    QString caption; // "Repairs"
};

// The form's lines 3 to 21 for a tax year. The numbers have moved over the years, so the layouts
// are kept by the first year they hold for; the current one is shipped.
const QList<TaxLine>& scheduleELines(int taxYear);
// "14 Repairs"; "Not on Schedule E" for NotOnScheduleE, "Capital improvement (depreciated)" for
// CapitalImprovement; empty for a number the year has not.
QString lineCaption(int taxYear, int line);
// The lines a category of the kind may go to: income to rents and royalties, expenses to the
// lines 5 to 19 (and to capital improvements); the totals (20, 21) take no category.
QList<int> mappableLines(int taxYear, bool income);

// The line a category's name suggests, as offered for the categories a database starts with
// ("Rent" to 3, "Mortgage Interest" to 12, "Security Deposit" to not on Schedule E); none when the
// name says nothing the program knows.
std::optional<int> suggestedLine(bool income, const QString& category);

// A category's names compare as the database compares them: the ledger's and the category
// table's columns ignore the letter case of A to Z (and only of those), so "repairs" in the
// ledger is the category "Repairs".
struct CategoryKey {
    bool income = false;
    QString category;
    bool operator==(const CategoryKey& other) const
    {
        return !(*this < other) && !(other < *this);
    }
    bool operator<(const CategoryKey& other) const;
};

Result<QMap<CategoryKey, int>> loadCategoryLines(const Connection& connection);
// Sets a category's line, or takes it away with std::nullopt.
Status saveCategoryLine(const Connection& connection, const CategoryKey& key,
                        std::optional<int> line);
// Gives every category of the category table that has no line the one its name suggests; the
// lines the user chose stay. How many were given one.
Result<int> offerFirstMapping(const Connection& connection);

struct WorksheetColumn {
    QString property; // the nickname; empty for the rows kept under no property
    QString address;
    QMap<int, Money> lines; // 3 to 21; lines without an amount are missing
    // Lines 1b (the type's code, 1 to 8) and 2 (fair rental and personal use days) as entered
    // for the year (tax/rental_days.h); none where nothing was.
    std::optional<int> propertyType, fairRentalDays, personalUseDays;

    // Depreciation: line 18 holds both what the program computes from the property's assets and
    // the ledger's rows mapped to line 18; each is kept here as well, so that the worksheet can
    // warn when a year has both.
    Money computedDepreciation, ledgerDepreciation;
};

struct Worksheet {
    int year = 0;
    QList<WorksheetColumn> columns; // the properties in nickname order, the rows of none last
    // The totals over all properties as the form names them: 23a rents, 23b royalties,
    // 23c mortgage interest, 23d depreciation, 23e total expenses.
    Money rents, royalties, mortgageInterest, depreciation, totalExpenses;

    // Line A: "Did you make any payments in <year> that would require you to file Form(s)
    // 1099?", answered from the vendors paid in the year (tax/vendors_paid.h). Line B, whether
    // the forms were or will be filed, is the user's own to answer on the return.
    bool formsRequired = false;
};

// What stops a tax year, for the window to say: categories of that year without a line (the
// window offers the category editor), rows without a category, or a sum the ledger holds that is
// no amount.
struct WorksheetRefusal {
    // MileageRateUnknown: the year has trips in the mileage log and no standard mileage rate
    // (tax/mileage.h); the window asks the user for it.
    enum class Kind { CategoriesWithoutLine, RowsWithoutCategory, NotAnAmount, MileageRateUnknown };
    Kind kind = Kind::CategoriesWithoutLine;
    int year = 0;
    // Without a line: each category, in the order the ledger gives them. Not an amount: the one
    // whose income or expense it is.
    QList<CategoryKey> categories;
    QString stored; // not an amount: what the ledger holds instead
};

// A tax year of the ledger as the form's numbers.
Outcome<Worksheet, WorksheetRefusal> scheduleEWorksheet(const Connection& connection, int year);

} // namespace halvo
