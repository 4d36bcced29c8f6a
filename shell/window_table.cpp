#include "window_table.h"

#include "main_window.h"

#include <QPointer>

#include "editors/category_editor.h"
#include "editors/insurance_editor.h"
#include "editors/loan_editor.h"
#include "editors/note_editor.h"
#include "editors/property_editor.h"
#include "editors/tenant_editor.h"
#include "editors/vendor_editor.h"
#include "editors/vendor_window.h"
#include "ledger/ledger_window.h"

namespace halvo {

namespace {

template <class Window>
WindowFactory editor()
{
    return [](const WindowContext& context) { return new Window(context.programFolder); };
}

// The ledger windows read the summary's totals and open the category and loan editors through
// the main window, so those are still made at most once.
template <class Window>
WindowFactory ledger()
{
    return [](const WindowContext& context) {
        QPointer<frmMain> frame = context.main;
        auto show = [frame](const char* entry) {
            return [frame, entry] {
                if (frame)
                    frame->openWindow(QString::fromLatin1(entry));
            };
        };
        LedgerContext services{context.totals, show("mnuDatafrmCategory"), show("mnuDatafrmLoan")};
        return new Window(context.programFolder, services);
    };
}

} // namespace

// One line per window or command, by the menu entry that opens it; the toolbar buttons follow
// their Data entries. An entry with no line here stays unavailable.
//
//   Data:   mnufrmProperty, mnuDatafrmTenant, mnuDatafrmLoan, mnuDatafrmInsurance,
//           mnuDatafrmIncome, mnuDatafrmExpense, mnuDatafrmCategory, mnuDatafrmVendor,
//           mnuDatafrmNote
//   Report: CategoryReport, IncomeandExpense, MortgageLoan, NoteReport, PropertyOwned,
//           TenantLease, VendorReport
//   Backup: BackupBackup, RestoreDatabase
void installWindows(frmMain& main)
{
    main.registerWindow(QStringLiteral("mnufrmProperty"), editor<frmProperty>());
    main.registerWindow(QStringLiteral("mnuDatafrmTenant"), editor<frmTenant>());
    main.registerWindow(QStringLiteral("mnuDatafrmLoan"), editor<frmLoan>());
    main.registerWindow(QStringLiteral("mnuDatafrmInsurance"), editor<frmInsurance>());
    main.registerWindow(QStringLiteral("mnuDatafrmIncome"), ledger<frmIncome>());
    main.registerWindow(QStringLiteral("mnuDatafrmExpense"), ledger<frmExpense>());
    main.registerWindow(QStringLiteral("mnuDatafrmCategory"), editor<frmCategory>());
    main.registerWindow(QStringLiteral("mnuDatafrmVendor"), editor<frmVendor>());
    main.registerWindow(QStringLiteral("mnuDatafrmNote"), editor<frmNote>());

    // Windows that add a vendor open the one vendor editor through the main window, so it is
    // still made at most once and brought forward when it is open already.
    Puiblic_Module::setVendorWindowOpener([frame = QPointer<frmMain>(&main)]() -> frmVendor* {
        if (!frame)
            return nullptr;
        return qobject_cast<frmVendor*>(frame->openWindow(QStringLiteral("mnuDatafrmVendor")));
    });
}

} // namespace halvo
