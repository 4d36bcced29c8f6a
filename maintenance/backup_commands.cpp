#include "backup_commands.h"

#include "copy_if_present.h"
#include "database_copy.h"

#include "data/connection.h"
#include "data/connection_string.h"
#include "lock/file_lock.h"
#include "platform/copy_progress.h"
#include "platform/desktop.h"
#include "platform/folders.h"
#include "platform/prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace halvo {

namespace {

const QString databaseFilter = QStringLiteral("All Files (*.*);;Database Files(*.mdb)");
const QString databaseFiles = QStringLiteral("Database Files(*.mdb)");

// An older backup that has this day's name (1 November and 11 January give one name) is moved
// aside under a name with its own date, rather than replaced; one of the same day is replaced,
// as a second backup on a day always was.
Status moveOlderBackupAside(const QString& target, const QDate& today)
{
    const QFileInfo existing(target);
    if (!existing.isFile())
        return {};
    const QDate made = existing.lastModified().date();
    if (made == today)
        return {};
    const QString aside =
        freeFileName(existing.absolutePath(), existing.completeBaseName() + QStringLiteral(" from ")
                                                  + made.toString(QStringLiteral("yyyy-MM-dd"))
                                                  + QStringLiteral(".mdb"));
    if (!QFile::rename(target, aside))
        return Error{QStringLiteral("The older backup \"%1\" could not be moved aside to \"%2\".")
                         .arg(target, aside)};
    return {};
}

// Where the replaced live file is kept, beside it, under a name that says what it is.
QString keptName(const QString& live, const QDateTime& moment)
{
    const QFileInfo info(live);
    return freeFileName(info.absolutePath(), keptBeforeRestoreName(info.fileName(), moment));
}

void tellFailure(QWidget* parent, const QString& text, const QString& title)
{
    prompts().message(parent, text, title, Prompts::Buttons::Ok, Prompts::Icon::Critical);
}

// The key that opens a backup as a whole database of ours: the live file's, the fixed password,
// or, for a backup locked with another password, the key of the password the user gives for it.
Result<QString> backupKey(const QString& source, const QString& liveKey, QWidget* parent = nullptr)
{
    const Status withLive = checkDatabaseCopy(source, liveKey);
    if (withLive)
        return liveKey;
    if (liveKey != DatabasePassword && checkDatabaseCopy(source, DatabasePassword))
        return QString(DatabasePassword);
    const Result<QByteArray> salt = fileSalt(source);
    if (!salt || !isLockSalt(salt.value()))
        return withLive.error();
    const std::optional<QString> typed = prompts().password(
        parent,
        QStringLiteral("The backup \"%1\" is locked with another password. Enter the password "
                       "it was made with:")
            .arg(source),
        QStringLiteral("Restore from Backup"));
    if (!typed)
        return Error{QStringLiteral("it is locked with another password, which was not given.")};
    Result<QString> key = lockKey(*typed, salt.value());
    if (!key)
        return key.error();
    if (!checkDatabaseCopy(source, key.value()))
        return Error{QStringLiteral("the password does not open it.")};
    return key;
}

} // namespace

BackupCommands::BackupCommands(BackupHost host) : host(std::move(host)) {}

QString BackupCommands::backupFileName(const QDate& day)
{
    return QStringLiteral("HALVO_%1%2%3.mdb").arg(day.month()).arg(day.day()).arg(day.year());
}

QString BackupCommands::snapshotFileName(const QDateTime& moment)
{
    const QDate d = moment.date();
    const QTime t = moment.time();
    return QStringLiteral("HALVO1.0_%1%2%3_%4%5%6.mdb")
        .arg(d.day())
        .arg(d.month())
        .arg(d.year())
        .arg(t.hour())
        .arg(t.minute())
        .arg(t.second());
}

QString BackupCommands::backupFolder() const
{
    return QDir(host.dataFolder).filePath(QStringLiteral("backup"));
}

QString BackupCommands::liveDatabase() const { return databasePath(host.dataFolder); }

// The folder is looked up by its exact name, "backup"; a folder that differs only in letter case
// is not taken for it.
bool BackupCommands::makeBackupFolder()
{
    const QStringList folders = QDir(host.dataFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (folders.contains(QStringLiteral("backup")))
        return true;
    if (::mkdir(QFile::encodeName(backupFolder()).constData(), 0700) == 0)
        return true;
    tellFailure(host.window,
                QStringLiteral("The backup folder \"%1\" could not be made: %2")
                    .arg(backupFolder(), QString::fromLocal8Bit(std::strerror(errno))),
                QStringLiteral("Backup Database"));
    return false;
}

// The backup folder is there (made if need be) and so is the live file; each failure is told.
bool BackupCommands::backupFolderAndLiveFileReady()
{
    if (!makeBackupFolder())
        return false;
    if (!QFileInfo(liveDatabase()).isFile()) {
        DBBackup::reportNotValid(liveDatabase(), host.window);
        return false;
    }
    return true;
}

void BackupCommands::Backup()
{
    if (!backupFolderAndLiveFileReady())
        return;
    const QString live = liveDatabase();
    const QString target = QDir(backupFolder()).filePath(backupFileName(Clock::today()));
    const QString title = QStringLiteral("Backup Database");
    const auto failed = [&](const QString& reason) {
        tellFailure(host.window,
                    QStringLiteral("The database could not be backed up to:\r\n%1\r\n\r\n%2")
                        .arg(target, reason),
                    title);
    };
    if (Status aside = moveOlderBackupAside(target, Clock::today()); !aside)
        return failed(aside.error().description);
    Result<Connection> db = Connection::openFile(live, DatabasePassword);
    if (!db)
        return failed(db.error().description);
    // The backup is the file's bytes: a locked file's backup is locked with the same key.
    CopyProgressWindow progress(host.window, QStringLiteral("Backing up the database..."));
    if (Status copied = copyLiveDatabase(db.value(), target, fileKey(live), progress.callback());
        !copied)
        return failed(copied.error().description);
    // The copy carries the moment it was made by the program's clock, which tells a later
    // backup of the same name whether it is of the same day.
    QFile made(target);
    if (made.open(QIODevice::ReadWrite))
        (void)made.setFileTime(Clock::now(), QFileDevice::FileModificationTime);
    made.close();
    prompts().message(host.window,
                      QStringLiteral("Database has been backed up to: \r\n") + target
                          + QStringLiteral("..."),
                      title);
}

void BackupCommands::Restore()
{
    const QString title = QStringLiteral("Restore from Backup");
    if (prompts().message(host.window,
                          QStringLiteral("Restoring from backup will replace current data. Do "
                                         "you wish to proceed?"),
                          QStringLiteral("Restore Database"), Prompts::Buttons::YesNo,
                          Prompts::Icon::Question)
        != Prompts::Answer::Yes)
        return;
    const QStringList folders = QDir(host.dataFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (!folders.contains(QStringLiteral("backup"))) {
        prompts().message(host.window, QStringLiteral("No backups found..."));
        return;
    }
    QDir::setCurrent(backupFolder());
    const QString chosen =
        prompts().openFileName(host.window, QStringLiteral("Restore From Backup"), backupFolder(),
                               databaseFilter, databaseFiles);
    if (chosen.isEmpty())
        return;
    const QString source = QFileInfo(chosen).absoluteFilePath();
    if (!QFileInfo(source).isFile()) {
        DBBackup::reportNotValid(chosen, host.window);
        return;
    }
    const QString leftAlone = QStringLiteral("The current data is left as it is.");
    const QString live = liveDatabase();
    // The chosen file is looked at before anything is closed or replaced: only a whole database
    // of ours, which its key opens, takes the live file's place.
    const Result<QString> sourceKey = backupKey(source, fileKey(live), host.window);
    if (!sourceKey) {
        tellFailure(host.window,
                    QStringLiteral("The file \"%1\" cannot be restored: %2\r\n\r\n%3")
                        .arg(source, sourceKey.error().description, leftAlone),
                    title);
        return;
    }
    // A backup keyed otherwise than the live file takes its key, written anew beside it before
    // anything is replaced; into a locked file it also takes the password in force, so that the
    // password that opens the file stays the one the user knows.
    QString restoring = source;
    const QString rekeyed = live + QStringLiteral(".restoring-keyed");
    const auto removeRekeyed = qScopeGuard([&] { QFile::remove(rekeyed); });
    if (sourceKey.value() != fileKey(live)) {
        std::optional<QString> passwordRow;
        if (isLockKey(fileKey(live))) {
            Result<Connection> db = Connection::openFile(live, DatabasePassword);
            Result<QVariant> row = db ? db.value().scalar(QStringLiteral(
                                            "SELECT Password FROM tblUser ORDER BY rowid LIMIT 1"))
                                      : Result<QVariant>(db.error());
            if (row)
                passwordRow = row.value().toString();
        }
        CopyProgressWindow progress(host.window, QStringLiteral("Restoring the database..."));
        if (Status keyed = writeRekeyedCopy(source, sourceKey.value(), rekeyed, fileKey(live),
                                            passwordRow, progress.callback());
            !keyed) {
            tellFailure(host.window,
                        QStringLiteral("The file \"%1\" cannot be restored: %2\r\n\r\n%3")
                            .arg(source, keyed.error().description, leftAlone),
                        title);
            return;
        }
        restoring = rekeyed;
    }
    if (host.closeDatabaseWindows && !host.closeDatabaseWindows()) {
        tellFailure(host.window,
                    QStringLiteral("The backup was not restored: a window that shows the data "
                                   "stayed open. Close it and restore again.\r\n\r\n%1")
                        .arg(leftAlone),
                    title);
        return;
    }
    const QString kept = keptName(live, Clock::now());
    Status replaced = [&] {
        CopyProgressWindow progress(host.window, QStringLiteral("Restoring the database..."));
        return replaceLiveDatabase(restoring, live, kept, progress.callback());
    }();
    if (!replaced) {
        tellFailure(host.window,
                    QStringLiteral("The backup could not be restored: %1\r\n\r\n%2")
                        .arg(replaced.error().description, leftAlone),
                    title);
        if (host.showPropertyEditor)
            host.showPropertyEditor();
        return;
    }
    // The restored file is opened as every window will open it, before success is told.
    if (Result<Connection> reopened = Connection::openFile(live, DatabasePassword); !reopened) {
        tellFailure(host.window,
                    QStringLiteral("The restored database does not open: %1\r\n\r\nThe file it "
                                   "replaced is kept as \"%2\".")
                        .arg(reopened.error().description, kept),
                    title);
        return;
    }
    if (host.showPropertyEditor)
        host.showPropertyEditor();
    prompts().message(host.window, QStringLiteral("Backup has been restored..."), title);
}

// The snapshot is written compacted straight from the live file, encrypted with its password;
// the chosen place in the Save dialog gets a copy of it (the dialog proposes the snapshot's own
// name in the backup folder, where the snapshot stays either way).
void BackupCommands::SaveToDisk()
{
    if (!backupFolderAndLiveFileReady())
        return;
    const QString live = liveDatabase();
    const QString title = QStringLiteral("Save Database to Disk");
    const QString snapshot = QDir(backupFolder()).filePath(snapshotFileName(Clock::now()));
    Result<Connection> db = Connection::openFile(live, DatabasePassword);
    Status made = db ? writeCompactedCopy(db.value(), snapshot, fileKey(live))
                     : Status(db.error());
    if (!made) {
        tellFailure(host.window,
                    QStringLiteral("The database could not be saved to:\r\n%1\r\n\r\n%2")
                        .arg(snapshot, made.error().description),
                    title);
        return;
    }
    const QString chosen =
        prompts().saveFileName(host.window, title, snapshot, databaseFilter, databaseFiles);
    if (chosen.isEmpty() || QFileInfo(chosen).absoluteFilePath() == snapshot)
        return;
    // The copy would take the live file's place, or its log's.
    if (Status other = notHeldByEngine(chosen); !other) {
        tellFailure(host.window, other.error().description, title);
        return;
    }
    if (!DBBackup::CopyIfPresent(snapshot, chosen, host.window))
        tellFailure(host.window,
                    QStringLiteral("The database could not be saved to:\r\n%1").arg(chosen), title);
}

} // namespace halvo
