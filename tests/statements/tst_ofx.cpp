// Reading OFX and QFX statements: what each transaction becomes, amounts to the ten-thousandth,
// dates as the bank wrote them in any time zone, the files refused, and what is left behind.

#include "statements/ofx_reader.h"

#include "core/late_part.h"
#include "statements/ofx_libofx.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

using halvo::readOfxFile;
using halvo::Statement;

namespace {

const QByteArray SgmlHeader = "OFXHEADER:100\r\n"
                              "DATA:OFXSGML\r\n"
                              "VERSION:102\r\n"
                              "SECURITY:NONE\r\n"
                              "ENCODING:USASCII\r\n"
                              "CHARSET:1252\r\n"
                              "COMPRESSION:NONE\r\n"
                              "OLDFILEUID:NONE\r\n"
                              "NEWFILEUID:NONE\r\n"
                              "\r\n";

const QByteArray SignOn = "<SIGNONMSGSRSV1><SONRS>\n"
                          "<STATUS><CODE>0<SEVERITY>INFO</STATUS>\n"
                          "<DTSERVER>20261215083000<LANGUAGE>ENG\n"
                          "</SONRS></SIGNONMSGSRSV1>\n";

// A checking account statement in OFX 1.02 around the given transactions.
QByteArray checking(const QByteArray& transactions) {
    return SgmlHeader + "<OFX>\n" + SignOn +
           "<BANKMSGSRSV1><STMTTRNRS><TRNUID>1001\n"
           "<STATUS><CODE>0<SEVERITY>INFO</STATUS>\n"
           "<STMTRS><CURDEF>USD\n"
           "<BANKACCTFROM><BANKID>121000358<ACCTID>0042-778<ACCTTYPE>CHECKING</BANKACCTFROM>\n"
           "<BANKTRANLIST><DTSTART>20261101<DTEND>20261231\n" +
           transactions +
           "</BANKTRANLIST>\n"
           "<LEDGERBAL><BALAMT>1032.54<DTASOF>20261231</LEDGERBAL>\n"
           "</STMTRS></STMTTRNRS></BANKMSGSRSV1>\n"
           "</OFX>\n";
}

QByteArray oneTransaction(const QByteArray& posted, const QByteArray& amount) {
    return checking("<STMTTRN><TRNTYPE>OTHER<DTPOSTED>" + posted + "<TRNAMT>" + amount +
                    "<FITID>T1<NAME>Test</STMTTRN>\n");
}

const QByteArray CheckingStatement = checking("<STMTTRN>\n"
                                              "<TRNTYPE>CREDIT\n"
                                              "<DTPOSTED>20261101\n"
                                              "<TRNAMT>1450.00\n"
                                              "<FITID>20261101-1\n"
                                              "<NAME>J. Okafor rent Unit 2\n"
                                              "<MEMO>November rent\n"
                                              "</STMTTRN>\n"
                                              "<STMTTRN>\n"
                                              "<TRNTYPE>CHECK\n"
                                              "<DTPOSTED>20261104120000\n"
                                              "<TRNAMT>-312.47\n"
                                              "<FITID>20261104-1\n"
                                              "<CHECKNUM>1042\n"
                                              "<NAME>Harbour Plumbing\n"
                                              "</STMTTRN>\n"
                                              "<STMTTRN>\n"
                                              "<TRNTYPE>DEBIT\n"
                                              "<DTPOSTED>20261115\n"
                                              "<TRNAMT>-89.99\n"
                                              "<FITID>20261115-1\n"
                                              "<REFNUM>R-5531\n"
                                              "<NAME>Caf\xe9 Lumi\xe8re\n"
                                              "<MEMO>Tenant meeting\n"
                                              "</STMTTRN>\n"
                                              "<STMTTRN>\n"
                                              "<TRNTYPE>SRVCHG\n"
                                              "<DTPOSTED>20261130\n"
                                              "<DTUSER>20261128\n"
                                              "<TRNAMT>-15\n"
                                              "<FITID>20261130-1\n"
                                              "<NAME>Service charge\n"
                                              "</STMTTRN>\n");

const QByteArray XmlStatement =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
    "<?OFX OFXHEADER=\"200\" VERSION=\"211\" SECURITY=\"NONE\" OLDFILEUID=\"NONE\" "
    "NEWFILEUID=\"NONE\"?>\n"
    "<OFX>\n"
    "<SIGNONMSGSRSV1><SONRS><STATUS><CODE>0</CODE><SEVERITY>INFO</SEVERITY></STATUS>"
    "<DTSERVER>20261215120000</DTSERVER><LANGUAGE>ENG</LANGUAGE></SONRS></SIGNONMSGSRSV1>\n"
    "<BANKMSGSRSV1><STMTTRNRS><TRNUID>7</TRNUID>"
    "<STATUS><CODE>0</CODE><SEVERITY>INFO</SEVERITY></STATUS>\n"
    "<STMTRS><CURDEF>USD</CURDEF>"
    "<BANKACCTFROM><BANKID>021000021</BANKID><ACCTID>98765</ACCTID>"
    "<ACCTTYPE>SAVINGS</ACCTTYPE></BANKACCTFROM>\n"
    "<BANKTRANLIST><DTSTART>20261101</DTSTART><DTEND>20261231</DTEND>\n"
    "<STMTTRN><TRNTYPE>CREDIT</TRNTYPE><DTPOSTED>20261203</DTPOSTED>"
    "<TRNAMT>1500.00</TRNAMT><FITID>X-1</FITID><NAME>Rent Caf\xc3\xa9</NAME>"
    "<MEMO>Units 4 &amp; 5</MEMO></STMTTRN>\n"
    "<STMTTRN><TRNTYPE>INT</TRNTYPE><DTPOSTED>20261231233000.000[-5:EST]</DTPOSTED>"
    "<TRNAMT>0.42</TRNAMT><FITID>X-2</FITID><NAME>Interest</NAME></STMTTRN>\n"
    "</BANKTRANLIST>\n"
    "<LEDGERBAL><BALAMT>1500.42</BALAMT><DTASOF>20261231</DTASOF></LEDGERBAL>\n"
    "</STMTRS></STMTTRNRS></BANKMSGSRSV1>\n"
    "</OFX>\n";

// Quicken's OFX: the Intuit tags in the sign-on, as banks send them for Quicken.
const QByteArray QfxStatement =
    SgmlHeader + "<OFX>\n"
                 "<SIGNONMSGSRSV1><SONRS><STATUS><CODE>0<SEVERITY>INFO</STATUS>\n"
                 "<DTSERVER>20261215083000<LANGUAGE>ENG<FI><ORG>Harbour Bank<FID>10898</FI>\n"
                 "<INTU.BID>10898<INTU.USERID>landlord1\n"
                 "</SONRS></SIGNONMSGSRSV1>\n"
                 "<BANKMSGSRSV1><STMTTRNRS><TRNUID>0<STATUS><CODE>0<SEVERITY>INFO</STATUS>\n"
                 "<STMTRS><CURDEF>USD\n"
                 "<BANKACCTFROM><BANKID>111000025<ACCTID>5550001<ACCTTYPE>CHECKING</BANKACCTFROM>\n"
                 "<BANKTRANLIST><DTSTART>20261201<DTEND>20261210\n"
                 "<STMTTRN><TRNTYPE>DEP<DTPOSTED>20261202000000.000<TRNAMT>975.50<FITID>Q100"
                 "<NAME>Deposit<MEMO>Unit 1 December</STMTTRN>\n"
                 "<STMTTRN><TRNTYPE>PAYMENT<DTPOSTED>20261209<TRNAMT>-120.00<FITID>Q101"
                 "<NAME>Lakeside Insurance</STMTTRN>\n"
                 "</BANKTRANLIST>\n"
                 "<LEDGERBAL><BALAMT>855.50<DTASOF>20261210</LEDGERBAL>\n"
                 "</STMTRS></STMTTRNRS></BANKMSGSRSV1>\n"
                 "</OFX>\n";

const QByteArray CardStatement =
    SgmlHeader + "<OFX>\n" + SignOn +
    "<CREDITCARDMSGSRSV1><CCSTMTTRNRS><TRNUID>3<STATUS><CODE>0<SEVERITY>INFO</STATUS>\n"
    "<CCSTMTRS><CURDEF>USD<CCACCTFROM><ACCTID>4111222233334444</CCACCTFROM>\n"
    "<BANKTRANLIST><DTSTART>20261101<DTEND>20261130\n"
    "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20261112<TRNAMT>-64.10<FITID>C-9"
    "<NAME>Hardware Depot</STMTTRN>\n"
    "<STMTTRN><TRNTYPE>CREDIT<DTPOSTED>20261120<TRNAMT>200<FITID>C-10"
    "<NAME>Payment, thank you</STMTTRN>\n"
    "</BANKTRANLIST>\n"
    "<LEDGERBAL><BALAMT>-135.90<DTASOF>20261130</LEDGERBAL>\n"
    "</CCSTMTRS></CCSTMTTRNRS></CREDITCARDMSGSRSV1>\n"
    "</OFX>\n";

// An investment account's statement around the given transactions: trades (a fund sold) and
// cash moved in or out of the account (INVBANKTRAN).
QByteArray investment(const QByteArray& transactions) {
    return SgmlHeader + "<OFX>\n" + SignOn +
           "<INVSTMTMSGSRSV1><INVSTMTTRNRS><TRNUID>5<STATUS><CODE>0<SEVERITY>INFO</STATUS>\n"
           "<INVSTMTRS><DTASOF>20261208<CURDEF>USD\n"
           "<INVACCTFROM><BROKERID>harbourinvest.com<ACCTID>X-2210</INVACCTFROM>\n"
           "<INVTRANLIST><DTSTART>20261101<DTEND>20261208\n" +
           transactions +
           "</INVTRANLIST>\n"
           "</INVSTMTRS></INVSTMTTRNRS></INVSTMTMSGSRSV1>\n"
           "</OFX>\n";
}

const QByteArray FundSale =
    "<SELLMF><INVSELL><INVTRAN><FITID>S-1<DTTRADE>20261115<DTSETTLE>20261117"
    "<MEMO>Harbour Income Fund</INVTRAN><SECID><UNIQUEID>316071109<UNIQUEIDTYPE>CUSIP</SECID>"
    "<UNITS>-100<UNITPRICE>42.123<TOTAL>4212.30<SUBACCTSEC>CASH<SUBACCTFUND>CASH</INVSELL>"
    "<SELLTYPE>SELL</SELLMF>\n";

// Checking and savings at one bank, then a card, in one download.
const QByteArray SeveralAccounts =
    SgmlHeader + "<OFX>\n" + SignOn +
    "<BANKMSGSRSV1><STMTTRNRS><TRNUID>1<STATUS><CODE>0<SEVERITY>INFO</STATUS>\n"
    "<STMTRS><CURDEF>USD<BANKACCTFROM><BANKID>121000358<ACCTID>0042-778<ACCTTYPE>CHECKING"
    "</BANKACCTFROM><BANKTRANLIST><DTSTART>20261101<DTEND>20261130\n"
    "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20261103<TRNAMT>-45.10<FITID>K1<NAME>City Water</STMTTRN>\n"
    "</BANKTRANLIST></STMTRS></STMTTRNRS>\n"
    "<STMTTRNRS><TRNUID>2<STATUS><CODE>0<SEVERITY>INFO</STATUS>\n"
    "<STMTRS><CURDEF>USD<BANKACCTFROM><BANKID>121000358<ACCTID>0042-990<ACCTTYPE>SAVINGS"
    "</BANKACCTFROM><BANKTRANLIST><DTSTART>20261101<DTEND>20261130\n"
    "<STMTTRN><TRNTYPE>INT<DTPOSTED>20261130<TRNAMT>1.25<FITID>K1<NAME>Interest</STMTTRN>\n"
    "</BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1>\n"
    "<CREDITCARDMSGSRSV1><CCSTMTTRNRS><TRNUID>3<STATUS><CODE>0<SEVERITY>INFO</STATUS>\n"
    "<CCSTMTRS><CURDEF>USD<CCACCTFROM><ACCTID>4111222233334444</CCACCTFROM>\n"
    "<BANKTRANLIST><DTSTART>20261101<DTEND>20261130\n"
    "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20261112<TRNAMT>-64.10<FITID>C-9<NAME>Hardware Depot"
    "</STMTTRN>\n"
    "</BANKTRANLIST></CCSTMTRS></CCSTMTTRNRS></CREDITCARDMSGSRSV1>\n"
    "</OFX>\n";

// One line in one string, so that a whole statement compares as a literal list.
QString describe(const halvo::StatementLine& l) {
    return QStringList{QString::number(l.line),
                       l.account,
                       l.date.toString(Qt::ISODate),
                       QString::number(l.amount.units()),
                       l.payee,
                       l.memo,
                       l.number,
                       l.bankId}
               .join(QLatin1Char('|')) +
           (l.investment ? QStringLiteral("|investment cash") : QString());
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// The process's open files: a name for each descriptor, what it points at.
QStringList openFiles() {
    QStringList files;
    if (DIR* fds = opendir("/proc/self/fd")) {
        while (const dirent* entry = readdir(fds)) {
            if (entry->d_name[0] == '.' || atoi(entry->d_name) == dirfd(fds))
                continue;
            char target[4096];
            const QByteArray link = QByteArray("/proc/self/fd/") + entry->d_name;
            const ssize_t length = readlink(link.constData(), target, sizeof target);
            files.append(QString::fromLocal8Bit(target, length > 0 ? length : 0));
        }
        closedir(fds);
    }
    return files;
}

class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray& value)
        : name(name)
        , wasSet(qEnvironmentVariableIsSet(name))
        , saved(qgetenv(name)) {
        qputenv(name, value);
        tzset();
    }
    ~ScopedEnvironment() {
        if (wasSet)
            qputenv(name, saved);
        else
            qunsetenv(name);
        tzset();
    }

private:
    const char* name;
    bool wasSet;
    QByteArray saved;
};

} // namespace

class TestOfx : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void readsStatements_data();
    void readsStatements();
    void namesTheAccountsItHolds_data();
    void namesTheAccountsItHolds();
    void amountsArriveExact_data();
    void amountsArriveExact();
    void datesAsTheBankWroteThem_data();
    void datesAsTheBankWroteThem();
    void refusesWhatItCannotRead_data();
    void refusesWhatItCannotRead();
    void leavesNothingBehind_data();
    void leavesNothingBehind();
    void refusesAPrivateFolderTooDeep();
    void aReaderPartThatCannotBeLoaded_data();
    void aReaderPartThatCannotBeLoaded();

private:
    QString write(const QString& name, const QByteArray& contents);
    QTemporaryDir work;
    QString privateFolder;
};

void TestOfx::initTestCase() {
    QVERIFY(work.isValid());
    privateFolder = work.filePath(QStringLiteral("private"));
    QVERIFY(QDir().mkpath(privateFolder));
    QVERIFY(QDir().mkpath(work.filePath(QStringLiteral("files"))));
}

QString TestOfx::write(const QString& name, const QByteArray& contents) {
    const QString path = work.filePath(QStringLiteral("files/") + name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(contents) != contents.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestOfx::readsStatements_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("OFX 1.02 checking account")
        << "checking.ofx" << CheckingStatement
        << QStringList{
               "1|121000358  0042-778|2026-11-01|14500000|J. Okafor rent Unit 2|November rent||"
               "20261101-1",
               "2|121000358  0042-778|2026-11-04|-3124700|Harbour Plumbing||1042|20261104-1",
               "3|121000358  0042-778|2026-11-15|-899900|Caf\u00e9 Lumi\u00e8re|Tenant meeting|"
               "R-5531|20261115-1",
               "4|121000358  0042-778|2026-11-30|-150000|Service charge|||20261130-1"};
    QTest::newRow("OFX 2.11 savings account")
        << "savings.ofx" << XmlStatement
        << QStringList{"1|021000021  98765|2026-12-03|15000000|Rent Caf\u00e9|Units 4 & 5||X-1",
                       "2|021000021  98765|2026-12-31|4200|Interest|||X-2"};
    QTest::newRow("QFX") << "download.qfx" << QfxStatement
                         << QStringList{
                                "1|111000025  5550001|2026-12-02|9755000|Deposit|Unit 1 December||"
                                "Q100",
                                "2|111000025  5550001|2026-12-09|-1200000|Lakeside Insurance|||"
                                "Q101"};
    QTest::newRow("credit card")
        << "card.ofx" << CardStatement
        << QStringList{"1|4111222233334444|2026-11-12|-641000|Hardware Depot|||C-9",
                       "2|4111222233334444|2026-11-20|2000000|Payment, thank you|||C-10"};
    QTest::newRow("what follows the end is no part of it")
        << "trailing.ofx"
        << oneTransaction("20261201", "-1.50") +
               "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20261202<TRNAMT>-9<FITID>T2<NAME>B</STMTTRN>\n"
        << QStringList{"1|121000358  0042-778|2026-12-01|-15000|Test|||T1"};
    QTest::newRow("several accounts")
        << "accounts.ofx" << SeveralAccounts
        << QStringList{"1|121000358  0042-778|2026-11-03|-451000|City Water|||K1",
                       "2|121000358  0042-990|2026-11-30|12500|Interest|||K1",
                       "3|4111222233334444|2026-11-12|-641000|Hardware Depot|||C-9"};
    // A trade is no bank transaction and is left out; the cash moved out of the investment
    // account is read, and known for what it is.
    QTest::newRow("an investment account's cash")
        << "brokerage.ofx"
        << investment(FundSale +
                      "<INVBANKTRAN><STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20261120<TRNAMT>-4000.00"
                      "<FITID>W-1<NAME>Transfer to checking</STMTTRN><SUBACCTFUND>CASH"
                      "</INVBANKTRAN>\n")
        << QStringList{"2|harbourinvest.com X-2210|2026-11-20|-40000000|Transfer to checking|||"
                       "W-1|investment cash"};
    QTest::newRow("date initiated when none was posted")
        << "initiated.ofx"
        << checking("<STMTTRN><TRNTYPE>DEBIT<DTUSER>20261128<TRNAMT>-7.25<FITID>U1"
                    "<NAME>Parking</STMTTRN>\n")
        << QStringList{"1|121000358  0042-778|2026-11-28|-72500|Parking|||U1"};
}

void TestOfx::readsStatements() {
    QFETCH(QString, name);
    QFETCH(QByteArray, contents);
    QFETCH(QStringList, lines);
    const halvo::Result<Statement> read = readOfxFile(write(name, contents), privateFolder);
    QVERIFY2(read.ok(), qPrintable(read.ok() ? QString() : read.error().description));
    QStringList described;
    for (const halvo::StatementLine& line : read.value().lines)
        described.append(describe(line));
    QCOMPARE(described, lines);
}

// Each account of the file once, in its order, with its kind and its number alone; and how many
// trades were left out.
void TestOfx::namesTheAccountsItHolds_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QStringList>("accounts");
    QTest::addColumn<int>("trades");
    QTest::newRow("checking, savings and a card")
        << SeveralAccounts
        << QStringList{"121000358  0042-778|checking|0042-778", "121000358  0042-990|savings|0042-990",
                       "4111222233334444|credit card|4111222233334444"}
        << 0;
    QTest::newRow("an investment account")
        << investment(FundSale + FundSale +
                      "<INVBANKTRAN><STMTTRN><TRNTYPE>CREDIT<DTPOSTED>20261120<TRNAMT>50"
                      "<FITID>W-2<NAME>Deposit</STMTTRN><SUBACCTFUND>CASH</INVBANKTRAN>\n")
        << QStringList{"harbourinvest.com X-2210|investment|X-2210"} << 2;
}

void TestOfx::namesTheAccountsItHolds() {
    QFETCH(QByteArray, contents);
    QFETCH(QStringList, accounts);
    QFETCH(int, trades);
    const halvo::Result<Statement> read =
        readOfxFile(write(QStringLiteral("accounts.ofx"), contents), privateFolder);
    QVERIFY2(read.ok(), qPrintable(read.ok() ? QString() : read.error().description));
    const QMap<halvo::AccountKind, QString> kinds{{halvo::AccountKind::Checking, "checking"},
                                                  {halvo::AccountKind::Savings, "savings"},
                                                  {halvo::AccountKind::CreditCard, "credit card"},
                                                  {halvo::AccountKind::Investment, "investment"}};
    QStringList described;
    for (const halvo::FileAccount& a : read.value().accounts)
        described.append(a.account + '|' + kinds.value(a.kind, "?") + '|' + a.number);
    QCOMPARE(described, accounts);
    QCOMPARE(read.value().tradesLeftOut, trades);
}

void TestOfx::amountsArriveExact_data() {
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<qint64>("units");
    QTest::newRow("seven cents") << QByteArray("0.07") << qint64(700);
    QTest::newRow("negative cents") << QByteArray("-1234.56") << qint64(-12345600);
    QTest::newRow("just under a hundred thousand") << QByteArray("99999.99") << qint64(999999900);
    QTest::newRow("a tenth") << QByteArray("0.1") << qint64(1000);
    QTest::newRow("minus three tenths") << QByteArray("-0.3") << qint64(-3000);
    QTest::newRow("a million and a cent") << QByteArray("1000000.01") << qint64(10000000100);
    QTest::newRow("four decimals") << QByteArray("12.3456") << qint64(123456);
    QTest::newRow("one ten-thousandth") << QByteArray("-0.0001") << qint64(-1);
    QTest::newRow("decimal comma") << QByteArray("-45,10") << qint64(-451000);
    QTest::newRow("whole") << QByteArray("250") << qint64(2500000);
    QTest::newRow("a billion less a cent") << QByteArray("999999999.99") << qint64(9999999999900);
}

void TestOfx::amountsArriveExact() {
    QFETCH(QByteArray, written);
    QFETCH(qint64, units);
    const halvo::Result<Statement> read = readOfxFile(
        write(QStringLiteral("amount.ofx"), oneTransaction("20261201", written)), privateFolder);
    QVERIFY2(read.ok(), qPrintable(read.ok() ? QString() : read.error().description));
    QCOMPARE(read.value().lines.size(), 1);
    QCOMPARE(read.value().lines[0].amount.units(), units);
}

void TestOfx::datesAsTheBankWroteThem_data() {
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QDate>("date");
    const QByteArray zones[] = {"Pacific/Auckland", "America/Los_Angeles", "Pacific/Kiritimati"};
    for (const QByteArray& zone : zones) {
        const auto row = [&](const char* what, const char* written, QDate date) {
            QTest::addRow("%s, %s", zone.constData(), what) << zone << QByteArray(written) << date;
        };
        row("day only", "20261201", QDate(2026, 12, 1));
        row("midnight", "20261201000000", QDate(2026, 12, 1));
        row("just after midnight", "20261201000001", QDate(2026, 12, 1));
        row("last second", "20261201235959.999", QDate(2026, 12, 1));
        row("midsummer day", "20260615", QDate(2026, 6, 15));
        row("year end", "20261231", QDate(2026, 12, 31));
        row("late, west of Greenwich", "20261201233000[-5:EST]", QDate(2026, 12, 1));
        row("early, far east", "20261201080000[+13:NZDT]", QDate(2026, 12, 1));
        row("day only, with a zone", "20261201[+13:NZDT]", QDate(2026, 12, 1));
        row("noon, Greenwich", "20261201120000.000[0:GMT]", QDate(2026, 12, 1));
    }
}

void TestOfx::datesAsTheBankWroteThem() {
    QFETCH(QByteArray, zone);
    QFETCH(QByteArray, written);
    QFETCH(QDate, date);
    const ScopedEnvironment tz("TZ", zone);
    const halvo::Result<Statement> read = readOfxFile(
        write(QStringLiteral("dated.ofx"), oneTransaction(written, "-10.00")), privateFolder);
    QVERIFY2(read.ok(), qPrintable(read.ok() ? QString() : read.error().description));
    QCOMPARE(read.value().lines.size(), 1);
    QCOMPARE(read.value().lines[0].date, date);
}

void TestOfx::refusesWhatItCannotRead_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("contents"); // none: the file is not there
    QTest::addColumn<QString>("message");
    QTest::newRow("a CSV file") << "rent.csv" << QByteArray("Date,Amount\n2026-12-01,-5.00\n")
                                << "\"rent.csv\" is not a bank statement that HALVO can read.";
    QTest::newRow("an empty file") << "empty.ofx" << QByteArray("")
                                   << "\"empty.ofx\" is not a bank statement that HALVO can read.";
    QTest::newRow("binary") << "picture.ofx" << QByteArray(4096, '\x9c')
                            << "\"picture.ofx\" is not a bank statement that HALVO can read.";
    QTest::newRow("no such file") << "missing.ofx" << QByteArray()
                                  << "\"missing.ofx\" cannot be found.";
    QTest::newRow("no transactions")
        << "quiet month.ofx" << checking("") << "\"quiet month.ofx\" holds no transactions.";
    QTest::newRow("cut short")
        << "cut.ofx"
        << CheckingStatement.left(CheckingStatement.indexOf("<STMTTRN>\n<TRNTYPE>DEBIT"))
        << "\"cut.ofx\" ends before its statement does: the file may have been cut short. "
           "Nothing was read from it.";
    QTest::newRow("a transaction outside the statement")
        << "misplaced.ofx"
        << CheckingStatement.left(CheckingStatement.indexOf("</SONRS>")) +
               "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20261201<TRNAMT>-5<FITID>M1<NAME>A</STMTTRN>" +
               CheckingStatement.mid(CheckingStatement.indexOf("</SONRS>"))
        << "\"misplaced.ofx\" holds 5 transactions, but only 4 of them could be read. Nothing "
           "was read from the file.";
    QTest::newRow("an empty amount")
        << "amount.ofx"
        << checking("<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20261201<TRNAMT>-5<FITID>E1<NAME>A</STMTTRN>"
                    "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20261202<TRNAMT><FITID>E2<NAME>B</STMTTRN>\n")
        << "Transaction 2 of \"amount.ofx\" has no amount. Nothing was read from the file.";
    QTest::newRow("no amount")
        << "amount.ofx"
        << checking("<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20261202<FITID>E2<NAME>B</STMTTRN>\n")
        << "Transaction 1 of \"amount.ofx\" has no amount. Nothing was read from the file.";
    // libofx reads "$120" as 0, "1,500.00" as 1.5 and month 20 of 2011 as August 2012: the
    // file's own text is what counts.
    QTest::newRow("an amount with a currency sign")
        << "amount.ofx" << oneTransaction("20261201", "$120")
        << "Transaction 1 of \"amount.ofx\" has the amount \"$120\", which is not a number. "
           "Nothing was read from the file.";
    QTest::newRow("an amount with thousands separators")
        << "amount.ofx" << oneTransaction("20261201", "-1,500.00")
        << "Transaction 1 of \"amount.ofx\" has the amount \"-1,500.00\", which is not a number. "
           "Nothing was read from the file.";
    QTest::newRow("month 20")
        << "dated.ofx" << oneTransaction("20112031", "-5.00")
        << "Transaction 1 of \"dated.ofx\" has the date \"20112031\", which is not a date. "
           "Nothing was read from the file.";
    QTest::newRow("a date cut short")
        << "dated.ofx" << oneTransaction("2026120", "-5.00")
        << "Transaction 1 of \"dated.ofx\" has the date \"2026120\", which is not a date. "
           "Nothing was read from the file.";
    QTest::newRow("a time that is no time")
        << "dated.ofx" << oneTransaction("20261201T0930", "-5.00")
        << "Transaction 1 of \"dated.ofx\" has the date \"20261201T0930\", which is not a date. "
           "Nothing was read from the file.";
    QTest::newRow("an hour past the day")
        << "dated.ofx" << oneTransaction("20261201250000", "-5.00")
        << "Transaction 1 of \"dated.ofx\" has the date \"20261201250000\", which is not a "
           "date. Nothing was read from the file.";
    QTest::newRow("an investment statement of trades alone")
        << "fund.ofx" << investment(FundSale)
        << "\"fund.ofx\" is an investment statement: its trades are not bank transactions, and "
           "it holds no cash moved in or out of the account. Nothing was read from it.";
    QTest::newRow("no date")
        << "undated.ofx"
        << checking("<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20261201<TRNAMT>-5<FITID>E1<NAME>A</STMTTRN>"
                    "<STMTTRN><TRNTYPE>DEBIT<TRNAMT>-6<FITID>E2<NAME>B</STMTTRN>\n")
        << "Transaction 2 of \"undated.ofx\" has no date. Nothing was read from the file.";
}

void TestOfx::refusesWhatItCannotRead() {
    QFETCH(QString, name);
    QFETCH(QByteArray, contents);
    QFETCH(QString, message);
    const QString path =
        contents.isNull() ? work.filePath(QStringLiteral("files/") + name) : write(name, contents);
    const halvo::Result<Statement> read = readOfxFile(path, privateFolder);
    QVERIFY(!read.ok());
    QCOMPARE(read.error().description, message);
}

void TestOfx::leavesNothingBehind_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("good");
    QTest::newRow("a good statement") << CheckingStatement << true;
    QTest::newRow("a file that is no statement") << QByteArray("just words\n") << false;
    QTest::newRow("a statement cut short") << CheckingStatement.left(700) << false;
}

void TestOfx::leavesNothingBehind() {
    QFETCH(QByteArray, contents);
    QFETCH(bool, good);
    const QString path = write(QStringLiteral("statement.ofx"), contents);
    // Where temporary files go for everyone else: HALVO's reading must leave it untouched.
    QTemporaryDir shared;
    QVERIFY(shared.isValid());
    const ScopedEnvironment tmpdir("TMPDIR", QFile::encodeName(shared.path()));
    const QStringList openBefore = openFiles();
    // libofx writes to the console; the reading is silent.
    std::fflush(stdout);
    std::fflush(stderr);
    std::cout.flush();
    std::cerr.flush();
    QFile console(work.filePath(QStringLiteral("console.txt")));
    QVERIFY(console.open(QIODevice::WriteOnly | QIODevice::Truncate));
    const int savedOut = dup(1), savedErr = dup(2);
    dup2(console.handle(), 1);
    dup2(console.handle(), 2);
    int asExpected = 0;
    for (int i = 0; i < 3; ++i)
        asExpected += readOfxFile(path, privateFolder).ok() == good;
    std::fflush(stdout);
    std::fflush(stderr);
    std::cout.flush();
    std::cerr.flush();
    dup2(savedOut, 1);
    dup2(savedErr, 2);
    close(savedOut);
    close(savedErr);
    console.close();

    QCOMPARE(asExpected, 3);
    QCOMPARE(QFileInfo(console.fileName()).size(), qint64(0));
    QCOMPARE(entriesOf(privateFolder), QStringList());
    QCOMPARE(entriesOf(shared.path()), QStringList());
    QCOMPARE(qgetenv("TMPDIR"), QFile::encodeName(shared.path()));
    // No copy is held open either: not in the private folder, not anywhere after the reading.
    QCOMPARE(openFiles().size(), openBefore.size());
    for (const QString& file : openFiles())
        QVERIFY2(!file.startsWith(privateFolder), qPrintable(file));
}

// The OFX reader is a part of its own, loaded when the first statement is read. A program folder
// that lacks it, or holds a damaged one, says so in words, naming the file to put back.
void TestOfx::aReaderPartThatCannotBeLoaded_data() {
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("said");
    QTest::newRow("missing") << "halvo_gone"
                             << "A part of HALVO, \"libhalvo_gone.so\", cannot be loaded: it is in "
                                "none of the folders ";
    QTest::newRow("not the part it should be")
        << "halvo_pdf" << "A part of HALVO, \"libhalvo_pdf.so\", cannot be loaded: ";
}

void TestOfx::aReaderPartThatCannotBeLoaded() {
    QFETCH(QString, part);
    QFETCH(QString, said);
    const auto read = halvo::latePart<decltype(halvo_read_ofx_file)>(part, "halvo_read_ofx_file");
    QVERIFY(!read);
    QVERIFY2(read.error().description.startsWith(said), qPrintable(read.error().description));
    QVERIFY(read.error().description.endsWith(". Installing HALVO again puts it back."));
}

void TestOfx::refusesAPrivateFolderTooDeep() {
    // libofx would end the program on a working copy's name longer than it can hold.
    QString deep = privateFolder;
    while (deep.size() < 240)
        deep += QStringLiteral("/a-folder-among-many");
    QVERIFY(QDir().mkpath(deep));
    const halvo::Result<Statement> read =
        readOfxFile(write(QStringLiteral("deep.ofx"), CheckingStatement), deep);
    QVERIFY(!read.ok());
    QCOMPARE(read.error().description,
             QStringLiteral("The path of the folder \"%1\" is too long to read \"deep.ofx\" in.")
                 .arg(deep));
    QCOMPARE(entriesOf(deep), QStringList());
    QVERIFY(QDir(privateFolder + QStringLiteral("/a-folder-among-many")).removeRecursively());
}

// libofx does not free a transaction it meets outside a statement; the checking build's leak
// report is about the library, not the reader.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libofx.so";
}

QTEST_GUILESS_MAIN(TestOfx)
#include "tst_ofx.moc"
