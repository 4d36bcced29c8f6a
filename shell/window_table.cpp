#include "window_table.h"

#include "main_window.h"
#include "shared_books.h"
#include "shared_books_commands.h"

#include <QApplication>
#include <QPointer>
#include <memory>

#include "attachments/attachments_window.h"
#include "editors/asset_editor.h"
#include "editors/category_editor.h"
#include "editors/insurance_editor.h"
#include "editors/loan_editor.h"
#include "editors/note_editor.h"
#include "editors/property_editor.h"
#include "editors/tenant_editor.h"
#include "editors/vendor_editor.h"
#include "editors/vendor_window.h"
#include "glance/glance_window.h"
#include "ledger/ledger_window.h"
#include "ledger/mileage_window.h"
#include "ledger/statement_commands.h"
#include "maintenance/backup_commands.h"
#include "reports/data_environment.h"
#include "reports/report_selection.h"
#include "reports/select_category.h"
#include "reports/property_selection.h"
#include "reports/depreciation_selection.h"
#include "reports/schedule_e_selection.h"
#include "reports/vendors_paid_selection.h"
#include "rentroll/rent_roll_window.h"
#include "server/move_books_commands.h"
#include "rentroll/reminders_window.h"
#include "data/connection_string.h"
#include "platform/desktop.h"
#include "platform/prompts.h"
#include "update/update_command.h"
#include "summary/portfolio_summary.h"
#include "version.h"

namespace halvo {

namespace {

template <class Window>
WindowFactory editor()
{
    return [](const WindowContext& context) { return new Window(context.folders.data); };
}

// The property editor also shows the program's default picture.
WindowFactory propertyEditor()
{
    return [](const WindowContext& context) { return new frmProperty(context.folders); };
}

// Opens a window through the main window, so that it is still made at most once and brought
// forward when it is open already.
std::function<void()> opener(const WindowContext& context, const char* entry)
{
    return [frame = QPointer<frmMain>(context.main), entry] {
        if (frame)
            frame->openWindow(QString::fromLatin1(entry));
    };
}

// The ledger windows read the summary's totals and open the category and loan editors.
template <class Window>
WindowFactory ledger()
{
    return [](const WindowContext& context) {
        LedgerContext services{context.summary, opener(context, "mnuDatafrmCategory"),
                               opener(context, "mnuDatafrmLoan")};
        return new Window(context.folders.data, services);
    };
}

// The tax worksheet offers the category editor when a category has no line.
WindowFactory scheduleE()
{
    return [](const WindowContext& context) {
        return new frmScheduleE(context.folders.data, opener(context, "mnuDatafrmCategory"));
    };
}

// The income or the expense window at a month (of a property, or any), made at most once,
// through the main window.
std::function<void(LedgerSide, int, int, const QString&)> ledgerAtMonth(frmMain* main)
{
    return [frame = QPointer<frmMain>(main)](LedgerSide side, int year, int month,
                                             const QString& property) {
        if (!frame)
            return;
        QWidget* window = frame->openWindow(side == LedgerSide::Income
                                                ? QStringLiteral("mnuDatafrmIncome")
                                                : QStringLiteral("mnuDatafrmExpense"));
        if (auto* ledger = qobject_cast<LedgerWindow*>(window))
            ledger->showMonth(year, month, property);
    };
}

// The year at a glance opens the income or the expense window at a month.
WindowFactory yearAtAGlance()
{
    return [](const WindowContext& context) {
        return new frmYearAtAGlance(context.folders.data,
                                    GlanceContext{context.summary, ledgerAtMonth(context.main)});
    };
}

// The tenant window at a tenant, made at most once, through the main window.
std::function<void(qint64)> tenantOpener(frmMain* main)
{
    return [frame = QPointer<frmMain>(main)](qint64 tenantId) {
        if (!frame)
            return;
        if (auto* tenants = qobject_cast<RecordEditor*>(
                frame->openWindow(QStringLiteral("mnuDatafrmTenant"))))
            tenants->moveToFirstWhere(QStringLiteral("ID = ?"), {tenantId});
    };
}

// The rent roll opens the tenant window at a tenant, and the income window at this month of a
// property.
WindowFactory rentRoll()
{
    return [](const WindowContext& context) {
        RentRollContext services{
            tenantOpener(context.main),
            [atMonth = ledgerAtMonth(context.main)](const QString& property) {
                const QDate today = Clock::today();
                atMonth(LedgerSide::Income, today.year(), today.month(), property);
            }};
        return new frmRentRoll(context.folders.data, services);
    };
}

// A list report is shown from its stored query, over the main frame.
Command listReport(frmMain& main, const char* commandName)
{
    return [frame = QPointer<frmMain>(&main), commandName] {
        if (frame)
            showListReport(frame->dataFolder(), QString::fromLatin1(commandName), frame);
    };
}

// The note report's window has no menu entry of its own: the Note Report entry shows it through
// this name, so that it is still made at most once.
const QString NoteSelection = QStringLiteral("frmSelectNote");

// The Note Report entry shows its window in front without moving the focus into it: none of its
// lists holds the focus. In the frame a window in front without the focus would leave Tab in the
// window behind it, so the window itself holds the focus, as the other report windows do when
// they open, and Tab goes on to its first list.
Command noteReport(frmMain& main)
{
    return [frame = QPointer<frmMain>(&main)] {
        if (!frame)
            return;
        QWidget* window = frame->openWindow(NoteSelection);
        QWidget* focused = QApplication::focusWidget();
        if (window && focused && window->isAncestorOf(focused))
            window->setFocus(Qt::OtherFocusReason);
    };
}

// The documents kept when their records were deleted, over the frame; while it is open the
// frame takes no other command, so that a restore never meets its connection.
Command unattachedDocuments(frmMain& main)
{
    return [frame = QPointer<frmMain>(&main)] {
        if (!frame)
            return;
        Result<Connection> db = Connection::open(standardConnectionString(frame->dataFolder()));
        if (!db) {
            prompts().message(frame, db.error().description, QString(), Prompts::Buttons::Ok,
                              Prompts::Icon::Warning);
            return;
        }
        auto* window = new frmAttachments(db.value(), RecordRef{}, QString(), frame);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->open();
    };
}

} // namespace

// One line per window or command, by the menu entry that opens it; the toolbar buttons follow
// their Data entries. An entry with no line here stays unavailable.
//
//   Data:   mnufrmProperty, mnuDatafrmTenant, mnuDatafrmLoan, mnuDatafrmInsurance,
//           mnuDatafrmIncome, mnuDatafrmExpense, mnuDatafrmCategory, mnuDatafrmVendor,
//           mnuDatafrmNote, RentRoll, MileageLog, DepreciableAssets, UnattachedDocuments
//   Report: CategoryReport, IncomeandExpense, MortgageLoan, NoteReport, PropertyOwned,
//           TenantLease, VendorReport, ScheduleEWorksheet, DepreciationSchedule, VendorsPaid,
//           YearAtAGlance
//   Backup: BackupBackup, RestoreDatabase
//   File:   OpenSharedBooks, OpenLocalBooks (available while shared books are open),
//           SavetoDisk, CheckForUpdates (made, and left unavailable as the window was designed),
//           ImportStatement, UndoLastImport, PayeeRules, ExportToCsv, MoveBooksToServer,
//           MoveBooksToFile
void installWindows(frmMain& main)
{
    main.registerWindow(QStringLiteral("mnufrmProperty"), propertyEditor());
    main.registerWindow(QStringLiteral("mnuDatafrmTenant"), editor<frmTenant>());
    main.registerWindow(QStringLiteral("mnuDatafrmLoan"), editor<frmLoan>());
    main.registerWindow(QStringLiteral("mnuDatafrmInsurance"), editor<frmInsurance>());
    main.registerWindow(QStringLiteral("mnuDatafrmIncome"), ledger<frmIncome>());
    main.registerWindow(QStringLiteral("mnuDatafrmExpense"), ledger<frmExpense>());
    main.registerWindow(QStringLiteral("mnuDatafrmCategory"), editor<frmCategory>());
    main.registerWindow(QStringLiteral("mnuDatafrmVendor"), editor<frmVendor>());
    main.registerWindow(QStringLiteral("mnuDatafrmNote"), editor<frmNote>());
    main.registerWindow(QStringLiteral("RentRoll"), rentRoll());
    main.registerWindow(QStringLiteral("MileageLog"), editor<frmMileage>());
    main.registerWindow(QStringLiteral("DepreciableAssets"), editor<frmAsset>());
    main.registerCommand(QStringLiteral("UnattachedDocuments"), unattachedDocuments(main));

    main.registerWindow(QStringLiteral("CategoryReport"), editor<frmSelectCategory>());
    main.registerWindow(QStringLiteral("IncomeandExpense"), editor<frmSelectProperty>());
    main.registerWindow(NoteSelection, editor<frmSelectNote>());
    main.registerCommand(QStringLiteral("NoteReport"), noteReport(main));
    main.registerCommand(QStringLiteral("MortgageLoan"), listReport(main, "cmdLoan"));
    main.registerCommand(QStringLiteral("PropertyOwned"), listReport(main, "cmdProperty"));
    main.registerCommand(QStringLiteral("TenantLease"), listReport(main, "cmdTenant"));
    main.registerCommand(QStringLiteral("VendorReport"), listReport(main, "cmdVendor"));
    main.registerWindow(QStringLiteral("ScheduleEWorksheet"), scheduleE());
    main.registerWindow(QStringLiteral("DepreciationSchedule"), editor<frmDepreciationSchedule>());
    main.registerWindow(QStringLiteral("VendorsPaid"), editor<frmVendorsPaid>());
    main.registerWindow(QStringLiteral("YearAtAGlance"), yearAtAGlance());

    // A restore needs the database file free: every child window closes (one with a change the
    // user keeps declines, and the restore does not happen), the reports let their rows go and
    // the summary lets go of the file. Afterwards the summary reads the file in place at once.
    QPointer<frmMain> frame(&main);
    auto backup = std::make_shared<BackupCommands>(BackupHost{
        &main, main.dataFolder(),
        [frame] {
            if (!frame || !frame->closeChildWindows())
                return false;
            DataEnvironment::end();
            frame->summary()->release();
            return true;
        },
        [frame] {
            if (!frame)
                return;
            frame->summary()->tick();
            frame->openWindow(frmMain::entryForKey(QStringLiteral("Property")));
        }});
    // With shared books open, the Backup menu backs them up and restores with the server's own
    // programs.
    auto shared = std::make_shared<SharedBooksCommands>(main);
    main.registerCommand(QStringLiteral("OpenSharedBooks"), [shared] { shared->OpenSharedBooks(); });
    main.registerCommand(QStringLiteral("OpenLocalBooks"), [shared] { shared->OpenLocalBooks(); });
    main.registerCommand(QStringLiteral("BackupBackup"), [backup, shared] {
        shared->isOpen() ? shared->Backup() : backup->Backup();
    });
    main.registerCommand(QStringLiteral("RestoreDatabase"), [backup, shared] {
        shared->isOpen() ? shared->Restore() : backup->Restore();
    });
    main.registerCommand(QStringLiteral("SavetoDisk"), [backup] { backup->SaveToDisk(); });

    auto statements = std::make_shared<StatementCommands>(&main, main.dataFolder());
    main.registerCommand(QStringLiteral("ImportStatement"), [statements] { statements->ImportStatement(); });
    main.registerCommand(QStringLiteral("UndoLastImport"), [statements] { statements->UndoLastImport(); });
    main.registerCommand(QStringLiteral("PayeeRules"), [statements] { statements->PayeeRules(); });
    main.registerCommand(QStringLiteral("ExportToCsv"), [statements] { statements->ExportToCsv(); });
    auto moves = std::make_shared<MoveBooksCommands>(
        &main, main.dataFolder(), [program = main.folders().program](QWidget* parent, const QString& caption) {
            return askSharedBooks(parent, caption, program);
        });
    main.registerCommand(QStringLiteral("MoveBooksToServer"), [moves] { moves->MoveBooksToServer(); });
    main.registerCommand(QStringLiteral("MoveBooksToFile"), [moves] { moves->MoveBooksToFile(); });
    if (QAction* saveToDisk = main.entry(QStringLiteral("SavetoDisk")))
        saveToDisk->setEnabled(false);

    // The update replaces files in the program folder; an install whose program files are not
    // its own (a package, which the distribution updates) has no update command at all.
    if (main.folders().portable()) {
        auto update = std::make_shared<UpdateCommand>(&main, main.folders().program,
                                                      ProgramVersion().text());
        main.registerCommand(QStringLiteral("CheckForUpdates"),
                             [update] { update->CheckForUpdates(); });
    }
    if (QAction* checkForUpdates = main.entry(QStringLiteral("CheckForUpdates")))
        checkForUpdates->setEnabled(false);

    // Windows that add a vendor open the one vendor editor through the main window, so it is
    // still made at most once and brought forward when it is open already.
    ::Puiblic_Module::setVendorWindowOpener([frame = QPointer<frmMain>(&main)]() -> frmVendor* {
        if (!frame)
            return nullptr;
        return qobject_cast<frmVendor*>(frame->openWindow(QStringLiteral("mnuDatafrmVendor")));
    });

    // Last, once every command is there: the title and the commands follow the books in use.
    shared->showBooks();
}

void showLoginReminders(frmMain& main)
{
    if (!frmReminders::wanted())
        return;
    Result<Connection> connection = Connection::open(standardConnectionString(main.dataFolder()));
    Result<QList<Reminder>> found = connection ? reminders(connection.value(), Clock::today())
                                               : Result<QList<Reminder>>(connection.error());
    // The reminders are a help, never a stop: a file that cannot say them shows none, and the
    // windows that read it say what is wrong.
    if (!found || found.value().isEmpty())
        return;
    auto* window = new frmReminders(found.value(), tenantOpener(&main), &main);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace halvo
