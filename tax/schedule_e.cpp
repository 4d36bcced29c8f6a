#include "schedule_e.h"

#include "tax/depreciation_assets.h"
#include "tax/mileage.h"
#include "tax/vendors_paid.h"

#include <QDate>
#include <algorithm>
#include <QSet>

namespace halvo {

namespace {

struct Layout {
    int fromYear;
    QList<TaxLine> lines;
};

// The form's layouts by the first tax year they hold for, the latest last. Only the current one
// is shipped; a year before it takes it too, until an older layout is added here.
const QList<Layout>& layouts()
{
    static const QList<Layout> all{
        {0,
         {{3, QStringLiteral("Rents received")},
          {4, QStringLiteral("Royalties received")},
          {5, QStringLiteral("Advertising")},
          {6, QStringLiteral("Auto and travel")},
          {7, QStringLiteral("Cleaning and maintenance")},
          {8, QStringLiteral("Commissions")},
          {9, QStringLiteral("Insurance")},
          {10, QStringLiteral("Legal and other professional fees")},
          {11, QStringLiteral("Management fees")},
          {12, QStringLiteral("Mortgage interest paid to banks, etc.")},
          {13, QStringLiteral("Other interest")},
          {14, QStringLiteral("Repairs")},
          {15, QStringLiteral("Supplies")},
          {16, QStringLiteral("Taxes")},
          {17, QStringLiteral("Utilities")},
          {18, QStringLiteral("Depreciation expense or depletion")},
          {19, QStringLiteral("Other")},
          {20, QStringLiteral("Total expenses")},
          {21, QStringLiteral("Income or (loss)")}}},
    };
    return all;
}

constexpr int Rents = 3, Royalties = 4, FirstExpense = 5, LastExpense = 19, MortgageInterest = 12,
              Depreciation = 18, TotalExpenses = 20, IncomeOrLoss = 21;

// What a category's name says, the most particular words first: "Mortgage Interest" is interest
// paid to a bank before it is other interest, a deposit kept is rent before a deposit is held.
struct Suggestion {
    bool income;
    QStringList words; // every one of them in the name
    int line;
};

const QList<Suggestion>& suggestions()
{
    static const QList<Suggestion> all{
        {true, {"deposit", "kept"}, Rents},
        {true, {"deposit", "forfeit"}, Rents},
        {true, {"deposit"}, NotOnScheduleE},
        {true, {"royalt"}, Royalties},
        {true, {"rent"}, Rents},
        {true, {"late fee"}, Rents},
        {false, {"deposit"}, NotOnScheduleE},
        {false, {"principal"}, NotOnScheduleE},
        {false, {"improvement"}, NotOnScheduleE},
        {false, {"capital"}, NotOnScheduleE},
        {false, {"mortgage", "interest"}, MortgageInterest},
        {false, {"interest"}, 13},
        {false, {"advertis"}, 5},
        {false, {"auto"}, 6},
        {false, {"travel"}, 6},
        {false, {"mileage"}, 6},
        {false, {"clean"}, 7},
        {false, {"maintenance"}, 7},
        {false, {"commission"}, 8},
        {false, {"insurance"}, 9},
        {false, {"legal"}, 10},
        {false, {"accounting"}, 10},
        {false, {"professional"}, 10},
        {false, {"management"}, 11},
        {false, {"repair"}, 14},
        {false, {"suppl"}, 15},
        {false, {"tax"}, 16},
        {false, {"utilit"}, 17},
        {false, {"water"}, 17},
        {false, {"electric"}, 17},
        {false, {"gas"}, 17},
        {false, {"sewer"}, 17},
        {false, {"trash"}, 17},
        {false, {"depreciation"}, Depreciation},
        {false, {"other"}, 19},
    };
    return all;
}

QString kindName(bool income)
{
    return income ? QStringLiteral("Income") : QStringLiteral("Expense");
}

} // namespace

const QList<TaxLine>& scheduleELines(int taxYear)
{
    const Layout* chosen = &layouts().first();
    for (const Layout& layout : layouts())
        if (layout.fromYear <= taxYear)
            chosen = &layout;
    return chosen->lines;
}

QString lineCaption(int taxYear, int line)
{
    if (line == NotOnScheduleE)
        return QStringLiteral("Not on Schedule E");
    if (line == CapitalImprovement)
        return QStringLiteral("Capital improvement (depreciated)");
    for (const TaxLine& l : scheduleELines(taxYear))
        if (l.number == line)
            return QStringLiteral("%1 %2").arg(l.number).arg(l.caption);
    return {};
}

QList<int> mappableLines(int taxYear, bool income)
{
    QList<int> lines{NotOnScheduleE};
    if (!income)
        lines.append(CapitalImprovement);
    for (const TaxLine& l : scheduleELines(taxYear))
        if (income ? (l.number == Rents || l.number == Royalties)
                   : (l.number >= FirstExpense && l.number <= LastExpense))
            lines.append(l.number);
    return lines;
}

std::optional<int> suggestedLine(bool income, const QString& category)
{
    const QString name = category.toLower();
    for (const Suggestion& s : suggestions()) {
        if (s.income != income)
            continue;
        if (std::all_of(s.words.cbegin(), s.words.cend(),
                        [&](const QString& w) { return name.contains(w); }))
            return s.line;
    }
    return std::nullopt;
}

bool CategoryKey::operator<(const CategoryKey& other) const
{
    if (income != other.income)
        return income < other.income;
    // As the engine's NOCASE collation: A to Z folded to a to z, every other character as it is.
    const auto fold = [](QChar c) {
        return c.unicode() >= 'A' && c.unicode() <= 'Z' ? QChar(c.unicode() + ('a' - 'A')) : c;
    };
    return std::lexicographical_compare(category.cbegin(), category.cend(),
                                        other.category.cbegin(), other.category.cend(),
                                        [&](QChar a, QChar b) { return fold(a) < fold(b); });
}

Result<QMap<CategoryKey, int>> loadCategoryLines(const Connection& connection)
{
    Result<Rows> rows =
        connection.select(QStringLiteral("SELECT Kind, Category, Line FROM tblCategoryLine"));
    if (!rows)
        return rows.error();
    QMap<CategoryKey, int> lines;
    for (const QVariantList& r : rows.value().values)
        lines.insert({r[0].toString() == kindName(true), r[1].toString()}, r[2].toInt());
    return lines;
}

namespace {

// The write itself, in a file whose table is there.
Status writeCategoryLine(const Connection& connection, const CategoryKey& key,
                         std::optional<int> line)
{
    // The table's own column tells letter case apart; the category it names does not, so the
    // line a category had under another case goes first.
    const QVariantList which{kindName(key.income), key.category};
    Transaction work(connection);
    if (!work.status())
        return work.status();
    Result<int> done = connection.execute(
        QStringLiteral("DELETE FROM tblCategoryLine WHERE Kind = ? AND Category = ? COLLATE NOCASE"),
        which);
    if (done && line)
        done = connection.execute(QStringLiteral("INSERT INTO tblCategoryLine (Kind, Category, "
                                                 "Line) VALUES (?, ?, ?)"),
                                  which + QVariantList{*line});
    if (!done)
        return done.error();
    return work.commit();
}

} // namespace

Status saveCategoryLine(const Connection& connection, const CategoryKey& key,
                        std::optional<int> line)
{
    return writeCategoryLine(connection, key, line);
}

Result<int> offerFirstMapping(const Connection& connection)
{
    Result<QMap<CategoryKey, int>> lines = loadCategoryLines(connection);
    if (!lines)
        return lines.error();
    Result<Rows> categories =
        connection.select(QStringLiteral("SELECT Income, Expense FROM tblCategory"));
    if (!categories)
        return categories.error();
    Transaction work(connection);
    if (!work.status())
        return work.status().error();
    int given = 0;
    for (const QVariantList& r : categories.value().values) {
        for (bool income : {true, false}) {
            const CategoryKey key{income, r[income ? 0 : 1].toString()};
            if (key.category.isEmpty() || lines.value().contains(key))
                continue;
            if (std::optional<int> line = suggestedLine(income, key.category)) {
                if (Status saved = writeCategoryLine(connection, key, line); !saved)
                    return saved.error();
                lines.value().insert(key, *line);
                ++given;
            }
        }
    }
    if (Status committed = work.commit(); !committed)
        return committed.error();
    return given;
}

namespace {

using Columns = QMap<QString, WorksheetColumn>;

// The year's sums (property, category, income, expense) by property and line; or what stops the
// year: a category without a line stops it only once every such category is known, so that the
// user can give them all their lines at once.
Outcome<Columns, WorksheetRefusal> columnsOf(const Rows& sums, const QMap<CategoryKey, int>& lines,
                                             const QMap<QString, QString>& addressOf, int year)
{
    using Kind = WorksheetRefusal::Kind;
    Columns columns;
    WorksheetRefusal unmapped{Kind::CategoriesWithoutLine, year, {}, {}};
    bool uncategorised = false;
    for (const QVariantList& r : sums.values) {
        const QString property = r[0].toString();
        const QString category = r[1].toString();
        for (bool income : {true, false}) {
            const Result<Money> summed = moneyFromStored(r[income ? 2 : 3]);
            if (!summed)
                return WorksheetRefusal{Kind::NotAnAmount, year, {{income, category}},
                                        r[income ? 2 : 3].toString()};
            const Money amount = summed.value();
            if (amount.isZero())
                continue;
            if (category.isEmpty()) {
                uncategorised = true;
                continue;
            }
            const auto line = lines.constFind({income, category});
            if (line == lines.constEnd()) {
                // Each category once, as the ledger writes it.
                if (std::none_of(unmapped.categories.cbegin(), unmapped.categories.cend(),
                                 [&](const CategoryKey& k) {
                                     return k.income == income && k.category == category;
                                 }))
                    unmapped.categories.append({income, category});
                continue;
            }
            WorksheetColumn& column = columns[property];
            column.property = property;
            column.address = addressOf.value(property);
            if (*line != NotOnScheduleE && *line != CapitalImprovement)
                column.lines[*line] += amount;
        }
    }
    if (!unmapped.categories.isEmpty())
        return unmapped;
    if (uncategorised)
        return WorksheetRefusal{Kind::RowsWithoutCategory, year, {}, {}};
    return columns;
}

// The columns' totals, and the form's totals over all of them.
Worksheet totalled(int year, Columns columns)
{
    Worksheet sheet;
    sheet.year = year;
    for (WorksheetColumn& column : columns) {
        Money expenses;
        for (int line = FirstExpense; line <= LastExpense; ++line)
            expenses += column.lines.value(line);
        column.lines[TotalExpenses] = expenses;
        column.lines[IncomeOrLoss] =
            column.lines.value(Rents) + column.lines.value(Royalties) - expenses;
        sheet.rents += column.lines.value(Rents);
        sheet.royalties += column.lines.value(Royalties);
        sheet.mortgageInterest += column.lines.value(MortgageInterest);
        sheet.depreciation += column.lines.value(Depreciation);
        sheet.totalExpenses += expenses;
    }
    // The properties in nickname order (the map's), the rows kept under none after them.
    for (const WorksheetColumn& column : std::as_const(columns))
        if (!column.property.isEmpty())
            sheet.columns.append(column);
    if (columns.contains(QString()))
        sheet.columns.append(columns.value(QString()));
    return sheet;
}

} // namespace

Outcome<Worksheet, WorksheetRefusal> scheduleEWorksheet(const Connection& connection, int year)
{
    Result<QMap<CategoryKey, int>> lines = loadCategoryLines(connection);
    if (!lines)
        return lines.error();
    Result<Rows> addresses = connection.select(
        QStringLiteral("SELECT BldNickName, BldPropAddress FROM tblBuilding"));
    if (!addresses)
        return addresses.error();
    QMap<QString, QString> addressOf;
    for (const QVariantList& r : addresses.value().values)
        addressOf.insert(r[0].toString(), r[1].toString());

    // The year's sums by property and category; the date index bounds the walk to the year.
    Result<Rows> sums = connection.select(
        QStringLiteral("SELECT COALESCE(NickName, ''), COALESCE(Category, ''), SUM(Income), "
                       "SUM(Expense) FROM tblFinance WHERE RecDate >= ? AND RecDate < ? "
                       "GROUP BY 1, 2 ORDER BY 1"),
        {QDate(year, 1, 1), QDate(year + 1, 1, 1)});
    if (!sums)
        return sums.error();
    Outcome<Columns, WorksheetRefusal> columns =
        columnsOf(sums.value(), lines.value(), addressOf, year);
    if (columns) // line 6's mileage, lines 1b and 2 (tax/mileage.cpp)
        columns = withTripsAndDays(connection, year, std::move(columns).value(), addressOf);
    if (columns.refused())
        return columns.refusal();
    if (!columns)
        return columns.error();
    // line 18's computed depreciation (tax/depreciation_assets.cpp)
    if (Status added = addComputedDepreciation(connection, year, columns.value(), addressOf); !added)
        return added.error();
    Worksheet sheet = totalled(year, std::move(columns).value());
    // line A (tax/vendors_paid.cpp)
    if (Status lineA = answerLineA(connection, sheet); !lineA)
        return lineA.error();
    return sheet;
}

} // namespace halvo
