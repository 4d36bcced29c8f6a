// A hand-computed tax year of four properties: the worksheet's lines and totals to the cent, the
// categories given their first lines by their names, and the year stopped by a category with none.

#include "maintenance/database_copy.h"
#include "tax/schedule_e.h"
#include "tests/support/temp_database.h"

#include <QTest>

using namespace halvo;

namespace {

Money money(const char* text)
{
    return Money::parse(QString::fromLatin1(text)).value();
}

// The year 2026 of the ledger, with a row on each side of it that must not count.
const char* const ledger = R"(
INSERT INTO tblBuilding (BldNickName, BldPropAddress) VALUES
  ('ELM', '12 Elm St, Dayton, OH 45402'), ('OAK', '7 Oak Ave, Dayton, OH 45405'),
  ('PINE', '30 Pine Rd, Kettering, OH 45429'), ('ASH', '5 Ash Ct, Xenia, OH 45385');
INSERT INTO tblCategory (Income, Expense) VALUES
  ('Rent', 'Mortgage Interest'), ('Security Deposit', 'Loan Principal'), ('Deposit Kept', 'Repairs'),
  ('Royalties', 'Deposit Returned'), (NULL, 'Insurance'), (NULL, 'Property Tax'),
  (NULL, 'Depreciation'), (NULL, 'Water'), (NULL, 'Management Fees'), (NULL, 'Capital Improvement'),
  (NULL, 'Pest Control');
INSERT INTO tblFinance (NickName, RecDate, Payee, Category, Income, Expense) VALUES
  ('ELM', '2025-12-31', 'J Smith', 'Rent', 9990000, 0),
  ('ELM', '2026-01-05', 'J Smith', 'Rent', 12500000, 0),
  ('ELM', '2026-02-05', 'J Smith', 'Rent', 12500000, 0),
  ('ELM', '2026-01-02', 'J Smith', 'Security Deposit', 15000000, 0),
  ('ELM', '2026-01-15', 'First Bank', 'Mortgage Interest', 0, 6102500),
  ('ELM', '2026-01-15', 'First Bank', 'Loan Principal', 0, 2897500),
  ('ELM', '2026-03-09', 'Ace Roofing', 'Repairs', 0, 1804000),
  ('OAK', '2026-04-01', 'R Brown', 'Rent', 9000000, 0),
  ('OAK', '2026-06-30', 'R Brown', 'Deposit Kept', 3000000, 0),
  ('OAK', '2026-06-30', 'R Brown', 'Deposit Returned', 0, 6000000),
  ('OAK', '2026-05-01', 'State Farm', 'Insurance', 0, 4200000),
  ('OAK', '2026-11-20', 'County', 'Property Tax', 0, 11000000),
  ('PINE', '2026-07-01', 'L Green', 'Rent', 20000000, 0),
  ('PINE', '2026-12-31', 'Own records', 'Depreciation', 0, 7272700),
  ('PINE', '2026-08-03', 'City Water', 'Water', 0, 451000),
  ('PINE', '2026-09-14', 'Bug Busters', 'Pest Control', 0, 800000),
  ('ASH', '2026-10-10', 'Gas Co', 'Royalties', 1500000, 0),
  ('ASH', '2026-10-01', 'Acme Mgmt', 'Management Fees', 0, 1200000),
  ('ASH', '2026-02-20', 'Deck Builders', 'Capital Improvement', 0, 50000000),
  ('ASH', '2027-01-01', 'Acme Mgmt', 'Management Fees', 0, 1200000);
)";

} // namespace

class TestScheduleE : public QObject {
    Q_OBJECT
private slots:
    void firstLinesByName_data();
    void firstLinesByName();
    void handComputedYear();
    void linesGoWithTheBackupAndTheCompactedCopy();
};

void TestScheduleE::firstLinesByName_data()
{
    QTest::addColumn<bool>("income");
    QTest::addColumn<QString>("category");
    QTest::addColumn<int>("line"); // -1: no suggestion
    QTest::newRow("rent") << true << "Rent" << 3;
    QTest::newRow("deposit held") << true << "Security Deposit" << 0;
    QTest::newRow("deposit kept is rent") << true << "Deposit Kept" << 3;
    QTest::newRow("mortgage interest") << false << "Mortgage Interest" << 12;
    QTest::newRow("other interest") << false << "Credit Card Interest" << 13;
    QTest::newRow("principal") << false << "Loan Principal" << 0;
    QTest::newRow("utilities") << false << "Electric" << 17;
    QTest::newRow("nothing known") << false << "Pest Control" << -1;
}

void TestScheduleE::firstLinesByName()
{
    QFETCH(bool, income);
    QFETCH(QString, category);
    QFETCH(int, line);
    QCOMPARE(suggestedLine(income, category).value_or(-1), line);
}

void TestScheduleE::handComputedYear()
{
    test::TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.executeScript(QString::fromLatin1(ledger)));
    QCOMPARE(offerFirstMapping(c).value(), 14);
    QCOMPARE(scheduleEWorksheet(c, 2026).error().description,
             QString("The category \"Pest Control\" (expense) of 2026 has no Schedule E line: give "
                     "it one in the category editor."));

    QVERIFY(saveCategoryLine(c, {false, "Pest Control"}, 7));
    QCOMPARE(offerFirstMapping(c).value(), 0); // what the user chose stays
    const Worksheet sheet = scheduleEWorksheet(c, 2026).value();
    QStringList properties;
    for (const WorksheetColumn& column : sheet.columns)
        properties.append(column.property);
    QCOMPARE(properties, QStringList({"ASH", "ELM", "OAK", "PINE"}));
    using Lines = QMap<int, Money>;
    const QList<Lines> expected{
        {{4, money("150.00")}, {11, money("120.00")}, {20, money("120.00")}, {21, money("30.00")}},
        {{3, money("2500.00")}, {12, money("610.25")}, {14, money("180.40")},
         {20, money("790.65")}, {21, money("1709.35")}},
        {{3, money("1200.00")}, {9, money("420.00")}, {16, money("1100.00")},
         {20, money("1520.00")}, {21, money("-320.00")}},
        {{3, money("2000.00")}, {7, money("80.00")}, {17, money("45.10")}, {18, money("727.27")},
         {20, money("852.37")}, {21, money("1147.63")}},
    };
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(sheet.columns.at(i).lines, expected.at(i));
    QCOMPARE(sheet.columns.at(1).address, QString("12 Elm St, Dayton, OH 45402"));
    QCOMPARE(sheet.rents, money("5700.00"));
    QCOMPARE(sheet.royalties, money("150.00"));
    QCOMPARE(sheet.mortgageInterest, money("610.25"));
    QCOMPARE(sheet.depreciation, money("727.27"));
    QCOMPARE(sheet.totalExpenses, money("3283.02"));
}

void TestScheduleE::linesGoWithTheBackupAndTheCompactedCopy()
{
    test::TempDatabase db;
    Connection c = db.connect();
    QVERIFY(saveCategoryLine(c, {false, "Pest Control"}, 7));
    QVERIFY(saveCategoryLine(c, {true, "Security Deposit"}, NotOnScheduleE));
    const QString backup = db.folder() + "/backup.mdb", compacted = db.folder() + "/compacted.mdb";
    QVERIFY(copyLiveDatabase(c, backup, DatabasePassword));
    QVERIFY(writeCompactedCopy(c, compacted, DatabasePassword));
    for (const QString& copy : {backup, compacted}) {
        const QMap<CategoryKey, int> lines =
            loadCategoryLines(Connection::openFile(copy, DatabasePassword).value()).value();
        QCOMPARE(lines, (QMap<CategoryKey, int>{{{false, "Pest Control"}, 7},
                                                {{true, "Security Deposit"}, 0}}));
        releaseDatabase(copy);
    }
}

QTEST_MAIN(TestScheduleE)
#include "tst_schedule_e.moc"
