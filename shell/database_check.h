#pragma once
// Whether the database file in the data folder is one the program can work on, judged before
// any window that writes to it is shown. A file that is not the user's database, or that cannot
// be worked on, is named to the user and left exactly as it is: the first-run window would
// otherwise offer to save a password into it.

#include <QString>

namespace halvo {

enum class DatabaseFile {
    Usable,        // an encrypted HALVO database that opens with the program's password
    Locked,        // whole pages that begin with a password's salt: locked with the user's
                   // password, which the login tries
    Missing,       // nothing at the database's path
    Folder,        // a folder where the file belongs
    Empty,         // a file of 0 bytes
    NotADatabase,  // neither a database nor a whole number of pages: random bytes, some other file
    Unencrypted,   // an SQLite database without encryption
    OtherPassword, // whole pages that the password does not open: encrypted with another
                   // password, or bytes that merely look like it
    Damaged,       // the password opens it, but part of it is missing or unreadable (cut short)
    ReadOnly,      // the file is marked read-only
    InUse,         // another program holds it locked
    Newer,         // a newer HALVO has taken steps of the schema this one does not know
    Unreadable,    // any other reason it cannot be opened or read; `detail` says which
};

struct DatabaseFileCheck {
    DatabaseFile state = DatabaseFile::Usable;
    QString path;   // the database file, as the user is shown it
    QString detail; // the engine's own account, where it has one
};

// Looks at the file and opens it, never creating or writing it.
DatabaseFileCheck checkDatabaseFile(const QString& dataFolder);

// What the user is told about a file that is not Usable.
QString databaseFileMessage(const DatabaseFileCheck& check);

} // namespace halvo
