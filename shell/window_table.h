#pragma once

namespace halvo {

class frmMain;

// Registers every child window and command the program has with the main window.
void installWindows(frmMain& main);
// After the login: the leases ending soon and the rents late, when there are any and the user
// has not turned them off.
void showLoginReminders(frmMain& main);

} // namespace halvo
