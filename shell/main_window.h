#pragma once
// frmMain: the program's one working window. A frame for the child windows (editors, ledger,
// report choices), with the menus and toolbar that open them, the portfolio summary at the
// left edge and the status bar.
//
// Windows and commands join the frame by registration. Each Data, Report and Backup entry is
// named by its menu entry's objectName; until a window or command is registered for it, the
// entry (and its toolbar button) is shown unavailable:
//
//     main.registerWindow(QStringLiteral("mnuDatafrmTenant"), [](const WindowContext& c) {
//         return new frmTenant(c.folders.data);
//     });
//     main.registerCommand(QStringLiteral("BackupBackup"), [&] { ... });
//
// The table of every window the program has is in window_table.cpp (installWindows).

#include "platform/folders.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QStatusBar;
class QTimer;
class QToolBar;

namespace halvo {

class PortfolioSummary;
class SummaryPanel;
class frmMain;

// What a child window is given when it is made.
struct WindowContext {
    Folders folders;
    frmMain* main = nullptr;
    // The portfolio's figures, for windows that show them too (the income and expense windows).
    PortfolioSummary* summary = nullptr;
};

using WindowFactory = std::function<QWidget*(const WindowContext&)>;
using Command = std::function<void()>;

// Where the main window stands, in twips, as kept in the per-user settings.
struct MainPlacement {
    int left = 1000;
    int top = 1000;
    int width = 6500;
    int height = 6500;

    static MainPlacement read();
    // Whether a place has been kept (the window has been closed at least once).
    static bool isKept();
    void write() const;
};

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(const Folders& folders, QWidget* parent = nullptr);
    ~frmMain() override;

    // Makes an entry (and its toolbar button) available and opens `factory`'s window from it.
    void registerWindow(const QString& entryName, WindowFactory factory);
    // Makes an entry available and runs `command` when it is chosen.
    void registerCommand(const QString& entryName, Command command);

    // Shows the entry's window as a child: made on first use, otherwise brought forward; then
    // it has the focus. nullptr when no window is registered or it could not be made.
    QWidget* openWindow(const QString& entryName);
    // The entry's window while it is open.
    QWidget* openedWindow(const QString& entryName) const;
    QAction* entry(const QString& entryName) const;
    // Every entry a window is registered for, in the order of registration (the window table's).
    QStringList windowEntries() const { return windowOrder; }
    // Closes every child window, each running its own closing steps, and lets them go at once
    // (with them the connections they hold); false when one declines and stays open.
    bool closeChildWindows();
    // The Data entry a toolbar button's key stands for ("Tenant" → "mnuDatafrmTenant").
    static QString entryForKey(const QString& key);

    const Folders& folders() const { return folder; }
    QString dataFolder() const { return folder.data; }
    QMdiArea* mdiArea() const { return area; }
    PortfolioSummary* summary() const { return portfolio; }
    SummaryPanel* summaryPanel() const { return Picture1; }

    QToolBar* Toolbar1 = nullptr;
    QToolBar* LeftToolbar = nullptr;
    QLineEdit* txtDate = nullptr;
    PortfolioSummary* portfolio = nullptr; // the figures Picture1 shows; Timer1 ticks it
    SummaryPanel* Picture1 = nullptr;
    QStatusBar* sbStatusBar = nullptr;
    QLabel* statusText = nullptr; // panel 1
    QLabel* statusDate = nullptr; // panel 2
    QLabel* statusTime = nullptr; // panel 3
    QTimer* Timer1 = nullptr;
    QAction* mnuViewStatusBar = nullptr;

public slots:
    void Toolbar1_ButtonClick(const QString& key);
    void ChangePassword_Click();
    void mnuHelpAbout_Click();
    void Help_Click();
    // Opens the guide at `topic`; over a modal window, as that window's own.
    void showHelp(const QString& topic, QWidget* over = nullptr);

signals:
    // The window has closed: the program ends.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Folders folder;
    QMdiArea* area = nullptr;
    QHash<QString, QAction*> entries;
    QHash<QString, WindowFactory> factories;
    QStringList windowOrder;
    QHash<QString, Command> commands;
    QHash<QString, QPointer<QMdiSubWindow>> opened;
    QHash<QString, QAction*> toolbarButtons; // by the Data entry each stands for
    QPointer<QWidget> helpWindow;
    MainPlacement applied; // as read at load
    bool loaded = false;

    void createMenus();
    void createToolbar();
    void createSummary();
    void createStatusBar();
    QAction* addEntry(QMenu* menu, const QString& name, const QString& caption);
    void chooseEntry(const QString& entryName);
    void applyPlacement(const MainPlacement& placement);
    MainPlacement currentPlacement() const;
    void refreshDate();
    void refreshClock();
    void load();
};

} // namespace halvo
