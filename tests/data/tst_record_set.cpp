// The record sets the windows browse and edit: moves and their ends, count and position,
// pending changes written when a record is left, values kept in their kinds, and pages.

#include "data/record_set.h"
#include "data/statements.h"
#include "tests/support/temp_database.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace halvo;
using halvo::test::TempDatabase;

namespace {

void addVendors(const Connection& c, const QStringList& companies)
{
    for (const QString& company : companies)
        QVERIFY(c.execute(QStringLiteral("INSERT INTO tblVendor (Company) VALUES (?)"), {company})
                    .ok());
}

QString company(const RecordSet& rs) { return rs.value(QStringLiteral("Company")).toString(); }

qlonglong vendorCount(const Connection& c)
{
    return c.scalar(QStringLiteral("SELECT count(*) FROM tblVendor")).value().toLongLong();
}

} // namespace

class TestRecordSet : public QObject {
    Q_OBJECT
private slots:
    void movesStopAtBothEnds();
    void emptySetIsAtBothEnds();
    void countAndPositionFollowAddAndDelete();
    void pendingChangeIsWrittenWhenLeft_data();
    void pendingChangeIsWrittenWhenLeft();
    void untouchedNewRecordIsDropped();
    void cancelUpdateForgetsTheChange();
    void valuesKeepTheirKinds();
    void numbersForAnAmountAreDollars_data();
    void numbersForAnAmountAreDollars();
    void refusesValuesThatDoNotFit_data();
    void refusesValuesThatDoNotFit();
    void fieldsHoldWhatTheDatabaseKeeps_data();
    void fieldsHoldWhatTheDatabaseKeeps();
    void readsLargeSetsInPages();
    void statementsOverOneTableAreUpdatable_data();
    void statementsOverOneTableAreUpdatable();
    void failedWriteOnMoveIsReportedAndKeepsTheRecord();
    void withoutAnOrderTheTablesOrderStays_data();
    void withoutAnOrderTheTablesOrderStays();
    void aLargeSetShowsEveryRecordInPlace_data();
    void aLargeSetShowsEveryRecordInPlace();
    void aLargeSetAfterAnotherWindowDeleted();
};

// A statement that names no order lists the rows as they were entered, even where an index
// (here the one on RecDate) answers its WHERE; one that names an order keeps it.
void TestRecordSet::withoutAnOrderTheTablesOrderStays_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("payees");
    QTest::newRow("WHERE only") << Statements::IncomeRows << QStringList{"May", "January", "March"};
    QTest::newRow("a date range, no order")
        << "SELECT * FROM tblFinance WHERE RecDate >= '2026-01-01'" << QStringList{"May", "January", "March"};
    QTest::newRow("ordered by date")
        << "SELECT * FROM tblFinance WHERE Income <> 0 ORDER BY RecDate" << QStringList{"January", "March", "May"};
}

void TestRecordSet::withoutAnOrderTheTablesOrderStays()
{
    QFETCH(QString, source);
    QFETCH(QStringList, payees);
    TempDatabase db;
    QVERIFY(db.connect().executeScript(QStringLiteral(
        "INSERT INTO tblFinance (RecDate, Payee, Income) VALUES ('2026-05-01', 'May', 10000), "
        "('2026-01-01', 'January', 10000), ('2026-03-01', 'March', 10000);")).ok());
    RecordSet rs;
    QVERIFY(rs.open(db.connect(), source).ok());
    QStringList listed;
    for (int row = 0; row < rs.recordCount(); ++row)
        listed.append(rs.valueAt(row, rs.columnIndex(QStringLiteral("Payee"))).toString());
    QCOMPARE(listed, payees);
}

void TestRecordSet::movesStopAtBothEnds()
{
    TempDatabase db;
    addVendors(db.connect(), {"Cedar", "Alder", "Birch"});
    RecordSet rs;
    QSignalSpy moved(&rs, &RecordSet::moveComplete);
    QVERIFY(rs.open(db.connect(), Statements::VendorsByCompany).ok());
    QCOMPARE(company(rs), QStringLiteral("Alder"));
    QCOMPARE(rs.absolutePosition(), 1);
    QVERIFY(!rs.bof() && !rs.eof());

    QVERIFY(rs.movePrevious().ok());
    QVERIFY(rs.bof());
    QCOMPARE(rs.absolutePosition(), 0);
    QVERIFY(!rs.movePrevious().ok());

    QVERIFY(rs.moveLast().ok());
    QCOMPARE(company(rs), QStringLiteral("Cedar"));
    QCOMPARE(rs.absolutePosition(), 3);
    QVERIFY(rs.moveNext().ok());
    QVERIFY(rs.eof());
    QVERIFY(!rs.moveNext().ok());
    QVERIFY(rs.moveTo(2).ok());
    QCOMPARE(company(rs), QStringLiteral("Birch"));
    QCOMPARE(rs.recordCount(), 3);
    QVERIFY(moved.count() >= 5);
}

void TestRecordSet::emptySetIsAtBothEnds()
{
    TempDatabase db;
    RecordSet rs;
    QVERIFY(rs.open(db.connect(), Statements::CategoryTable).ok());
    QVERIFY(rs.bof() && rs.eof());
    QCOMPARE(rs.recordCount(), 0);
    QCOMPARE(rs.absolutePosition(), 0);
    QVERIFY(rs.moveLast().ok());
    QVERIFY(rs.moveFirst().ok());
    QVERIFY(!rs.field(QStringLiteral("Income")).ok());
}

void TestRecordSet::countAndPositionFollowAddAndDelete()
{
    TempDatabase db;
    Connection c = db.connect();
    addVendors(c, {"Alder", "Birch", "Cedar"});
    RecordSet rs;
    QVERIFY(rs.open(c, Statements::VendorsByCompany).ok());

    QVERIFY(rs.addNew().ok());
    QCOMPARE(rs.recordCount(), 4);
    QCOMPARE(rs.absolutePosition(), 4);
    QCOMPARE(rs.editMode(), RecordSet::EditMode::Adding);
    QVERIFY(rs.setValue(QStringLiteral("company"), QStringLiteral("Aspen")).ok());
    QVERIFY(rs.update().ok());
    QCOMPARE(rs.recordCount(), 4);
    QCOMPARE(company(rs), QStringLiteral("Aspen"));
    QVERIFY(rs.value(QStringLiteral("ID")).toLongLong() > 0); // the counter is read back
    QCOMPARE(vendorCount(c), 4);

    // A deleted record stays current until the next move, which goes to the one after it.
    QVERIFY(rs.moveFirst().ok());
    QVERIFY(rs.deleteCurrent().ok());
    QCOMPARE(rs.recordCount(), 3);
    QCOMPARE(vendorCount(c), 3);
    QVERIFY(rs.moveNext().ok());
    QCOMPARE(company(rs), QStringLiteral("Birch"));
    QCOMPARE(rs.absolutePosition(), 1);

    QVERIFY(rs.moveLast().ok());
    QVERIFY(rs.deleteCurrent().ok());
    QVERIFY(rs.moveNext().ok());
    QVERIFY(rs.eof());
    QVERIFY(rs.moveLast().ok());
    QCOMPARE(rs.absolutePosition(), 2);

    QVERIFY(rs.requery().ok());
    QCOMPARE(rs.recordCount(), 2);
    QCOMPARE(company(rs), QStringLiteral("Birch"));
}

void TestRecordSet::pendingChangeIsWrittenWhenLeft_data()
{
    QTest::addColumn<QString>("how");
    for (const char* how : {"next", "previous", "first", "last", "position", "requery", "close"})
        QTest::newRow(how) << QString::fromLatin1(how);
}

void TestRecordSet::pendingChangeIsWrittenWhenLeft()
{
    QFETCH(QString, how);
    TempDatabase db;
    Connection c = db.connect();
    addVendors(c, {"Alder", "Birch", "Cedar"});
    RecordSet rs;
    QVERIFY(rs.open(c, Statements::VendorsByCompany).ok());
    QVERIFY(rs.moveTo(2).ok());
    QVERIFY(rs.setValue(QStringLiteral("City"), QStringLiteral("Tulsa")).ok());
    QVERIFY(rs.isDirty());
    const QString check = QStringLiteral("SELECT City FROM tblVendor WHERE Company = 'Birch'");
    QVERIFY(c.scalar(check).value().isNull()); // nothing written while the record is current

    Status left = how == "next"       ? rs.moveNext()
                  : how == "previous" ? rs.movePrevious()
                  : how == "first"    ? rs.moveFirst()
                  : how == "last"     ? rs.moveLast()
                  : how == "position" ? rs.moveTo(3)
                  : how == "requery"  ? rs.requery()
                                      : rs.close();
    QVERIFY(left.ok());
    QCOMPARE(c.scalar(check).value().toString(), QStringLiteral("Tulsa"));
    QVERIFY(!rs.isDirty());
}

void TestRecordSet::untouchedNewRecordIsDropped()
{
    TempDatabase db;
    Connection c = db.connect();
    addVendors(c, {"Alder"});
    RecordSet rs;
    QVERIFY(rs.open(c, Statements::VendorsByCompany).ok());
    QVERIFY(rs.addNew().ok());
    QVERIFY(rs.moveFirst().ok());
    QCOMPARE(rs.recordCount(), 1);
    QVERIFY(rs.addNew().ok());
    QVERIFY(rs.close().ok());
    QCOMPARE(vendorCount(c), 1);
}

void TestRecordSet::cancelUpdateForgetsTheChange()
{
    TempDatabase db;
    Connection c = db.connect();
    addVendors(c, {"Alder"});
    RecordSet rs;
    QVERIFY(rs.open(c, Statements::VendorsByCompany).ok());
    QVERIFY(rs.setValue(QStringLiteral("Company"), QStringLiteral("Changed")).ok());
    rs.cancelUpdate();
    QCOMPARE(company(rs), QStringLiteral("Alder"));
    QVERIFY(rs.addNew().ok());
    QVERIFY(rs.setValue(QStringLiteral("Company"), QStringLiteral("New")).ok());
    rs.cancelUpdate();
    QCOMPARE(rs.recordCount(), 1);
    QVERIFY(rs.moveFirst().ok());
    QCOMPARE(vendorCount(c), 1);
}

void TestRecordSet::valuesKeepTheirKinds()
{
    TempDatabase db;
    Connection c = db.connect();
    RecordSet rs;
    QVERIFY(rs.open(c, Statements::IncomeRows).ok());
    QVERIFY(rs.addNew().ok());
    QVERIFY(rs.setValue(QStringLiteral("Income"), QStringLiteral("$1,234.50")).ok());
    QVERIFY(rs.setValue(QStringLiteral("RecDate"), QStringLiteral("3/7/2026")).ok());
    QVERIFY(rs.setValue(QStringLiteral("Memo"), QString()).ok());
    QVERIFY(rs.setValue(QStringLiteral("Payee"), QStringLiteral("O'Hara")).ok());
    QVERIFY(rs.update().ok());
    QVERIFY(rs.requery().ok());

    QCOMPARE(rs.recordCount(), 1);
    QCOMPARE(rs.value(QStringLiteral("income")).value<Money>(), Money::fromCents(123450));
    QCOMPARE(rs.value(QStringLiteral("Expense")).value<Money>(), Money()); // the default
    QCOMPARE(rs.value(QStringLiteral("RecDate")).toDate(), QDate(2026, 3, 7));
    QCOMPARE(rs.value(QStringLiteral("Payee")).toString(), QStringLiteral("O'Hara"));
    QVERIFY(!rs.value(QStringLiteral("Memo")).isNull());  // empty text
    QVERIFY(rs.value(QStringLiteral("CheckNo")).isNull()); // never set: NULL
    QCOMPARE(c.scalar(QStringLiteral("SELECT RecDate FROM tblFinance")).value().toDate(),
             QDate(2026, 3, 7));

    // Clearing a date or an amount stores NULL.
    QVERIFY(rs.setValue(QStringLiteral("RecDate"), QString()).ok());
    QVERIFY(rs.update().ok());
    QVERIFY(rs.value(QStringLiteral("RecDate")).isNull());
}

void TestRecordSet::numbersForAnAmountAreDollars_data()
{
    QTest::addColumn<QVariant>("given");
    QTest::addColumn<qint64>("cents");
    QTest::newRow("whole number") << QVariant(5) << qint64(500);
    QTest::newRow("long whole number") << QVariant(qlonglong(-1200)) << qint64(-120000);
    QTest::newRow("real number") << QVariant(2.25) << qint64(225);
    QTest::newRow("money") << QVariant::fromValue(Money::fromCents(1999)) << qint64(1999);
}

void TestRecordSet::numbersForAnAmountAreDollars()
{
    QFETCH(QVariant, given);
    QFETCH(qint64, cents);
    TempDatabase db;
    Connection c = db.connect();
    RecordSet rs;
    QVERIFY(rs.open(c, Statements::LedgerTable).ok());
    QVERIFY(rs.addNew().ok());
    QVERIFY(rs.setValue(QStringLiteral("Income"), given).ok());
    QVERIFY(rs.update().ok());
    QCOMPARE(c.sum(QStringLiteral("SELECT Income FROM tblFinance")).value(), Money::fromCents(cents));
}

void TestRecordSet::refusesValuesThatDoNotFit_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("letters in an amount") << "Income" << QVariant(QStringLiteral("12a"));
    QTest::newRow("no such day") << "RecDate" << QVariant(QStringLiteral("2/30/2026"));
    QTest::newRow("words for a date") << "RecDate" << QVariant(QStringLiteral("tomorrow"));
    QTest::newRow("unknown field") << "Amount" << QVariant(1);
    QTest::newRow("an amount beyond money") << "Income" << QVariant(qlonglong(1000000000000000));
    QTest::newRow("a date for an amount") << "Income" << QVariant(QDate(2026, 1, 2));
}

void TestRecordSet::refusesValuesThatDoNotFit()
{
    QFETCH(QString, column);
    QFETCH(QVariant, value);
    TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.execute(QStringLiteral("INSERT INTO tblFinance (Income, RecDate) VALUES (100, "
                                     "'2026-01-02')"))
                .ok());
    RecordSet rs;
    QVERIFY(rs.open(c, Statements::LedgerTable).ok());
    const Status s = rs.setValue(column, value);
    QVERIFY(!s.ok());
    QVERIFY2(s.error().description.contains(column), qPrintable(s.error().description));
    QVERIFY(!rs.isDirty());
    QCOMPARE(rs.value(QStringLiteral("RecDate")).toDate(), QDate(2026, 1, 2));
}

void TestRecordSet::fieldsHoldWhatTheDatabaseKeeps_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("given");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QVariant>("kept");
    const QVariant none;
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("rate typed") << "tblLoan" << "IntRate" << QVariant("6.5") << true << QVariant(6.5);
    QTest::newRow("whole number") << "tblLoan" << "IntRate" << QVariant(7) << true
                                  << QVariant(qlonglong(7));
    QTest::newRow("not a number typed") << "tblLoan" << "IntRate" << QVariant("nan") << false << none;
    QTest::newRow("infinity typed") << "tblLoan" << "IntRate" << QVariant("inf") << false << none;
    QTest::newRow("infinite real") << "tblLoan" << "IntRate" << QVariant(inf) << false << none;
    QTest::newRow("real that is no number")
        << "tblLoan" << "IntRate" << QVariant(std::numeric_limits<double>::quiet_NaN()) << false
        << none;
    QTest::newRow("a date for a number")
        << "tblLoan" << "IntRate" << QVariant(QDate(2026, 1, 31)) << false << none;
    QTest::newRow("money for a number")
        << "tblLoan" << "IntRate" << QVariant::fromValue(Money::fromCents(500)) << false << none;
    QTest::newRow("bytes for a number")
        << "tblLoan" << "IntRate" << QVariant(QByteArray("12")) << false << none;
    QTest::newRow("time to the second") << "tblNotes" << "NoteTime" << QVariant(QTime(11, 27, 15, 807))
                                        << true << QVariant(QTime(11, 27, 15));
    QTest::newRow("clock time typed") << "tblNotes" << "NoteTime" << QVariant("1:05:09 PM") << true
                                      << QVariant(QTime(13, 5, 9));
    QTest::newRow("the first year") << "tblNotes" << "NoteDate" << QVariant(QDate(1, 1, 1)) << true
                                    << QVariant(QDate(1, 1, 1));
    QTest::newRow("the last day typed") << "tblNotes" << "NoteDate" << QVariant("12/31/9999") << true
                                        << QVariant(QDate(9999, 12, 31));
    QTest::newRow("a year of five digits")
        << "tblNotes" << "NoteDate" << QVariant(QDate(10000, 1, 1)) << false << none;
    QTest::newRow("a year before the first")
        << "tblNotes" << "NoteDate" << QVariant(QDate(-5, 1, 1)) << false << none;
    QTest::newRow("date and time of a year of five digits")
        << "tblNotes" << "NoteDate" << QVariant(QDateTime(QDate(12345, 6, 7), QTime(1, 0))) << false
        << none;
}

void TestRecordSet::fieldsHoldWhatTheDatabaseKeeps()
{
    QFETCH(QString, table);
    QFETCH(QString, column);
    QFETCH(QVariant, given);
    QFETCH(bool, accepted);
    QFETCH(QVariant, kept);
    TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.execute(QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)).ok());
    RecordSet rs;
    QVERIFY(rs.open(c, table).ok());

    const Status s = rs.setValue(column, given);
    QCOMPARE(s.ok(), accepted);
    if (!accepted) {
        QVERIFY2(s.error().description.contains(column), qPrintable(s.error().description));
        QVERIFY(!rs.isDirty());
        QVERIFY(rs.value(column).isNull());
        return;
    }
    // What the field holds before the write is what the database gives back after it.
    QCOMPARE(rs.value(column), kept);
    QVERIFY(rs.update().ok());
    QVERIFY(rs.requery().ok());
    QCOMPARE(rs.value(column), kept);
    QCOMPARE(rs.value(column).metaType(), kept.metaType());
}

// A ledger of 60,000 rows, "row 1" to "row 60000", every fourth an expense: 45,000 incomes, more
// than a large set reads the keys of at opening. Income n is row n + (n - 1) / 3.
void fillLargeLedger(const Connection& c)
{
    QVERIFY(c.executeScript(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 60000) "
        "INSERT INTO tblFinance (Memo, Income, Expense) SELECT 'row ' || i, "
        "CASE i % 4 WHEN 0 THEN 0 ELSE 10000 END, CASE i % 4 WHEN 0 THEN 10000 ELSE 0 END FROM n")));
}

QString memoAt(const RecordSet& rs, int position)
{
    return rs.valueAt(position - 1, rs.columnIndex(QStringLiteral("Memo"))).toString();
}

// Each row opens the set anew and looks at records in the order given, as the grid and the
// commands ask for them: the ends, a jump into the middle, and the ways back from it.
void TestRecordSet::aLargeSetShowsEveryRecordInPlace_data()
{
    QTest::addColumn<QList<int>>("positions");
    QTest::addColumn<QStringList>("memos");
    QTest::newRow("first and last") << QList<int>{1, 45000} << QStringList{"row 1", "row 59999"};
    QTest::newRow("the middle, then either side")
        << QList<int>{22500, 22499, 22501, 22244, 22756}
        << QStringList{"row 29999", "row 29998", "row 30001", "row 29658", "row 30341"};
    QTest::newRow("up from the last page")
        << QList<int>{45000, 44744, 44743, 44488}
        << QStringList{"row 59999", "row 59658", "row 59657", "row 59317"};
    QTest::newRow("across page borders, going on")
        << QList<int>{20000, 20001, 20002, 20257}
        << QStringList{"row 26666", "row 26667", "row 26669", "row 27009"};
}

void TestRecordSet::aLargeSetShowsEveryRecordInPlace()
{
    QFETCH(QList<int>, positions);
    QFETCH(QStringList, memos);
    TempDatabase db;
    const Connection c = db.connect();
    fillLargeLedger(c);
    RecordSet rs;
    QVERIFY(rs.open(c, Statements::IncomeRows));
    QCOMPARE(rs.recordCount(), 45000);
    QStringList seen;
    for (int position : positions)
        seen << memoAt(rs, position);
    QCOMPARE(seen, memos);

    // Found without reading what stands before it; an expense is not among the incomes.
    QCOMPARE(rs.firstPositionWhere(QStringLiteral("Memo = ?"), {"row 37001"}).value(), 27751);
    QCOMPARE(rs.firstPositionWhere(QStringLiteral("Memo = ?"), {"row 40000"}).value(), 0);
    QVERIFY(rs.moveTo(27751));
    QCOMPARE(rs.value(QStringLiteral("Memo")).toString(), QStringLiteral("row 37001"));
    QCOMPARE(memoAt(rs, 27750), QStringLiteral("row 36999"));

    // A new income comes last, and is written to its own row.
    QVERIFY(rs.addNew());
    QVERIFY(rs.setValue(QStringLiteral("Memo"), QStringLiteral("row new")));
    QVERIFY(rs.setValue(QStringLiteral("Income"), 20000));
    QVERIFY(rs.update());
    QCOMPARE(rs.recordCount(), 45001);
    QVERIFY(rs.moveLast());
    QCOMPARE(rs.value(QStringLiteral("Memo")).toString(), QStringLiteral("row new"));
    QCOMPARE(c.scalar(QStringLiteral("SELECT count(*) FROM tblFinance WHERE Memo = 'row new'")).value(),
             QVariant(1));
}

// Rows another window deleted before the set looked at them are not shown, and no row is shown
// twice or out of its order on either side of them.
void TestRecordSet::aLargeSetAfterAnotherWindowDeleted()
{
    TempDatabase db;
    const Connection c = db.connect();
    fillLargeLedger(c);
    RecordSet rs;
    QVERIFY(rs.open(c, Statements::IncomeRows));
    QVERIFY(c.execute(QStringLiteral("DELETE FROM tblFinance WHERE ID BETWEEN 30001 AND 30100")));
    QVERIFY(rs.moveTo(22500));
    QStringList shown;
    for (int position = 22000; position <= 23000; ++position)
        if (const QString memo = memoAt(rs, position); !memo.isEmpty())
            shown << memo;
    QStringList expected;
    for (int row = 29333; row <= 30762; ++row)
        if (row % 4 != 0 && (row < 30001 || row > 30100))
            expected << QStringLiteral("row %1").arg(row);
    // What stands at the ends of the range depends on where the pages were read from; all
    // between them is every remaining income, once, in order.
    const qsizetype from = shown.indexOf(QStringLiteral("row 29501"));
    const qsizetype to = shown.indexOf(QStringLiteral("row 30601"));
    QVERIFY(from >= 0 && to > from);
    QCOMPARE(shown.mid(from, to - from + 1),
             expected.mid(expected.indexOf(QStringLiteral("row 29501")),
                          expected.indexOf(QStringLiteral("row 30601"))
                              - expected.indexOf(QStringLiteral("row 29501")) + 1));
}

void TestRecordSet::readsLargeSetsInPages()
{
    TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.executeScript(QStringLiteral(
                                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                "WHERE i < 130) INSERT INTO tblFinance (Memo, Income) "
                                "SELECT printf('row %03d', i), i * 10000 FROM n;"))
                .ok());
    RecordSet rs;
    QVERIFY(rs.open(c, Statements::IncomeRows).ok());
    QCOMPARE(rs.recordCount(), 130);
    QVERIFY(rs.moveLast().ok());
    QCOMPARE(rs.value(QStringLiteral("Memo")).toString(), QStringLiteral("row 130"));
    const int memo = rs.columnIndex(QStringLiteral("Memo"));
    for (int row : {0, 49, 50, 99, 100, 129})
        QCOMPARE(rs.valueAt(row, memo).toString(), QStringLiteral("row %1").arg(row + 1, 3, 10, QLatin1Char('0')));

    // Removing a record shifts the ones after it, across page borders.
    QVERIFY(rs.moveTo(50).ok());
    QVERIFY(rs.deleteCurrent().ok());
    QCOMPARE(rs.valueAt(49, memo).toString(), QStringLiteral("row 051"));
    QCOMPARE(rs.valueAt(128, memo).toString(), QStringLiteral("row 130"));
}

void TestRecordSet::statementsOverOneTableAreUpdatable_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QVariantList>("params");
    QTest::addColumn<bool>("updatable");
    QTest::addColumn<int>("count");
    QTest::newRow("table by name") << "tblNotes" << QVariantList() << true << 3;
    QTest::newRow("ordered") << Statements::NotesInOrder << QVariantList() << true << 3;
    QTest::newRow("one property, name with a quote")
        << Statements::NotesOfProperty << QVariantList{QStringLiteral("o'NEIL")} << true << 2;
    QTest::newRow("a year") << Statements::NotesOfYear
                            << QVariantList{QStringLiteral("%2026%")} << true << 1;
    QTest::newRow("chosen columns") << "SELECT ID, Notes FROM tblNotes" << QVariantList() << false
                                    << 3;
    QTest::newRow("grouped") << "SELECT * FROM tblNotes GROUP BY NickName" << QVariantList()
                             << false << 2;
}

void TestRecordSet::statementsOverOneTableAreUpdatable()
{
    QFETCH(QString, source);
    QFETCH(QVariantList, params);
    QFETCH(bool, updatable);
    QFETCH(int, count);
    TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.executeScript(QStringLiteral(
                                "INSERT INTO tblNotes (NoteDate, NickName, Notes) VALUES "
                                "('2026-05-01', 'O''Neil', 'a'), ('2025-05-01', 'o''neil', 'b'), "
                                "('2025-06-01', 'Elm', 'c');"))
                .ok());
    RecordSet rs;
    QVERIFY(rs.open(c, source, params).ok());
    QCOMPARE(rs.isUpdatable(), updatable);
    QCOMPARE(rs.recordCount(), count);
    QCOMPARE(rs.setValue(QStringLiteral("Notes"), QStringLiteral("changed")).ok(), updatable);
    QCOMPARE(rs.addNew().ok(), updatable);
}

void TestRecordSet::failedWriteOnMoveIsReportedAndKeepsTheRecord()
{
    TempDatabase db;
    Connection c = db.connect();
    addVendors(c, {"Alder", "Birch"});
    RecordSet rs;
    QSignalSpy errors(&rs, &RecordSet::error);
    QVERIFY(rs.open(c, Statements::VendorsByCompany).ok());
    QVERIFY(rs.setValue(QStringLiteral("City"), QStringLiteral("Tulsa")).ok());
    // Another window deletes the record meanwhile.
    QVERIFY(c.execute(QStringLiteral("DELETE FROM tblVendor WHERE Company = 'Alder'")).ok());

    QVERIFY(!rs.moveNext().ok());
    QCOMPARE(errors.count(), 1);
    QCOMPARE(rs.absolutePosition(), 1);
    QVERIFY(rs.isDirty());
}

QTEST_GUILESS_MAIN(TestRecordSet)
#include "tst_record_set.moc"
