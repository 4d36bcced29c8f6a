// Money and dates: what users type, what the database hands back, and what the windows and
// reports show.

#include "data/dates.h"
#include "data/money.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using halvo::Money;
namespace Dates = halvo::Dates;

class TestValues : public QObject {
    Q_OBJECT
private slots:
    void parsesWhatUsersType_data();
    void parsesWhatUsersType();
    void refusesWhatIsNoAmount_data();
    void refusesWhatIsNoAmount();
    void formatsWithDisplayPatterns_data();
    void formatsWithDisplayPatterns();
    void formatsPlainNumbers_data();
    void formatsPlainNumbers();
    void plainTextRoundTrips_data();
    void plainTextRoundTrips();
    void showsDates_data();
    void showsDates();
    void readsStoredDates_data();
    void readsStoredDates();
    void yearPatternMatchesOnlyThatYear();
    void readsStoredAmounts_data();
    void readsStoredAmounts();
    void refusesStoredValuesThatAreNoAmount_data();
    void refusesStoredValuesThatAreNoAmount();
    void roundsToTheCentAsShown_data();
    void roundsToTheCentAsShown();
};

void TestValues::parsesWhatUsersType_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<qint64>("units");
    QTest::newRow("plain decimals") << "1234.5" << qint64(12345000);
    QTest::newRow("dollar and separators") << "$1,234.50" << qint64(12345000);
    QTest::newRow("negative before dollar") << "-$50" << qint64(-500000);
    QTest::newRow("negative after dollar") << "$-50" << qint64(-500000);
    QTest::newRow("blanks around") << "  12.34 " << qint64(123400);
    QTest::newRow("cents only") << ".05" << qint64(500);
    QTest::newRow("four decimals") << "0.0001" << qint64(1);
    QTest::newRow("zero") << "0" << qint64(0);
    QTest::newRow("millions") << "$1,000,000" << qint64(10000000000);
}

void TestValues::parsesWhatUsersType()
{
    QFETCH(QString, typed);
    QFETCH(qint64, units);
    const halvo::Result<Money> parsed = Money::parse(typed);
    QVERIFY2(parsed.ok(), qPrintable(typed));
    QCOMPARE(parsed.value().units(), units);
}

void TestValues::refusesWhatIsNoAmount_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("letters") << "12a";
    QTest::newRow("empty") << "";
    QTest::newRow("only a dollar") << "$";
    QTest::newRow("two minus signs") << "-$-5";
    QTest::newRow("misplaced separator") << "1,23";
    QTest::newRow("five decimals") << "1.23456";
    QTest::newRow("two points") << "1.2.3";
    QTest::newRow("too large") << "99999999999999999999";
}

void TestValues::refusesWhatIsNoAmount()
{
    QFETCH(QString, typed);
    const halvo::Result<Money> parsed = Money::parse(typed);
    QVERIFY(!parsed.ok());
    QVERIFY(!parsed.error().description.isEmpty());
}

void TestValues::formatsWithDisplayPatterns_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("shown");
    const QString bound = halvo::MoneyFormat::Bound;
    const QString summary = halvo::MoneyFormat::Summary;
    QTest::newRow("bound field") << "1234.5" << bound << "$1,234.50";
    QTest::newRow("bound whole") << "120" << bound << "$120.00";
    QTest::newRow("bound zero") << "0" << bound << "$0.00";
    QTest::newRow("bound negative") << "-50000" << bound << "-$50,000.00";
    QTest::newRow("summary negative") << "-50000" << summary << "-$50,000.00";
    QTest::newRow("summary millions") << "1234567.891" << summary << "$1,234,567.89";
    QTest::newRow("summary zero") << "0" << summary << "$0.00";
    QTest::newRow("no leading zero") << "0.05" << "$###,###.00" << "$.05";
    QTest::newRow("no leading zero, grouped") << "1234.5" << "$#,###,###.00" << "$1,234.50";
    QTest::newRow("no separators") << "1234.5" << "$0.00" << "$1234.50";
    QTest::newRow("plain") << "1234.5" << "0.00" << "1234.50";
    QTest::newRow("whole, rounded up") << "1234.5" << "0" << "1235";
    QTest::newRow("half a cent rounds away from zero") << "-0.125" << bound << "-$0.13";
    QTest::newRow("rounds to zero, no sign") << "-0.001" << bound << "$0.00";
    QTest::newRow("percent") << "0.05" << "0%" << "5%";
}

void TestValues::formatsWithDisplayPatterns()
{
    QFETCH(QString, amount);
    QFETCH(QString, pattern);
    QFETCH(QString, shown);
    QCOMPARE(Money::parse(amount).value().format(pattern), shown);
}

void TestValues::formatsPlainNumbers_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("shown");
    QTest::newRow("interest rate") << 6.5 << "0.00" << "6.50";
    QTest::newRow("percentage") << 5.0 << "0%" << "500%";
    QTest::newRow("whole") << 2.0 << "0" << "2";
    // A number column can hold what no fixed-point form does.
    QTest::newRow("not a number shows nothing")
        << std::numeric_limits<double>::quiet_NaN() << "0.00" << "";
    QTest::newRow("infinity shows nothing") << std::numeric_limits<double>::infinity() << "0%" << "";
    QTest::newRow("beyond 128 bits") << 1361129467683753853853498429727072845824.0 << "0"
                                     << "1361129467683753853853498429727072845824";
    QTest::newRow("beyond 128 bits, grouped, negative")
        << -1329227995784915872903807060280344576.0 << "#,##0.00"
        << "-1,329,227,995,784,915,872,903,807,060,280,344,576.00";
}

void TestValues::formatsPlainNumbers()
{
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, shown);
    QCOMPARE(halvo::formatNumber(value, pattern), shown);
}

void TestValues::plainTextRoundTrips_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("decimals") << "1234.5";
    QTest::newRow("negative") << "-50";
    QTest::newRow("zero") << "0";
    QTest::newRow("ten-thousandths") << "0.0001";
}

void TestValues::plainTextRoundTrips()
{
    QFETCH(QString, text);
    QCOMPARE(Money::parse(text).value().toString(), text);
}

void TestValues::showsDates_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("shown");
    QTest::newRow("short") << Dates::ShortDate << "3/7/2026";
    QTest::newRow("padded") << Dates::PaddedDate << "03/07/2026";
    QTest::newRow("long") << Dates::LongDate << "07 March, 2026";
}

void TestValues::showsDates()
{
    QFETCH(QString, form);
    QFETCH(QString, shown);
    QCOMPARE(Dates::format(QDate(2026, 3, 7), form), shown);
    QCOMPARE(Dates::format(QTime(13, 5, 9), Dates::ClockTime), QStringLiteral("1:05:09 PM"));
    QCOMPARE(Dates::fromStored(Dates::toStored(QDate(2026, 3, 7))), QDate(2026, 3, 7));
    QVERIFY(Dates::toStored(QDate()).isEmpty());
}

// A stored date is read as the day it names, shown in the short date form; a text that is not
// a day in the stored form is no date, and shows as nothing.
void TestValues::readsStoredDates_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("a day") << "2026-03-07" << "3/7/2026";
    QTest::newRow("the last day of a year") << "2026-12-31" << "12/31/2026";
    QTest::newRow("leap day") << "2024-02-29" << "2/29/2024";
    QTest::newRow("first storable day") << "0001-01-01" << "1/1/0001";
    QTest::newRow("last storable day") << "9999-12-31" << "12/31/9999";
    QTest::newRow("leap day of a common year") << "2026-02-29" << "";
    QTest::newRow("thirty-first of a short month") << "2026-04-31" << "";
    QTest::newRow("month thirteen") << "2026-13-01" << "";
    QTest::newRow("month nought") << "2026-00-10" << "";
    QTest::newRow("day nought") << "2026-01-00" << "";
    QTest::newRow("year nought") << "0000-01-01" << "";
    QTest::newRow("digits left out") << "2026-3-7" << "";
    QTest::newRow("text after the day") << "2026-01-01x" << "";
    QTest::newRow("a space before") << " 2026-01-01" << "";
    QTest::newRow("slashes") << "2026/01/01" << "";
    QTest::newRow("letters") << "abcd-ef-gh" << "";
    QTest::newRow("a sign in a month") << "2026-+1-01" << "";
    QTest::newRow("empty") << "" << "";
}

void TestValues::readsStoredDates()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QCOMPARE(Dates::format(Dates::fromStored(stored), Dates::ShortDate), shown);
}

void TestValues::yearPatternMatchesOnlyThatYear()
{
    QCOMPARE(Dates::yearPattern(2026), QStringLiteral("%2026%"));
    // No month or day of the stored form can hold a four-digit year.
    for (QDate d(2025, 1, 1); d < QDate(2028, 1, 1); d = d.addDays(1))
        QCOMPARE(Dates::toStored(d).contains(QStringLiteral("2026")), d.year() == 2026);
}

void TestValues::readsStoredAmounts_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<qint64>("units");
    QTest::newRow("no value") << QVariant() << qint64(0);
    QTest::newRow("money") << QVariant::fromValue(Money::fromCents(-2550)) << qint64(-255000);
    QTest::newRow("count of ten-thousandths") << QVariant(qlonglong(12345)) << qint64(12345);
    QTest::newRow("negative count") << QVariant(qlonglong(-7)) << qint64(-7);
    QTest::newRow("small whole number") << QVariant(int(42)) << qint64(42);
    QTest::newRow("largest count")
        << QVariant(qulonglong(std::numeric_limits<qint64>::max()))
        << std::numeric_limits<qint64>::max();
    QTest::newRow("real amount") << QVariant(1.5) << qint64(15000);
    QTest::newRow("half a unit rounds up") << QVariant(0.00005) << qint64(1);
    QTest::newRow("negative half a unit rounds down") << QVariant(-0.00005) << qint64(-1);
    QTest::newRow("under half a unit") << QVariant(0.00004) << qint64(0);
    QTest::newRow("cents of a real") << QVariant(1234.56) << qint64(12345600);
}

void TestValues::readsStoredAmounts()
{
    QFETCH(QVariant, stored);
    QFETCH(qint64, units);
    const halvo::Result<Money> read = halvo::moneyFromStored(stored);
    QVERIFY2(read.ok(), qPrintable(read.ok() ? QString() : read.error().description));
    QCOMPARE(read.value().units(), units);
}

void TestValues::refusesStoredValuesThatAreNoAmount_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::newRow("letters") << QVariant(QStringLiteral("abc"));
    QTest::newRow("text of a number") << QVariant(QStringLiteral("12.5"));
    QTest::newRow("a date") << QVariant(QDate(2026, 3, 7));
    QTest::newRow("bytes") << QVariant(QByteArray("12"));
    QTest::newRow("real beyond 64 bits") << QVariant(1e300);
    QTest::newRow("infinity") << QVariant(std::numeric_limits<double>::infinity());
    QTest::newRow("not a number") << QVariant(std::numeric_limits<double>::quiet_NaN());
    QTest::newRow("count beyond 64 bits")
        << QVariant(qulonglong(std::numeric_limits<qint64>::max()) + 1);
}

void TestValues::refusesStoredValuesThatAreNoAmount()
{
    QFETCH(QVariant, stored);
    const halvo::Result<Money> read = halvo::moneyFromStored(stored);
    QVERIFY(!read.ok());
    QVERIFY(!read.error().description.isEmpty());
}

void TestValues::roundsToTheCentAsShown_data()
{
    QTest::addColumn<QString>("exact");
    QTest::addColumn<QString>("shown");
    QTest::newRow("half a cent up") << "1.005" << "$1.01";
    QTest::newRow("just under half") << "1.0049" << "$1.00";
    QTest::newRow("a loss, half a cent away from zero") << "-1.005" << "-$1.01";
    QTest::newRow("a loss just under half") << "-0.0049" << "$0.00";
    QTest::newRow("whole cents stay") << "1234.5" << "$1,234.50";
}

// What the summary holds is exactly what it shows: rounded as the two-decimal format rounds.
void TestValues::roundsToTheCentAsShown()
{
    QFETCH(QString, exact);
    QFETCH(QString, shown);
    const Money m = Money::parse(exact).value();
    QCOMPARE(m.roundedToCents().format(halvo::MoneyFormat::Summary), shown);
    QCOMPARE(m.format(halvo::MoneyFormat::Summary), shown);
    QCOMPARE(m.roundedToCents().units() % 100, 0);
}

QTEST_APPLESS_MAIN(TestValues)
#include "tst_values.moc"
