#pragma once
// Adding a vendor from another window: the tenant editor and the ledger windows open the vendor
// editor on a new record, and when it is saved the new company goes back into the picker of the
// window that asked for it.

#include <QComboBox>
#include <QString>
#include <functional>

namespace halvo {
class frmVendor;
}

namespace Puiblic_Module {

// Which window asked for a new vendor: "expense", "income", "tenant", or empty.
extern QString CallerTag;

// Opens the vendor editor for a caller: sets the tag, shows the editor, adds a blank record and
// puts the focus into the company box.
void OpenVendorWindow(const QString& callerTag);

// The main window says how the vendor editor is shown (made on first use, else brought forward).
void setVendorWindowOpener(std::function<halvo::frmVendor*()> opener);

// A calling window registers its vendor picker under its tag while it is open. The hand-back
// appends the company to it and selects it as a user would, so the caller stores it.
void registerVendorPicker(const QString& callerTag, QComboBox* picker);

// The picker of the window waiting for a vendor; none when no window waits or it was closed.
QComboBox* callerPicker();

// The vendor editor's hand-back after a save: to the picker of the caller named by the tag, if
// that window is still open; the tag is emptied. True when a caller received the company.
bool handBackVendor(const QString& company);

} // namespace Puiblic_Module
