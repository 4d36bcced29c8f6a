#include "main_window.h"

#include "about_box.h"
#include "help_window.h"
#include "password_windows.h"
#include "summary_panel.h"
#include "platform/twips.h"
#include "version.h"
#include "resources/program_logo.h"

#include "data/dates.h"
#include "platform/desktop.h"
#include "platform/prompts.h"
#include "platform/settings.h"

#include <QAction>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <algorithm>
#include "controls/child_frame.h"
#include <QMenuBar>
#include <QScrollArea>
#include <QStyle>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace halvo {

namespace {

struct Entry {
    const char* name;
    const char* caption;
};

// The Data entries and the toolbar keys that stand for them, in toolbar order.
struct DataEntry {
    const char* key;
    const char* name;
    const char* picture;
};
const DataEntry dataEntries[] = {
    {"Property", "mnufrmProperty", ":/toolbar/property.png"},
    {"Tenant", "mnuDatafrmTenant", ":/toolbar/tenant.png"},
    {"Loan", "mnuDatafrmLoan", ":/toolbar/loan.png"},
    {"Insurance", "mnuDatafrmInsurance", ":/toolbar/insurance.png"},
    {"Income", "mnuDatafrmIncome", ":/toolbar/income.png"},
    {"Expense", "mnuDatafrmExpense", ":/toolbar/expense.png"},
    {"Category", "mnuDatafrmCategory", ":/toolbar/category.png"},
    {"Vendor", "mnuDatafrmVendor", ":/toolbar/vendor.png"},
    {"Note", "mnuDatafrmNote", ":/toolbar/note.png"},
};

// Data entries beyond the toolbar's.
const Entry moreDataEntries[] = {
    {"RentRoll", "Rent Roll"},
    {"MileageLog", "Mileage Log"},
    {"DepreciableAssets", "Depreciable Assets"},
    {"UnattachedDocuments", "Unattached Documents"},
};

const Entry reportEntries[] = {
    {"CategoryReport", "Category Report"},   {"IncomeandExpense", "Income and Expense Report"},
    {"MortgageLoan", "Mortgage Loan Report"}, {"NoteReport", "Note Report"},
    {"PropertyOwned", "Property Report"},    {"TenantLease", "Tenant Lease Report"},
    {"VendorReport", "Vendor Report"},       {"ScheduleEWorksheet", "Schedule E Worksheet"},
    {"DepreciationSchedule", "Depreciation Schedule"}, {"VendorsPaid", "Vendors Paid"},
    {"YearAtAGlance", "Year at a Glance"},
};

const Entry backupEntries[] = {
    {"BackupBackup", "Backup Database"},
    {"RestoreDatabase", "Restore Database"},
};

// Where the books are: the file in the data folder, or shared books on a server.
const Entry booksEntries[] = {
    {"OpenSharedBooks", "Open &Shared Books..."},
    {"OpenLocalBooks", "Open &Local Books..."},
};

const Entry statementEntries[] = {
    {"ImportStatement", "&Import Statement..."},
    {"UndoLastImport", "&Undo Last Import"},
    {"PayeeRules", "Payee &Rules..."},
    {"ExportToCsv", "&Export to CSV..."},
};

// The books moved whole between the file and shared books on a server.
const Entry moveEntries[] = {
    {"MoveBooksToServer", "&Move Books to Server..."},
    {"MoveBooksToFile", "Move Books to &File..."},
};

const QString keyLeft = QStringLiteral("MainLeft");
const QString keyTop = QStringLiteral("MainTop");
const QString keyWidth = QStringLiteral("MainWidth");
const QString keyHeight = QStringLiteral("MainHeight");

// A stored value that is not a whole number falls back to the default; so does a width or
// height that is not positive, which would leave no window to see.
int storedTwips(const QString& key, int fallback, bool mustBePositive)
{
    bool isNumber = false;
    const int value = Settings::value(key, QString::number(fallback)).trimmed().toInt(&isNumber);
    if (!isNumber || (mustBePositive && value <= 0))
        return fallback;
    return value;
}

} // namespace

bool MainPlacement::isKept()
{
    bool isNumber = false;
    return Settings::value(keyWidth).trimmed().toInt(&isNumber) > 0 && isNumber;
}

MainPlacement MainPlacement::read()
{
    const MainPlacement defaults;
    return {storedTwips(keyLeft, defaults.left, false), storedTwips(keyTop, defaults.top, false),
            storedTwips(keyWidth, defaults.width, true),
            storedTwips(keyHeight, defaults.height, true)};
}

void MainPlacement::write() const
{
    Settings::setValue(keyLeft, QString::number(left));
    Settings::setValue(keyTop, QString::number(top));
    Settings::setValue(keyWidth, QString::number(width));
    Settings::setValue(keyHeight, QString::number(height));
}

frmMain::frmMain(const Folders& folders, QWidget* parent)
    : QMainWindow(parent), folder(folders)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(programTitle());
    setWindowIcon(programLogo());
    // The toolbars are part of the window's layout; no menu offers to hide them.
    setContextMenuPolicy(Qt::NoContextMenu);

    area = new QMdiArea(this);
    area->setObjectName(QStringLiteral("mdiArea"));
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The frame may be as small as the user likes; child windows scroll within it.
    area->setMinimumSize(1, 1);
    // The child windows stay inside the work area as it changes its size.
    area->viewport()->installEventFilter(this);
    setCentralWidget(area);

    createMenus();
    createToolbar();
    createSummary();
    createStatusBar();

    // The summary follows what the windows save as they save it; the timer is for what it is not
    // told (another program's changes, a restore, the turn of the year).
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, portfolio, &PortfolioSummary::tick);

    applyPlacement(MainPlacement::read());
}

frmMain::~frmMain() = default;

QAction* frmMain::addEntry(QMenu* menu, const QString& name, const QString& caption)
{
    auto* action = menu->addAction(caption);
    action->setObjectName(name);
    entries.insert(name, action);
    return action;
}

void frmMain::createMenus()
{
    QMenuBar* bar = menuBar();
    // Entries whose windows or commands the window table gives; unavailable until it does.
    auto addChoices = [this](QMenu* menu, const auto& choices) {
        for (const Entry& e : choices) {
            const QString name = QString::fromLatin1(e.name);
            QAction* action = addEntry(menu, name, tr(e.caption));
            action->setEnabled(false);
            connect(action, &QAction::triggered, this, [this, name] { chooseEntry(name); });
        }
    };

    QMenu* file = bar->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("File"));
    addChoices(file, booksEntries);
    entries.value(QStringLiteral("OpenSharedBooks"))->setShortcut(QKeySequence(tr("Ctrl+Shift+O")));
    file->addSeparator();
    // Two entries the program never makes available; they are shown greyed, so that the user
    // sees the commands exist.
    addEntry(file, QStringLiteral("SavetoDisk"), tr("Save Database  to Disk"))->setEnabled(false);
    addEntry(file, QStringLiteral("CheckForUpdates"), tr("Check for Updates"))->setEnabled(false);
    connect(addEntry(file, QStringLiteral("ChangePassword"), tr("Change Password")),
            &QAction::triggered, this, &frmMain::ChangePassword_Click);
    file->addSeparator();
    // Bank statements in and tables out; available once the window table gives them a command.
    addChoices(file, statementEntries);
    file->addSeparator();
    addChoices(file, moveEntries);
    file->addSeparator();
    connect(addEntry(file, QStringLiteral("mnuFileExit"), tr("E&xit")), &QAction::triggered, this,
            &QWidget::close);

    QMenu* view = bar->addMenu(tr("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    mnuViewStatusBar = addEntry(view, QStringLiteral("mnuViewStatusBar"), tr("Status &Bar"));
    mnuViewStatusBar->setCheckable(true);
    mnuViewStatusBar->setChecked(true);
    connect(mnuViewStatusBar, &QAction::toggled, this,
            [this](bool checked) { sbStatusBar->setVisible(checked); });

    QMenu* data = bar->addMenu(tr("&Data"));
    data->setObjectName(QStringLiteral("mnuData"));
    for (const DataEntry& e : dataEntries) {
        const QString name = QString::fromLatin1(e.name);
        QAction* action = addEntry(data, name, tr(e.key));
        action->setIcon(QIcon(QString::fromLatin1(e.picture)));
        action->setEnabled(false);
        connect(action, &QAction::triggered, this, [this, name] { chooseEntry(name); });
    }
    data->addSeparator();
    addChoices(data, moreDataEntries);

    QMenu* report = bar->addMenu(tr("&Report"));
    report->setObjectName(QStringLiteral("Report"));
    addChoices(report, reportEntries);

    QMenu* backup = bar->addMenu(tr("&Backup"));
    backup->setObjectName(QStringLiteral("Backup"));
    addChoices(backup, backupEntries);

    // About and Help are commands on the menu bar itself, without a menu below them.
    QAction* about = bar->addAction(tr("&About "));
    about->setObjectName(QStringLiteral("mnuHelpAbout"));
    entries.insert(about->objectName(), about);
    connect(about, &QAction::triggered, this, &frmMain::mnuHelpAbout_Click);
    QAction* help = bar->addAction(tr("&Help"));
    help->setObjectName(QStringLiteral("Help"));
    help->setShortcut(QKeySequence::HelpContents);
    entries.insert(help->objectName(), help);
    connect(help, &QAction::triggered, this, &frmMain::Help_Click);
}

void frmMain::createToolbar()
{
    Toolbar1 = addToolBar(tr("Records"));
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Toolbar1->setIconSize(QSize(32, 32));
    for (const DataEntry& e : dataEntries) {
        const QString key = QString::fromLatin1(e.key);
        QAction* button = Toolbar1->addAction(QIcon(QString::fromLatin1(e.picture)), tr(e.key));
        button->setObjectName(key);
        button->setData(key);
        button->setEnabled(false);
        button->setToolTip(tr("Open the %1 window").arg(tr(e.key)));
        if (QWidget* widget = Toolbar1->widgetForAction(button))
            widget->setObjectName(key);
        connect(button, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
        toolbarButtons.insert(QString::fromLatin1(e.name), button);
    }

    // Today's date at the right end of the toolbar row, 300 twips in from the window's edge.
    auto* spring = new QWidget(Toolbar1);
    spring->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    Toolbar1->addWidget(spring);
    txtDate = new QLineEdit(Toolbar1);
    txtDate->setObjectName(QStringLiteral("txtDate"));
    txtDate->setReadOnly(true);
    txtDate->setFocusPolicy(Qt::NoFocus);
    txtDate->setAlignment(Qt::AlignCenter);
    txtDate->setAccessibleName(tr("Today's date"));
    txtDate->setFixedWidth(txtDate->fontMetrics().horizontalAdvance(
                               QStringLiteral("30 September, 2026")) + 16);
    Toolbar1->addWidget(txtDate);
    auto* margin = new QWidget(Toolbar1);
    margin->setFixedWidth(twipsToPixels(300, this));
    Toolbar1->addWidget(margin);
    refreshDate();
}

void frmMain::createSummary()
{
    LeftToolbar = new QToolBar(tr("Summary"), this);
    LeftToolbar->setObjectName(QStringLiteral("LeftToolbar"));
    LeftToolbar->setMovable(false);
    LeftToolbar->setFloatable(false);
    addToolBar(Qt::LeftToolBarArea, LeftToolbar);
    // The strip scrolls when the window is too low to show all of it (the default height is
    // less than the strip's), so the window keeps the size it is given.
    auto* scroller = new QScrollArea(LeftToolbar);
    scroller->setObjectName(QStringLiteral("summaryScroller"));
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller->setWidgetResizable(true);
    scroller->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    portfolio = new PortfolioSummary(folder.data, this);
    Picture1 = new SummaryPanel(portfolio);
    scroller->setWidget(Picture1);
    scroller->setFixedWidth(Picture1->sizeHint().width()
                            + scroller->style()->pixelMetric(QStyle::PM_ScrollBarExtent)
                            + twipsToPixels(180, this));
    scroller->setMinimumHeight(0);
    LeftToolbar->addWidget(scroller);
}

void frmMain::createStatusBar()
{
    sbStatusBar = new QStatusBar(this);
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
    setStatusBar(sbStatusBar);
    statusText = new QLabel(tr("Status"), sbStatusBar);
    statusText->setObjectName(QStringLiteral("Panel1"));
    statusDate = new QLabel(sbStatusBar);
    statusDate->setObjectName(QStringLiteral("Panel2"));
    statusTime = new QLabel(sbStatusBar);
    statusTime->setObjectName(QStringLiteral("Panel3"));
    sbStatusBar->addWidget(statusText, 1);
    sbStatusBar->addPermanentWidget(statusDate);
    sbStatusBar->addPermanentWidget(statusTime);

    // The date and time panels keep themselves up to date, on a clock of their own.
    auto* clock = new QTimer(sbStatusBar);
    clock->setInterval(1000);
    connect(clock, &QTimer::timeout, this, &frmMain::refreshClock);
    clock->start();
    refreshClock();
}

void frmMain::refreshClock()
{
    const QDateTime now = Clock::now();
    statusDate->setText(Dates::format(now.date(), Dates::ShortDate));
    statusTime->setText(Dates::format(now.time(), Dates::ClockTime));
}

void frmMain::refreshDate() { txtDate->setText(Dates::format(Clock::today(), Dates::LongDate)); }

void frmMain::registerWindow(const QString& entryName, WindowFactory factory)
{
    factories.insert(entryName, std::move(factory));
    if (!windowOrder.contains(entryName))
        windowOrder.append(entryName);
    commands.remove(entryName);
    if (QAction* action = entries.value(entryName))
        action->setEnabled(true);
    if (QAction* button = toolbarButtons.value(entryName))
        button->setEnabled(true);
}

void frmMain::registerCommand(const QString& entryName, Command command)
{
    commands.insert(entryName, std::move(command));
    factories.remove(entryName);
    if (QAction* action = entries.value(entryName))
        action->setEnabled(true);
}

QAction* frmMain::entry(const QString& entryName) const { return entries.value(entryName); }

QString frmMain::entryForKey(const QString& key)
{
    for (const DataEntry& e : dataEntries) {
        if (key == QLatin1String(e.key))
            return QString::fromLatin1(e.name);
    }
    return {};
}

void frmMain::chooseEntry(const QString& entryName)
{
    if (const auto command = commands.constFind(entryName); command != commands.constEnd()) {
        (*command)();
        return;
    }
    openWindow(entryName);
}

void frmMain::Toolbar1_ButtonClick(const QString& key)
{
    const QString entryName = entryForKey(key);
    if (!entryName.isEmpty())
        openWindow(entryName);
}

QWidget* frmMain::openWindow(const QString& entryName)
{
    if (QMdiSubWindow* sub = opened.value(entryName)) {
        // Already open: brought forward, never made twice. A window that hid itself shows again,
        // whether it hid its frame or only itself inside it (an empty frame would be left).
        QWidget* window = windowIn(sub);
        sub->show();
        window->show();
        if (sub->isMinimized())
            sub->showNormal();
        area->setActiveSubWindow(sub);
        window->setFocus();
        return window;
    }
    const auto factory = factories.constFind(entryName);
    if (factory == factories.constEnd())
        return nullptr;
    // A window that cannot be made is passed over; the frame carries on as before.
    QWidget* window = (*factory)(WindowContext{folder, this, portfolio});
    if (!window)
        return nullptr;
    QMdiSubWindow* sub = addChildFrame(area, window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setObjectName(entryName + QStringLiteral("Window"));
    opened.insert(entryName, sub);
    // Child windows open 200 twips in from the frame's top left corner (where they do not place
    // themselves as they are shown), as large as they are where there is room, and never past
    // the work area.
    sub->move(twipsToPixels(200, this), twipsToPixels(200, this));
    sub->show();
    fitChildFrame(window);
    area->setActiveSubWindow(sub);
    window->setFocus();
    return window;
}

QWidget* frmMain::openedWindow(const QString& entryName) const
{
    const QMdiSubWindow* sub = opened.value(entryName);
    return sub ? windowIn(sub) : nullptr;
}

void frmMain::applyPlacement(const MainPlacement& placement)
{
    applied = placement;
    // The window's own outer size is kept; the frame the desktop draws around it is the
    // desktop's, and differs from one desktop to the next.
    move(twipsToPixels(placement.left, this), twipsToPixels(placement.top, this));
    resize(twipsToPixels(placement.width, this), twipsToPixels(placement.height, this));
}

MainPlacement frmMain::currentPlacement() const
{
    // A value the window still has as it was placed is kept in its stored twips, so that
    // closing an unmoved window writes back exactly what was read rather than drifting by
    // the rounding to whole pixels.
    const auto twips = [this](int pixels, int placedTwips) {
        return twipsToPixels(placedTwips, this) == pixels ? placedTwips : pixelsToTwips(pixels, this);
    };
    return {twips(pos().x(), applied.left), twips(pos().y(), applied.top),
            twips(width(), applied.width), twips(height(), applied.height)};
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == area->viewport() && event->type() == QEvent::Resize)
        refitChildFrames(area);
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::load()
{
    loaded = true;
    // The first window, with no place kept yet, is as wide as its toolbar where the screen
    // allows, so that no command hides behind the toolbar's extension.
    if (!MainPlacement::isKept()) {
        const int toolbar = Toolbar1->sizeHint().width() + 2 * Toolbar1->x();
        const int screenWidth = screen() ? screen()->availableGeometry().width() : toolbar;
        if (width() < toolbar)
            resize(std::min(toolbar, screenWidth), height());
    }
    statusText->setText(QStringLiteral("CORVANE HALVO Version ") + ProgramVersion().text());
    // The property editor is the first child window, when the program has one.
    openWindow(entryForKey(QStringLiteral("Property")));
    Timer1->start();
}

void frmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!loaded)
        load();
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // The date is brought up to date on a resize only, not at midnight.
    refreshDate();
}

bool frmMain::closeChildWindows()
{
    area->closeAllSubWindows();
    for (const QMdiSubWindow* sub : area->subWindowList())
        if (sub->isVisible())
            return false;
    // Closed windows are deleted later by the event loop; their record sets and connections go
    // now, so that the database file is free when this returns.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return true;
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // Every child closes first, running its own closing steps; one that declines (a change
    // the user still wants to keep) keeps the frame open.
    if (!closeChildWindows()) {
        event->ignore();
        return;
    }
    // A minimised window keeps the place and size of the last normal or maximised close.
    if (!isMinimized())
        currentPlacement().write();
    Timer1->stop();
    if (helpWindow)
        helpWindow->close();
    event->accept();
    emit closed();
}

void frmMain::ChangePassword_Click()
{
    frmChangePass dialog(folder.data, this);
    dialog.exec();
}

void frmMain::mnuHelpAbout_Click()
{
    frmAbout about(this);
    about.exec();
}

void frmMain::Help_Click()
{
    // A child window that names its section of the guide (its "helpTopic") opens it there.
    QString topic = QStringLiteral("contents");
    if (const QMdiSubWindow* sub = area->activeSubWindow())
        if (const QWidget* child = windowIn(sub); child && child->property("helpTopic").isValid())
            topic = child->property("helpTopic").toString();
    showHelp(topic);
}

void frmMain::showHelp(const QString& topic, QWidget* over)
{
    // Over a window that holds the program until it closes, the guide is that window's own, or
    // it could not be read until the window closed.
    QWidget* owner = over ? over : this;
    QString failure;
    QWidget* window = HelpWindow::show(folder.program, over ? nullptr : helpWindow, owner,
                                       &failure, topic);
    if (!window) {
        prompts().message(owner, failure);
        return;
    }
    if (!over)
        helpWindow = window;
}

} // namespace halvo
