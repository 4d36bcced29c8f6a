#pragma once
// The password's part in opening the database file. A file keyed with the program's fixed
// password opens for anyone, and the password stored in tblUser guards the login window only;
// once the user has locked the file with the password, the login is the opening of the file, and
// a wrong password opens nothing.

#include "core/result.h"

#include <QString>

class QWidget;

namespace halvo {

// Whether `typed` is the program password. For a locked file the password must open it (the
// key it gives is the file's from then on, for every connection); for any other file it must
// match the stored password.
// A locked file that the password opens but that cannot be used all the same (a newer HALVO wrote
// it, it is damaged, another program holds it) is an error with the code below, so that the login
// says what is wrong with the file instead of taking the right password for a wrong one.
Result<bool> passwordOpens(const QString& dataFolder, const QString& typed);
inline constexpr int RightPasswordFileUnusable = -1001;

// Locks the live database with `password`: a new salt, the key Argon2id gives, every table
// written anew under it (progress shown on a large file) and the stored password set to it.
// A file already locked is keyed anew the same way (a changed password).
Status lockDatabase(QWidget* parent, const QString& dataFolder, const QString& password);

// Asks "Lock the database file with your password?" for a file still keyed with the fixed
// password, unless the user has said "Don't ask again" or the password is empty (which locks
// nothing). Yes locks it; a failure is told and leaves the file as it was. Once per run.
void offerToLock(QWidget* parent, const QString& dataFolder, const QString& password);

// The settings key that keeps "Don't ask again".
inline const QString DontOfferLockKey = QStringLiteral("DontOfferFileLock");

} // namespace halvo
