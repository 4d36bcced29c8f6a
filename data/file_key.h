#pragma once
// The key each file is opened with, and a file keyed anew put in the place of the open one.

#include "core/result.h"

#include <QString>
#include <functional>

namespace halvo {

// The key the engine opens a file with when a connection names it with the program's fixed
// password, as every connection text of the program does: the fixed password itself while the file
// is keyed with it, and once the user's password has locked the file and opened it at the login,
// the key that password gives (the engine's text for a raw key). Set by the login, kept for the
// rest of the run.
void setFileKey(const QString& path, const QString& key);
QString fileKey(const QString& path);

// Puts a file keyed anew in the place of one the program has open, and moves every connection of
// it over to the new file. The file's handle is closed first (which empties its write-ahead log
// into it); `putInPlace` then leaves at the path either the new file, keyed with `newKey`, or the
// old one as it was, and says which by succeeding or failing. Every connection then uses the file
// that is there, with its key, which is also the file's key from then on. Refused with nothing
// changed while a unit of work is open or a connection of another key holds the file.
Status replaceOpenDatabase(const QString& path, const QString& newKey,
                           const std::function<Status()>& putInPlace);

} // namespace halvo
