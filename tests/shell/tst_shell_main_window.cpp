// The main window: menus, toolbar, status bar, placement kept between runs, child windows
// opened at most once, closing; the about box and help.

#include "controls/child_frame.h"
#include "shell_test_support.h"

#include "hyperlink/vey_hyperlink_label.h"
#include "platform/desktop.h"
#include "platform/program_files.h"
#include "platform/registry.h"
#include "platform/settings.h"
#include "shell/about_box.h"
#include "shell/help_window.h"
#include "shell/main_window.h"
#include "shell/summary_panel.h"
#include "shell/window_table.h"
#include "platform/twips.h"
#include "data/money.h"
#include "controls/pickers.h"
#include "reports/data_environment.h"
#include "reports/report_selection.h"

#include <QScreen>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

using namespace halvo;
using testing::ProgramFolder;

namespace {

// A stand-in child window that can be told to decline closing, and notes its own closing.
class FakeChild : public QWidget {
public:
    explicit FakeChild(QStringList* log, QString name) : log(log), name(std::move(name)) {}
    bool declines = false;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (declines) {
            event->ignore();
            return;
        }
        log->append(name);
        event->accept();
    }

private:
    QStringList* log;
    QString name;
};

const QStringList dataKeys{"Property", "Tenant",  "Loan",   "Insurance", "Income",
                           "Expense",  "Category", "Vendor", "Note"};

QStringList settingsValues()
{
    return {Settings::value(QStringLiteral("MainLeft")), Settings::value(QStringLiteral("MainTop")),
            Settings::value(QStringLiteral("MainWidth")),
            Settings::value(QStringLiteral("MainHeight"))};
}

void storePlacement(int left, int top, int width, int height)
{
    MainPlacement{left, top, width, height}.write();
}

QRect pixels(const QWidget* w, int left, int top, int width, int height)
{
    return {twipsToPixels(left, w), twipsToPixels(top, w), twipsToPixels(width, w),
            twipsToPixels(height, w)};
}

} // namespace

class tst_shell_main_window : public QObject {
    Q_OBJECT
private slots:
    void init() { Clock::fixAt(QDateTime(QDate(2026, 12, 7), QTime(13, 5, 9))); }
    void cleanup() { Clock::fixAt({}); }

    void menuEntries_data();
    void menuEntries();
    void accessKeysOpenMenus_data();
    void accessKeysOpenMenus();
    void helpFromTheKeyboard();
    void helpAtTheWindowsTopic_data();
    void helpAtTheWindowsTopic();
    void toolbarButtons();
    void loadShowsVersionDateAndStartsSummary();
    void statusBarToggles();
    void placementDefaults();
    void placementKept_data();
    void placementKept();
    void minimisedCloseKeepsStoredPlacement();
    void unreadablePlacementFallsBack();
    void sameWindowOpensOnce_data();
    void sameWindowOpensOnce();
    void everyDataButtonOpensItsWindow_data();
    void everyDataButtonOpensItsWindow();
    void hiddenChildShowsAgain_data();
    void hiddenChildShowsAgain();
    void reportEntriesOpenTheirWindows_data();
    void reportEntriesOpenTheirWindows();
    void listReportEntriesShowTheirReports_data();
    void listReportEntriesShowTheirReports();
    void closingClosesChildrenFirst();
    void childDecliningKeepsFrameOpen();
    void negativeAmountsAreDrawnRed();
    void aboutBox();
    void getKeyValue_data();
    void getKeyValue();
    void systemInfoUnavailable_data();
    void systemInfoUnavailable();
    void helpShowsGuide();
    void helpMissingFileIsReported();
    void installedHelpFileIsAGuide();
};

void tst_shell_main_window::menuEntries_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("captions");
    QTest::newRow("File") << "File"
                          << QStringList{"OpenSharedBooks", "OpenLocalBooks",
                                         "SavetoDisk", "CheckForUpdates", "ChangePassword",
                                         "ImportStatement", "UndoLastImport", "PayeeRules", "ExportToCsv",
                                         "MoveBooksToServer", "MoveBooksToFile", "mnuFileExit"}
                          << QStringList{"Open &Shared Books...", "Open &Local Books...",
                                         "Save Database  to Disk", "Check for Updates",
                                         "Change Password", "&Import Statement...",
                                         "&Undo Last Import", "Payee &Rules...", "&Export to CSV...",
                                         "&Move Books to Server...", "Move Books to &File...",
                                         "E&xit"};
    QTest::newRow("View") << "mnuView" << QStringList{"mnuViewStatusBar"}
                          << QStringList{"Status &Bar"};
    QTest::newRow("Data") << "mnuData"
                          << QStringList{"mnufrmProperty", "mnuDatafrmTenant", "mnuDatafrmLoan",
                                         "mnuDatafrmInsurance", "mnuDatafrmIncome",
                                         "mnuDatafrmExpense", "mnuDatafrmCategory",
                                         "mnuDatafrmVendor", "mnuDatafrmNote", "RentRoll",
                                         "MileageLog", "DepreciableAssets",
                                         "UnattachedDocuments"}
                          << dataKeys + QStringList{"Rent Roll", "Mileage Log",
                                                    "Depreciable Assets",
                                                    "Unattached Documents"};
    QTest::newRow("Report") << "Report"
                            << QStringList{"CategoryReport", "IncomeandExpense", "MortgageLoan",
                                           "NoteReport", "PropertyOwned", "TenantLease",
                                           "VendorReport", "ScheduleEWorksheet",
                                           "DepreciationSchedule", "VendorsPaid", "YearAtAGlance"}
                            << QStringList{"Category Report", "Income and Expense Report",
                                           "Mortgage Loan Report", "Note Report",
                                           "Property Report", "Tenant Lease Report",
                                           "Vendor Report", "Schedule E Worksheet",
                                           "Depreciation Schedule", "Vendors Paid",
                                           "Year at a Glance"};
    QTest::newRow("Backup") << "Backup" << QStringList{"BackupBackup", "RestoreDatabase"}
                            << QStringList{"Backup Database", "Restore Database"};
}

void tst_shell_main_window::menuEntries()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, names);
    QFETCH(QStringList, captions);
    ProgramFolder folder;
    frmMain main(Folders::portableAt(folder.path()));
    QMenu* found = main.menuBar()->findChild<QMenu*>(menu);
    QVERIFY(found);
    QStringList actualNames, actualCaptions;
    for (QAction* a : found->actions()) {
        if (a->isSeparator())
            continue;
        actualNames << a->objectName();
        actualCaptions << a->text();
    }
    QCOMPARE(actualNames, names);
    QCOMPARE(actualCaptions, captions);

    // Nothing makes the two File entries available; the windows of the other Data, Report and
    // Backup entries are not part of the program yet, so those are unavailable too.
    for (QAction* a : found->actions()) {
        const bool alwaysThere = a->objectName() == QLatin1String("ChangePassword")
                                 || a->objectName() == QLatin1String("mnuFileExit")
                                 || a->objectName() == QLatin1String("mnuViewStatusBar");
        if (!a->isSeparator())
            QCOMPARE(a->isEnabled(), alwaysThere);
    }

    // The menu bar itself, in order, with About and Help as commands of their own.
    QStringList bar;
    for (QAction* a : main.menuBar()->actions())
        bar << a->text();
    QCOMPARE(bar, (QStringList{"&File", "&View", "&Data", "&Report", "&Backup", "&About ", "&Help"}));
    QVERIFY(main.entry(QStringLiteral("mnuHelpAbout")));
    QVERIFY(main.entry(QStringLiteral("Help")));
}

void tst_shell_main_window::accessKeysOpenMenus_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("menu");
    QTest::newRow("Alt+F") << int(Qt::Key_F) << "File";
    QTest::newRow("Alt+V") << int(Qt::Key_V) << "mnuView";
    QTest::newRow("Alt+D") << int(Qt::Key_D) << "mnuData";
    QTest::newRow("Alt+R") << int(Qt::Key_R) << "Report";
    QTest::newRow("Alt+B") << int(Qt::Key_B) << "Backup";
}

void tst_shell_main_window::accessKeysOpenMenus()
{
    QFETCH(int, key);
    QFETCH(QString, menu);
    ProgramFolder folder;
    frmMain main(Folders::portableAt(folder.path()));
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QMenu* found = main.menuBar()->findChild<QMenu*>(menu);
    QTest::keyClick(&main, Qt::Key(key), Qt::AltModifier);
    QTRY_VERIFY(found->isVisible());
    found->close();
}

void tst_shell_main_window::helpFromTheKeyboard()
{
    // Help is a command on the menu bar itself: Alt+H and F1 run it (here without a help file,
    // so it reports that).
    ProgramFolder folder;
    frmMain main(Folders::portableAt(folder.path()));
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QTest::keyClick(&main, Qt::Key_H, Qt::AltModifier);
    QTRY_COMPARE(folder.scripted.shown.size(), 1);
    QTest::keyClick(&main, Qt::Key_F1);
    QTRY_COMPARE(folder.scripted.shown.size(), 2);
}

void tst_shell_main_window::helpAtTheWindowsTopic_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("anchor");
    QTest::newRow("Vendors Paid") << "VendorsPaid" << "vendorspaid";
    QTest::newRow("Mileage Log") << "MileageLog" << "mileage";
    QTest::newRow("Depreciable Assets") << "DepreciableAssets" << "assets";
    QTest::newRow("Depreciation Schedule") << "DepreciationSchedule" << "depreciation";
}

// F1 opens the guide at the contents, or at the section the active window names.
void tst_shell_main_window::helpAtTheWindowsTopic()
{
    QFETCH(QString, entry);
    QFETCH(QString, anchor);
    ProgramFolder folder;
    QFile guide(helpFilePath(folder.path()));
    QVERIFY(guide.open(QIODevice::WriteOnly));
    guide.write("<html><body><h1><a name=\"contents\"></a>Contents</h1>"
                + QByteArray("<p>Text.</p>").repeated(300)
                + "<h2><a name=\"" + anchor.toLatin1() + "\"></a>The window</h2>"
                + QByteArray("<p>Text.</p>").repeated(300) + "</body></html>");
    guide.close();
    frmMain main(Folders::portableAt(folder.path()));
    installWindows(main);
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QTest::keyClick(&main, Qt::Key_F1);
    auto* help = main.findChild<HelpWindow*>();
    QVERIFY(help);
    const int atContents = help->txtHelp->verticalScrollBar()->value();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QWidget* window = main.openWindow(entry);
    QVERIFY(window);
    QTest::keyClick(window, Qt::Key_F1);
    // Three hundred paragraphs further down.
    QVERIFY(help->txtHelp->verticalScrollBar()->value() > atContents + 1000);
}

void tst_shell_main_window::toolbarButtons()
{
    ProgramFolder folder;
    frmMain main(Folders::portableAt(folder.path()));
    QStringList texts;
    for (QAction* a : main.Toolbar1->actions()) {
        if (a->data().isValid()) {
            texts << a->text();
            QVERIFY(!a->icon().isNull());
            QVERIFY(!a->isEnabled());
            auto* button = qobject_cast<QToolButton*>(main.Toolbar1->widgetForAction(a));
            QVERIFY(button);
            QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        }
    }
    QCOMPARE(texts, dataKeys);
    // Any other key does nothing.
    main.Toolbar1_ButtonClick(QStringLiteral("Garage"));
    QVERIFY(main.mdiArea()->subWindowList().isEmpty());
}

void tst_shell_main_window::loadShowsVersionDateAndStartsSummary()
{
    ProgramFolder folder;
    frmMain main(Folders::portableAt(folder.path()));
    QCOMPARE(main.windowTitle(), QStringLiteral("HALVO"));
    QCOMPARE(main.statusText->text(), QStringLiteral("Status"));
    QVERIFY(!main.Timer1->isActive());
    main.show();
    QCOMPARE(main.statusText->text(), QStringLiteral("CORVANE HALVO Version 1.0.8"));
    QCOMPARE(main.statusDate->text(), QStringLiteral("12/7/2026"));
    QCOMPARE(main.statusTime->text(), QStringLiteral("1:05:09 PM"));
    QCOMPARE(main.txtDate->text(), QStringLiteral("07 December, 2026"));
    QVERIFY(main.Timer1->isActive());
    QCOMPARE(main.Timer1->interval(), 1000);
    // Until the first tick the summary shows its design-time values.
    QCOMPARE(main.summaryPanel()->valueLabel(QStringLiteral("lblNet"))->text(), QStringLiteral("$ 0.00"));
    // The date follows a resize (not midnight).
    Clock::fixAt(QDateTime(QDate(2027, 1, 1), QTime(0, 0, 1)));
    main.resize(main.size() + QSize(40, 0));
    QTRY_COMPARE(main.txtDate->text(), QStringLiteral("01 January, 2027"));
    // It stands at the right end of the toolbar row, once the row is wide enough for it.
    main.resize(1000, main.height());
    QTRY_COMPARE(main.width(), 1000);
    const QPoint dateRight = main.txtDate->mapTo(&main, QPoint(main.txtDate->width(), 0));
    QVERIFY(main.width() - dateRight.x() <= twipsToPixels(300, &main) + 12);
}

void tst_shell_main_window::statusBarToggles()
{
    ProgramFolder folder;
    {
        frmMain main(Folders::portableAt(folder.path()));
        main.show();
        QVERIFY(main.mnuViewStatusBar->isChecked());
        QVERIFY(main.sbStatusBar->isVisible());
        main.mnuViewStatusBar->trigger();
        QVERIFY(!main.mnuViewStatusBar->isChecked());
        QVERIFY(!main.sbStatusBar->isVisible());
        main.mnuViewStatusBar->trigger();
        QVERIFY(main.sbStatusBar->isVisible());
        main.mnuViewStatusBar->trigger();
        main.close();
    }
    // Not remembered: the next run shows it again.
    frmMain main(Folders::portableAt(folder.path()));
    main.show();
    QVERIFY(main.mnuViewStatusBar->isChecked());
    QVERIFY(main.sbStatusBar->isVisible());
}

void tst_shell_main_window::placementDefaults()
{
    ProgramFolder folder;
    QCOMPARE(settingsValues(), (QStringList{"", "", "", ""}));
    frmMain main(Folders::portableAt(folder.path()));
    main.show();
    // Where it is placed, as high as ever, and as wide as its toolbar: no command hides behind
    // the toolbar's extension.
    const QRect placed = pixels(&main, 1000, 1000, 6500, 6500);
    QCOMPARE(main.pos(), placed.topLeft());
    QCOMPARE(main.height(), placed.height());
    QVERIFY(main.width() > placed.width());
    QToolButton* more = main.Toolbar1->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
    QVERIFY(more);
    QVERIFY(!more->isVisible());
    // Closed where it opened, it keeps exactly the values it was placed with, and the width it
    // took.
    main.close();
    QCOMPARE(settingsValues(), (QStringList{"1000", "1000",
                                            QString::number(pixelsToTwips(main.width(), 96.0)),
                                            "6500"}));
}

void tst_shell_main_window::placementKept_data()
{
    QTest::addColumn<bool>("maximised");
    QTest::newRow("normal") << false;
    QTest::newRow("maximised") << true;
}

void tst_shell_main_window::placementKept()
{
    QFETCH(bool, maximised);
    ProgramFolder folder;
    QRect closedAt;
    {
        frmMain main(Folders::portableAt(folder.path()));
        main.show();
        if (maximised) {
            main.showMaximized();
            QTRY_VERIFY(main.isMaximized());
            QTRY_COMPARE(main.frameGeometry(), main.screen()->availableGeometry());
        } else {
            main.move(150, 120);
            main.resize(700, 500);
        }
        closedAt = QRect(main.pos(), main.size());
        main.close();
    }
    const QStringList stored = settingsValues();
    QCOMPARE(stored, (QStringList{QString::number(pixelsToTwips(closedAt.x(), 96.0)),
                                  QString::number(pixelsToTwips(closedAt.y(), 96.0)),
                                  QString::number(pixelsToTwips(closedAt.width(), 96.0)),
                                  QString::number(pixelsToTwips(closedAt.height(), 96.0))}));
    // The next run opens there, in a normal window.
    frmMain next(Folders::portableAt(folder.path()));
    next.show();
    QVERIFY(!next.isMaximized());
    QCOMPARE(QRect(next.pos(), next.size()), closedAt);
}

void tst_shell_main_window::minimisedCloseKeepsStoredPlacement()
{
    ProgramFolder folder;
    storePlacement(300, 450, 9000, 7000);
    frmMain main(Folders::portableAt(folder.path()));
    main.show();
    main.move(10, 10);
    main.showMinimized();
    QTRY_VERIFY(main.isMinimized());
    main.close();
    QCOMPARE(settingsValues(), (QStringList{"300", "450", "9000", "7000"}));
}

void tst_shell_main_window::unreadablePlacementFallsBack()
{
    ProgramFolder folder;
    Settings::setValue(QStringLiteral("MainLeft"), QStringLiteral("left"));
    Settings::setValue(QStringLiteral("MainTop"), QStringLiteral("2000"));
    Settings::setValue(QStringLiteral("MainWidth"), QStringLiteral("0"));
    Settings::setValue(QStringLiteral("MainHeight"), QStringLiteral("7200"));
    const MainPlacement p = MainPlacement::read();
    QCOMPARE(p.left, 1000);
    QCOMPARE(p.top, 2000);
    QCOMPARE(p.width, 6500);
    QCOMPARE(p.height, 7200);
}

void tst_shell_main_window::sameWindowOpensOnce_data()
{
    QTest::addColumn<QString>("key");
    for (const QString& key : dataKeys)
        QTest::newRow(qPrintable(key)) << key;
}

void tst_shell_main_window::sameWindowOpensOnce()
{
    QFETCH(QString, key);
    ProgramFolder folder;
    frmMain main(Folders::portableAt(folder.path()));
    const QString entryName = frmMain::entryForKey(key);
    QVERIFY(!entryName.isEmpty());
    int made = 0;
    QStringList log;
    main.registerWindow(entryName, [&](const WindowContext& context) {
        ++made;
        [&] {
            QCOMPARE(context.folders.data, folder.path());
            QCOMPARE(context.main, &main);
            QVERIFY(context.summary);
            QCOMPARE(context.summary, main.summary());
        }();
        auto* child = new FakeChild(&log, key);
        child->setObjectName(QStringLiteral("frm") + key);
        return child;
    });
    // A second window to come to the front over.
    main.registerWindow(QStringLiteral("CategoryReport"),
                        [&](const WindowContext&) { return new FakeChild(&log, "report"); });
    QVERIFY(main.entry(entryName)->isEnabled());
    main.show();

    main.entry(entryName)->trigger();
    QWidget* first = main.openedWindow(entryName);
    QVERIFY(first);
    // 200 twips in from the frame's corner.
    QCOMPARE(main.mdiArea()->activeSubWindow()->pos(),
             QPoint(twipsToPixels(200, &main), twipsToPixels(200, &main)));
    main.entry(QStringLiteral("CategoryReport"))->trigger();
    QVERIFY(windowIn(main.mdiArea()->activeSubWindow()) != first);

    // The toolbar button and the menu entry open the same window, brought forward.
    QAction* button = main.Toolbar1->findChild<QAction*>(key);
    QVERIFY(button);
    QVERIFY(button->isEnabled());
    button->trigger();
    main.entry(entryName)->trigger();
    QCOMPARE(made, 1);
    QCOMPARE(main.openedWindow(entryName), first);
    QCOMPARE(windowIn(main.mdiArea()->activeSubWindow()), first);
    QCOMPARE(main.mdiArea()->subWindowList().size(), 2);

    // Once closed, it is made anew the next time.
    main.mdiArea()->activeSubWindow()->close();
    QTRY_VERIFY(!main.openedWindow(entryName));
    button->trigger();
    QCOMPARE(made, 2);
}

void tst_shell_main_window::everyDataButtonOpensItsWindow_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("add");
    QTest::newRow("Property") << "Property" << "frmProperty" << "Property Information" << "AddProperty";
    QTest::newRow("Tenant") << "Tenant" << "frmTenant" << "Tenant" << "AddTenant";
    QTest::newRow("Loan") << "Loan" << "frmLoan" << "Mortgage Loan" << "AddLoan";
    QTest::newRow("Insurance") << "Insurance" << "frmInsurance" << "Insurance Information"
                               << "AddInsuranceCompany";
    QTest::newRow("Income") << "Income" << "frmIncome" << "Income Record" << "AddIncome";
    QTest::newRow("Expense") << "Expense" << "frmExpense" << "Expense Record" << "AddExpense";
    QTest::newRow("Category") << "Category" << "frmCategory" << "Income and Expense Category"
                              << "AddCategory";
    QTest::newRow("Vendor") << "Vendor" << "frmVendor" << "Vendor" << "AddVendor";
    QTest::newRow("Note") << "Note" << "frmNote" << "Note" << "AddNote";
}

// The program's own window table: each toolbar button, and the Data entry beside it, opens the
// real window over the real database.
void tst_shell_main_window::everyDataButtonOpensItsWindow()
{
    QFETCH(QString, key);
    QFETCH(QString, window);
    QFETCH(QString, caption);
    QFETCH(QString, add);
    ProgramFolder folder;
    frmMain main(Folders::portableAt(folder.path()));
    installWindows(main);
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    // The property editor opens with the frame.
    QCOMPARE(main.mdiArea()->subWindowList().size(), 1);
    QCOMPARE(windowIn(main.mdiArea()->subWindowList().first())->objectName(), "frmProperty");

    QAction* button = main.Toolbar1->findChild<QAction*>(key);
    QVERIFY(button);
    QVERIFY(button->isEnabled());
    button->trigger();
    QMdiSubWindow* sub = main.mdiArea()->activeSubWindow();
    QVERIFY(sub);
    QCOMPARE(windowIn(sub)->objectName(), window);
    QCOMPARE(windowIn(sub)->windowTitle(), caption);
    QVERIFY(windowIn(sub)->isVisible());
    // In the frame, Tab goes from the window's first input through its commands and comes round
    // again, without sticking anywhere (a window of a grid alone once kept Tab in its grid).
    QWidget* first = QApplication::focusWidget();
    QVERIFY(first && sub->isAncestorOf(first));
    QStringList visited;
    do {
        visited.append(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    } while (QApplication::focusWidget() != first && visited.size() < 80);
    QCOMPARE(QApplication::focusWidget(), first);
    for (const QString& command : {add, QStringLiteral("Save"), QStringLiteral("Close")})
        QVERIFY2(visited.contains(command), qPrintable(visited.join(' ')));

    const QString entryName = frmMain::entryForKey(key);
    QVERIFY(main.entry(entryName)->isEnabled());
    const int open = main.mdiArea()->subWindowList().size();
    main.entry(entryName)->trigger();
    QCOMPARE(main.mdiArea()->subWindowList().size(), open);
    QCOMPARE(main.mdiArea()->activeSubWindow(), sub);
    sub->close();
    QTRY_COMPARE(main.mdiArea()->subWindowList().size(), open - 1);
}

void tst_shell_main_window::hiddenChildShowsAgain_data()
{
    QTest::addColumn<bool>("frameHides");
    QTest::newRow("the window hides its frame") << true;
    QTest::newRow("the window hides itself in its frame") << false;
}

// A child window that hid itself is shown again by its entry, not left hidden or as an empty
// frame.
void tst_shell_main_window::hiddenChildShowsAgain()
{
    QFETCH(bool, frameHides);
    ProgramFolder folder;
    frmMain main(Folders::portableAt(folder.path()));
    QStringList log;
    int made = 0;
    main.registerWindow(QStringLiteral("IncomeandExpense"), [&](const WindowContext&) {
        ++made;
        return new FakeChild(&log, QStringLiteral("report"));
    });
    main.show();
    QWidget* child = main.openWindow(QStringLiteral("IncomeandExpense"));
    QVERIFY(child);
    if (frameHides)
        childFrame(child)->hide();
    else
        child->hide();
    QVERIFY(!child->isVisible());
    main.entry(QStringLiteral("IncomeandExpense"))->trigger();
    QCOMPARE(made, 1);
    QVERIFY(child->isVisible());
    QVERIFY(childFrame(child)->isVisible());
    QCOMPARE(windowIn(main.mdiArea()->activeSubWindow()), child);
}

void tst_shell_main_window::reportEntriesOpenTheirWindows_data()
{
    QTest::addColumn<QString>("entryName");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("firstList");
    QTest::newRow("CategoryReport") << "CategoryReport" << "frmSelectCategory"
                                    << "Generate Category Report" << "cboCategory";
    QTest::newRow("IncomeandExpense") << "IncomeandExpense" << "frmSelectProperty"
                                      << "Generate Income and Expense Report" << "cboNickname";
    QTest::newRow("NoteReport") << "NoteReport" << "frmSelectNote" << "Generate Note Report"
                                << "cboNickname";
    QTest::newRow("ScheduleEWorksheet") << "ScheduleEWorksheet" << "frmScheduleE"
                                        << "Schedule E Worksheet" << "cboYear";
    QTest::newRow("DepreciationSchedule") << "DepreciationSchedule" << "frmDepreciationSchedule"
                                          << "Depreciation Schedule" << "cboNickname";
}

// Each selection window opens in front as a child of the frame, hides itself once its report
// is shown, and comes back with the choice made when its entry is chosen again.
void tst_shell_main_window::reportEntriesOpenTheirWindows()
{
    QFETCH(QString, entryName);
    QFETCH(QString, window);
    QFETCH(QString, caption);
    QFETCH(QString, firstList);
    ProgramFolder folder;
    folder.exec(QStringLiteral("INSERT INTO tblBuilding (BldNickName) VALUES ('ELM')"));
    folder.exec(QStringLiteral("INSERT INTO tblCategory (Income) VALUES ('Rent')"));
    folder.exec(QStringLiteral("INSERT INTO tblFinance (NickName, RecDate, Payee, Category, "
                               "Income) VALUES ('ELM', '2025-03-01', 'J Smith', 'Rent', 9000000)"));
    folder.exec(QStringLiteral("INSERT INTO tblAsset (NickName, Description, Cost, InService, "
                               "AssetClass) VALUES ('ELM', 'Building', 1000000000, '2020-01-15', "
                               "'Residential rental (27.5 years)')"));
    {
        frmMain main(Folders::portableAt(folder.path()));
        installWindows(main);
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QVERIFY(main.entry(entryName)->isEnabled());
        main.entry(entryName)->trigger();
        QMdiSubWindow* sub = main.mdiArea()->activeSubWindow();
        QVERIFY(sub);
        auto* selection = qobject_cast<ReportSelection*>(windowIn(sub));
        QVERIFY(selection);
        QCOMPARE(selection->objectName(), window);
        QCOMPARE(selection->windowTitle(), caption);
        QVERIFY(selection->isVisible());
        // The window itself has the keyboard's focus, none of its lists; Tab goes on to the
        // first list, never into the window behind.
        QWidget* focus = QApplication::focusWidget();
        QCOMPARE(focus, static_cast<QWidget*>(selection));
        QTest::keyClick(focus, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->objectName(), firstList);

        auto* list = selection->findChild<Picker*>(firstList);
        QVERIFY(list);
        list->setCurrentIndex(1);
        const QString chosen = list->text();
        QCOMPARE(chosen, firstList == QLatin1String("cboYear") ? QStringLiteral("2025")
                         : firstList == QLatin1String("cboCategory") ? QStringLiteral("Rent")
                                                                       : QStringLiteral("ELM"));
        QTest::mouseClick(selection->GenerateReport, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(folder.scripted.texts(), QStringList{});
        QVERIFY(sub->isHidden());
        const int open = main.mdiArea()->subWindowList().size();

        main.entry(entryName)->trigger();
        QCOMPARE(main.mdiArea()->subWindowList().size(), open);
        QVERIFY(selection->isVisible());
        QCOMPARE(main.mdiArea()->activeSubWindow(), sub);
        QCOMPARE(list->text(), chosen);
        main.close();
    }
    DataEnvironment::end();
}

void tst_shell_main_window::listReportEntriesShowTheirReports_data()
{
    QTest::addColumn<QString>("entryName");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("caption");
    QTest::newRow("MortgageLoan") << "MortgageLoan" << "cmdLoan" << "Mortgage Loan Report";
    QTest::newRow("PropertyOwned") << "PropertyOwned" << "cmdProperty" << "Property Report";
    QTest::newRow("TenantLease") << "TenantLease" << "cmdTenant" << "Tenant Lease Report";
    QTest::newRow("VendorReport") << "VendorReport" << "cmdVendor" << "Vendor Report";
}

void tst_shell_main_window::listReportEntriesShowTheirReports()
{
    QFETCH(QString, entryName);
    QFETCH(QString, command);
    QFETCH(QString, caption);
    ProgramFolder folder;
    {
        frmMain main(Folders::portableAt(folder.path()));
        installWindows(main);
        main.show();
        const int open = main.mdiArea()->subWindowList().size();
        QVERIFY(main.entry(entryName)->isEnabled());
        main.entry(entryName)->trigger();
        QCOMPARE(folder.scripted.texts(), QStringList{});
        // A window of its own, not a child of the frame.
        QWidget* preview = DataEnvironment::existing()->command(command)->preview();
        QVERIFY(preview);
        QVERIFY(preview->isWindow());
        QVERIFY(preview->isVisible());
        QCOMPARE(preview->windowTitle(), caption);
        QCOMPARE(main.mdiArea()->subWindowList().size(), open);
        main.close();
    }
    DataEnvironment::end();
}

void tst_shell_main_window::closingClosesChildrenFirst()
{
    ProgramFolder folder;
    QStringList log;
    frmMain main(Folders::portableAt(folder.path()));
    for (const QString& key : {QStringLiteral("Tenant"), QStringLiteral("Loan")}) {
        main.registerWindow(frmMain::entryForKey(key), [&log, key](const WindowContext&) {
            return new FakeChild(&log, key);
        });
    }
    main.show();
    main.Toolbar1_ButtonClick(QStringLiteral("Tenant"));
    main.Toolbar1_ButtonClick(QStringLiteral("Loan"));
    QObject::connect(&main, &frmMain::closed, [&] { log << QStringLiteral("main"); });
    main.entry(QStringLiteral("mnuFileExit"))->trigger();
    QCOMPARE(log.size(), 3);
    QCOMPARE(log.last(), QStringLiteral("main"));
    QVERIFY(log.contains(QStringLiteral("Tenant")));
    QVERIFY(log.contains(QStringLiteral("Loan")));
    QVERIFY(!main.isVisible());
    QVERIFY(!main.Timer1->isActive());
}

void tst_shell_main_window::childDecliningKeepsFrameOpen()
{
    ProgramFolder folder;
    QStringList log;
    frmMain main(Folders::portableAt(folder.path()));
    FakeChild* child = nullptr;
    main.registerWindow(QStringLiteral("mnuDatafrmNote"), [&](const WindowContext&) {
        child = new FakeChild(&log, QStringLiteral("Note"));
        child->declines = true;
        return child;
    });
    main.show();
    main.Toolbar1_ButtonClick(QStringLiteral("Note"));
    QSignalSpy closed(&main, &frmMain::closed);
    main.close();
    QVERIFY(main.isVisible());
    QCOMPARE(closed.count(), 0);
    QCOMPARE(settingsValues(), (QStringList{"", "", "", ""}));
    child->declines = false;
    main.close();
    QCOMPARE(closed.count(), 1);
}

void tst_shell_main_window::negativeAmountsAreDrawnRed()
{
    // What the user sees, not just what the palette says: the strip on the main window.
    ProgramFolder folder;
    folder.exec(QStringLiteral("INSERT INTO tblLoan (NickName, Value, LoanAmt) VALUES ('Elm', ?, ?)"),
                {QVariant::fromValue(Money::fromCents(10000000)),
                 QVariant::fromValue(Money::fromCents(15000000))});
    frmMain main(Folders::portableAt(folder.path()));
    main.resize(1000, 800);
    main.show();
    main.summary()->tick();
    const auto redPixels = [](QWidget* w) {
        const QImage image = w->grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += c.red() > 180 && c.green() < 90 && c.blue() < 90;
            }
        return count;
    };
    QVERIFY(redPixels(main.summaryPanel()->valueLabel(QStringLiteral("lblEquity"))) > 10);
    QCOMPARE(redPixels(main.summaryPanel()->valueLabel(QStringLiteral("lblMortgageValue"))), 0);
}

void tst_shell_main_window::aboutBox()
{
    ProgramFolder folder;
    frmAbout about;
    QCOMPARE(about.windowTitle(), QStringLiteral("About HALVO"));
    QCOMPARE(about.lbltitle->text(), QStringLiteral("HALVO"));
    QCOMPARE(about.lblVersion->text(), QStringLiteral("Version 1.0.8"));
    QVERIFY(about.lblDescription->text().endsWith(
        QStringLiteral(" (HALVO) an interactive property management system for the individual investor.")));
    QVERIFY(!about.lblDescription->text().startsWith(QStringLiteral(" (HALVO)")));
    QVERIFY(!about.Image2->pixmap().isNull());
    QCOMPARE(about.OK->Caption(), QStringLiteral("OK"));
    QCOMPARE(about.SystemInfo->Caption(), QStringLiteral("System Info..."));
    QCOMPARE(about.lblDisclaimer->text(),
             QStringLiteral("HALVO is made by Corvane Software. Copyright \u00A9 2026 Corvane "
                            "Software. HALVO is free software: you may share and change it under "
                            "the GNU General Public License, version 3 or later. It comes with no "
                            "warranty."));
    QCOMPARE(about.QuenHyperLink->Caption(), about.QuenHyperLink->URL());
    QVERIFY(about.QuenHyperLink->URL().startsWith(QStringLiteral("https://")));
    about.show();
    QSignalSpy done(&about, &QDialog::finished);
    QTest::keyClick(about.OK, Qt::Key_Space);
    QTRY_COMPARE(done.count(), 1);
    QVERIFY(!about.isVisible());
}

void tst_shell_main_window::getKeyValue_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("value");
    QTest::newRow("text") << QByteArray("/usr/bin/tool") << 1 << true << "/usr/bin/tool";
    QTest::newRow("text cut at its zero") << QByteArray("abc\0def", 7) << 1 << true << "abc";
    QTest::newRow("number, little-endian") << QByteArray("\x01\x02\x00\x00", 4) << 4 << true
                                           << "513";
    QTest::newRow("largest number") << QByteArray("\xff\xff\xff\xff", 4) << 4 << true
                                    << "4294967295";
    QTest::newRow("other kind keeps the value") << QByteArray("\x01", 1) << 3 << true
                                                << "unchanged";
    QTest::newRow("1023 bytes fit") << QByteArray(1023, 'x') << 1 << true
                                    << QString(1023, QLatin1Char('x'));
    QTest::newRow("1024 bytes do not") << QByteArray(1024, 'x') << 1 << false << "";
}

void tst_shell_main_window::getKeyValue()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, kind);
    QFETCH(bool, found);
    QFETCH(QString, value);
    Registry::clear();
    const QString key = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
    Registry::setValue(Registry::Root::LocalMachine, key, QStringLiteral("PATH"),
                       {Registry::Kind(kind), bytes});
    QString read = QStringLiteral("unchanged");
    QCOMPARE(frmAbout::GetKeyValue(Registry::Root::LocalMachine, key, QStringLiteral("PATH"), read),
             found);
    QCOMPARE(read, value);
    // Nothing is found where nothing is configured.
    QVERIFY(!frmAbout::GetKeyValue(Registry::Root::LocalMachine, key, QStringLiteral("Other"), read));
    QCOMPARE(read, QString());
    QVERIFY(!frmAbout::GetKeyValue(Registry::Root::CurrentUser, key, QStringLiteral("PATH"), read));
    Registry::clear();
}

void tst_shell_main_window::systemInfoUnavailable_data()
{
    QTest::addColumn<bool>("locationOnly");
    QTest::newRow("nothing configured") << false;
    QTest::newRow("location without the tool file") << true;
}

void tst_shell_main_window::systemInfoUnavailable()
{
    QFETCH(bool, locationOnly);
    ProgramFolder folder;
    Registry::clear();
    if (locationOnly)
        Registry::setString(Registry::Root::LocalMachine,
                            QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                            QStringLiteral("MSINFO"), folder.path());
    const QStringList programs = frmAbout::systemInfoPrograms;
    frmAbout::systemInfoPrograms = {QStringLiteral("no-such-system-information-program")};
    frmAbout about;
    about.SystemInfo_Click();
    frmAbout::systemInfoPrograms = programs;
    Registry::clear();
    QCOMPARE(folder.scripted.shown.size(), 1);
    QCOMPARE(folder.scripted.shown[0].text,
             QStringLiteral("System Information Is Unavailable At This Time"));
    QCOMPARE(folder.scripted.shown[0].buttons, Prompts::Buttons::Ok);
}

void tst_shell_main_window::helpShowsGuide()
{
    ProgramFolder folder;
    QFile help(helpFilePath(folder.path()));
    QVERIFY(help.open(QIODevice::WriteOnly));
    help.write("<html><body><h1><a name=\"contents\"></a>Contents</h1><p>Starting HALVO</p></body></html>");
    help.close();
    frmMain main(Folders::portableAt(folder.path()));
    main.show();
    main.entry(QStringLiteral("Help"))->trigger();
    QVERIFY(folder.scripted.shown.isEmpty());
    auto* window = main.findChild<HelpWindow*>();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(window->txtHelp->toPlainText().contains(QStringLiteral("Starting HALVO")));
    // Chosen again, the same window comes forward.
    main.Help_Click();
    QCOMPARE(main.findChildren<HelpWindow*>().size(), 1);
}

void tst_shell_main_window::helpMissingFileIsReported()
{
    ProgramFolder folder;
    frmMain main(Folders::portableAt(folder.path()));
    main.Help_Click();
    QCOMPARE(folder.scripted.shown.size(), 1);
    QVERIFY(folder.scripted.shown[0].text.contains(helpFilePath(folder.path())));
    QVERIFY(folder.scripted.shown[0].text.contains(QStringLiteral("No such file")));
    QCOMPARE(folder.scripted.shown[0].buttons, Prompts::Buttons::Ok);
    QVERIFY(!main.findChild<HelpWindow*>());
}

void tst_shell_main_window::installedHelpFileIsAGuide()
{
    // The help file that goes into the program folder covers every window and command.
    const QString programDir = qEnvironmentVariable("HALVO_TEST_PROGRAM_DIR");
    if (programDir.isEmpty())
        QSKIP("not run from the build tree");
    frmMain main(Folders::portableAt(programDir));
    main.Help_Click();
    auto* window = main.findChild<HelpWindow*>();
    QVERIFY(window);
    const QString text = window->txtHelp->toPlainText();
    for (const char* topic : {"Contents", "Login", "Change Password", "Property", "Tenant", "Loan",
                              "Insurance", "Income", "Expense", "Category", "Vendor", "Note",
                              "Report", "Backup", "Restore", "Portfolio Summary",
                              "Schedule E Worksheet", "Vendors Paid", "Year at a Glance",
                              "Rent Roll", "Attachments", "Unattached Documents", "Mileage Log",
                              "Rental Days", "Depreciable Assets", "Depreciation Schedule"})
        QVERIFY2(text.contains(QLatin1String(topic)), topic);
}

QTEST_MAIN(tst_shell_main_window)
#include "tst_shell_main_window.moc"
