#pragma once
// The desktop around the program: opening an address with the user's mail program or browser,
// the clock, and the folder of the running executable.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QUrl>

namespace halvo {

// Opens an address the way the desktop opens it ("mailto:" in the mail program, a web address in
// the browser, a file with its program). False when nothing could open it.
bool shellOpen(const QUrl& url);
// The same for a text as the user typed it: an address with a scheme as it is, anything else
// as a local file or a web address.
bool shellOpen(const QString& address);

// The clock. Tests may fix it at a moment of their choosing; an invalid moment frees it again.
namespace Clock {
QDateTime now();
QDate today();
void fixAt(const QDateTime& moment);
} // namespace Clock

// The folder that holds the running executable, without a trailing separator.
QString applicationFolder();

} // namespace halvo
