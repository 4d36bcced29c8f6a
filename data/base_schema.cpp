#include "base_schema.h"

#include "row_source.h"

namespace halvo {

namespace {

struct ColumnDef {
    const char* name;
    ColumnKind kind;
    const char* extra = "";
};

struct TableDef {
    const char* name;
    std::vector<ColumnDef> columns; // after the ID counter every table starts with
};

constexpr ColumnKind Text = ColumnKind::Text;
constexpr ColumnKind Number = ColumnKind::Real;
constexpr ColumnKind Cash = ColumnKind::Money;
constexpr ColumnKind Date = ColumnKind::Date;
constexpr ColumnKind Time = ColumnKind::Time;

const std::vector<TableDef>& tables()
{
    static const std::vector<TableDef> defs = {
        {"tblBuilding",
         {{"BldNickName", Text}, {"BldPropAddress", Text}, {"BldPropertyType", Text},
          {"BldNoOfUnits", Number}, {"BldNoOfBedRooms", Number}, {"BldNoOfBaths", Number},
          {"BldPurchaseDate", Date}, {"BldPurchasePrice", Cash}, {"BldImage", Text},
          {"BldFirstName", Text}, {"BldLastName", Text}, {"BldAddress", Text}, {"BldCity", Text},
          {"BldState", Text}, {"BldPostalCode", Text}, {"BldHomePhone", Text},
          {"BldWorkPhone", Text}, {"BldMobilPhone", Text}, {"BldEmail", Text},
          {"BldPropID", Text}}},
        {"tblTenant",
         {{"Nickname", Text}, {"Building", Text}, {"FirstName", Text}, {"MiddleInitial", Text},
          {"LastName", Text}, {"Address", Text}, {"TenantCity", Text}, {"TenantState", Text},
          {"TenantPostalCode", Text}, {"HomePhone", Text}, {"WorkPhone", Text},
          {"MobilPhone", Text}, {"Email", Text}, {"Occupancy", Number},
          {"LeaseStartDate", Date}, {"LeasePeriod", Text}, {"MonthlyRentAmt", Cash},
          {"DepAmt", Cash}, {"DepPaidDate", Date}, {"Company", Text}, {"ManagementIDNo", Text},
          {"ManagementPercent", Number}, {"ManagementFee", Cash}}},
        {"tblLoan",
         {{"NickName", Text}, {"LoanInfo", Text}, {"LoanAddress", Text}, {"City", Text},
          {"State", Text}, {"PostalCode", Text}, {"LoanContact", Text},
          {"LoanContactPhone", Text}, {"Email", Text}, {"WebSite", Text}, {"LoanNo", Text},
          {"LoanType", Text}, {"LoanDate", Date}, {"IntRate", Number}, {"LoanAmt", Cash},
          {"Mortgage", Cash}, {"Value", Cash}, {"Equity", Cash}}},
        {"tblInsurance",
         {{"Nickname", Text}, {"InsuranceInfo", Text}, {"InsAddress", Text}, {"City", Text},
          {"State", Text}, {"PostalCode", Text}, {"InsContact", Text}, {"InsContactPhone", Text},
          {"Fax", Text}, {"Email", Text}, {"WebSite", Text}, {"InsPolicyNo", Text},
          {"InsType", Text}, {"InsDate", Date}, {"HomeOwnersIns", Cash}}},
        {"tblVendor",
         {{"Company", Text}, {"FirstName", Text}, {"MiddleInitial", Text}, {"LastName", Text},
          {"Address", Text}, {"City", Text}, {"State", Text}, {"PostalCode", Text},
          {"HomePhone", Text}, {"WorkPhone", Text}, {"MobilPhone", Text}, {"Fax", Text},
          {"Email", Text}, {"WebSite", Text}}},
        {"tblCategory", {{"Income", Text}, {"Expense", Text}}},
        // Each entry window writes only its own amount; the other stays 0.
        {"tblFinance",
         {{"NickName", Text}, {"RecDate", Date}, {"CheckNo", Text}, {"Payee", Text},
          {"Category", Text}, {"Memo", Text}, {"Income", Cash, "DEFAULT 0"},
          {"Expense", Cash, "DEFAULT 0"}}},
        // The notes editor reads these columns by position: their order is fixed.
        {"tblNotes",
         {{"NoteDate", Date}, {"NoteTime", Time}, {"NickName", Text}, {"Notes", Text}}},
        {"tblUser", {{"Password", Text}}},
    };
    return defs;
}

// Indexes for the orders the windows list records in, the pickers, and the year's ledger totals
// (which the date index answers without reading the rows).
const char* const indexes = R"(
CREATE INDEX IF NOT EXISTS idxBuildingNickName ON tblBuilding(BldNickName);
CREATE INDEX IF NOT EXISTS idxBuildingLastName ON tblBuilding(BldLastName);
CREATE INDEX IF NOT EXISTS idxTenantNickname ON tblTenant(Nickname);
CREATE INDEX IF NOT EXISTS idxLoanNickName ON tblLoan(NickName);
CREATE INDEX IF NOT EXISTS idxInsuranceNickname ON tblInsurance(Nickname);
CREATE INDEX IF NOT EXISTS idxVendorCompany ON tblVendor(Company);
CREATE INDEX IF NOT EXISTS idxCategoryIncome ON tblCategory(Income);
CREATE INDEX IF NOT EXISTS idxCategoryExpense ON tblCategory(Expense);
CREATE INDEX IF NOT EXISTS idxFinanceRecDate ON tblFinance(RecDate, Income, Expense);
CREATE INDEX IF NOT EXISTS idxFinanceNickName ON tblFinance(NickName, RecDate);
CREATE INDEX IF NOT EXISTS idxFinanceCategory ON tblFinance(Category, RecDate);
CREATE INDEX IF NOT EXISTS idxNotesNickName ON tblNotes(NickName);
CREATE INDEX IF NOT EXISTS idxNotesNoteDate ON tblNotes(NoteDate);
)";

// Text compares without regard to letter case, as the windows were designed for; money is an
// exact count of ten-thousandths; dates and times are text in their stored form.
QString declaredType(ColumnKind kind)
{
    switch (kind) {
    case ColumnKind::Text: return QStringLiteral("TEXT COLLATE NOCASE");
    case ColumnKind::Money: return QStringLiteral("CURRENCY");
    case ColumnKind::Date: return QStringLiteral("DATE");
    case ColumnKind::Time: return QStringLiteral("TIME");
    case ColumnKind::Integer: return QStringLiteral("INTEGER");
    case ColumnKind::Real: break;
    }
    return QStringLiteral("NUMBER");
}

} // namespace

QStringList tableNames()
{
    QStringList names;
    for (const TableDef& table : tables())
        names.append(QLatin1String(table.name));
    return names;
}

// A file of every release holds these tables: made with the file, or, in a file from before the
// steps were numbered, already there.
const SchemaSteps& baseSchemaSteps()
{
    static const SchemaSteps steps = [] {
        QString sql;
        for (const TableDef& table : tables()) {
            QStringList columns{QStringLiteral("ID INTEGER PRIMARY KEY AUTOINCREMENT")};
            for (const ColumnDef& c : table.columns)
                columns.append(QStringLiteral("%1 %2 %3")
                                   .arg(QLatin1String(c.name), declaredType(c.kind),
                                        QLatin1String(c.extra))
                                   .trimmed());
            sql += QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2);\n")
                       .arg(QLatin1String(table.name), columns.join(QStringLiteral(", ")));
        }
        return SchemaSteps{{1, "the records' tables", sql + QString::fromUtf8(indexes)}};
    }();
    return steps;
}

} // namespace halvo
