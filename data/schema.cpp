#include "schema.h"

#include "connection.h"
#include "sqlite_statement.h"

#include <QFile>
#include <QFileInfo>
#include <vector>

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
CREATE INDEX idxBuildingNickName ON tblBuilding(BldNickName);
CREATE INDEX idxBuildingLastName ON tblBuilding(BldLastName);
CREATE INDEX idxTenantNickname ON tblTenant(Nickname);
CREATE INDEX idxLoanNickName ON tblLoan(NickName);
CREATE INDEX idxInsuranceNickname ON tblInsurance(Nickname);
CREATE INDEX idxVendorCompany ON tblVendor(Company);
CREATE INDEX idxCategoryIncome ON tblCategory(Income);
CREATE INDEX idxCategoryExpense ON tblCategory(Expense);
CREATE INDEX idxFinanceRecDate ON tblFinance(RecDate, Income, Expense);
CREATE INDEX idxFinanceNickName ON tblFinance(NickName, RecDate);
CREATE INDEX idxFinanceCategory ON tblFinance(Category, RecDate);
CREATE INDEX idxNotesNickName ON tblNotes(NickName);
CREATE INDEX idxNotesNoteDate ON tblNotes(NoteDate);
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

QString schemaScript()
{
    QString sql;
    for (const TableDef& table : tables()) {
        QStringList columns{QStringLiteral("ID INTEGER PRIMARY KEY AUTOINCREMENT")};
        for (const ColumnDef& c : table.columns)
            columns.append(QStringLiteral("%1 %2 %3")
                               .arg(QLatin1String(c.name), declaredType(c.kind),
                                    QLatin1String(c.extra))
                               .trimmed());
        sql += QStringLiteral("CREATE TABLE %1 (%2);\n")
                   .arg(QLatin1String(table.name), columns.join(QStringLiteral(", ")));
    }
    return sql + QString::fromUtf8(indexes);
}

QStringList tableNames()
{
    QStringList names;
    for (const TableDef& table : tables())
        names.append(QLatin1String(table.name));
    return names;
}

Status createDatabase(const QString& path, const QString& password)
{
    if (QFileInfo::exists(path))
        return Error{QStringLiteral("\"%1\" exists already; it is left as it is.").arg(path)};
    sqlite3* db = nullptr;
    const QByteArray name = QFile::encodeName(path);
    int rc = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                             nullptr);
    if (rc == SQLITE_OK) {
        const QByteArray key = password.toUtf8();
        rc = sqlite3_key(db, key.constData(), int(key.size()));
    }
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, detail::cipherPageSize, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, (QStringLiteral("BEGIN;") + schemaScript() + QStringLiteral("COMMIT;")).toUtf8().constData(),
                          nullptr, nullptr, nullptr);
    Status result;
    if (rc != SQLITE_OK)
        result = detail::engineError(db, rc, QStringLiteral("The database could not be made"));
    sqlite3_close_v2(db);
    if (!result)
        QFile::remove(path);
    return result;
}

} // namespace halvo
