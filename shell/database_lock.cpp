#include "database_lock.h"

#include "password_fields.h"
#include "password_store.h"

#include "data/connection.h"
#include "data/connection_string.h"
#include "lock/file_lock.h"
#include "maintenance/database_copy.h"
#include "platform/copy_progress.h"
#include "platform/prompts.h"
#include "platform/settings.h"

#include <QApplication>
#include <QCoreApplication>
#include <QSet>
#include <sqlite3.h>

namespace halvo {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("DatabaseLock", text); }

// The files asked about in this run: a user who said No after the first password is not asked
// again at the login that follows.
QSet<QString>& askedThisRun()
{
    static QSet<QString> asked;
    return asked;
}

} // namespace

Result<bool> passwordOpens(const QString& dataFolder, const QString& typed)
{
    const QString path = databasePath(dataFolder);
    if (!isLockedFile(path))
        return PasswordStore(dataFolder).matches(typed);
    Result<QByteArray> salt = fileSalt(path);
    if (!salt)
        return salt.error();
    Result<QString> key = lockKey(typed, salt.value());
    if (!key)
        return key.error();
    // While the program holds the file (the lock when away), the key it holds it with is the
    // answer; before, opening the file is.
    if (heldByEngine(path))
        return key.value() == fileKey(path);
    Result<Connection> opened = Connection::openFile(path, key.value());
    if (!opened)
        return opened.error().code == SQLITE_NOTADB // the wrong key
                   ? Result<bool>(false)
                   : Result<bool>(Error{opened.error().description, RightPasswordFileUnusable});
    setFileKey(path, key.value());
    return true;
}

Status lockDatabase(QWidget* parent, const QString& dataFolder, const QString& password)
{
    const QString path = databasePath(dataFolder);
    Result<QString> stored = PasswordStore::hash(password);
    if (!stored)
        return stored.error();
    Result<QString> key = [&] {
        BusyPointer busy;
        return lockKey(password, newLockSalt());
    }();
    if (!key)
        return key.error();
    Result<Connection> live = Connection::openFile(path, DatabasePassword);
    if (!live)
        return live.error();
    CopyProgressWindow progress(parent, tr("Locking the database file..."));
    return rekeyLiveDatabase(live.value(), key.value(), stored.value(), progress.callback());
}

void offerToLock(QWidget* parent, const QString& dataFolder, const QString& password)
{
    const QString path = databasePath(dataFolder);
    if (askedThisRun().contains(path) || password.isEmpty()
        || !Settings::value(DontOfferLockKey).isEmpty() || isLockedFile(path))
        return;
    askedThisRun().insert(path);
    const Prompts::Answer answer = prompts().message(
        parent,
        tr("Lock the database file with your password?\n\nThen only your password opens the "
           "file and its backups, here or anywhere they are copied. Without the password the "
           "records cannot be read by anyone, so keep it safe."),
        tr("Lock Database File"), Prompts::Buttons::YesNoDontAsk, Prompts::Icon::Question);
    if (answer == Prompts::Answer::DontAsk)
        Settings::setValue(DontOfferLockKey, QStringLiteral("1"));
    if (answer != Prompts::Answer::Yes)
        return;
    if (Status locked = lockDatabase(parent, dataFolder, password); !locked)
        prompts().message(parent,
                          tr("The database file could not be locked; it is as it was.\n\n%1")
                              .arg(locked.error().description),
                          tr("Lock Database File"), Prompts::Buttons::Ok, Prompts::Icon::Critical);
}

} // namespace halvo
