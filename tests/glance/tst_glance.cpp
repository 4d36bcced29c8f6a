// The year at a glance over a small ledger of two properties and four years: its figures to the
// cent, the window's tables as the user reads them, the ledger opened at a month from a bar and
// from the keyboard, and the window following the file.

#include "controls/child_frame.h"
#include "glance/glance_figures.h"
#include "glance/glance_window.h"
#include "tests/shell/shell_test_support.h"

#include "controls/pickers.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "ledger/ledger_window.h"
#include "platform/desktop.h"
#include "shell/main_window.h"
#include "shell/window_table.h"
#include "summary/portfolio_summary.h"

#include <QAction>
#include <QApplication>
#include <QBarSeries>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableWidget>
#include <QTest>

using namespace halvo;
using testing::ProgramFolder;

namespace {

// In the order entered, which is the ledger windows' order: the first January income of the
// portfolio is OAK's of the 31st, ELM's first is that of the 25th. 2024 has no rows; one row
// has no property, one no date.
const char* const ledger = R"(
INSERT INTO tblBuilding (BldNickName) VALUES ('OAK'), ('ELM');
INSERT INTO tblFinance (NickName, RecDate, Payee, Income, Expense) VALUES
  ('OAK', '2026-01-31', 'Laundry', 100000, 0),
  ('ELM', '2025-03-10', 'J Smith', 12000000, 0),
  ('ELM', '2025-03-15', 'Ace Plumbing', 0, 1500000),
  ('OAK', '2025-11-01', 'R Jones', 9000000, 0),
  ('ELM', '2026-01-25', 'J Smith', 500000, 0),
  ('ELM', '2026-01-05', 'J Smith', 12000000, 0),
  ('OAK', '2026-01-07', 'Roof Co', 0, 20000000),
  (NULL, '2026-02-14', 'First Bank', 0, 452500),
  ('OAK', '2026-04-01', 'R Jones', 9500000, 0),
  ('ELM', '2023-06-30', 'Ace Plumbing', 0, 800000),
  ('ELM', NULL, 'Undated', 50000, 0);
)";

void fill(const ProgramFolder& folder)
{
    if (!folder.db().executeScript(QString::fromLatin1(ledger)))
        qFatal("cannot fill the ledger");
}

Money money(const char* text)
{
    return Money::parse(QString::fromLatin1(text)).value();
}

QStringList rowTexts(const QTableWidget* table, int row)
{
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column)
        texts << (table->item(row, column) ? table->item(row, column)->text() : QString());
    return texts;
}

QStringList items(const Picker* picker)
{
    QStringList texts;
    for (int i = 0; i < picker->count(); ++i)
        texts << picker->itemText(i);
    return texts;
}

void choose(Picker* picker, const QString& text)
{
    const int index = picker->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    picker->setCurrentIndex(index);
}

// The program's frame with its own window table, and the window opened from the Report menu.
struct Frame {
    explicit Frame(const ProgramFolder& folder)
        : main(Folders::portableAt(folder.path()))
    {
        installWindows(main);
        main.resize(1400, 1000);
        main.show();
        if (!QTest::qWaitForWindowActive(&main))
            qWarning("the frame did not become active");
    }
    frmYearAtAGlance* open()
    {
        main.entry(QStringLiteral("YearAtAGlance"))->trigger();
        return qobject_cast<frmYearAtAGlance*>(main.openedWindow(QStringLiteral("YearAtAGlance")));
    }
    LedgerWindow* activeLedger() const
    {
        QMdiSubWindow* sub = main.mdiArea()->activeSubWindow();
        return sub ? qobject_cast<LedgerWindow*>(windowIn(sub)) : nullptr;
    }
    frmMain main;
};

} // namespace

class tst_glance : public QObject {
    Q_OBJECT
private slots:
    void init() { Clock::fixAt(QDateTime(QDate(2026, 12, 7), QTime(9, 0))); }
    void cleanup() { Clock::fixAt({}); }

    void figures_data();
    void figures();
    void figuresFollowTheLedger_data();
    void figuresFollowTheLedger();
    void figuresOfAnEarlierFile_data();
    void figuresOfAnEarlierFile();
    void tables_data();
    void tables();
    void monthOpensLedger_data();
    void monthOpensLedger();
    void barOpensLedger();
    void keyboard();
    void followsFile();
    void emptyLedger();
    void unreadableFile();
};

void tst_glance::figures_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month"); // 0: the year's figures
    QTest::addColumn<QString>("income");
    QTest::addColumn<QString>("expense");
    QTest::newRow("portfolio, January 2026") << "" << 2026 << 1 << "1260.00" << "2000.00";
    QTest::newRow("portfolio, February 2026, no property") << "" << 2026 << 2 << "0" << "45.25";
    QTest::newRow("portfolio, April 2026, income only") << "" << 2026 << 4 << "950.00" << "0";
    QTest::newRow("ELM, January 2026") << "ELM" << 2026 << 1 << "1250.00" << "0";
    QTest::newRow("OAK, January 2026") << "OAK" << 2026 << 1 << "10.00" << "2000.00";
    QTest::newRow("portfolio, 2023") << "" << 2023 << 0 << "0" << "80.00";
    QTest::newRow("portfolio, 2024, no rows") << "" << 2024 << 0 << "0" << "0";
    QTest::newRow("portfolio, 2025") << "" << 2025 << 0 << "2100.00" << "150.00";
    QTest::newRow("portfolio, 2026") << "" << 2026 << 0 << "2210.00" << "2045.25";
    QTest::newRow("OAK, 2026") << "OAK" << 2026 << 0 << "960.00" << "2000.00";
    QTest::newRow("elm, as the ledger names") << "elm" << 2025 << 0 << "1200.00" << "150.00";
}

void tst_glance::figures()
{
    QFETCH(QString, property);
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(QString, income);
    QFETCH(QString, expense);
    ProgramFolder folder;
    fill(folder);
    const Connection c = folder.db();
    QCOMPARE(ledgerYears(c).value(), std::optional<YearSpan>(YearSpan{2023, 2026}));
    PeriodFigures f;
    if (month == 0) {
        const QList<YearFigures> years = yearFigures(c, property, {2023, 2026}).value();
        QCOMPARE(years.size(), 4);
        QCOMPARE(years[year - 2023].year, year);
        f = years[year - 2023].figures;
    } else {
        f = monthFigures(c, property, year).value()[size_t(month - 1)];
    }
    QCOMPARE(f.income, money(income.toLatin1()));
    QCOMPARE(f.expense, money(expense.toLatin1()));
}

// A figure after the ledger was written, however it was written: a row added, changed (its
// amount, date or property), or deleted, the last of its day among them.
void tst_glance::figuresFollowTheLedger_data()
{
    QTest::addColumn<QString>("write");
    QTest::addColumn<QString>("property");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month"); // 0: the year's figures
    QTest::addColumn<QString>("income");
    QTest::addColumn<QString>("expense");
    const QString added = "INSERT INTO tblFinance (NickName, RecDate, Payee, Income, Expense) "
                          "VALUES ('ELM', '2026-03-02', 'New Tenant', 7000000, 0)";
    QTest::newRow("an income added, its property")
        << added << "ELM" << 2026 << 3 << "700.00" << "0";
    QTest::newRow("an income added, the portfolio")
        << added << "" << 2026 << 3 << "700.00" << "0";
    const QString moved = "UPDATE tblFinance SET RecDate = '2026-03-05' WHERE Payee = 'Laundry'";
    QTest::newRow("an income moved, the month it left")
        << moved << "OAK" << 2026 << 1 << "0" << "2000.00";
    QTest::newRow("an income moved, the month it reached")
        << moved << "OAK" << 2026 << 3 << "10.00" << "0";
    const QString handedOver = "UPDATE tblFinance SET NickName = 'ELM' WHERE Payee = 'Roof Co'";
    QTest::newRow("an expense handed to another property, the one it left")
        << handedOver << "OAK" << 2026 << 0 << "960.00" << "0";
    QTest::newRow("an expense handed to another property, the one it reached")
        << handedOver << "ELM" << 2026 << 1 << "1250.00" << "2000.00";
    QTest::newRow("an expense handed to another property, the portfolio")
        << handedOver << "" << 2026 << 1 << "1260.00" << "2000.00";
    QTest::newRow("an amount changed")
        << "UPDATE tblFinance SET Income = 13000000 WHERE Payee = 'J Smith' "
           "AND RecDate = '2026-01-05'"
        << "ELM" << 2026 << 1 << "1350.00" << "0";
    QTest::newRow("a row deleted")
        << "DELETE FROM tblFinance WHERE Payee = 'Roof Co'" << "" << 2026 << 1 << "1260.00" << "0";
    QTest::newRow("the only row of a year deleted")
        << "DELETE FROM tblFinance WHERE RecDate = '2023-06-30'" << "" << 2023 << 0 << "0" << "0";
    QTest::newRow("a date taken away")
        << "UPDATE tblFinance SET RecDate = NULL WHERE Payee = 'First Bank'"
        << "" << 2026 << 2 << "0" << "0";
    QTest::newRow("an undated row given a date")
        << "UPDATE tblFinance SET RecDate = '2026-04-15' WHERE Payee = 'Undated'"
        << "ELM" << 2026 << 4 << "5.00" << "0";
    const QString unnamed = "UPDATE tblFinance SET NickName = NULL WHERE Payee = 'R Jones' "
                            "AND RecDate = '2026-04-01'";
    QTest::newRow("a property taken away, the property")
        << unnamed << "OAK" << 2026 << 4 << "0" << "0";
    QTest::newRow("a property taken away, the portfolio")
        << unnamed << "" << 2026 << 4 << "950.00" << "0";
    QTest::newRow("a property renamed in other letters")
        << "UPDATE tblFinance SET NickName = 'oak' WHERE Payee = 'Laundry'"
        << "OAK" << 2026 << 1 << "10.00" << "2000.00";
    QTest::newRow("rows named in other letters, one deleted")
        << "INSERT INTO tblFinance (NickName, RecDate, Payee, Income, Expense) VALUES "
           "('oak', '2026-05-01', 'A', 10000, 0), ('OAK', '2026-05-01', 'B', 20000, 0);"
           "DELETE FROM tblFinance WHERE Payee = 'A'"
        << "OAK" << 2026 << 5 << "2.00" << "0";
}

void tst_glance::figuresFollowTheLedger()
{
    QFETCH(QString, write);
    QFETCH(QString, property);
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(QString, income);
    QFETCH(QString, expense);
    ProgramFolder folder;
    fill(folder);
    const Connection c = folder.db();
    QVERIFY(c.executeScript(write));
    const PeriodFigures f =
        month == 0 ? yearFigures(c, property, {year, year}).value().first().figures
                   : monthFigures(c, property, year).value()[size_t(month - 1)];
    QCOMPARE(f.income, money(income.toLatin1()));
    QCOMPARE(f.expense, money(expense.toLatin1()));
}

// A file written before the glance kept its sums shows its ledger's figures once opened, and a
// file that takes that step again (its record of the steps lost) counts no row twice.
void tst_glance::figuresOfAnEarlierFile_data()
{
    QTest::addColumn<QString>("before");
    QTest::newRow("before the sums were kept")
        << "DROP TRIGGER trgLedgerDayAdded; DROP TRIGGER trgLedgerDayRemoved;"
           "DROP TRIGGER trgLedgerDayChanged; DROP TABLE tblLedgerDay; PRAGMA user_version = 6";
    QTest::newRow("the step taken again") << "PRAGMA user_version = 6";
}

void tst_glance::figuresOfAnEarlierFile()
{
    QFETCH(QString, before);
    ProgramFolder folder;
    fill(folder);
    QVERIFY(folder.db().executeScript(before));
    releaseDatabase(databasePath(folder.path()));

    frmYearAtAGlance window(folder.path());
    window.show();
    QCOMPARE(rowTexts(window.grdMonths, 0),
             (QStringList{"January", "$1,260.00", "$2,000.00", "-$740.00"}));
    QCOMPARE(rowTexts(window.grdYears, 3),
             (QStringList{"2026", "$2,210.00", "$2,045.25", "$164.75"}));
    choose(window.cboNickname, "ELM");
    QCOMPARE(rowTexts(window.grdYears, 2),
             (QStringList{"2025", "$1,200.00", "$150.00", "$1,050.00"}));
    QCOMPARE(folder.scripted.texts(), QStringList{});
}

void tst_glance::tables_data()
{
    QTest::addColumn<QString>("show");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QList<QStringList>>("months"); // January, February, March, April
    QTest::addColumn<QList<QStringList>>("years");  // 2023 to 2026
    QTest::newRow("All Properties, 2026")
        << "All Properties"
        << "2026"
        << QList<QStringList>{{"January", "$1,260.00", "$2,000.00", "-$740.00"},
                              {"February", "$0.00", "$45.25", "-$45.25"},
                              {"March", "$0.00", "$0.00", "$0.00"},
                              {"April", "$950.00", "$0.00", "$950.00"}}
        << QList<QStringList>{{"2023", "$0.00", "$80.00", "-$80.00"},
                              {"2024", "$0.00", "$0.00", "$0.00"},
                              {"2025", "$2,100.00", "$150.00", "$1,950.00"},
                              {"2026", "$2,210.00", "$2,045.25", "$164.75"}};
    QTest::newRow("ELM, 2025") << "ELM"
                               << "2025"
                               << QList<QStringList>{{"January", "$0.00", "$0.00", "$0.00"},
                                                     {"February", "$0.00", "$0.00", "$0.00"},
                                                     {"March", "$1,200.00", "$150.00", "$1,050.00"},
                                                     {"April", "$0.00", "$0.00", "$0.00"}}
                               << QList<QStringList>{{"2023", "$0.00", "$80.00", "-$80.00"},
                                                     {"2024", "$0.00", "$0.00", "$0.00"},
                                                     {"2025", "$1,200.00", "$150.00", "$1,050.00"},
                                                     {"2026", "$1,250.00", "$0.00", "$1,250.00"}};
}

void tst_glance::tables()
{
    QFETCH(QString, show);
    QFETCH(QString, year);
    QFETCH(QList<QStringList>, months);
    QFETCH(QList<QStringList>, years);
    ProgramFolder folder;
    fill(folder);
    frmYearAtAGlance window(folder.path());
    window.show();
    // The portfolio first, the properties in nickname order; the years newest first, the
    // current one chosen.
    QCOMPARE(items(window.cboNickname), (QStringList{"All Properties", "ELM", "OAK"}));
    QCOMPARE(items(window.cboYear), (QStringList{"2026", "2025", "2024", "2023"}));
    QCOMPARE(window.cboNickname->currentText(), "All Properties");
    QCOMPARE(window.cboYear->currentText(), "2026");
    choose(window.cboNickname, show);
    choose(window.cboYear, year);

    QCOMPARE(window.grdMonths->rowCount(), 12);
    for (int m = 0; m < months.size(); ++m)
        QCOMPARE(rowTexts(window.grdMonths, m), months[m]);
    QCOMPARE(rowTexts(window.grdMonths, 11), (QStringList{"December", "$0.00", "$0.00", "$0.00"}));
    QCOMPARE(window.grdYears->rowCount(), 4);
    for (int y = 0; y < years.size(); ++y)
        QCOMPARE(rowTexts(window.grdYears, y), years[y]);

    const QString title = "Income and Expense by Month, " + year;
    QCOMPARE(window.chtMonths->chart()->title(), title);
    QCOMPARE(window.grdMonths->accessibleName(), title);
    QCOMPARE(window.chtYears->chart()->title(), "Profit by Year");
    QCOMPARE(window.grdYears->accessibleName(), "Profit by Year");
    QVERIFY(!window.lblNote->isVisible());
    QCOMPARE(folder.scripted.texts(), QStringList{});
}

void tst_glance::monthOpensLedger_data()
{
    QTest::addColumn<QString>("show");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("record"); // date, payee, amount, property; empty: none
    QTest::addColumn<QString>("message");
    QTest::newRow("portfolio's January income")
        << "All Properties" << 0 << 1 << "frmIncome"
        << QStringList{"1/31/2026", "Laundry", "$10.00", "OAK"} << "";
    QTest::newRow("ELM's January income")
        << "ELM" << 0 << 1 << "frmIncome" << QStringList{"1/25/2026", "J Smith", "$50.00", "ELM"}
        << "";
    QTest::newRow("portfolio's January expense")
        << "All Properties" << 0 << 2 << "frmExpense"
        << QStringList{"1/7/2026", "Roof Co", "$2,000.00", "OAK"} << "";
    QTest::newRow("February expense of no property")
        << "All Properties" << 1 << 2 << "frmExpense"
        << QStringList{"2/14/2026", "First Bank", "$45.25", ""} << "";
    QTest::newRow("ELM has no February expense")
        << "ELM" << 1 << 2 << "frmExpense" << QStringList{}
        << "There is no expense record for ELM in February 2026.";
    QTest::newRow("the month's name opens nothing")
        << "All Properties" << 0 << 0 << "" << QStringList{}
        << "Choose the Income or the Expense of a month to open the ledger at it.";
}

// Enter on a month's cell opens its side of the ledger at the month's first record.
void tst_glance::monthOpensLedger()
{
    QFETCH(QString, show);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, window);
    QFETCH(QStringList, record);
    QFETCH(QString, message);
    ProgramFolder folder;
    fill(folder);
    Frame frame(folder);
    frmYearAtAGlance* glance = frame.open();
    QVERIFY(glance);
    choose(glance->cboNickname, show);
    glance->grdMonths->setFocus();
    glance->grdMonths->setCurrentCell(row, column);
    QTest::keyClick(glance->grdMonths, Qt::Key_Return);

    QCOMPARE(folder.scripted.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
    LedgerWindow* ledger = frame.activeLedger();
    if (window.isEmpty()) {
        QVERIFY(!ledger);
        return;
    }
    QVERIFY(ledger);
    QCOMPARE(ledger->objectName(), window);
    if (record.isEmpty())
        return;
    QCOMPARE((QStringList{ledger->fieldText("DTPicker3"), ledger->fieldText("cboVendor"),
                          ledger->fieldText("txtAmount"), ledger->fieldText("cboNickname")}),
             record);
}

// A click on a month's expense bar opens the expense window there, on its income bar the income
// window.
void tst_glance::barOpensLedger()
{
    ProgramFolder folder;
    fill(folder);
    Frame frame(folder);
    frmYearAtAGlance* glance = frame.open();
    QVERIFY(glance);
    QChart* chart = glance->chtMonths->chart();
    auto* series = qobject_cast<QBarSeries*>(chart->series().first());
    QApplication::processEvents();
    // The two bars of January stand left and right of its middle; each is clicked half way up.
    const auto click = [&](qreal offset, qreal height) {
        const QPointF inChart = chart->mapToPosition(QPointF(offset, height / 2), series);
        QTest::mouseClick(glance->chtMonths->viewport(), Qt::LeftButton, {},
                          glance->chtMonths->mapFromScene(chart->mapToScene(inChart)));
    };
    click(0.12, 2000);
    QVERIFY(frame.activeLedger());
    QCOMPARE(frame.activeLedger()->objectName(), "frmExpense");
    QCOMPARE(frame.activeLedger()->fieldText("cboVendor"), "Roof Co");
    frame.main.entry("YearAtAGlance")->trigger();
    click(-0.12, 1260);
    QVERIFY(frame.activeLedger());
    QCOMPARE(frame.activeLedger()->objectName(), "frmIncome");
    QCOMPARE(frame.activeLedger()->fieldText("cboVendor"), "Laundry");
    QCOMPARE(folder.scripted.texts(), QStringList{});
}

// In the frame, Tab goes round the pickers, the tables and the commands; the links work from
// the keyboard.
void tst_glance::keyboard()
{
    ProgramFolder folder;
    fill(folder);
    Frame frame(folder);
    frmYearAtAGlance* glance = frame.open();
    QVERIFY(glance);
    QCOMPARE(glance->windowTitle(), "Year at a Glance");
    QWidget* first = QApplication::focusWidget();
    QCOMPARE(first, static_cast<QWidget*>(glance->cboNickname));
    QStringList visited;
    do {
        visited.append(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    } while (QApplication::focusWidget() != first && visited.size() < 20);
    QCOMPARE(visited, (QStringList{"cboNickname", "cboYear", "grdMonths", "grdYears", "OpenLedger",
                                   "Close"}));

    // January's Income is current at first: Open Ledger opens the income window there.
    glance->OpenLedger->setFocus();
    QTest::keyClick(glance->OpenLedger, Qt::Key_Return);
    QTRY_VERIFY(frame.activeLedger());
    QCOMPARE(frame.activeLedger()->fieldText("cboVendor"), "Laundry");

    frame.main.entry("YearAtAGlance")->trigger();
    glance->Close->setFocus();
    QTest::keyClick(glance->Close, Qt::Key_Return);
    QTRY_VERIFY(!frame.main.openedWindow("YearAtAGlance"));
}

// Rows saved since the figures were read show at the summary's next tick, and in a ledger window
// opened before they were saved.
void tst_glance::followsFile()
{
    ProgramFolder folder;
    fill(folder);
    Frame frame(folder);
    frmYearAtAGlance* glance = frame.open();
    QVERIFY(glance);
    choose(glance->cboNickname, "ELM");
    glance->grdMonths->setCurrentCell(0, 1);
    glance->OpenLedger_Click(); // the income window is open from now on
    QVERIFY(frame.activeLedger());

    folder.exec(QStringLiteral("INSERT INTO tblFinance (NickName, RecDate, Payee, Income, Expense) "
                               "VALUES ('ELM', '2026-03-02', 'New Tenant', 7000000, 0)"));
    frame.main.entry("YearAtAGlance")->trigger();
    frame.main.summary()->tick();
    QCOMPARE(rowTexts(glance->grdMonths, 2), (QStringList{"March", "$700.00", "$0.00", "$700.00"}));
    QCOMPARE(rowTexts(glance->grdYears, 3),
             (QStringList{"2026", "$1,950.00", "$0.00", "$1,950.00"}));
    QCOMPARE(glance->cboNickname->currentText(), "ELM");

    glance->grdMonths->setCurrentCell(2, 1);
    glance->OpenLedger_Click();
    QVERIFY(frame.activeLedger());
    QCOMPARE(frame.activeLedger()->fieldText("cboVendor"), "New Tenant");
    QCOMPARE(folder.scripted.texts(), QStringList{});
}

void tst_glance::emptyLedger()
{
    ProgramFolder folder;
    frmYearAtAGlance window(folder.path());
    window.show();
    QCOMPARE(window.lblNote->text(), "The ledger holds no income or expense yet.");
    QVERIFY(window.lblNote->isVisible());
    QCOMPARE(window.cboYear->count(), 0);
    QCOMPARE(window.grdMonths->rowCount(), 0);
    QCOMPARE(window.grdYears->rowCount(), 0);
    QCOMPARE(window.chtMonths->chart()->title(), "Income and Expense by Month");
    window.OpenLedger_Click();
    QCOMPARE(folder.scripted.texts(),
             QStringList{"Choose the Income or the Expense of a month to open the ledger at it."});
}

void tst_glance::unreadableFile()
{
    ProgramFolder folder(false);
    frmYearAtAGlance window(folder.path());
    window.show();
    QCOMPARE(folder.scripted.shown.size(), 1);
    QVERIFY2(folder.scripted.shown.first().text.startsWith("The figures cannot be read: "),
             qPrintable(folder.scripted.shown.first().text));
    QCOMPARE(window.lblNote->text(), folder.scripted.shown.first().text);
    QCOMPARE(window.grdMonths->rowCount(), 0);
}

QTEST_MAIN(tst_glance)
#include "tst_glance.moc"
