// CSV files in and out: the text of a bank's file read into rows, the rows read through a saved
// mapping into a statement, and tables written out so that the import reads them back.

#include "statements/csv_mapping.h"
#include "statements/csv_reader.h"
#include "csv/csv_writer.h"
#include "tests/support/temp_database.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace halvo;

Q_DECLARE_METATYPE(halvo::AmountStyle)
Q_DECLARE_METATYPE(halvo::DateOrder)
Q_DECLARE_METATYPE(halvo::CsvMapping)

namespace {

const QString Utf8 = QStringLiteral("UTF-8");

QList<CsvRow> rowsOf(const QByteArray& csv)
{
    Result<QList<CsvRow>> rows = readCsv(csv, Utf8, u',');
    if (!rows)
        qFatal("the test file does not read: %s", qPrintable(rows.error().description));
    return rows.value();
}

// Date, payee, then the amount columns: one amount, money out and money in, or amount and sign.
CsvMapping mappingFor(AmountStyle style)
{
    CsvMapping m;
    m.name = QStringLiteral("Everyday account");
    m.headerRows = 0;
    m.dateOrder = DateOrder::DayMonthYear;
    m.amounts = style;
    m.dateColumn = 0;
    m.payeeColumn = 1;
    m.amountColumn = m.debitColumn = 2;
    if (style != AmountStyle::Signed)
        (style == AmountStyle::DebitCredit ? m.creditColumn : m.signColumn) = 3;
    return m;
}

QByteArray utf16(const QString& text, bool bigEndian)
{
    QByteArray out = bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        out.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return out;
}

} // namespace

class TestCsv : public QObject {
    Q_OBJECT
private slots:
    void readsRowsAndLines_data();
    void readsRowsAndLines();
    void refusesBadFiles_data();
    void refusesBadFiles();
    void readsAmounts_data();
    void readsAmounts();
    void readsDates_data();
    void readsDates();
    void followsSignConventions_data();
    void followsSignConventions();
    void refusesBadRows_data();
    void refusesBadRows();
    void tellsDateOrder_data();
    void tellsDateOrder();
    void findsADateOfBothWays_data();
    void findsADateOfBothWays();
    void makesStatementLines();
    void mappingTextRoundTrips();
    void refusesBadMappingText_data();
    void refusesBadMappingText();
    void writesValues_data();
    void writesValues();
    void writesLines_data();
    void writesLines();
    void exportReadsBack();
    void failedExportLeavesNoFile();
};

void TestCsv::readsRowsAndLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QList<int>>("lines");
    QTest::addColumn<QList<QStringList>>("rows");
    using Rows = QList<QStringList>;
    QTest::newRow("comma, CR LF") << QByteArray("a,b\r\nc,d\r\n") << Utf8 << "," << QList<int>{1, 2}
                                  << Rows{{"a", "b"}, {"c", "d"}};
    QTest::newRow("semicolon") << QByteArray("a;1,5\nb;2") << Utf8 << ";" << QList<int>{1, 2}
                               << Rows{{"a", "1,5"}, {"b", "2"}};
    QTest::newRow("tab, empty field")
        << QByteArray("a\t\tc\n") << Utf8 << "\t" << QList<int>{1} << Rows{{"a", "", "c"}};
    QTest::newRow("UTF-8 byte order mark")
        << QByteArray("\xEF\xBB\xBF"
                      "Date,Payee\n")
        << Utf8 << "," << QList<int>{1} << Rows{{"Date", "Payee"}};
    QTest::newRow("quoted comma and line breaks")
        << QByteArray("1,\"Smith, J.\",\"line one\nline two\r\nline three\"\n2,x,y\n") << Utf8
        << "," << QList<int>{1, 4}
        << Rows{{"1", "Smith, J.", "line one\nline two\r\nline three"}, {"2", "x", "y"}};
    QTest::newRow("doubled quotes") << QByteArray("\"He said \"\"hi\"\"\",\"\"\n") << Utf8 << ","
                                    << QList<int>{1} << Rows{{"He said \"hi\"", ""}};
    QTest::newRow("empty and blank lines skipped") << QByteArray("a\n\n  \n,,\r\n\nb\n") << Utf8
                                                   << "," << QList<int>{1, 6} << Rows{{"a"}, {"b"}};
    QTest::newRow("lone CR ends lines") << QByteArray("a\rb\r\rc") << Utf8 << ","
                                        << QList<int>{1, 2, 4} << Rows{{"a"}, {"b"}, {"c"}};
    QTest::newRow("blanks around unquoted fields dropped, quoted kept")
        << QByteArray(" a , \" b \" \n") << Utf8 << "," << QList<int>{1} << Rows{{"a", " b "}};
    QTest::newRow("Windows-1252") << QByteArray("Caf\xE9,\x80 5,\x93quoted\x94\n") << "Windows-1252"
                                  << "," << QList<int>{1} << Rows{{"Café", "€ 5", "“quoted”"}};
    QTest::newRow("ISO-8859-1") << QByteArray("Caf\xE9,\xA3") << "ISO-8859-1"
                                << "," << QList<int>{1} << Rows{{"Café", "£"}};
    QTest::newRow("UTF-16 little-endian")
        << utf16("Café,€\r\nb,c", false) << "UTF-16"
        << "," << QList<int>{1, 2} << Rows{{"Café", "€"}, {"b", "c"}};
    QTest::newRow("UTF-16 big-endian") << utf16("Zoë;\"a\nb\"\nc", true) << "UTF-16"
                                       << ";" << QList<int>{1, 3} << Rows{{"Zoë", "a\nb"}, {"c"}};
}

void TestCsv::readsRowsAndLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, encoding);
    QFETCH(QString, delimiter);
    QFETCH(QList<int>, lines);
    QFETCH(QList<QStringList>, rows);
    const Result<QList<CsvRow>> read = readCsv(bytes, encoding, delimiter.front());
    QVERIFY2(read.ok(), qPrintable(read.ok() ? QString() : read.error().description));
    QList<int> readLines;
    QList<QStringList> readRows;
    for (const CsvRow& r : read.value()) {
        readLines << r.line;
        readRows << r.fields;
    }
    QCOMPARE(readRows, rows);
    QCOMPARE(readLines, lines);
}

void TestCsv::refusesBadFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("message");
    const QString outOfPlace =
        QStringLiteral(": a quote is out of place; a field with quotes in "
                       "it must be in quotes whole, its own quotes doubled.");
    QTest::newRow("quote inside a field") << QByteArray("a,b\nc,d\"e\n") << Utf8 << ","
                                          << "Line 2" + outOfPlace;
    QTest::newRow("text after the closing quote") << QByteArray("a\n\n\"x\ny\"z,b\n") << Utf8 << ","
                                                  << "Line 4" + outOfPlace;
    QTest::newRow("quote not closed") << QByteArray("a\nb,\"open\nmore\n") << Utf8 << ","
                                      << "Line 2: a quote is not closed.";
    QTest::newRow("not UTF-8") << QByteArray("a\nb\nCaf\xE9\nd") << Utf8 << ","
                               << "Line 3: the text is not UTF-8; choose the file's encoding.";
    QTest::newRow("cut short at the end")
        << QByteArray("a\n\xC3") << Utf8 << ","
        << "Line 2: the text is not UTF-8; choose the file's encoding.";
    QTest::newRow("UTF-16 of odd length") << QByteArray("\xFF\xFE"
                                                        "a\0b",
                                                        5)
                                          << "UTF-16"
                                          << ","
                                          << "The file is not UTF-16 text: its length is an odd "
                                             "number of bytes. Choose the file's encoding.";
    QTest::newRow("unknown encoding") << QByteArray("a") << "EBCDIC"
                                      << ","
                                      << "The encoding \"EBCDIC\" is not one of UTF-8, "
                                         "Windows-1252, ISO-8859-1, UTF-16.";
    QTest::newRow("unknown delimiter") << QByteArray("a|b") << Utf8 << "|"
                                       << "The delimiter must be a comma, a semicolon or a tab.";
}

void TestCsv::refusesBadFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, encoding);
    QFETCH(QString, delimiter);
    QFETCH(QString, message);
    const Result<QList<CsvRow>> read = readCsv(bytes, encoding, delimiter.front());
    QVERIFY(!read.ok());
    QCOMPARE(read.error().description, message);
}

void TestCsv::readsAmounts_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("decimalMark");
    QTest::addColumn<bool>("reads");
    QTest::addColumn<qint64>("units");
    QTest::newRow("plain") << "1250.00"
                           << "." << true << qint64(12500000);
    QTest::newRow("negative") << "-50.5"
                              << "." << true << qint64(-505000);
    QTest::newRow("thousands and dollar") << "$1,234.56"
                                          << "." << true << qint64(12345600);
    QTest::newRow("parentheses") << "(50.00)"
                                 << "." << true << qint64(-500000);
    QTest::newRow("trailing minus") << "50.00-"
                                    << "." << true << qint64(-500000);
    QTest::newRow("minus before currency") << "-£12"
                                           << "." << true << qint64(-120000);
    QTest::newRow("plus") << "+7"
                          << "." << true << qint64(70000);
    QTest::newRow("decimal comma, euro") << "€ 1.234,56"
                                         << "," << true << qint64(12345600);
    QTest::newRow("blank groups") << "1 234 567,8"
                                  << "," << true << qint64(12345678000);
    QTest::newRow("apostrophe groups") << "1'234.56"
                                       << "." << true << qint64(12345600);
    QTest::newRow("cents only") << ".5"
                                << "." << true << qint64(5000);
    QTest::newRow("four decimals") << "0,0001"
                                   << "," << true << qint64(1);
    QTest::newRow("letters") << "12,50x"
                             << "," << false << qint64(0);
    QTest::newRow("misplaced group") << "1,23"
                                     << "." << false << qint64(0);
    QTest::newRow("short last group") << "1,234,56"
                                      << "." << false << qint64(0);
    QTest::newRow("two signs") << "-(5)"
                               << "." << false << qint64(0);
    QTest::newRow("five decimals") << "1.23456"
                                   << "." << false << qint64(0);
    QTest::newRow("decimal comma in a point file") << "12,5"
                                                   << "." << false << qint64(0);
    QTest::newRow("only a sign") << "-"
                                 << "." << false << qint64(0);
    QTest::newRow("too large") << "99999999999999999"
                               << "." << false << qint64(0);
}

void TestCsv::readsAmounts()
{
    QFETCH(QString, written);
    QFETCH(QString, decimalMark);
    QFETCH(bool, reads);
    QFETCH(qint64, units);
    CsvMapping m = mappingFor(AmountStyle::Signed);
    m.decimalMark = decimalMark.front();
    const QList<CsvRow> rows{{1, {"01/02/2026", "Payee", written}}};
    const Result<Statement> s = applyMapping(rows, m);
    QCOMPARE(s.ok(), reads);
    if (reads)
        QCOMPARE(s.value().lines.front().amount.units(), units);
    else
        QCOMPARE(s.error().description, "Line 1: \"" + written + "\" is not an amount.");
}

void TestCsv::readsDates_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<DateOrder>("order");
    QTest::addColumn<QDate>("date");
    QTest::newRow("day/month/year")
        << "31/01/2026" << DateOrder::DayMonthYear << QDate(2026, 1, 31);
    QTest::newRow("month/day/year")
        << "01-31-2026" << DateOrder::MonthDayYear << QDate(2026, 1, 31);
    QTest::newRow("year/month/day")
        << "2026.01.31" << DateOrder::YearMonthDay << QDate(2026, 1, 31);
    QTest::newRow("yyyyMMdd") << "20260131" << DateOrder::YearMonthDay << QDate(2026, 1, 31);
    QTest::newRow("two-digit year") << "1.2.26" << DateOrder::DayMonthYear << QDate(2026, 2, 1);
    QTest::newRow("no such day") << "31/02/2026" << DateOrder::DayMonthYear << QDate();
    QTest::newRow("day past 12 as month") << "31/01/2026" << DateOrder::MonthDayYear << QDate();
    QTest::newRow("yyyyMMdd in another order") << "20260131" << DateOrder::DayMonthYear << QDate();
    QTest::newRow("mixed separators") << "31/01-2026" << DateOrder::DayMonthYear << QDate();
    QTest::newRow("three-digit year") << "31/01/202" << DateOrder::DayMonthYear << QDate();
    QTest::newRow("time after the date")
        << "31/01/2026 10:00" << DateOrder::DayMonthYear << QDate();
}

void TestCsv::readsDates()
{
    QFETCH(QString, written);
    QFETCH(DateOrder, order);
    QFETCH(QDate, date);
    CsvMapping m = mappingFor(AmountStyle::Signed);
    m.dateOrder = order;
    const Result<Statement> s = applyMapping({{1, {written, "Payee", "1"}}}, m);
    QCOMPARE(s.ok(), date.isValid());
    if (s)
        QCOMPARE(s.value().lines.front().date, date);
}

void TestCsv::followsSignConventions_data()
{
    QTest::addColumn<AmountStyle>("style");
    QTest::addColumn<bool>("moneyOutPositive");
    QTest::addColumn<QStringList>("amountFields");
    QTest::addColumn<qint64>("units");
    const AmountStyle signedStyle = AmountStyle::Signed, dc = AmountStyle::DebitCredit,
                      sign = AmountStyle::AmountAndSign;
    QTest::newRow("signed, money out")
        << signedStyle << false << QStringList{"-50.00"} << qint64(-500000);
    QTest::newRow("signed, money in")
        << signedStyle << false << QStringList{"50.00"} << qint64(500000);
    QTest::newRow("card: payment positive")
        << signedStyle << true << QStringList{"50.00"} << qint64(-500000);
    QTest::newRow("card: refund negative")
        << signedStyle << true << QStringList{"-20"} << qint64(200000);
    QTest::newRow("debit") << dc << false << QStringList{"50.00", ""} << qint64(-500000);
    QTest::newRow("debit written negative")
        << dc << false << QStringList{"-50.00", ""} << qint64(-500000);
    QTest::newRow("credit") << dc << false << QStringList{"", "1,250.00"} << qint64(12500000);
    QTest::newRow("zero in the other column")
        << dc << false << QStringList{"0.00", "12.5"} << qint64(125000);
    QTest::newRow("sign D") << sign << false << QStringList{"50", "D"} << qint64(-500000);
    QTest::newRow("sign dr") << sign << false << QStringList{"50", "dr"} << qint64(-500000);
    QTest::newRow("sign DEBIT") << sign << false << QStringList{"50", "DEBIT"} << qint64(-500000);
    QTest::newRow("sign minus") << sign << false << QStringList{"50", "-"} << qint64(-500000);
    QTest::newRow("sign c") << sign << false << QStringList{"50", "c"} << qint64(500000);
    QTest::newRow("sign Cr") << sign << false << QStringList{"50", " Cr "} << qint64(500000);
    QTest::newRow("sign Credit") << sign << false << QStringList{"50", "Credit"} << qint64(500000);
    QTest::newRow("sign plus") << sign << false << QStringList{"-50", "+"} << qint64(500000);
}

void TestCsv::followsSignConventions()
{
    QFETCH(AmountStyle, style);
    QFETCH(bool, moneyOutPositive);
    QFETCH(QStringList, amountFields);
    QFETCH(qint64, units);
    CsvMapping m = mappingFor(style);
    m.moneyOutPositive = moneyOutPositive;
    const Result<Statement> s = applyMapping({{1, QStringList{"1/2/2026", "P"} + amountFields}}, m);
    QVERIFY2(s.ok(), qPrintable(s.ok() ? QString() : s.error().description));
    QCOMPARE(s.value().lines.front().amount.units(), units);
}

void TestCsv::refusesBadRows_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<CsvMapping>("mapping");
    QTest::addColumn<QString>("message");
    const QByteArray good = "Date,Payee,Out,In\n01/03/2026,Rent,,1250.00\n";
    CsvMapping dc = mappingFor(AmountStyle::DebitCredit);
    dc.headerRows = 1;
    QTest::newRow("no such date") << good
                                         + "02/03/2026,\"Smith,\nJ.\",,1\n31/02/2026,Water,20.00,\n"
                                  << dc
                                  << "Line 5: \"31/02/2026\" is not a date in the order "
                                     "day/month/year.";
    QTest::newRow("not an amount") << good + "02/03/2026,Gas,\"12,50x\",\n"
                                   << dc << "Line 3: \"12,50x\" is not an amount.";
    QTest::newRow("too few columns") << good + "02/03/2026,Gas\n"
                                     << dc << "Line 3 has 2 columns; the mapping reads column 4.";
    QTest::newRow("both columns filled")
        << good + "02/03/2026,Gas,50.00,20.00\n"
        << dc
        << "Line 3: there is an amount both of money out (\"50.00\") and of money in (\"20.00\").";
    QTest::newRow("neither column filled") << good + "02/03/2026,Gas, ,\n"
                                           << dc
                                           << "Line 3: there is no amount, neither of money out "
                                              "nor of money in.";
    CsvMapping sign = mappingFor(AmountStyle::AmountAndSign);
    QTest::newRow("unknown sign") << QByteArray("01/03/2026,Rent,5,X\n") << sign
                                  << "Line 1: \"X\" does not say money in or out: the sign column "
                                     "holds D, DR, Debit or - for money out and C, CR, Credit or "
                                     "+ for money in.";
    CsvMapping m = dc;
    m.dateColumn = -1;
    QTest::newRow("no date column") << good << m << "Choose the column that holds the date.";
    m = dc;
    m.dateOrder = DateOrder::Unset;
    QTest::newRow("date order not told") << good << m
                                         << "Choose the date order: day/month/year, "
                                            "month/day/year or year/month/day.";
    m = mappingFor(AmountStyle::Signed);
    m.amountColumn = -1;
    QTest::newRow("no amount column") << good << m << "Choose the column that holds the amount.";
    m = dc;
    m.creditColumn = -1;
    QTest::newRow("no money-in column")
        << good << m << "Choose the columns that hold money out and money in.";
    m = sign;
    m.signColumn = -1;
    QTest::newRow("no sign column") << good << m
                                    << "Choose the column that holds the amount and the column "
                                       "that says whether it is money in or out.";
}

void TestCsv::refusesBadRows()
{
    QFETCH(QByteArray, csv);
    QFETCH(CsvMapping, mapping);
    QFETCH(QString, message);
    const Result<Statement> s = applyMapping(rowsOf(csv), mapping);
    QVERIFY(!s.ok());
    QCOMPARE(s.error().description, message);
}

void TestCsv::tellsDateOrder_data()
{
    QTest::addColumn<QStringList>("dates");
    QTest::addColumn<DateOrder>("order");
    QTest::newRow("every day 12 or less")
        << QStringList{"01/02/2026", "12/11/2026"} << DateOrder::Unset;
    QTest::newRow("a day past 12 first")
        << QStringList{"01/02/2026", "13/02/2026"} << DateOrder::DayMonthYear;
    QTest::newRow("a day past 12 second")
        << QStringList{"02/13/26", "02/01/26"} << DateOrder::MonthDayYear;
    QTest::newRow("year first") << QStringList{"2026-01-02", "20260103"} << DateOrder::YearMonthDay;
    QTest::newRow("both orders seen")
        << QStringList{"13/02/2026", "02/13/2026"} << DateOrder::Unset;
    QTest::newRow("no date") << QStringList{"yesterday"} << DateOrder::Unset;
    QTest::newRow("no rows") << QStringList{} << DateOrder::Unset;
}

void TestCsv::tellsDateOrder()
{
    QFETCH(QStringList, dates);
    QFETCH(DateOrder, order);
    CsvMapping m = mappingFor(AmountStyle::Signed);
    m.headerRows = 1;
    QList<CsvRow> rows{{1, {"Date", "Payee", "Amount"}}};
    for (const QString& d : dates)
        rows.append({int(rows.size()) + 1, {d, "P", "1"}});
    QCOMPARE(dateOrderOf(rows, m), order);
}

// The mapping reads day first; the date it names is the first that would be another day read
// month first.
void TestCsv::findsADateOfBothWays_data()
{
    QTest::addColumn<QStringList>("dates");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QDate>("read");
    QTest::newRow("every day 12 or less")
        << QStringList{"05/05/2026", "03/04/2026", "12/11/2026"} << "03/04/2026" << QDate(2026, 4, 3);
    QTest::newRow("a day past 12") << QStringList{"03/04/2026", "13/04/2026"} << "" << QDate();
    QTest::newRow("read alike every way") << QStringList{"01/01/2026", "07/07/2026"} << ""
                                          << QDate();
    QTest::newRow("not read by the mapping") << QStringList{"03/04/2026", "04/13/2026"} << ""
                                             << QDate();
}

void TestCsv::findsADateOfBothWays()
{
    QFETCH(QStringList, dates);
    QFETCH(QString, written);
    QFETCH(QDate, read);
    CsvMapping m = mappingFor(AmountStyle::Signed);
    QList<CsvRow> rows;
    for (const QString& d : dates)
        rows.append({int(rows.size()) + 1, {d, "P", "1"}});
    const std::optional<DateOfBothWays> found = dateOfBothWays(rows, m);
    QCOMPARE(found ? found->written : QString(), written);
    QCOMPARE(found ? found->read : QDate(), read);
}

void TestCsv::makesStatementLines()
{
    CsvMapping m = mappingFor(AmountStyle::Signed);
    m.headerRows = 1;
    m.memoColumn = 3;
    m.numberColumn = 4;
    const QByteArray csv = "Date,Payee,Amount,Memo,No\n"
                           "01/03/2026,ACME Lettings,-50.00,March rent,101\n"
                           "01/03/2026,\"ACME\nLettings\",-50.00,March rent,101\n"
                           "01/03/2026,ACME Lettings,-50.00,March rent,101\n";
    const Result<Statement> s = applyMapping(rowsOf(csv), m);
    QVERIFY(s.ok());
    QCOMPARE(s.value().lines.size(), 3);
    const StatementLine& first = s.value().lines[0];
    QCOMPARE(first.line, 2);
    QCOMPARE(first.account, "Everyday account");
    QCOMPARE(first.date, QDate(2026, 3, 1));
    QCOMPARE(first.amount, Money::fromCents(-5000));
    QCOMPARE(first.payee, "ACME Lettings");
    QCOMPARE(first.memo, "March rent");
    QCOMPARE(first.number, "101");
    QCOMPARE(first.bankId, "csv:006394919bde147f46a46632aa9e554c55ed65ec:0");
    QCOMPARE(s.value().lines[1].line, 3);
    QCOMPARE(s.value().lines[2].line, 5);
    // The same payment twice on one day stays two lines; a line break makes another payee.
    QCOMPARE(s.value().lines[2].bankId, "csv:006394919bde147f46a46632aa9e554c55ed65ec:1");
    QVERIFY(s.value().lines[1].bankId.endsWith(":0"));
    QVERIFY(s.value().lines[1].bankId != first.bankId);
    // Texts that hold the id's separator do not make the same id as other texts.
    m.headerRows = 0;
    QVERIFY(applyMapping({{1, {"1/3/2026", "a|b", "1", "", ""}}}, m).value().lines[0].bankId
            != applyMapping({{1, {"1/3/2026", "a", "1", "b|", ""}}}, m).value().lines[0].bankId);
}

void TestCsv::mappingTextRoundTrips()
{
    CsvMapping m;
    m.name = QStringLiteral("Card = \\ 4242\nsecond line");
    m.encoding = QStringLiteral("Windows-1252");
    m.delimiter = u'\t';
    m.decimalMark = u',';
    m.headerRows = 3;
    m.dateOrder = DateOrder::MonthDayYear;
    m.amounts = AmountStyle::AmountAndSign;
    m.moneyOutPositive = true;
    m.dateColumn = 0;
    m.payeeColumn = 1;
    m.memoColumn = 2;
    m.amountColumn = 3;
    m.signColumn = 4;
    m.numberColumn = 5;
    const QString text = m.toText();
    QVERIFY(text.contains(QStringLiteral("\ndelimiter=tab\n")));
    QVERIFY(text.startsWith(QStringLiteral("name=Card = \\\\ 4242\\nsecond line\n")));
    const Result<CsvMapping> back = CsvMapping::fromText(text + "laterSetting=7\n");
    QVERIFY(back.ok());
    QCOMPARE(back.value(), m);
    QCOMPARE(CsvMapping::fromText(CsvMapping().toText()).value(), CsvMapping());
}

void TestCsv::refusesBadMappingText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("negative header rows") << "headerRows=-1"
                                          << "The saved mapping's headerRows cannot be \"-1\".";
    QTest::newRow("unknown delimiter") << "name=x\ndelimiter=pipe"
                                       << "The saved mapping's delimiter cannot be \"pipe\".";
    QTest::newRow("unknown order") << "dateOrder=whenever"
                                   << "The saved mapping's dateOrder cannot be \"whenever\".";
    QTest::newRow("column not a number") << "payeeColumn=2a"
                                         << "The saved mapping's payeeColumn cannot be \"2a\".";
    QTest::newRow("unknown encoding") << "encoding=EBCDIC"
                                      << "The saved mapping's encoding cannot be \"EBCDIC\".";
    QTest::newRow("no equals sign")
        << "amounts"
        << "The saved mapping has a line that is no setting: \"amounts\".";
}

void TestCsv::refusesBadMappingText()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    const Result<CsvMapping> m = CsvMapping::fromText(text);
    QVERIFY(!m.ok());
    QCOMPARE(m.error().description, message);
}

void TestCsv::writesValues_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("written");
    QTest::newRow("null") << QVariant() << "";
    QTest::newRow("money, whole") << QVariant::fromValue(Money::fromCents(125000)) << "1250.00";
    QTest::newRow("money, negative") << QVariant::fromValue(Money::fromCents(-5000)) << "-50.00";
    QTest::newRow("money, ten-thousandths")
        << QVariant::fromValue(Money::fromUnits(123456)) << "12.3456";
    QTest::newRow("money, three decimals")
        << QVariant::fromValue(Money::fromUnits(-1230)) << "-0.123";
    QTest::newRow("money, most negative")
        << QVariant::fromValue(Money::fromUnits(std::numeric_limits<std::int64_t>::min()))
        << "-922337203685477.5808";
    QTest::newRow("date") << QVariant(QDate(2026, 3, 1)) << "2026-03-01";
    QTest::newRow("time") << QVariant(QTime(9, 5, 7)) << "09:05:07";
    QTest::newRow("whole double") << QVariant(3.0) << "3";
    QTest::newRow("double") << QVariant(6.5) << "6.5";
    QTest::newRow("whole number") << QVariant(qlonglong(42)) << "42";
    QTest::newRow("text") << QVariant(QStringLiteral("Smith, J.")) << "Smith, J.";
}

void TestCsv::writesValues()
{
    QFETCH(QVariant, value);
    QFETCH(QString, written);
    QCOMPARE(csvValue(value), written);
}

void TestCsv::writesLines_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("plain") << QStringList{"a", "", "1.00"} << QByteArray("a,,1.00\r\n");
    QTest::newRow("comma") << QStringList{"Smith, J."} << QByteArray("\"Smith, J.\"\r\n");
    QTest::newRow("quote") << QStringList{"5\" pipe"} << QByteArray("\"5\"\" pipe\"\r\n");
    QTest::newRow("line breaks") << QStringList{"a\nb", "c\rd"}
                                 << QByteArray("\"a\nb\",\"c\rd\"\r\n");
    QTest::newRow("blanks around") << QStringList{" a", "b "} << QByteArray("\" a\",\"b \"\r\n");
    QTest::newRow("not ASCII") << QStringList{"Café €"}
                               << QByteArray("Caf\xC3\xA9 \xE2\x82\xAC\r\n");
}

void TestCsv::writesLines()
{
    QFETCH(QStringList, fields);
    QFETCH(QByteArray, line);
    QCOMPARE(csvLine(fields), line);
}

void TestCsv::exportReadsBack()
{
    test::TempDatabase db;
    const Connection c = db.connect();
    const QString insert = QStringLiteral(
        "INSERT INTO tblFinance (NickName, RecDate, CheckNo, Payee, Memo, Income, Expense) "
        "VALUES (?, ?, ?, ?, ?, ?, ?)");
    const QList<QVariantList> ledger{
        {"ELM", QDate(2026, 1, 31), "101", "Smith, J.", "January \"rent\"",
         QVariant::fromValue(Money::fromCents(125000)), QVariant::fromValue(Money())},
        {"ELM", QDate(2026, 2, 3), "", " Plumber ", "Leak\nkitchen, sink",
         QVariant::fromValue(Money()), QVariant::fromValue(Money::fromUnits(1234567))},
        {"OAK", QDate(2026, 2, 28), QVariant(), "Café", QVariant(),
         QVariant::fromValue(Money::fromUnits(1)), QVariant::fromValue(Money())}};
    for (const QVariantList& row : ledger)
        QVERIFY(c.execute(insert, row).ok());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ledger.csv"));
    QList<qint64> told;
    const Status exported = exportCsv(
        c,
        QStringLiteral("SELECT RecDate, CheckNo, Payee, Memo, Income, Expense FROM tblFinance "
                       "WHERE NickName LIKE ? ORDER BY RecDate"),
        {QStringLiteral("%")}, path, [&](qint64 rows) { told << rows; });
    QVERIFY(exported.ok());
    QCOMPARE(told.last(), 3);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(
        bytes.startsWith("RecDate,CheckNo,Payee,Memo,Income,Expense\r\n"
                         "2026-01-31,101,\"Smith, J.\",\"January \"\"rent\"\"\",1250.00,0.00\r\n"));

    CsvMapping m;
    m.name = QStringLiteral("Ledger");
    m.dateColumn = 0;
    m.numberColumn = 1;
    m.payeeColumn = 2;
    m.memoColumn = 3;
    m.amounts = AmountStyle::DebitCredit;
    m.creditColumn = 4;
    m.debitColumn = 5;
    const QList<CsvRow> rows = readCsv(bytes, Utf8, u',').value();
    QCOMPARE(dateOrderOf(rows, m), DateOrder::YearMonthDay);
    m.dateOrder = DateOrder::YearMonthDay;
    const Result<Statement> s = applyMapping(rows, m);
    QVERIFY2(s.ok(), qPrintable(s.ok() ? QString() : s.error().description));
    QCOMPARE(s.value().lines.size(), 3);
    const QList<qint64> units{12500000, -1234567, 1};
    for (int i = 0; i < 3; ++i) {
        const StatementLine& l = s.value().lines[i];
        QCOMPARE(l.date, ledger[i][1].toDate());
        QCOMPARE(l.number, ledger[i][2].toString());
        QCOMPARE(l.payee, ledger[i][3].toString());
        QCOMPARE(l.memo, ledger[i][4].toString());
        QCOMPARE(l.amount.units(), units[i]);
    }
    QCOMPARE(s.value().lines[2].line, 5); // after the memo of two lines
}

void TestCsv::failedExportLeavesNoFile()
{
    test::TempDatabase db;
    const Connection c = db.connect();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    const Status badStatement =
        exportCsv(c, QStringLiteral("SELECT Nothing FROM tblFinance"), {}, path);
    QVERIFY(!badStatement.ok());
    QVERIFY(!QFile::exists(path));

    QFile earlier(path);
    QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("kept") == 4);
    earlier.close();
    QVERIFY(!exportCsv(c, QStringLiteral("SELECT * FROM tblNothing"), {}, path).ok());
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), QByteArray("kept"));
    earlier.close();

    const QString noFolder = dir.filePath(QStringLiteral("missing/out.csv"));
    const Status unwritable =
        exportCsv(c, QStringLiteral("SELECT * FROM tblFinance"), {}, noFolder);
    QVERIFY(!unwritable.ok());
    QVERIFY(unwritable.error().description.startsWith("The file \""));
    QVERIFY(!QFile::exists(noFolder));

    // A statement without rows still names its columns.
    QVERIFY(exportCsv(c, QStringLiteral("SELECT Payee, Income FROM tblFinance"), {}, path).ok());
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), QByteArray("Payee,Income\r\n"));
}

QTEST_GUILESS_MAIN(TestCsv)
#include "tst_csv.moc"
