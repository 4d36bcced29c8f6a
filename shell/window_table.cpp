#include "window_table.h"

#include "main_window.h"

namespace halvo {

// One line per window or command, by the menu entry that opens it; the toolbar buttons follow
// their Data entries. An entry with no line here stays unavailable.
//
//   Data:   mnufrmProperty, mnuDatafrmTenant, mnuDatafrmLoan, mnuDatafrmInsurance,
//           mnuDatafrmIncome, mnuDatafrmExpense, mnuDatafrmCategory, mnuDatafrmVendor,
//           mnuDatafrmNote
//   Report: CategoryReport, IncomeandExpense, MortgageLoan, NoteReport, PropertyOwned,
//           TenantLease, VendorReport
//   Backup: BackupBackup, RestoreDatabase
//
// For example:
//   main.registerWindow(QStringLiteral("mnufrmProperty"),
//                       [](const WindowContext& c) { return new frmProperty(c.programFolder); });
void installWindows(frmMain& main)
{
    Q_UNUSED(main);
}

} // namespace halvo
