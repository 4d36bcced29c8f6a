// The portfolio summary on real database files.

#include "shell_test_support.h"

#include "data/money.h"
#include "data/record_set.h"
#include "platform/desktop.h"
#include "shell/summary_panel.h"
#include "summary/ledger_totals.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>

using namespace halvo;
using testing::ProgramFolder;

namespace {

const QStringList valueNames{"lblMortgageValue", "lblEquity",   "lblMortgageLoans", "lblMortgagePmt",
                             "lblInsAmt",        "lblSecurityDep", "lblMangFee",     "lblRentAmt",
                             "lblIncome",        "lblExpense",  "lblAnnualProfitandLoss",
                             "lblNet",           "lblCashBalance"};

QVariant money(const char* text) { return QVariant::fromValue(Money::parse(QString::fromLatin1(text)).value()); }

void addLedger(const ProgramFolder& f, const QVariant& date, const QVariant& income,
               const QVariant& expense)
{
    f.exec(QStringLiteral("INSERT INTO tblFinance (NickName, RecDate, Income, Expense) "
                          "VALUES ('Elm', ?, ?, ?)"),
           {date, income, expense});
}

void addLoan(const ProgramFolder& f, const char* value, const char* balance, const char* payment)
{
    f.exec(QStringLiteral("INSERT INTO tblLoan (NickName, Value, LoanAmt, Mortgage) VALUES ('Elm', ?, ?, ?)"),
           {money(value), money(balance), money(payment)});
}

// An amount as a label shows it, read back as a user reads it.
Money shownAmount(const SummaryPanel& panel, const char* name)
{
    return Money::parse(panel.valueLabel(QString::fromLatin1(name))->text()).value();
}

QColor colourOf(const QLabel* label) { return label->palette().color(QPalette::WindowText); }

QColor buttonText(const QWidget* w) { return w->palette().color(QPalette::ButtonText); }

// A loan of $100,000 with $40,000 owed, and this year's income and expense.
void addPortfolio(const ProgramFolder& f)
{
    addLoan(f, "100000", "40000", "0");
    addLedger(f, QDate(2026, 2, 1), money("1234.50"), money("150"));
}

} // namespace

class tst_shell_summary : public QObject {
    Q_OBJECT
private slots:
    void init() { Clock::fixAt(QDateTime(QDate(2026, 12, 7), QTime(9, 0))); }
    void cleanup() { Clock::fixAt({}); }

    void emptyDatabase();
    void negativeEquityInRed();
    void totalsOfEveryTable();
    void onlyThisYearsLedger_data();
    void onlyThisYearsLedger();
    void netWorthIsCashPlusEquityAsShown();
    void aggregateMatchesWalk_data();
    void aggregateMatchesWalk();
    void yearIsOneStretchOfTheIndex();
    void failedStepsShowZeroAndOthersGoOn();
    void missingDatabaseShowsZeros();
    void newRowsShowOnNextTick();
    void captionsAndHints();
    void idleTicksLeaveDatabaseAlone();
    void restoredFileIsReadAgain();
    void valuesAreReadByScreenReaders_data();
    void valuesAreReadByScreenReaders();
    void followsWhatTheWindowsSave();
    void anotherProgramsWriteShowsAtTheTick();
};

void tst_shell_summary::emptyDatabase()
{
    ProgramFolder folder;
    PortfolioSummary summary(folder.path());
    SummaryPanel panel(&summary);
    // Until the first tick, the design-time texts.
    for (const QString& name : valueNames)
        QCOMPARE(panel.valueLabel(name)->text(), QStringLiteral("$ 0.00"));
    QCOMPARE(panel.lblPandL()->text(), QStringLiteral("Profit/Loss:"));
    summary.tick();
    for (const QString& name : valueNames) {
        QCOMPARE(panel.valueLabel(name)->text(), QStringLiteral("$0.00"));
        QCOMPARE(colourOf(panel.valueLabel(name)), buttonText(&panel));
    }
    QCOMPARE(panel.lblPandL()->text(), QStringLiteral("2026 Profit/Loss: "));
}

void tst_shell_summary::negativeEquityInRed()
{
    ProgramFolder folder;
    addLoan(folder, "100000", "150000", "1234.56");
    PortfolioSummary summary(folder.path());
    SummaryPanel panel(&summary);
    summary.tick();
    const QColor red(255, 0, 0);
    QCOMPARE(panel.valueLabel("lblMortgageValue")->text(), QStringLiteral("$100,000.00"));
    QCOMPARE(panel.valueLabel("lblMortgageLoans")->text(), QStringLiteral("$150,000.00"));
    QCOMPARE(panel.valueLabel("lblMortgagePmt")->text(), QStringLiteral("$1,234.56"));
    QCOMPARE(colourOf(panel.valueLabel("lblMortgageValue")), buttonText(&panel));
    QCOMPARE(colourOf(panel.valueLabel("lblMortgageLoans")), buttonText(&panel));
    QCOMPARE(panel.valueLabel("lblEquity")->text(), QStringLiteral("-$50,000.00"));
    QCOMPARE(panel.valueLabel("lblNet")->text(), QStringLiteral("-$50,000.00"));
    QCOMPARE(colourOf(panel.valueLabel("lblEquity")), red);
    QCOMPARE(colourOf(panel.valueLabel("lblNet")), red);
    QCOMPARE(colourOf(panel.valueLabel("lblCashBalance")), buttonText(&panel));

    // Back above zero, the colour returns to the button text.
    folder.exec(QStringLiteral("UPDATE tblLoan SET Value = ?"), {money("200000")});
    summary.tick();
    QCOMPARE(panel.valueLabel("lblEquity")->text(), QStringLiteral("$50,000.00"));
    QCOMPARE(colourOf(panel.valueLabel("lblEquity")), buttonText(&panel));
}

void tst_shell_summary::totalsOfEveryTable()
{
    ProgramFolder folder;
    addLoan(folder, "250000.10", "120000.05", "900");
    addLoan(folder, "1000000", "0", "0.99");
    folder.exec(QStringLiteral("INSERT INTO tblLoan (NickName) VALUES ('Empty')")); // NULL amounts
    folder.exec(QStringLiteral("INSERT INTO tblInsurance (Nickname, HomeOwnersIns) VALUES ('Elm', ?), ('Oak', ?)"),
                {money("1200.50"), money("799.50")});
    folder.exec(QStringLiteral("INSERT INTO tblTenant (Nickname, DepAmt, ManagementFee, MonthlyRentAmt) "
                               "VALUES ('Elm', ?, ?, ?), ('Oak', ?, NULL, ?)"),
                {money("1500"), money("95.25"), money("1250"), money("2000"), money("1800")});
    PortfolioSummary summary(folder.path());
    SummaryPanel panel(&summary);
    summary.tick();
    QCOMPARE(panel.valueLabel("lblMortgageValue")->text(), QStringLiteral("$1,250,000.10"));
    QCOMPARE(panel.valueLabel("lblMortgageLoans")->text(), QStringLiteral("$120,000.05"));
    QCOMPARE(panel.valueLabel("lblEquity")->text(), QStringLiteral("$1,130,000.05"));
    QCOMPARE(panel.valueLabel("lblMortgagePmt")->text(), QStringLiteral("$900.99"));
    QCOMPARE(panel.valueLabel("lblInsAmt")->text(), QStringLiteral("$2,000.00"));
    QCOMPARE(panel.valueLabel("lblSecurityDep")->text(), QStringLiteral("$3,500.00"));
    QCOMPARE(panel.valueLabel("lblMangFee")->text(), QStringLiteral("$95.25"));
    QCOMPARE(panel.valueLabel("lblRentAmt")->text(), QStringLiteral("$3,050.00"));
}

void tst_shell_summary::onlyThisYearsLedger_data()
{
    QTest::addColumn<QVariant>("date");
    QTest::addColumn<bool>("counted");
    QTest::newRow("first day") << QVariant(QDate(2026, 1, 1)) << true;
    QTest::newRow("last day") << QVariant(QDate(2026, 12, 31)) << true;
    QTest::newRow("last year's last day") << QVariant(QDate(2025, 12, 31)) << false;
    QTest::newRow("next year") << QVariant(QDate(2027, 1, 1)) << false;
    QTest::newRow("a day that reads 20/26") << QVariant(QDate(2020, 2, 6)) << false;
    QTest::newRow("no date") << QVariant() << false;
    QTest::newRow("empty text") << QVariant(QString("")) << false;
}

void tst_shell_summary::onlyThisYearsLedger()
{
    QFETCH(QVariant, date);
    QFETCH(bool, counted);
    ProgramFolder folder;
    addLedger(folder, QDate(2026, 6, 15), money("1000"), money("0"));
    addLedger(folder, date, money("500"), money("200"));
    PortfolioSummary summary(folder.path());
    SummaryPanel panel(&summary);
    summary.tick();
    QCOMPARE(panel.valueLabel("lblIncome")->text(), counted ? "$1,500.00" : "$1,000.00");
    QCOMPARE(panel.valueLabel("lblExpense")->text(), counted ? "$200.00" : "$0.00");
    QCOMPARE(panel.valueLabel("lblAnnualProfitandLoss")->text(), counted ? "$1,300.00" : "$1,000.00");
    QCOMPARE(panel.valueLabel("lblCashBalance")->text(), counted ? "$1,300.00" : "$1,000.00");
    // Left out, the row still exists.
    QCOMPARE(folder.db().scalar(QStringLiteral("SELECT COUNT(*) FROM tblFinance")).value().toInt(), 2);
}

void tst_shell_summary::netWorthIsCashPlusEquityAsShown()
{
    // Amounts with fractions of a cent: the labels show cents, and the derived labels are
    // worked out from what is shown.
    ProgramFolder folder;
    addLoan(folder, "1000.0049", "0.0051", "0");
    addLedger(folder, QDate(2026, 3, 1), money("0.0050"), money("0.0049"));
    addLedger(folder, QDate(2026, 3, 2), money("10.3333"), QVariant());
    addLedger(folder, QDate(2026, 3, 3), QVariant(), money("20.6666"));
    PortfolioSummary summary(folder.path());
    SummaryPanel panel(&summary);
    summary.tick();
    const Money net = shownAmount(panel, "lblNet");
    const Money cash = shownAmount(panel, "lblCashBalance");
    const Money equity = shownAmount(panel, "lblEquity");
    QCOMPARE(net, cash + equity);
    QCOMPARE(shownAmount(panel, "lblAnnualProfitandLoss"),
             shownAmount(panel, "lblIncome") - shownAmount(panel, "lblExpense"));
    QCOMPARE(panel.valueLabel("lblCashBalance")->text(), QStringLiteral("-$10.33"));
    QCOMPARE(colourOf(panel.valueLabel("lblCashBalance")), QColor(255, 0, 0));
    QCOMPARE(colourOf(panel.valueLabel("lblAnnualProfitandLoss")), QColor(255, 0, 0));
    QCOMPARE(colourOf(panel.valueLabel("lblIncome")), buttonText(&panel));
}

void tst_shell_summary::aggregateMatchesWalk_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {1u, 7u, 2026u, 90210u})
        QTest::addRow("seed %u", seed) << seed;
}

void tst_shell_summary::aggregateMatchesWalk()
{
    QFETCH(quint32, seed);
    ProgramFolder folder;
    QRandomGenerator random(seed);
    const Connection db = folder.db();
    {
        Transaction work(db);
        for (int i = 0; i < 600; ++i) {
            QVariant date;
            switch (random.bounded(8)) {
            case 0: break; // no date
            case 1: date = QString(""); break;
            default:
                date = QDate(2018 + random.bounded(11), 1 + random.bounded(12), 1 + random.bounded(28));
            }
            const auto amount = [&]() -> QVariant {
                if (random.bounded(6) == 0)
                    return {};
                return QVariant::fromValue(Money::fromUnits(random.bounded(-5000000, 50000000)));
            };
            QVERIFY(db.execute(QStringLiteral("INSERT INTO tblFinance (RecDate, Income, Expense) VALUES (?, ?, ?)"),
                               {date, amount(), amount()}));
        }
        QVERIFY(work.commit());
    }
    for (int year : {2018, 2022, 2026, 2030}) {
        const auto fast = yearLedgerTotals(db, year);
        const auto walked = walkLedgerTotals(db, year);
        QVERIFY(fast);
        QVERIFY(walked);
        QCOMPARE(fast.value().income.units(), walked.value().income.units());
        QCOMPARE(fast.value().expense.units(), walked.value().expense.units());
    }
}

void tst_shell_summary::yearIsOneStretchOfTheIndex()
{
    // The year's totals come from the year's entries of the date index alone, so other years'
    // rows cost nothing.
    ProgramFolder folder;
    const auto plan = folder.db().select(QStringLiteral("EXPLAIN QUERY PLAN ") + yearLedgerStatement(),
                                         {QStringLiteral("2026-01-01"), QStringLiteral("2027-01-01")});
    QVERIFY(plan);
    QString detail;
    for (const QVariantList& row : plan.value().values)
        detail += row.last().toString();
    QVERIFY2(detail.contains(QStringLiteral("SEARCH")) && detail.contains(QStringLiteral("COVERING INDEX")),
             qPrintable(detail));
}

void tst_shell_summary::failedStepsShowZeroAndOthersGoOn()
{
    ProgramFolder folder;
    addLoan(folder, "300", "100", "10");
    folder.exec(QStringLiteral("INSERT INTO tblTenant (Nickname, MonthlyRentAmt) VALUES ('Elm', ?)"),
                {money("700")});
    addLedger(folder, QDate(2026, 5, 5), money("40"), money("15"));
    folder.exec(QStringLiteral("DROP TABLE tblInsurance"));
    // A tenant table that has lost its management fee column.
    folder.exec(QStringLiteral("ALTER TABLE tblTenant RENAME TO tblTenantBefore"));
    folder.exec(QStringLiteral("CREATE TABLE tblTenant (Nickname TEXT, DepAmt CURRENCY, "
                               "MonthlyRentAmt CURRENCY)"));
    folder.exec(QStringLiteral("INSERT INTO tblTenant (Nickname, DepAmt, MonthlyRentAmt) "
                               "SELECT Nickname, DepAmt, MonthlyRentAmt FROM tblTenantBefore"));
    PortfolioSummary summary(folder.path());
    SummaryPanel panel(&summary);
    summary.tick();
    QCOMPARE(panel.valueLabel("lblInsAmt")->text(), QStringLiteral("$0.00"));
    QCOMPARE(panel.valueLabel("lblMangFee")->text(), QStringLiteral("$0.00"));
    QCOMPARE(panel.valueLabel("lblRentAmt")->text(), QStringLiteral("$700.00"));
    QCOMPARE(panel.valueLabel("lblEquity")->text(), QStringLiteral("$200.00"));
    QCOMPARE(panel.valueLabel("lblIncome")->text(), QStringLiteral("$40.00"));
    QCOMPARE(panel.valueLabel("lblNet")->text(), QStringLiteral("$225.00"));
}

void tst_shell_summary::missingDatabaseShowsZeros()
{
    ProgramFolder folder(false);
    PortfolioSummary summary(folder.path());
    SummaryPanel panel(&summary);
    summary.tick();
    for (const QString& name : valueNames)
        QCOMPARE(panel.valueLabel(name)->text(), QStringLiteral("$0.00"));
    QCOMPARE(panel.lblPandL()->text(), QStringLiteral("2026 Profit/Loss: "));
    QVERIFY(folder.scripted.shown.isEmpty());
    QVERIFY(!QFile::exists(databasePath(folder.path())));
}

void tst_shell_summary::newRowsShowOnNextTick()
{
    ProgramFolder folder;
    PortfolioSummary summary(folder.path());
    SummaryPanel panel(&summary);
    summary.tick();
    addLedger(folder, QDate(2026, 12, 7), money("0"), money("99.99"));
    summary.tick();
    QCOMPARE(panel.valueLabel("lblExpense")->text(), QStringLiteral("$99.99"));
    QCOMPARE(panel.valueLabel("lblNet")->text(), QStringLiteral("-$99.99"));
    // At the turn of the year the new year's rows are the ones counted.
    Clock::fixAt(QDateTime(QDate(2027, 1, 1), QTime(0, 0)));
    summary.tick();
    QCOMPARE(panel.valueLabel("lblExpense")->text(), QStringLiteral("$0.00"));
    QCOMPARE(panel.lblPandL()->text(), QStringLiteral("2027 Profit/Loss: "));
}

void tst_shell_summary::captionsAndHints()
{
    ProgramFolder folder;
    PortfolioSummary summary(folder.path());
    SummaryPanel panel(&summary);
    QStringList headings, captions, hints;
    for (QLabel* l : panel.findChildren<QLabel*>()) {
        if (l->font().bold())
            headings << l->text();
        else if (!l->toolTip().isEmpty()) {
            captions << l->text();
            hints << l->toolTip();
        }
    }
    QCOMPARE(headings, (QStringList{"Property Overview", "Loan Overview", "Insurance Overview",
                                    "Rental Overview", "Income Overview", "Expense Overview",
                                    "Cash Overview"}));
    QCOMPARE(captions, (QStringList{"Market Value:", "Equity:", "Loans:", "Mortgage Pmt.:",
                                    "Insurance:", "Security Dep.:", "Mgnt Fees:", "Monthly Rents:",
                                    "Income:", "Expense:", "Profit/Loss:", "Net Worth:",
                                    "Cash Balance:"}));
    QCOMPARE(hints.at(11), QStringLiteral("Overall Net Worth "));
    QCOMPARE(hints.at(0), QStringLiteral("Estimate Market Value of all Properties"));
    // Top to bottom in the order of the table.
    int lastY = -1;
    for (const QString& name : valueNames) {
        panel.show();
        const int y = panel.valueLabel(name)->geometry().y();
        QVERIFY2(y > lastY, qPrintable(name));
        lastY = y;
    }
}

void tst_shell_summary::idleTicksLeaveDatabaseAlone()
{
    ProgramFolder folder;
    addLoan(folder, "100", "40", "1");
    PortfolioSummary summary(folder.path());
    summary.tick();
    QCOMPARE(summary.figures().marketValue, std::optional<Money>(Money::fromCents(10000)));
    QCOMPARE(summary.fullReadings(), 1);
    for (int i = 0; i < 100; ++i)
        summary.tick();
    QCOMPARE(summary.fullReadings(), 1);
    // A row written without a record set, through any connection, is read at the next tick.
    addLedger(folder, QDate(2026, 1, 2), money("5"), money("0"));
    summary.tick();
    QCOMPARE(summary.figures().income, Money::fromCents(500));
    QCOMPARE(summary.fullReadings(), 2);
    // So is another year's ledger, at the turn of the year.
    Clock::fixAt(QDateTime(QDate(2027, 1, 1), QTime(0, 0)));
    summary.tick();
    QCOMPARE(summary.figures().income, Money());
    QCOMPARE(summary.fullReadings(), 3);
}

void tst_shell_summary::restoredFileIsReadAgain()
{
    // A restore puts another file in the database's place; the next tick shows its totals.
    ProgramFolder folder;
    ProgramFolder backup;
    addLoan(folder, "100", "0", "0");
    addLoan(backup, "250", "0", "0");
    PortfolioSummary summary(folder.path());
    SummaryPanel panel(&summary);
    summary.tick();
    QCOMPARE(panel.valueLabel("lblMortgageValue")->text(), QStringLiteral("$100.00"));
    releaseDatabase(databasePath(backup.path()));
    releaseDatabase(databasePath(folder.path()));
    QVERIFY(QFile::remove(databasePath(folder.path())));
    QVERIFY(QFile::copy(databasePath(backup.path()), databasePath(folder.path())));
    summary.tick();
    QCOMPARE(panel.valueLabel("lblMortgageValue")->text(), QStringLiteral("$250.00"));
}

void tst_shell_summary::valuesAreReadByScreenReaders_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("before"); // what a reader hears before the first tick
    QTest::addColumn<QString>("spoken"); // and after it
    QTest::addColumn<QString>("amount");
    QTest::addColumn<double>("number");
    QTest::newRow("market value") << "lblMortgageValue" << "Market Value: $ 0.00"
                                  << "Market Value: $100,000.00" << "$100,000.00" << 100000.0;
    QTest::newRow("loans") << "lblMortgageLoans" << "Loans: $ 0.00" << "Loans: $40,000.00"
                           << "$40,000.00" << 40000.0;
    QTest::newRow("equity") << "lblEquity" << "Equity: $ 0.00" << "Equity: $60,000.00"
                            << "$60,000.00" << 60000.0;
    QTest::newRow("insurance, none") << "lblInsAmt" << "Insurance: $ 0.00" << "Insurance: $0.00"
                                     << "$0.00" << 0.0;
    QTest::newRow("income") << "lblIncome" << "Income: $ 0.00" << "Income: $1,234.50"
                            << "$1,234.50" << 1234.5;
    QTest::newRow("expense") << "lblExpense" << "Expense: $ 0.00" << "Expense: $150.00"
                             << "$150.00" << 150.0;
    QTest::newRow("profit, named by the year of its caption")
        << "lblAnnualProfitandLoss" << "Profit/Loss: $ 0.00" << "2026 Profit/Loss: $1,084.50"
        << "$1,084.50" << 1084.5;
    QTest::newRow("net worth") << "lblNet" << "Net Worth: $ 0.00" << "Net Worth: $61,084.50"
                               << "$61,084.50" << 61084.5;
    QTest::newRow("cash balance") << "lblCashBalance" << "Cash Balance: $ 0.00"
                                  << "Cash Balance: $1,084.50" << "$1,084.50" << 1084.5;
}

void tst_shell_summary::valuesAreReadByScreenReaders()
{
    QFETCH(QString, name);
    QFETCH(QString, before);
    QFETCH(QString, spoken);
    QFETCH(QString, amount);
    QFETCH(double, number);
    ProgramFolder folder;
    addPortfolio(folder);
    PortfolioSummary summary(folder.path());
    SummaryPanel panel(&summary);
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(panel.valueLabel(name));
    QVERIFY(reader);
    QCOMPARE(reader->role(), QAccessible::StaticText);
    QCOMPARE(reader->text(QAccessible::Name), before);
    QCOMPARE(reader->text(QAccessible::Value), QStringLiteral("$ 0.00"));
    summary.tick();
    QCOMPARE(panel.valueLabel(name)->text(), amount);
    QCOMPARE(reader->text(QAccessible::Name), spoken);
    QCOMPARE(reader->text(QAccessible::Value), amount);
    // Clients that take a value as a number read the same amount.
    QVERIFY(reader->valueInterface());
    QCOMPARE(reader->valueInterface()->currentValue().toDouble(), number);
}

// A ledger row saved, edited and deleted as the windows do it, through a record set: the strip
// shows each at once, with no tick, and reads nothing from the database for it.
void tst_shell_summary::followsWhatTheWindowsSave()
{
    ProgramFolder folder;
    addPortfolio(folder); // this year: one row of $1,234.50 income and $150.00 expense
    PortfolioSummary summary(folder.path());
    SummaryPanel panel(&summary);
    summary.tick();
    const int readings = summary.fullReadings();
    QSignalSpy changed(&summary, &PortfolioSummary::changed);
    RecordSet ledger;
    QVERIFY(ledger.open(folder.db(), QStringLiteral("tblFinance")));
    QStringList seen;
    const auto shown = [&](const char* what) {
        seen << QStringLiteral("%1: %2 %3 %4")
                    .arg(QString::fromLatin1(what), panel.valueLabel("lblIncome")->text(),
                         panel.valueLabel("lblAnnualProfitandLoss")->text(),
                         panel.valueLabel("lblNet")->text());
    };
    QVERIFY(ledger.addNew());
    QVERIFY(ledger.setValue(QStringLiteral("RecDate"), QDate(2026, 6, 1)));
    QVERIFY(ledger.setValue(QStringLiteral("Income"), QStringLiteral("200")));
    QVERIFY(ledger.update());
    shown("saved");
    QVERIFY(ledger.setValue(QStringLiteral("Income"), QStringLiteral("250.25")));
    QVERIFY(ledger.update());
    shown("edited");
    QVERIFY(ledger.setValue(QStringLiteral("RecDate"), QDate(2025, 12, 31)));
    QVERIFY(ledger.update());
    shown("moved to last year");
    QVERIFY(ledger.moveFirst());
    QVERIFY(ledger.deleteCurrent());
    shown("the first deleted");
    QCOMPARE(seen, (QStringList{"saved: $1,434.50 $1,284.50 $61,284.50",
                                "edited: $1,484.75 $1,334.75 $61,334.75",
                                "moved to last year: $1,234.50 $1,084.50 $61,084.50",
                                "the first deleted: $0.00 $0.00 $60,000.00"}));
    QCOMPARE(changed.count(), 4);
    summary.tick();
    QCOMPARE(summary.fullReadings(), readings);
}

// Another program's write is not told: the next tick finds it and reads everything again.
void tst_shell_summary::anotherProgramsWriteShowsAtTheTick()
{
    ProgramFolder folder;
    addPortfolio(folder);
    PortfolioSummary summary(folder.path());
    SummaryPanel panel(&summary);
    summary.tick();
    QCOMPARE(panel.valueLabel("lblIncome")->text(), QStringLiteral("$1,234.50"));
    QProcess other;
    other.start(QStringLiteral(LEDGER_WRITER),
                {QStringLiteral("add"), databasePath(folder.path()), QStringLiteral("2026-07-04"),
                 QStringLiteral("1000")});
    QVERIFY(other.waitForFinished(10000));
    QCOMPARE(other.exitCode(), 0);
    QCOMPARE(panel.valueLabel("lblIncome")->text(), QStringLiteral("$1,234.50"));
    summary.tick();
    QCOMPARE(panel.valueLabel("lblIncome")->text(), QStringLiteral("$1,244.50"));
    QCOMPARE(summary.fullReadings(), 2);
}

QTEST_MAIN(tst_shell_summary)
#include "tst_shell_summary.moc"
