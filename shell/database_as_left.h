#pragma once
// The database file as the program left it when it last ended, known by its device, inode, size
// and the time of its last change, and kept in the settings. Checking a file that opens with the
// program's key means deriving that key, most of a start's time. A start on a file still as it
// was left, with a password set, shows the login at once and checks the file right after it; a
// file changed since in any way (another program, a copy put in its place, a crash before the
// end) is checked first, as always.

#include <QString>

namespace halvo {

// Whether the file at `path` is as the program left it, with a password set.
bool databaseAsLeft(const QString& path);
// The file at `path` as it is now, once no connection holds it any more (its log has then been
// emptied into it). A file still held is not remembered. Whatever is remembered, the file is
// checked at every start: what is remembered only says whether the login may come first.
void rememberDatabaseAsLeft(const QString& path);

} // namespace halvo
