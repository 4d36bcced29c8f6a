// Every window of the window table as a user meets it in the frame: inside the work area, whole
// where the screen is large enough and scrolling within itself where it is not, every command
// within reach; and the figures the windows show beside their captions, as a screen reader hears
// them.

#include "shell_test_support.h"

#include "controls/child_frame.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/desktop.h"
#include "rentroll/lease_dialogs.h"
#include "rentroll/rent_account.h"
#include "rentroll/rent_roll.h"
#include "shell/main_window.h"
#include "shell/window_table.h"

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>

using namespace halvo;
using testing::ProgramFolder;

namespace {

// What does not lie inside the work area, or cannot be reached, in the window of `entry`; empty
// when all is well.
QStringList faultsOf(frmMain& main, const QString& entry, bool whole)
{
    QWidget* window = main.openWindow(entry);
    if (!window)
        return {entry + QStringLiteral(" does not open")};
    QApplication::processEvents();
    QStringList faults;
    const QRect area = main.mdiArea()->viewport()->rect();
    QMdiSubWindow* frame = childFrame(window);
    if (!area.contains(frame->geometry()))
        faults << QStringLiteral("%1 reaches past the work area").arg(entry);
    // Where the screen is large enough, nothing scrolls: the window shows whole, and so does
    // every column of its tables.
    if (whole) {
        auto* scroller = qobject_cast<QScrollArea*>(frame->widget());
        if (scroller && (scroller->horizontalScrollBar()->maximum() > 0
                         || scroller->verticalScrollBar()->maximum() > 0))
            faults << QStringLiteral("%1 scrolls (%2 in %3)")
                          .arg(entry)
                          .arg(QDebug::toString(window->minimumSizeHint()),
                               QDebug::toString(scroller->viewport()->size()))
;
        for (QTableView* table : window->findChildren<QTableView*>()) {
            if (!table->isVisible())
                continue;
            if (table->horizontalScrollBar()->maximum() > 0)
                faults << QStringLiteral("%1's %2 scrolls").arg(entry, table->objectName());
            for (int c = 0; c < table->model()->columnCount(); ++c)
                if (!table->isColumnHidden(c)
                    && table->columnWidth(c) < table->horizontalHeader()->sectionSizeHint(c))
                    faults << QStringLiteral("%1's %2 cuts its heading %3 short")
                                  .arg(entry, table->objectName(),
                                       table->model()->headerData(c, Qt::Horizontal).toString());
        }
    }
    // Every command is within reach: Tab gets to it, and brings it into sight.
    main.activateWindow();
    if (!QTest::qWaitForWindowActive(&main))
        return {QStringLiteral("the frame is not active")};
    for (VeyHyperLinkLabel* command : window->findChildren<VeyHyperLinkLabel*>()) {
        if (!command->isVisibleTo(window) || !command->isEnabled())
            continue;
        window->setFocus();
        for (int tabs = 0; tabs < 80 && QApplication::focusWidget() && !command->hasFocus(); ++tabs)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QApplication::processEvents();
        if (!command->hasFocus())
            faults << QStringLiteral("Tab does not reach %1's %2").arg(entry, command->objectName());
        const QRect seen(command->mapTo(main.mdiArea()->viewport(), QPoint(0, 0)), command->size());
        if (!area.contains(seen))
            faults << QStringLiteral("%1's %2 cannot be reached").arg(entry, command->objectName());
    }
    main.closeChildWindows();
    return faults;
}

// The widget of `window` that shows `text`, and what a screen reader hears of it.
QString heardOf(QWidget* window, const QString& text)
{
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const auto* label = qobject_cast<QLabel*>(w);
        const auto* link = qobject_cast<VeyHyperLinkLabel*>(w);
        if ((label && label->text() == text) || (link && link->Caption() == text))
            return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    }
    return QStringLiteral("nothing shows ") + text;
}

} // namespace

class tst_shell_windows : public QObject {
    Q_OBJECT
private slots:
    void init() { Clock::fixAt(QDateTime(QDate(2026, 12, 7), QTime(13, 5, 9))); }
    void cleanup() { Clock::fixAt({}); }

    void everyWindowFitsTheWorkArea_data();
    void everyWindowFitsTheWorkArea();
    void figuresAreHeardAsTheyRead();
};

void tst_shell_windows::everyWindowFitsTheWorkArea_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<bool>("whole");
    QTest::newRow("1280 x 1000") << QSize(1280, 1000) << true;
    QTest::newRow("1024 x 768") << QSize(1024, 768) << false;
}

// The main window as large as the screen at its top left, every window of the window table
// opened in it in turn.
void tst_shell_windows::everyWindowFitsTheWorkArea()
{
    QFETCH(QSize, screen);
    QFETCH(bool, whole);
    ProgramFolder folder;
    folder.exec(QStringLiteral("INSERT INTO tblFinance (NickName, RecDate, Payee, Income, Expense) "
                               "VALUES ('ELM', '2026-03-01', 'Carl Diaz', 12500000, 0)"));
    frmMain main(Folders::portableAt(folder.path()));
    installWindows(main);
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    main.move(0, 0);
    main.resize(screen);
    QApplication::processEvents();
    QVERIFY(main.closeChildWindows());
    QCOMPARE(main.windowEntries().size(), 19);
    QStringList faults;
    for (const QString& entry : main.windowEntries())
        faults << faultsOf(main, entry, whole);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    // A window opened while the frame was small grows with it, as far as it wants.
    main.resize(600, 500);
    QWidget* property = main.openWindow(QStringLiteral("mnufrmProperty"));
    main.resize(screen);
    QApplication::processEvents();
    QCOMPARE(faultsOf(main, QStringLiteral("mnufrmProperty"), whole), QStringList());
    Q_UNUSED(property);
}

// Deposit, lease terms, rent roll totals, the attachments count, the year at a glance's figures
// and the worksheet's year: each heard with what it is.
void tst_shell_windows::figuresAreHeardAsTheyRead()
{
    ProgramFolder folder;
    folder.exec(QStringLiteral(
        "INSERT INTO tblTenant (ID, Nickname, FirstName, LastName, LeaseStartDate, LeasePeriod, "
        "MonthlyRentAmt, DepAmt) VALUES (1, 'ELM', 'Ann', 'Lee', '2026-01-15', '1 year', "
        "10000000, 15000000)"));
    const TenantLease ann = loadLeases(folder.db()).value().first();
    frmDeposit deposit(folder.db(), ann, QDate(2026, 12, 7));
    frmRentTerms terms(folder.db(), ann);
    frmMain main(Folders::portableAt(folder.path()));
    installWindows(main);
    main.show();
    QWidget* roll = main.openWindow(QStringLiteral("RentRoll"));
    QWidget* tenants = main.openWindow(QStringLiteral("mnuDatafrmTenant"));

    const QList<std::pair<QString, QString>> heard{
        {heardOf(&deposit, QStringLiteral("$1,500.00")), QStringLiteral("Held now: $1,500.00")},
        {heardOf(&terms, QStringLiteral("1 year")), QStringLiteral("Lease period: 1 year")},
        {heardOf(roll, QStringLiteral("Owed: $11,000.00   Deposits held: $1,500.00")),
         QStringLiteral("Owed: $11,000.00   Deposits held: $1,500.00")},
        {heardOf(tenants, QStringLiteral("Attachments (0)")), QStringLiteral("Attachments (0)")},
    };
    for (const auto& [actual, expected] : heard)
        QCOMPARE(actual, expected);

    // The year at a glance's March income, a cell heard under its column's heading; the
    // worksheet's year, a picker heard as its value beside the label that names it.
    folder.exec(QStringLiteral("INSERT INTO tblFinance (NickName, RecDate, Payee, Income, Expense) "
                               "VALUES ('ELM', '2026-03-01', 'Ann Lee', 12500000, 0)"));
    QWidget* glance = main.openWindow(QStringLiteral("YearAtAGlance"));
    QAccessibleInterface* months =
        QAccessible::queryAccessibleInterface(glance->findChild<QTableView*>(QStringLiteral("grdMonths")));
    QCOMPARE(months->tableInterface()->columnDescription(1), QStringLiteral("Income"));
    QCOMPARE(months->tableInterface()->cellAt(2, 1)->text(QAccessible::Name), QStringLiteral("$1,250.00"));
    QWidget* worksheet = main.openWindow(QStringLiteral("ScheduleEWorksheet"));
    QAccessibleInterface* year =
        QAccessible::queryAccessibleInterface(worksheet->findChild<QWidget*>(QStringLiteral("cboYear")));
    QCOMPARE(year->text(QAccessible::Value), QStringLiteral("2026"));
    const auto labels = year->relations(QAccessible::Label);
    QVERIFY(!labels.isEmpty());
    QCOMPARE(labels.first().first->text(QAccessible::Name), QStringLiteral("Year:"));
}

QTEST_MAIN(tst_shell_windows)
#include "tst_shell_windows.moc"
