#pragma once
// The program's logo, for window icons, the login, About and the launcher's splash.

#include <QIcon>

namespace halvo {

// Both sizes of the logo, read as the PNG pictures they are: a reader left to detect a picture's
// format loads every picture format's plugin first, to ask each whether it knows the file, which
// cost the start a few milliseconds before its first window.
QIcon programLogo();

} // namespace halvo
