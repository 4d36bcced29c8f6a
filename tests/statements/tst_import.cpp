// A statement into the ledger: overlapping statements, the same file twice, lines the ledger has
// typed by hand, payee rules, and undoing an import. The statements are real OFX files.

#include "statements/ledger_import.h"
#include "statements/ofx_reader.h"
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

// An OFX 1.02 checking account statement holding the transactions.
QString writeOfx(const QString& folder, const QString& name, const QList<Tx>& txs)
{
    QByteArray ofx = "OFXHEADER:100\nDATA:OFXSGML\nVERSION:102\nSECURITY:NONE\nENCODING:USASCII\n"
                     "CHARSET:1252\nCOMPRESSION:NONE\nOLDFILEUID:NONE\nNEWFILEUID:NONE\n\n"
                     "<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0<SEVERITY>INFO</STATUS>"
                     "<DTSERVER>20261208<LANGUAGE>ENG</SONRS></SIGNONMSGSRSV1>"
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
    void findsWhatTheLedgerHolds_data();
    void findsWhatTheLedgerHolds();
    void similarPayees_data();
    void similarPayees();
    void appliesTheMostParticularRule();
    void undoRemovesExactlyTheLastImport();
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
    QCOMPARE(december.value()[0].duplicateOf, QString("imported before"));
    QVERIFY(writeImport(c, december.value(), "december.ofx"));
    QCOMPARE(count(c, "SELECT COUNT(*) FROM tblFinance"), 6);
    QCOMPARE(count(c, "SELECT SUM(Expense) FROM tblFinance"), 4031900); // $45.10 * 2 + $300 + $12.99

    // The same file again adds nothing: every line is flagged, none ticked.
    Result<QList<ImportLine>> again = plan(db, second);
    QVERIFY(again);
    for (const ImportLine& line : again.value())
        QCOMPARE(stateCaption(line.state()), QString("Duplicate"));
    Result<ImportBatch> none = writeImport(c, again.value(), "december.ofx");
    QVERIFY(!none);
    QCOMPARE(none.error().description, QString("No line is ticked: nothing was imported."));
    QCOMPARE(count(c, "SELECT COUNT(*) FROM tblFinance"), 6);
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
    QCOMPARE(lines.value()[0].duplicateOf, shown);
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

void TestImport::refusesALineItCannotWrite()
{
    test::TempDatabase db;
    Connection c = db.connect();
    Result<QList<ImportLine>> lines = plan(
        db, writeOfx(db.folder(), "s.ofx",
                     {{"20261101", "-10.00", "GAS", "A"}, {"20261102", "-20.00", "", "B"}}));
    QVERIFY(lines);
    Result<ImportBatch> written = writeImport(c, lines.value(), "s.ofx");
    QVERIFY(!written);
    QCOMPARE(written.error().description, QString("Line 2 has no payee: choose one."));
    QCOMPARE(count(c, "SELECT COUNT(*) FROM tblFinance"), 0);
}

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
