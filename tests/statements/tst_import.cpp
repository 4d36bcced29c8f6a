// A statement into the ledger: overlapping statements, the same file twice, lines the ledger has
// typed by hand, payee rules, and undoing an import. The statements are real OFX files.

#include "ledger/import_words.h"
#include "statements/ledger_import.h"
#include "statements/csv_mapping.h"
#include "statements/ofx_reader.h"
#include "statements/saved_mappings.h"
#include "statements/statement_accounts.h"
#include "tests/support/temp_database.h"

#include <QFile>
#include <QTest>

using namespace halvo;

namespace {

struct Tx {
    const char* date; // yyyyMMdd
    const char* amount;
    const char* payee;
    const char* fitid;
};

// An OFX 1.02 checking account statement holding the transactions; as Quicken's QFX, with the
// Intuit tags in its sign-on, when asked.
QString writeOfx(const QString& folder, const QString& name, const QList<Tx>& txs, bool qfx = false)
{
    QByteArray ofx = "OFXHEADER:100\nDATA:OFXSGML\nVERSION:102\nSECURITY:NONE\nENCODING:USASCII\n"
                     "CHARSET:1252\nCOMPRESSION:NONE\nOLDFILEUID:NONE\nNEWFILEUID:NONE\n\n"
                     "<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0<SEVERITY>INFO</STATUS>"
                     "<DTSERVER>20261208<LANGUAGE>ENG";
    if (qfx)
        ofx += "<FI><ORG>First Bank<FID>10898</FI><INTU.BID>10898<INTU.USERID>landlord1";
    ofx += "</SONRS></SIGNONMSGSRSV1>"
                     "<BANKMSGSRSV1><STMTTRNRS><TRNUID>1<STATUS><CODE>0<SEVERITY>INFO</STATUS>"
                     "<STMTRS><CURDEF>USD<BANKACCTFROM><BANKID>121000248<ACCTID>5550123"
                     "<ACCTTYPE>CHECKING</BANKACCTFROM><BANKTRANLIST><DTSTART>20261001"
                     "<DTEND>20261231\n";
    for (const Tx& t : txs)
        ofx += QByteArray("<STMTTRN><TRNTYPE>") + (t.amount[0] == '-' ? "DEBIT" : "CREDIT")
               + "<DTPOSTED>" + t.date + "<TRNAMT>" + t.amount + "<FITID>" + t.fitid
               + "<NAME>" + t.payee + "</STMTTRN>\n";
    ofx += "</BANKTRANLIST><LEDGERBAL><BALAMT>100.00<DTASOF>20261208</LEDGERBAL></STMTRS>"
           "</STMTTRNRS></BANKMSGSRSV1></OFX>\n";
    const QString path = folder + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(ofx) != ofx.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QStringList states(const QList<ImportLine>& lines)
{
    QStringList shown;
    for (const ImportLine& line : lines)
        shown.append(stateCaption(line.state()) + (line.ticked ? "" : " (unticked)"));
    return shown;
}

// The tip the import window shows on a duplicate's state; empty for a new line.
QString duplicateText(const ImportLine& line)
{
    return line.duplicateOf ? wording(*line.duplicateOf) : QString();
}

// What went wrong, for a check that failed.
template <class R>
QByteArray why(const R& result)
{
    return result ? QByteArray() : result.error().description.toUtf8();
}

qint64 count(const Connection& c, const char* sql)
{
    return c.scalar(QString::fromLatin1(sql)).value().toLongLong();
}

} // namespace

class TestImport : public QObject {
    Q_OBJECT
private slots:
    void overlappingStatementsAddOnlyTheNewLines();
    void csvFindsTheOfxLinesOfItsAccount_data();
    void csvFindsTheOfxLinesOfItsAccount();
    void importsOfAnEarlierVersionKeepTheirAccounts();
    void findsWhatTheLedgerHolds_data();
    void findsWhatTheLedgerHolds();
    void similarPayees_data();
    void similarPayees();
    void appliesTheMostParticularRule();
    void undoRemovesExactlyTheLastImport();
    void refusesALineItCannotWrite_data();
    void refusesALineItCannotWrite();

private:
    Result<QList<ImportLine>> plan(const test::TempDatabase& db, const QString& path)
    {
        Result<Statement> read = readOfxFile(path, db.folder());
        if (!read)
            return read.error();
        return planImport(db.connect(), read.value());
    }
};

// November's statement, then one from November 20 that repeats its last 10 days.
void TestImport::overlappingStatementsAddOnlyTheNewLines()
{
    test::TempDatabase db;
    const QString first = writeOfx(db.folder(), "november.ofx",
                                   {{"20261102", "1200.00", "J SMITH RENT", "N1"},
                                    {"20261115", "-45.10", "CITY WATER", "N2"},
                                    {"20261122", "-300.00", "ACE ROOFING", "N3"},
                                    {"20261128", "-12.99", "HARDWARE DEPOT", "N4"}});
    const QString second = writeOfx(db.folder(), "december.ofx",
                                    {{"20261122", "-300.00", "ACE ROOFING", "N3"},
                                     {"20261128", "-12.99", "HARDWARE DEPOT", "N4"},
                                     {"20261201", "1200.00", "J SMITH RENT", "D1"},
                                     {"20261205", "-45.10", "CITY WATER", "D2"}});
    Connection c = db.connect();
    Result<QList<ImportLine>> november = plan(db, first);
    QVERIFY2(november, why(november));
    QVERIFY(writeImport(c, november.value(), "november.ofx"));

    Result<QList<ImportLine>> december = plan(db, second);
    QVERIFY(december);
    QCOMPARE(states(december.value()),
             QStringList({"Duplicate (unticked)", "Duplicate (unticked)", "Needs a category",
                          "Needs a category"}));
    QCOMPARE(duplicateText(december.value()[0]), QString("imported before"));
    QVERIFY(writeImport(c, december.value(), "december.ofx"));
    QCOMPARE(count(c, "SELECT COUNT(*) FROM tblFinance"), 6);
    QCOMPARE(count(c, "SELECT SUM(Expense) FROM tblFinance"), 4031900); // $45.10 * 2 + $300 + $12.99

    // The same file again adds nothing: every line is flagged, none ticked.
    Result<QList<ImportLine>> again = plan(db, second);
    QVERIFY(again);
    for (const ImportLine& line : again.value())
        QCOMPARE(stateCaption(line.state()), QString("Duplicate"));
    const auto none = writeImport(c, again.value(), "december.ofx");
    QVERIFY(none.refused());
    QCOMPARE(wording(none.refusal()), QString("No line is ticked: nothing was imported."));
    QCOMPARE(count(c, "SELECT COUNT(*) FROM tblFinance"), 6);
}

namespace {

const QString Checking = "121000248  5550123"; // the account as writeOfx's files name it

// The December export of an account in CSV, as the bank's website gives it.
Result<Statement> decemberCsv(const Connection& c, const QString& account)
{
    CsvMapping m;
    m.name = "First Bank export";
    m.dateOrder = DateOrder::MonthDayYear;
    m.dateColumn = 0;
    m.payeeColumn = 1;
    m.amountColumn = 2;
    if (Status saved = saveMapping(c, m, account); !saved)
        return saved.error();
    Result<QList<CsvRow>> rows = readCsv("Date,Description,Amount\r\n"
                                         "12/09/2026,CITY WATER UTILITY,-142.37\r\n"
                                         "12/10/2026,HARDWARE DEPOT,-12.00\r\n",
                                         "UTF-8", u',');
    if (!rows)
        return rows.error();
    return applyMapping(rows.value(), loadMapping(c, m.name).value());
}

} // namespace

// Three statements of one checking account, two OFX and one QFX, the first named at its import;
// then the account's December as CSV, whose mapping chooses an account. The water bill of
// 12/7/2026 in the OFX is the CSV's of 12/9/2026 only when the mapping chose the same account.
void TestImport::csvFindsTheOfxLinesOfItsAccount_data()
{
    QTest::addColumn<QString>("account");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("duplicateOf");
    QTest::newRow("the same account")
        << "First Bank checking" << QStringList{"Duplicate (unticked)", "Needs a category"}
        << "$142.37 to CITY WATER UTILITY on 12/7/2026 is in the ledger";
    QTest::newRow("another account paying the same bill")
        << "Harbour savings" << QStringList{"Needs a category", "Needs a category"} << "";
    QTest::newRow("the mapping's own account")
        << "" << QStringList{"Needs a category", "Needs a category"} << "";
}

void TestImport::csvFindsTheOfxLinesOfItsAccount()
{
    QFETCH(QString, account);
    QFETCH(QStringList, shown);
    QFETCH(QString, duplicateOf);
    test::TempDatabase db;
    Connection c = db.connect();
    const QList<QPair<QString, QList<Tx>>> files{
        {"october.ofx", {{"20261005", "1200.00", "J SMITH RENT", "O1"},
                         {"20261030", "-80.00", "GAS CO", "O2"}}},
        {"november.qfx", {{"20261030", "-80.00", "GAS CO", "O2"},
                          {"20261106", "-142.37", "CITY WATER UTILITY", "N1"}}},
        {"december.ofx", {{"20261207", "-142.37", "CITY WATER UTILITY", "D1"}}}};
    for (const auto& [name, txs] : files) {
        Result<Statement> read = readOfxFile(
            writeOfx(db.folder(), name, txs, name.endsWith(".qfx")), db.folder());
        QVERIFY2(read, why(read));
        Result<QList<FileAccount>> unnamed = unnamedAccounts(c, read.value());
        QVERIFY(unnamed);
        // Only the first import asks for the account's name.
        QCOMPARE(unnamed.value().size(), name == "october.ofx" ? 1 : 0);
        QHash<QString, QString> names;
        for (const FileAccount& a : unnamed.value()) {
            QCOMPARE(a.account, Checking);
            QCOMPARE(a.kind, AccountKind::Checking);
            QCOMPARE(a.number, "5550123");
            names.insert(a.account, "First Bank checking");
        }
        Result<QList<ImportLine>> lines = planImport(c, read.value(), names);
        QVERIFY2(lines, why(lines));
        if (name == "november.qfx")
            QCOMPARE(states(lines.value()),
                     QStringList({"Duplicate (unticked)", "Needs a category"}));
        QVERIFY(writeImport(c, lines.value(), name));
    }
    QCOMPARE(accountNames(c).value(), QStringList{"First Bank checking"});

    Result<Statement> csv = decemberCsv(c, account);
    QVERIFY2(csv, why(csv));
    Result<QList<ImportLine>> lines = planImport(c, csv.value());
    QVERIFY2(lines, why(lines));
    QCOMPARE(states(lines.value()), shown);
    QCOMPARE(duplicateText(lines.value()[0]), duplicateOf);
    QCOMPARE(lines.value()[0].account, account.isEmpty() ? "First Bank export" : account);
}

// A file imported into before accounts had names: a CSV mapping "First Bank" and a line read
// with it, and a line of an OFX account, each kept under the file's own name of its account.
void TestImport::importsOfAnEarlierVersionKeepTheirAccounts()
{
    test::TempDatabase db;
    Connection c = db.connect();
    CsvMapping m;
    m.name = "First Bank";
    m.headerRows = 0;
    m.dateOrder = DateOrder::MonthDayYear;
    m.dateColumn = 0;
    m.payeeColumn = 1;
    m.amountColumn = 2;
    const Statement csv =
        applyMapping({{1, {"12/09/2026", "HARDWARE DEPOT", "-12.00"}}}, m).value();
    // The file as that version left it: the import's tables of then, and no schema step taken.
    QVERIFY(c.executeScript(
        "DROP TABLE tblImportBatch; DROP TABLE tblImportLine; DROP TABLE tblCsvMapping;"
        "DROP TABLE tblPayeeRule; DROP TABLE tblStatementAccount; DROP TABLE tblFileAccount;"
        "PRAGMA user_version = 0;"
        "CREATE TABLE tblImportBatch (ID INTEGER PRIMARY KEY AUTOINCREMENT, ImportedAt TEXT, "
        "Source TEXT COLLATE NOCASE, Lines INTEGER);"
        "CREATE TABLE tblImportLine (ID INTEGER PRIMARY KEY AUTOINCREMENT, BatchID INTEGER, "
        "FinanceID INTEGER UNIQUE, Account TEXT, BankID TEXT);"
        "CREATE TABLE tblCsvMapping (ID INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT COLLATE "
        "NOCASE UNIQUE, Mapping TEXT);"
        "INSERT INTO tblFinance (ID, RecDate, Payee, Expense) VALUES "
        "(1, '2026-12-09', 'HARDWARE DEPOT', 120000), (2, '2026-11-30', 'GAS CO', 800000);"
        "INSERT INTO tblImportBatch (ID, ImportedAt, Source, Lines) VALUES "
        "(1, '2026-12-10 09:00:00', 'december.csv', 1), (2, '2026-12-01 09:00:00', 'n.ofx', 1);"));
    QVERIFY(c.execute("INSERT INTO tblCsvMapping (Name, Mapping) VALUES (?, ?)",
                      {m.name, m.toText()}));
    QVERIFY(c.execute("INSERT INTO tblImportLine (BatchID, FinanceID, Account, BankID) VALUES "
                      "(1, 1, 'First Bank', ?), (2, 2, ?, 'N9')",
                      {csv.lines[0].bankId, Checking}));
    releaseDatabase(db.path());
    c = db.connect();

    // The mapping's name became an account, which the mapping chose; its line is still known.
    QCOMPARE(accountNames(c).value(), QStringList{"First Bank"});
    QCOMPARE(accountOf(c, "First Bank").value().name, QString("First Bank"));
    Result<QList<ImportLine>> again = planImport(c, csv);
    QVERIFY2(again, why(again));
    QCOMPARE(duplicateText(again.value()[0]), QString("imported before"));
    // The OFX account has no name yet, and is asked for one; its line is still known too.
    Result<Statement> ofx = readOfxFile(
        writeOfx(db.folder(), "n.ofx", {{"20261130", "-80.00", "GAS CO", "N9"}}), db.folder());
    QVERIFY2(ofx, why(ofx));
    QCOMPARE(unnamedAccounts(c, ofx.value()).value().size(), 1);
    Result<QList<ImportLine>> ofxAgain = planImport(c, ofx.value(), {{Checking, "First Bank"}});
    QVERIFY2(ofxAgain, why(ofxAgain));
    QCOMPARE(duplicateText(ofxAgain.value()[0]), QString("imported before"));
    QCOMPARE(count(c, "SELECT COUNT(*) FROM tblImportLine"), 2);
}

// The ledger holds a water bill of $45.10 paid on 11/3/2026, typed by hand, and one of $60.00
// imported from another account on 11/10/2026.
void TestImport::findsWhatTheLedgerHolds_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("payee");
    QTest::addColumn<QString>("shown");
    QTest::newRow("same day") << "20261103" << "-45.10" << "CITY WATER DEPT 55"
                              << "$45.10 to City Water on 11/3/2026 is in the ledger";
    QTest::newRow("three days later") << "20261106" << "-45.10" << "City Water" << "$45.10 to City Water on 11/3/2026 is in the ledger";
    QTest::newRow("three days before") << "20261031" << "-45.10" << "CITY WATER" << "$45.10 to City Water on 11/3/2026 is in the ledger";
    QTest::newRow("four days later") << "20261107" << "-45.10" << "CITY WATER" << "";
    QTest::newRow("another amount") << "20261103" << "-45.11" << "CITY WATER" << "";
    QTest::newRow("money in, not out") << "20261103" << "45.10" << "CITY WATER" << "";
    QTest::newRow("another payee") << "20261103" << "-45.10" << "WATERWORKS" << "";
    QTest::newRow("another account's row") << "20261110" << "-60.00" << "GAS CO" << "";
}

void TestImport::findsWhatTheLedgerHolds()
{
    QFETCH(QString, date);
    QFETCH(QString, amount);
    QFETCH(QString, payee);
    QFETCH(QString, shown);
    test::TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.execute("INSERT INTO tblFinance (RecDate, Payee, Expense) VALUES ('2026-11-03', "
                      "'City Water', 451000)"));
    StatementLine other{0, "9990001", QDate(2026, 11, 10), Money::fromCents(-6000), "GAS CO",
                        {}, {}, "G1"};
    Result<QList<ImportLine>> otherPlan = planImport(c, Statement{{other}});
    QVERIFY(otherPlan && writeImport(c, otherPlan.value(), "savings.ofx"));

    const QByteArray d = date.toLatin1(), a = amount.toLatin1(), p = payee.toLatin1();
    Result<QList<ImportLine>> lines =
        plan(db, writeOfx(db.folder(), "s.ofx", {{d.constData(), a.constData(), p.constData(), "X1"}}));
    QVERIFY2(lines, why(lines));
    QCOMPARE(lines.value().size(), 1);
    QCOMPARE(duplicateText(lines.value()[0]), shown);
    QCOMPARE(lines.value()[0].ticked, shown.isEmpty());
}

void TestImport::similarPayees_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("similar");
    QTest::newRow("case and branch number") << "CITY WATER DEPT #123" << "City Water" << true;
    QTest::newRow("punctuation") << "Ace-Roofing, Inc." << "ace roofing" << true;
    QTest::newRow("same long first word") << "AMAZON MKTP US" << "Amazon.com" << true;
    QTest::newRow("short first word only") << "THE GAS CO" << "The Plumber" << false;
    QTest::newRow("words in another order") << "Water City" << "City Water" << false;
    QTest::newRow("empty") << "" << "City Water" << false;
}

void TestImport::similarPayees()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, similar);
    QCOMPARE(similarPayee(a, b), similar);
    QCOMPARE(similarPayee(b, a), similar);
}

void TestImport::appliesTheMostParticularRule()
{
    test::TempDatabase db;
    Connection c = db.connect();
    using M = PayeeRule::Match;
    QVERIFY(savePayeeRule(c, {0, M::Contains, "water", "", "Utilities", "Water"}));
    QVERIFY(savePayeeRule(c, {0, M::StartsWith, "city water", "Elm Street", "City Water", "Water and Sewer"}));
    QVERIFY(savePayeeRule(c, {0, M::Is, "CITY WATER REFUND", "", "", "Refunds"}));
    Result<QList<ImportLine>> lines =
        plan(db, writeOfx(db.folder(), "s.ofx",
                          {{"20261101", "-45.10", "CITY WATER DEPT 55", "A"},
                           {"20261102", "12.00", "City Water Refund", "B"},
                           {"20261103", "-9.00", "SPRING WATER CO", "C"},
                           {"20261104", "-30.00", "HARDWARE DEPOT", "D"}}));
    QVERIFY(lines);
    QStringList got;
    for (const ImportLine& l : lines.value())
        got.append(QStringList{l.property, l.payee, l.category, stateCaption(l.state())}.join('|'));
    QCOMPARE(got, QStringList({"Elm Street|City Water|Water and Sewer|New",
                               "|City Water Refund|Refunds|New",
                               "|Utilities|Water|New",
                               "|HARDWARE DEPOT||Needs a category"}));
    QVERIFY(writeImport(c, lines.value(), "s.ofx"));
    QCOMPARE(c.scalar("SELECT NickName || '|' || Payee || '|' || Category || '|' || Expense FROM "
                      "tblFinance WHERE Memo IS NULL OR Memo = '' ORDER BY ID LIMIT 1")
                 .value()
                 .toString(),
             QString("Elm Street|City Water|Water and Sewer|451000"));
}

void TestImport::undoRemovesExactlyTheLastImport()
{
    test::TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.execute("INSERT INTO tblFinance (RecDate, Payee, Income) VALUES ('2026-10-01', "
                      "'Typed by hand', 10000)"));
    Result<QList<ImportLine>> first =
        plan(db, writeOfx(db.folder(), "a.ofx", {{"20261101", "1200.00", "RENT", "A1"}}));
    QVERIFY(first && writeImport(c, first.value(), "a.ofx"));
    Result<QList<ImportLine>> second = plan(
        db, writeOfx(db.folder(), "b.ofx",
                     {{"20261201", "1200.00", "RENT", "B1"}, {"20261202", "-80.00", "GAS", "B2"}}));
    QVERIFY(second && writeImport(c, second.value(), "b.ofx"));

    Result<std::optional<ImportBatch>> last = lastImport(c);
    QVERIFY(last && last.value());
    QCOMPARE(last.value()->source, QString("b.ofx"));
    QCOMPARE(last.value()->lines, 2);
    QCOMPARE(undoImport(c, last.value()->id).valueOr(-1), 2);
    QCOMPARE(c.select("SELECT Payee, RecDate FROM tblFinance ORDER BY ID").value().values,
             QList<QVariantList>({{"Typed by hand", QDate(2026, 10, 1)}, {"RENT", QDate(2026, 11, 1)}}));
    // Undone, its lines are new again; the one before it is now the last.
    Result<QList<ImportLine>> again = plan(db, db.folder() + "/b.ofx");
    QVERIFY(again);
    QCOMPARE(states(again.value()), QStringList({"Needs a category", "Needs a category"}));
    QCOMPARE(lastImport(c).value()->source, QString("a.ofx"));
}

// A statement of two lines, both ticked: the first one the ledger can show, the second not.
void TestImport::refusesALineItCannotWrite_data()
{
    QTest::addColumn<QByteArray>("amount");
    QTest::addColumn<QByteArray>("payee");
    QTest::addColumn<QString>("said");
    QTest::newRow("no payee") << QByteArray("-20.00") << QByteArray()
                              << "Line 2 has no payee: choose one.";
    QTest::newRow("an amount of 0")
        << QByteArray("0.00") << QByteArray("HARDWARE DEPOT")
        << "Line 2 has an amount of 0, which the ledger does not show.";
}

void TestImport::refusesALineItCannotWrite()
{
    QFETCH(QByteArray, amount);
    QFETCH(QByteArray, payee);
    QFETCH(QString, said);
    test::TempDatabase db;
    Connection c = db.connect();
    Result<QList<ImportLine>> lines =
        plan(db, writeOfx(db.folder(), "s.ofx",
                          {{"20261101", "-10.00", "GAS", "A"},
                           {"20261102", amount.constData(), payee.constData(), "B"}}));
    QVERIFY2(lines, why(lines));
    for (ImportLine& line : lines.value())
        line.ticked = true;
    const auto written = writeImport(c, lines.value(), "s.ofx");
    QVERIFY(written.refused());
    QCOMPARE(wording(written.refusal()), said);
    QCOMPARE(count(c, "SELECT COUNT(*) FROM tblFinance"), 0);
}

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
