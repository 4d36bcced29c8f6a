// Depreciation by the tables of IRS Publication 946: the percentages checked against the
// published tables, and a table of assets in their first, a middle and their last recovery
// years, each figure worked out by hand.

#include "tax/depreciation.h"

#include <QTest>

using namespace halvo;

namespace {

QString shown(const Money& m) { return m.format(MoneyFormat::Bound); }

} // namespace

class DepreciationTest : public QObject {
    Q_OBJECT
private slots:
    void publishedPercentages_data();
    void publishedPercentages();
    void everyColumnRecoversTheWholeBasis();
    void deductions_data();
    void deductions();
};

// Cells of Table A-6 (residential rental property, mid-month, straight line, 27.5 years) and
// Table A-7a (nonresidential real property, mid-month, straight line, 39 years) as Publication
// 946 prints them, by month placed in service and recovery year.
void DepreciationTest::publishedPercentages_data()
{
    QTest::addColumn<bool>("residential");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("recoveryYear");
    QTest::addColumn<QString>("percentage");
    QTest::newRow("A-6 Jan year 1") << true << 1 << 1 << "3.485%";
    QTest::newRow("A-6 Jun year 1") << true << 6 << 1 << "1.970%";
    QTest::newRow("A-6 Dec year 1") << true << 12 << 1 << "0.152%";
    QTest::newRow("A-6 Mar year 9") << true << 3 << 9 << "3.636%";
    QTest::newRow("A-6 Jan year 10") << true << 1 << 10 << "3.637%";
    QTest::newRow("A-6 Jul year 10") << true << 7 << 10 << "3.636%";
    QTest::newRow("A-6 Jan year 11") << true << 1 << 11 << "3.636%";
    QTest::newRow("A-6 Dec year 27") << true << 12 << 27 << "3.637%";
    QTest::newRow("A-6 Jan year 28") << true << 1 << 28 << "1.970%";
    QTest::newRow("A-6 Jun year 28") << true << 6 << 28 << "3.485%";
    QTest::newRow("A-6 Jan year 29") << true << 1 << 29 << "0.000%";
    QTest::newRow("A-6 Aug year 29") << true << 8 << 29 << "0.455%";
    QTest::newRow("A-6 Dec year 29") << true << 12 << 29 << "1.667%";
    QTest::newRow("A-7a Jan year 1") << false << 1 << 1 << "2.461%";
    QTest::newRow("A-7a Jul year 1") << false << 7 << 1 << "1.177%";
    QTest::newRow("A-7a Dec year 1") << false << 12 << 1 << "0.107%";
    QTest::newRow("A-7a Apr year 39") << false << 4 << 39 << "2.564%";
    QTest::newRow("A-7a Jan year 40") << false << 1 << 40 << "0.107%";
    QTest::newRow("A-7a Dec year 40") << false << 12 << 40 << "2.461%";
    QTest::newRow("A-6 has no year 30") << true << 12 << 30 << "0.000%";
}

void DepreciationTest::publishedPercentages()
{
    QFETCH(bool, residential);
    QFETCH(int, month);
    QFETCH(int, recoveryYear);
    QFETCH(QString, percentage);
    const AssetClass c = residential ? AssetClass::Residential : AssetClass::Nonresidential;
    QCOMPARE(percentageText(tablePercentage(c, month, recoveryYear)), percentage);
}

void DepreciationTest::everyColumnRecoversTheWholeBasis()
{
    for (AssetClass c : {AssetClass::Residential, AssetClass::Nonresidential})
        for (int month = 1; month <= 12; ++month) {
            int total = 0;
            for (int year = 1; year <= 40; ++year)
                total += tablePercentage(c, month, year);
            QCOMPARE(percentageText(total), QStringLiteral("100.000%"));
        }
}

void DepreciationTest::deductions_data()
{
    QTest::addColumn<QString>("assetClass");
    QTest::addColumn<QString>("cost");
    QTest::addColumn<QString>("land");
    QTest::addColumn<QDate>("inService");
    QTest::addColumn<QDate>("disposed");
    QTest::addColumn<int>("year");
    QTest::addColumn<QString>("percentage"); // empty: no row that year
    QTest::addColumn<QString>("deduction");
    QTest::addColumn<QString>("accumulated");
    QTest::addColumn<QString>("remaining");

    const QString res = QStringLiteral("Residential rental (27.5 years)");
    const QString nonres = QStringLiteral("Nonresidential real property (39 years)");
    const QDate none;
    // January: basis $300,000 less $25,000 of land.
    QTest::newRow("January, first year") << res << "300000" << "25000" << QDate(2020, 1, 15) << none
        << 2020 << "3.485%" << "$9,583.75" << "$9,583.75" << "$265,416.25";
    QTest::newRow("January, year 11") << res << "300000" << "25000" << QDate(2020, 1, 15) << none
        << 2030 << "3.636%" << "$9,999.00" << "$109,576.50" << "$165,423.50";
    QTest::newRow("January, last year 28") << res << "300000" << "25000" << QDate(2020, 1, 15)
        << none << 2047 << "1.970%" << "$5,417.50" << "$275,000.00" << "$0.00";
    QTest::newRow("January, year 29 has nothing") << res << "300000" << "25000"
        << QDate(2020, 1, 15) << none << 2048 << "" << "$0.00" << "" << "";
    QTest::newRow("before service") << res << "300000" << "25000" << QDate(2020, 1, 15) << none
        << 2019 << "" << "$0.00" << "" << "";
    // July: basis $100,000.
    QTest::newRow("July, first year") << res << "120000" << "20000" << QDate(2020, 7, 1) << none
        << 2020 << "1.667%" << "$1,667.00" << "$1,667.00" << "$98,333.00";
    QTest::newRow("July, year 10") << res << "120000" << "20000" << QDate(2020, 7, 1) << none
        << 2029 << "3.636%" << "$3,636.00" << "$34,391.00" << "$65,609.00";
    QTest::newRow("July, last year 29") << res << "120000" << "20000" << QDate(2020, 7, 1) << none
        << 2048 << "0.152%" << "$152.00" << "$100,000.00" << "$0.00";
    // December: basis $123,456.78; the last year takes the cent the roundings left over
    // (1.667% alone would be $2,058.02).
    QTest::newRow("December, first year") << res << "123456.78" << "0" << QDate(2020, 12, 31)
        << none << 2020 << "0.152%" << "$187.65" << "$187.65" << "$123,269.13";
    QTest::newRow("December, year 15") << res << "123456.78" << "0" << QDate(2020, 12, 31) << none
        << 2034 << "3.637%" << "$4,490.12" << "$63,035.80" << "$60,420.98";
    QTest::newRow("December, last year 29") << res << "123456.78" << "0" << QDate(2020, 12, 31)
        << none << 2048 << "1.667%" << "$2,058.03" << "$123,456.78" << "$0.00";
    // Nonresidential, March: basis $390,000.
    QTest::newRow("nonresidential, first year") << nonres << "450000" << "60000"
        << QDate(2021, 3, 10) << none << 2021 << "2.033%" << "$7,928.70" << "$7,928.70"
        << "$382,071.30";
    QTest::newRow("nonresidential, year 20") << nonres << "450000" << "60000"
        << QDate(2021, 3, 10) << none << 2040 << "2.564%" << "$9,999.60" << "$197,921.10"
        << "$192,078.90";
    QTest::newRow("nonresidential, last year 40") << nonres << "450000" << "60000"
        << QDate(2021, 3, 10) << none << 2060 << "0.535%" << "$2,086.50" << "$390,000.00"
        << "$0.00";
    // An improvement of $18,000 in October.
    QTest::newRow("improvement, first year") << res << "18000" << "0" << QDate(2024, 10, 2)
        << none << 2024 << "0.758%" << "$136.44" << "$136.44" << "$17,863.56";
    // Sold in August of year 10: the year's $10,001.75 for 7.5 months of 12.
    QTest::newRow("sold in August") << res << "300000" << "25000" << QDate(2015, 1, 5)
        << QDate(2024, 8, 20) << 2024 << "3.637%" << "$6,251.09" << "$95,826.84"
        << "$179,173.16";
    QTest::newRow("nothing after the sale") << res << "300000" << "25000" << QDate(2015, 1, 5)
        << QDate(2024, 8, 20) << 2025 << "" << "$0.00" << "" << "";
    // Placed in service in March and sold in August: 5 of the 9.5 months the year's $2,879.00
    // covers.
    QTest::newRow("bought and sold in one year") << res << "100000" << "0" << QDate(2024, 3, 1)
        << QDate(2024, 8, 1) << 2024 << "2.879%" << "$1,515.26" << "$1,515.26" << "$98,484.74";
    QTest::newRow("land worth more than the building") << res << "50000" << "80000"
        << QDate(2024, 1, 1) << none << 2024 << "" << "$0.00" << "" << "";
}

void DepreciationTest::deductions()
{
    QFETCH(QString, assetClass);
    QFETCH(QString, cost);
    QFETCH(QString, land);
    QFETCH(QDate, inService);
    QFETCH(QDate, disposed);
    QFETCH(int, year);
    QFETCH(QString, percentage);
    QFETCH(QString, deduction);
    QFETCH(QString, accumulated);
    QFETCH(QString, remaining);

    Asset asset;
    asset.cost = Money::parse(cost).value();
    asset.land = Money::parse(land).value();
    asset.placedInService = inService;
    asset.disposed = disposed;
    asset.assetClass = assetClassFromText(assetClass);
    QCOMPARE(assetClassName(asset.assetClass), assetClass);

    QCOMPARE(shown(yearDeduction(asset, year)), deduction);
    const QList<DepreciationYear> schedule = depreciationSchedule(asset, year);
    const bool hasYear = !schedule.isEmpty() && schedule.last().year == year;
    QCOMPARE(hasYear, !percentage.isEmpty());
    if (!hasYear)
        return;
    const DepreciationYear& y = schedule.last();
    QCOMPARE(percentageText(y.percentage), percentage);
    QCOMPARE(shown(y.deduction), deduction);
    QCOMPARE(shown(y.accumulated), accumulated);
    QCOMPARE(shown(y.remaining), remaining);
    QCOMPARE(y.partYear, disposed.isValid());
}

QTEST_GUILESS_MAIN(DepreciationTest)
#include "tst_depreciation.moc"
