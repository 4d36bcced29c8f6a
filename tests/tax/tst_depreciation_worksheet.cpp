// Line 18 of a hand-computed tax year: the depreciation of the properties' assets (a building,
// a nonresidential building with an improvement from the ledger, a building sold in August)
// beside the ledger's own line 18 rows, the warning when a property has both, and the
// Depreciation Schedule's rows on paper and in its CSV file.

#include "reports/report_document.h"
#include "reports/report_layouts.h"
#include "tax/depreciation_assets.h"
#include "tax/depreciation_sheet.h"
#include "tax/schedule_e_sheet.h"
#include "tests/support/temp_database.h"

#include <QTest>

using namespace halvo;

namespace {

Money money(const char* text) { return Money::parse(QString::fromLatin1(text)).value(); }

// ELM: a residential building of $275,000 basis from January 2020 (2026 is its 7th year,
// 3.636%: $9,999.00) and $1,200.00 of depreciation in a ledger category on line 18.
// OAK: a nonresidential building of $390,000 basis from March 2021 (6th year, 2.564%:
// $9,999.60) and a roof of $18,000.00 paid in October 2026 from a capital improvement category
// (first year of 39, October: 0.535%, $96.30).
// PINE: a residential building of $100,000 basis from July 2018, sold on August 20, 2026 (9th
// year, 3.636%: $3,636.00 for 7.5 months of 12, $2,272.50), with no ledger row in 2026.
const char* const year = R"(
INSERT INTO tblBuilding (BldNickName, BldPropAddress) VALUES
  ('ELM', '12 Elm St, Dayton, OH 45402'), ('OAK', '7 Oak Ave, Dayton, OH 45405'),
  ('PINE', '30 Pine Rd, Kettering, OH 45429');
INSERT INTO tblAsset (NickName, Description, Cost, Additions, Land, InService, AssetClass,
  Disposed) VALUES
  ('ELM', 'Building', 2900000000, 100000000, 250000000, '2020-01-15',
   'Residential rental (27.5 years)', NULL),
  ('oak', 'Store building', 4500000000, 0, 600000000, '2021-03-10',
   'Nonresidential real property (39 years)', NULL),
  ('PINE', 'Duplex', 1200000000, 0, 200000000, '2018-07-01', 'Residential rental (27.5 years)',
   '2026-08-20');
INSERT INTO tblCategoryLine (Kind, Category, Line) VALUES ('Income', 'Rent', 3),
  ('Expense', 'Depreciation', 18), ('Expense', 'Roof Replacement', 99);
INSERT INTO tblFinance (NickName, RecDate, Payee, Memo, Category, Income, Expense) VALUES
  ('ELM', '2026-01-05', 'J Smith', NULL, 'Rent', 12500000, 0),
  ('ELM', '2026-12-31', 'Own records', NULL, 'Depreciation', 0, 12000000),
  ('OAK', '2026-04-01', 'R Brown', NULL, 'Rent', 9000000, 0),
  ('OAK', '2026-10-02', 'Ace Roofing', 'new roof', 'roof replacement', 0, 180000000);
)";

const QString elmNotice = QStringLiteral(
    "Line 18 of ELM holds both the computed depreciation ($9,999.00) and ledger rows mapped to "
    "line 18 ($1,200.00): make sure nothing is deducted twice.");

} // namespace

class DepreciationWorksheetTest : public QObject {
    Q_OBJECT
private slots:
    void improvementLineOfferedForExpensesOnly();
    void lineEighteen();
    void warningOnThePageAndInTheCsv();
    void scheduleOfAProperty();
};

void DepreciationWorksheetTest::improvementLineOfferedForExpensesOnly()
{
    QVERIFY(mappableLines(2026, false).contains(CapitalImprovement));
    QVERIFY(!mappableLines(2026, true).contains(CapitalImprovement));
    QCOMPARE(lineCaption(2026, CapitalImprovement), QString("Capital improvement (depreciated)"));
}

void DepreciationWorksheetTest::lineEighteen()
{
    test::TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.executeScript(QString::fromLatin1(year)));
    const Worksheet sheet = scheduleEWorksheet(c, 2026).value();
    QStringList seen;
    for (const WorksheetColumn& column : sheet.columns)
        seen << QString("%1 %2 18:%3 20:%4")
                    .arg(column.property, column.address,
                         column.lines.value(18).format(MoneyFormat::Bound),
                         column.lines.value(20).format(MoneyFormat::Bound));
    QCOMPARE(seen, QStringList({"ELM 12 Elm St, Dayton, OH 45402 18:$11,199.00 20:$11,199.00",
                                "OAK 7 Oak Ave, Dayton, OH 45405 18:$10,095.90 20:$10,095.90",
                                "PINE 30 Pine Rd, Kettering, OH 45429 18:$2,272.50 20:$2,272.50"}));
    QCOMPARE(sheet.depreciation, money("23567.40"));
    QCOMPARE(sheet.totalExpenses, money("23567.40"));
    // The years before and after hold no more than their own assets' share.
    QCOMPARE(scheduleEWorksheet(c, 2027).value().depreciation, money("20460.12"));
}

void DepreciationWorksheetTest::warningOnThePageAndInTheCsv()
{
    test::TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.executeScript(QString::fromLatin1(year)));
    const Worksheet sheet = scheduleEWorksheet(c, 2026).value();
    QCOMPARE(depreciationNotice(sheet.columns.at(0)), elmNotice);
    QCOMPARE(depreciationNotice(sheet.columns.at(1)), QString());

    const MemoryRows rows = worksheetRows(sheet);
    ReportDocument document(ReportLayouts::rptScheduleE(), rows, QDate(2027, 2, 1));
    QVERIFY(document.paginate().ok());
    QCOMPARE(document.pageCount(), 1);
    QStringList notices;
    for (const ReportItem& item : document.pageItems(0))
        if (item.control == "txtNotice" && !item.text.isEmpty())
            notices << QString(item.text).replace('\n', ' ');
    QCOMPARE(notices, QStringList{elmNotice});

    const QList<QVariantList> table = worksheetTable(sheet);
    // The notes come last but for line A.
    QCOMPARE(table.at(table.size() - 2), (QVariantList{"Note", elmNotice}));
    QCOMPARE(table.last().first(), "A");
}

void DepreciationWorksheetTest::scheduleOfAProperty()
{
    test::TempDatabase db;
    Connection c = db.connect();
    QVERIFY(c.executeScript(QString::fromLatin1(year)));
    const QList<Asset> assets = loadAssets(c, "OAK").value();
    const QList<QVariantList> table = depreciationTable(assets, 2026);
    QStringList seen;
    for (const QVariantList& row : table) {
        QStringList fields;
        for (const QVariant& v : row)
            fields << (v.canConvert<Money>() && v.typeId() == qMetaTypeId<Money>()
                           ? v.value<Money>().format(MoneyFormat::Bound)
                           : v.toString());
        seen << fields.join('|');
    }
    QCOMPARE(seen.size(), 8);
    QCOMPARE(seen.at(0), QString("Asset|Property|Description|Source|Class|Cost|Additions|Land|Basis|"
                                 "Placed in Service|Sold or Out of Service|Year|Recovery Year|"
                                 "Percentage|Deduction|Accumulated|Remaining|Note"));
    QCOMPARE(seen.at(1), QString("1|oak|Store building|Entered|Nonresidential real property (39 "
                                 "years)|$450,000.00|$0.00|$60,000.00|$390,000.00|2021-03-10||"
                                 "2021|1|2.033%|$7,928.70|$7,928.70|$382,071.30|"));
    QCOMPARE(seen.at(6), QString("1|oak|Store building|Entered|Nonresidential real property (39 "
                                 "years)|$450,000.00|$0.00|$60,000.00|$390,000.00|2021-03-10||"
                                 "2026|6|2.564%|$9,999.60|$57,926.70|$332,073.30|"));
    QCOMPARE(seen.at(7), QString("2|OAK|Ace Roofing: new roof|Ledger|Nonresidential real property "
                                 "(39 years)|$18,000.00|$0.00|$0.00|$18,000.00|2026-10-02||2026|1|"
                                 "0.535%|$96.30|$96.30|$17,903.70|"));

    // On paper each asset begins a page of its own.
    const MemoryRows rows = depreciationRows(assets, 2026);
    ReportDocument document(ReportLayouts::rptDepreciation(), rows, QDate(2027, 2, 1));
    QVERIFY(document.paginate().ok());
    QCOMPARE(document.pageCount(), 2);
}

QTEST_MAIN(DepreciationWorksheetTest)
#include "tst_depreciation_worksheet.moc"
