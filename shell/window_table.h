#pragma once

namespace halvo {

class frmMain;

// Registers every child window and command the program has with the main window.
void installWindows(frmMain& main);

} // namespace halvo
