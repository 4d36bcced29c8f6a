// The file's schema in steps. The delivered file, and files from before the steps were numbered
// with some rooms' tables and not others, open with every table and hold what they held; a step
// that fails, and a file of a newer program, leave the file byte for byte as it was.

#include "tests/support/temp_database.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

using namespace halvo;

namespace {

// Every table a file holds once it has taken every step.
const QStringList everyTable = {
    "tblAsset",       "tblAttachment",  "tblAttachmentChunk", "tblAttachmentLink", "tblBuilding",
    "tblCategory",    "tblCategoryLine",    "tblCsvMapping",     "tblDeposit",
    "tblFileAccount", "tblFinance",         "tblImportBatch",    "tblImportLine",
    "tblInsurance",   "tblLedgerDay",       "tblLoan",           "tblMileage",
    "tblMileageRate", "tblNo1099",          "tblNotes",          "tblPayeeRule",
    "tblRecordPicture", "tblRentChange",    "tblRentPayment",    "tblRentTerms",
    "tblRentalDays",  "tblStatementAccount", "tblTenant",        "tblUser",
    "tblVendor"};

// A file as an earlier release left it: made without the program's steps, at no number.
void writeOldFile(const QString& path, const QString& script)
{
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
             SQLITE_OK);
    const QByteArray key = DatabasePassword.toUtf8();
    sqlite3_key(db, key.constData(), int(key.size()));
    const QByteArray sql = ("PRAGMA cipher_page_size = 4096; BEGIN;" + script + "; COMMIT;").toUtf8();
    const int rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    const QString why = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_close_v2(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(why));
}

// Read only while no connection holds the file: a descriptor of the test's own would drop the
// engine's locks on it.
QByteArray digestOf(const QString& path)
{
    if (heldByEngine(path))
        qFatal("the test reads a database file that a connection holds: %s", qPrintable(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

QStringList texts(const Connection& c, const QString& sql)
{
    Result<QStringList> values = c.texts(sql);
    if (!values)
        qWarning("%s", qPrintable(values.error().description));
    return values.valueOr({});
}

// The records' tables as the first releases made them, with a property and a rent received.
const QString recordsOnly =
    baseSchemaSteps().front().sql
    + QStringLiteral(";INSERT INTO tblBuilding (BldNickName) VALUES ('Elm');"
                     "INSERT INTO tblTenant (ID, Nickname, LastName) VALUES (7, 'Elm', 'Jones');"
                     "INSERT INTO tblFinance (ID, NickName, RecDate, Payee, Income, Expense) "
                     "VALUES (1, 'Elm', '2025-03-01', 'Jones', 12500000, 0)");

// The import as it was before accounts had names: a CSV mapping and a line read with it.
const QString importBeforeAccounts = QStringLiteral(
    ";CREATE TABLE tblImportBatch (ID INTEGER PRIMARY KEY AUTOINCREMENT, ImportedAt TEXT, "
    "Source TEXT COLLATE NOCASE, Lines INTEGER);"
    "CREATE TABLE tblImportLine (ID INTEGER PRIMARY KEY AUTOINCREMENT, BatchID INTEGER, "
    "FinanceID INTEGER UNIQUE, Account TEXT, BankID TEXT);"
    "CREATE TABLE tblPayeeRule (ID INTEGER PRIMARY KEY AUTOINCREMENT, Match TEXT, "
    "Text TEXT COLLATE NOCASE, NickName TEXT COLLATE NOCASE, Payee TEXT COLLATE NOCASE, "
    "Category TEXT COLLATE NOCASE);"
    "CREATE TABLE tblCsvMapping (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
    "Name TEXT COLLATE NOCASE UNIQUE, Mapping TEXT);"
    "INSERT INTO tblCsvMapping (Name, Mapping) VALUES ('Chase', '');"
    "INSERT INTO tblImportBatch (ImportedAt, Source, Lines) VALUES ('2025-03-02 10:00:00', "
    "'chase.csv', 1);"
    "INSERT INTO tblImportLine (BatchID, FinanceID, Account, BankID) VALUES (1, 1, 'Chase', "
    "'csv:1')");

const QString accountsNamed = QStringLiteral(
    ";CREATE TABLE tblStatementAccount (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
    "Name TEXT COLLATE NOCASE UNIQUE);"
    "CREATE TABLE tblFileAccount (Account TEXT PRIMARY KEY, AccountID INTEGER);"
    "INSERT INTO tblStatementAccount (Name) VALUES ('Checking');"
    "INSERT INTO tblFileAccount (Account, AccountID) VALUES ('Chase', 1)");

const QString rentRollKept = QStringLiteral(
    ";CREATE TABLE tblRentPayment (FinanceID INTEGER PRIMARY KEY, TenantID INTEGER NOT NULL, "
    "RecDate DATE, Amount CURRENCY);"
    "CREATE TRIGGER trgRentPaymentChanged AFTER UPDATE OF RecDate, Income ON tblFinance BEGIN "
    "UPDATE tblRentPayment SET RecDate = NEW.RecDate, Amount = NEW.Income WHERE FinanceID = "
    "NEW.ID; END;"
    "INSERT INTO tblRentPayment VALUES (1, 7, '2025-03-01', 12500000)");

} // namespace

class tst_schema : public QObject {
    Q_OBJECT

private slots:
    void stepsAreNumberedOneAfterAnother();
    void aFileOpensWithEveryTableAndWhatItHeld_data();
    void aFileOpensWithEveryTableAndWhatItHeld();
    void theDeliveredFileHasTakenEveryStep();
    void aFailingStepLeavesTheFileAsItWas();
    void aFileOfANewerProgramIsRefusedUnchanged();
};

void tst_schema::stepsAreNumberedOneAfterAnother()
{
    // Two rooms that gave a new step the same number would leave one of them untaken.
    int expected = 1;
    for (const SchemaStep& step : schemaSteps())
        QCOMPARE(step.number, expected++);
}

void tst_schema::aFileOpensWithEveryTableAndWhatItHeld_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QStringList>("answer");

    QTest::newRow("records' tables only") << recordsOnly
        << "SELECT Payee || ' ' || Income FROM tblFinance" << QStringList{"Jones 12500000"};
    // The name of a mapping lines were read with becomes an account, which the mapping chooses.
    QTest::newRow("import before accounts had names")
        << recordsOnly + importBeforeAccounts
        << "SELECT a.Name || ' for ' || f.Account FROM tblStatementAccount a "
           "JOIN tblFileAccount f ON f.AccountID = a.ID"
        << QStringList{"Chase for Chase"};
    // Named once, never again: the user's own names stay as they are.
    QTest::newRow("accounts named already")
        << recordsOnly + importBeforeAccounts + accountsNamed
        << "SELECT Name FROM tblStatementAccount" << QStringList{"Checking"};
    // The rent roll's trigger keeps working on a payment from before.
    QTest::newRow("rent roll kept already")
        << recordsOnly + rentRollKept
                + ";UPDATE tblFinance SET Income = 13000000 WHERE ID = 1"
        << "SELECT TenantID || ' ' || Amount FROM tblRentPayment" << QStringList{"7 13000000"};
}

void tst_schema::aFileOpensWithEveryTableAndWhatItHeld()
{
    QFETCH(QString, before);
    QFETCH(QString, question);
    QFETCH(QStringList, answer);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("halvo0905.mdb"));
    writeOldFile(path, before);

    {
        Result<Connection> opened = Connection::openFile(path, DatabasePassword);
        QVERIFY2(opened, qPrintable(opened ? QString() : opened.error().description));
        const Connection& c = opened.value();
        QCOMPARE(schemaStepTaken(c).valueOr(-1), schemaStepsKnown());
        QCOMPARE(texts(c, "SELECT name FROM sqlite_master WHERE type = 'table' AND name LIKE 'tbl%' "
                          "ORDER BY name"),
                 everyTable);
        QCOMPARE(texts(c, question), answer);
        QCOMPARE(texts(c, "SELECT BldNickName FROM tblBuilding"), QStringList{"Elm"});
        // The rent roll's triggers work on the file from now on.
        QVERIFY(c.execute("INSERT OR REPLACE INTO tblRentPayment VALUES (1, 7, '2025-03-01', 12500000)"));
        QVERIFY(c.execute("DELETE FROM tblFinance WHERE ID = 1"));
        QCOMPARE(texts(c, "SELECT COUNT(*) FROM tblRentPayment"), QStringList{"0"});
    }
    releaseDatabase(path);
}

void tst_schema::theDeliveredFileHasTakenEveryStep()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("halvo0905.mdb"));
    QVERIFY(QFile::copy(QStringLiteral(DELIVERED_DATABASE), path));
    QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    {
        Result<Connection> opened = Connection::openFile(path, DatabasePassword);
        QVERIFY(opened);
        QCOMPARE(schemaStepTaken(opened.value()).valueOr(-1), schemaStepsKnown());
        QCOMPARE(texts(opened.value(), "SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                       "name LIKE 'tbl%' ORDER BY name"),
                 everyTable);
        QCOMPARE(texts(opened.value(), "SELECT COUNT(*) FROM tblFinance"), QStringList{"0"});
    }
    releaseDatabase(path);
}

void tst_schema::aFailingStepLeavesTheFileAsItWas()
{
    test::TempDatabase db;
    (void)db.connect();
    releaseDatabase(db.path());
    const QByteArray before = digestOf(db.path());

    SchemaSteps steps = schemaSteps();
    const int next = steps.back().number + 1;
    steps.push_back({next, "the first new table", QStringLiteral("CREATE TABLE tblFirst (x)")});
    steps.push_back({next + 1, "the second new table",
                     QStringLiteral("CREATE TABLE tblSecond (x); INSERT INTO tblNone VALUES (1)")});
    {
        const Connection c = db.connect();
        const Status taken = takeSchemaSteps(c, steps);
        QVERIFY(!taken);
        QVERIFY2(taken.error().description.contains(
                     QStringLiteral("could not be brought up to date, and nothing in it was "
                                    "changed. Step %1 (the second new table) failed")
                         .arg(next + 1)),
                 qPrintable(taken.error().description));
        QCOMPARE(texts(c, "SELECT name FROM sqlite_master WHERE name IN ('tblFirst', 'tblSecond')"),
                 QStringList());
        QCOMPARE(schemaStepTaken(c).valueOr(-1), next - 1);
    }
    releaseDatabase(db.path());
    QCOMPARE(digestOf(db.path()), before);
}

void tst_schema::aFileOfANewerProgramIsRefusedUnchanged()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("halvo0905.mdb"));
    writeOldFile(path, recordsOnly + QStringLiteral(";PRAGMA user_version = %1")
                                         .arg(schemaStepsKnown() + 1));
    const QByteArray before = digestOf(path);

    Result<Connection> opened = Connection::openFile(path, DatabasePassword);
    QVERIFY(!opened);
    QCOMPARE(opened.error().description,
             QStringLiteral("The database file \"%1\" was written by a newer version of HALVO, "
                            "which keeps its records in a way this one does not know. It is left "
                            "as it is: open it with that version.")
                 .arg(path));
    releaseDatabase(path);
    QCOMPARE(digestOf(path), before);
    QVERIFY(!QFile::exists(path + QStringLiteral("-wal")));
}

QTEST_GUILESS_MAIN(tst_schema)
#include "tst_schema.moc"
