#include "database_check.h"

#include "data/connection.h"
#include "data/connection_string.h"
#include "data/schema.h"
#include "lock/file_lock.h"
#include "platform/prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

namespace halvo {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("DatabaseCheck", text); }

// A file the program cannot write is refused before it is opened. Read-only is judged from the
// file's own permission bits as well as from what the system allows this user: the administrator
// may write to any file, yet a file whose owner took away every write permission (chmod a-w) is
// one the user means to keep as it is. The data layer judges it the same way when it opens.
bool isReadOnly(const QFileInfo& file)
{
    const QFileDevice::Permissions writeBits =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return (file.permissions() & writeBits) == 0 || !file.isWritable();
}

// How an encrypted database of any page size ends: on a whole number of pages of at least
// 512 bytes, and never shorter than the program's own check of 1024 bytes.
bool isWholePages(qint64 size) { return size >= 1024 && size % 512 == 0; }

DatabaseFileCheck openFailure(DatabaseFileCheck check, const Error& error, qint64 size)
{
    check.detail = error.description;
    switch (error.code) {
    case SQLITE_NOTADB:
        // An encrypted file keyed with another password and random bytes of the same length look
        // the same: that is what encryption is for. Only a length that no database can have
        // proves that the file is none.
        check.state = isWholePages(size) ? DatabaseFile::OtherPassword : DatabaseFile::NotADatabase;
        break;
    case SQLITE_CORRUPT: check.state = DatabaseFile::Damaged; break;
    case SchemaNewerThanProgram: check.state = DatabaseFile::Newer; break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: check.state = DatabaseFile::InUse; break;
    default:
        // The data layer refuses a file too short to be a database before the engine sees it.
        check.state = isWholePages(size) ? DatabaseFile::Unreadable : DatabaseFile::NotADatabase;
        break;
    }
    return check;
}

} // namespace

DatabaseFileCheck checkDatabaseFile(const QString& dataFolder)
{
    DatabaseFileCheck check;
    check.path = QFileInfo(databasePath(dataFolder)).absoluteFilePath();
    // The file-system checks come first, each on what the path holds without opening it, so
    // that nothing at the path is created, followed through (a folder) or read as a device.
    const QFileInfo file(check.path);
    if (!file.exists()) {
        check.state = DatabaseFile::Missing;
        return check;
    }
    if (file.isDir()) {
        check.state = DatabaseFile::Folder;
        return check;
    }
    if (!file.isFile()) {
        check.state = DatabaseFile::NotADatabase;
        return check;
    }
    const qint64 size = file.size();
    // The engine would take an empty file for a new database and write one into it.
    if (size == 0) {
        check.state = DatabaseFile::Empty;
        return check;
    }
    // An unencrypted database is told by its header; keying it would fail the same way as
    // random bytes and tell the user less. The data layer reads it only while no connection
    // holds the file.
    const Result<bool> plain = isUnencryptedDatabase(check.path);
    if (!plain) {
        check.state = DatabaseFile::Unreadable;
        check.detail = plain.error().description;
        return check;
    }
    if (plain.value()) {
        check.state = DatabaseFile::Unencrypted;
        return check;
    }
    if (isReadOnly(file)) {
        check.state = DatabaseFile::ReadOnly;
        return check;
    }
    // A file locked with the user's password begins with a salt of letters and digits, which
    // the salt the engine draws for the program's own key all but never is: the login opens it
    // with the password, and tells what is wrong with it if anything is. Trying the program's
    // key on it first would only spend the key's derivation, the most of a start's time, to fail.
    if (isWholePages(size)) {
        const Result<QByteArray> salt = fileSalt(check.path);
        if (salt && isLockSalt(salt.value())) {
            check.state = DatabaseFile::Locked;
            return check;
        }
    }
    // The rest only the key can tell. Opening never creates or writes a file it cannot read,
    // and the handle it leaves is the one every window will share.
    const Result<Connection> opened = Connection::openFile(check.path, DatabasePassword);
    if (!opened)
        check = openFailure(check, opened.error(), size);
    return check;
}

QString databaseFileMessage(const DatabaseFileCheck& check)
{
    const QString path = QDir::toNativeSeparators(check.path);
    const QString program = programTitle();
    // Every message names the file, says what is wrong with it and that it was not touched, and
    // what brings the program back: the user's records are in that one file.
    const QString leftAlone = tr("%1 has left the file as it is.").arg(program);
    const QString putBack =
        tr("Put the database file, or a backup copy of it, in that folder and start %1 "
           "again.")
            .arg(program);
    switch (check.state) {
    case DatabaseFile::Usable:
    case DatabaseFile::Locked: return {};
    case DatabaseFile::Missing:
        return tr("The database file \"%1\" was not found.\n\n%2 keeps all its records in this "
                  "file and has not made a new one in its place. %3")
            .arg(path, program, putBack);
    case DatabaseFile::Folder:
        return tr("There is a folder where the database file belongs: \"%1\".\n\n%2 has left the "
                  "folder as it is. Move the folder elsewhere, put the database file, or a backup "
                  "copy of it, in its place and start %2 again.")
            .arg(path, program);
    case DatabaseFile::Empty:
        return tr("The database file \"%1\" is empty (0 bytes): it holds no records.\n\n%2 %3")
            .arg(path, leftAlone, putBack);
    case DatabaseFile::NotADatabase:
        return tr("The file \"%1\" is not a %2 database.\n\n%3 %4")
            .arg(path, program, leftAlone, putBack);
    case DatabaseFile::Unencrypted:
        return tr("The file \"%1\" is an unencrypted database, not a %2 database: %2 keeps its "
                  "records encrypted.\n\n%3 %4")
            .arg(path, program, leftAlone, putBack);
    case DatabaseFile::OtherPassword:
        return tr("The database file \"%1\" does not open with the password of %2: it was "
                  "encrypted with another password, or it is not a %2 database.\n\n%3 %4")
            .arg(path, program, leftAlone, putBack);
    case DatabaseFile::Damaged:
        return tr("The database file \"%1\" is damaged: part of it is missing or cannot be read, "
                  "as when a copy of it was cut short.\n\n%2 %3")
            .arg(path, leftAlone, putBack);
    case DatabaseFile::ReadOnly:
        return tr("The database file \"%1\" is read-only, so %2 cannot save records in it.\n\n%3 "
                  "Allow changes to the file and start %2 again.")
            .arg(path, program, leftAlone);
    case DatabaseFile::InUse:
        return tr("The database file \"%1\" is in use by another program.\n\n%2 Close the other "
                  "program and start %3 again.")
            .arg(path, leftAlone, program);
    case DatabaseFile::Newer:
        return tr("The database file \"%1\" was written by a newer version of %2, which keeps its "
                  "records in a way this one does not know.\n\n%3 Start that version of %2 to work "
                  "with it.")
            .arg(path, program, leftAlone);
    case DatabaseFile::Unreadable:
        return tr("The database file \"%1\" cannot be read:\n%2\n\n%3")
            .arg(path, check.detail, leftAlone);
    }
    return {};
}

} // namespace halvo
