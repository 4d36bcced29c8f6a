#include "database_copy.h"

#include "data/connection.h"
#include "data/schema.h"
#include "data/sqlite_statement.h"
#include "platform/folders.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace halvo {

namespace {

using detail::engineError;

constexpr qint64 chunkSize = 4 * 1024 * 1024;

// Holds the write-ahead log from being emptied into the file for as long as it lives: a window
// may still save while the file is copied, and its change then waits in the log, so that the
// bytes of the file stay one committed state.
class LogHeld {
public:
    explicit LogHeld(const Connection& live) : db(live.handle())
    {
        before = sqlite3_wal_autocheckpoint(db, 0) == SQLITE_OK;
    }
    ~LogHeld()
    {
        if (before)
            sqlite3_wal_autocheckpoint(db, 1000);
    }
    LogHeld(const LogHeld&) = delete;
    LogHeld& operator=(const LogHeld&) = delete;

private:
    sqlite3* db;
    bool before = false;
};

Error fileError(const QString& doing, const QString& path, const QFile& file)
{
    return Error{QStringLiteral("%1 \"%2\": %3").arg(doing, path, file.errorString())};
}

// Moves a file over the target's place in one step (a file there is replaced). On failure both
// stay as they were.
Status moveOver(const QString& from, const QString& target)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(target).constData())
        != 0)
        return Error{QStringLiteral("\"%1\" could not be put in place as \"%2\": %3")
                         .arg(from, target, QString::fromLocal8Bit(std::strerror(errno)))};
    return {};
}

// A finished copy goes in place; the partial file goes when it cannot.
Status putInPlace(const QString& partial, const QString& target)
{
    Status moved = moveOver(partial, target);
    if (!moved)
        QFile::remove(partial);
    return moved;
}

// Where a copy's bytes come from: the live file through the engine's own handle of it (a
// descriptor of one's own would drop the engine's locks when it closes), or a file no connection
// holds (a backup being restored) through a plain read.
struct ByteSource {
    qint64 size = 0;
    std::function<Status(qint64 offset, QByteArray& chunk)> read; // fills the chunk's length
};

ByteSource throughEngine(const Connection& live, qint64 size)
{
    return {size, [live](qint64 offset, QByteArray& chunk) {
                return live.readFileBytes(offset, chunk.data(), chunk.size());
            }};
}

Result<ByteSource> fromFile(const QString& path)
{
    if (heldByEngine(path))
        return Error{QStringLiteral("\"%1\" is the database file in use.").arg(path)};
    auto file = std::make_shared<QFile>(path);
    if (!file->open(QIODevice::ReadOnly))
        return fileError(QStringLiteral("The database file could not be read:"), path, *file);
    const auto read = [file, path](qint64 offset, QByteArray& chunk) -> Status {
        if (!file->seek(offset) || file->read(chunk.data(), chunk.size()) != chunk.size())
            return fileError(QStringLiteral("The database file could not be read:"), path, *file);
        return {};
    };
    return ByteSource{file->size(), read};
}

// Copies the bytes and reads each piece back from the copy as it is written, so that what the
// copy holds is known to be the file's bytes without reading the file twice.
Status copyBytes(const ByteSource& from, const QString& target, const CopyProgress& progress)
{
    QFile to(target);
    if (!to.open(QIODevice::ReadWrite | QIODevice::Truncate))
        return fileError(QStringLiteral("The copy could not be written:"), target, to);
    // A copy of the records is the user's alone, whatever the umask allows.
    (void)::fchmod(to.handle(), S_IRUSR | S_IWUSR);
    const qint64 total = from.size;
    QByteArray chunk;
    QByteArray back(chunkSize, Qt::Uninitialized);
    for (qint64 done = 0; done < total;) {
        chunk.resize(std::min(chunkSize, total - done));
        if (Status read = from.read(done, chunk); !read)
            return read;
        if (to.write(chunk) != chunk.size() || !to.flush())
            return fileError(QStringLiteral("The copy could not be written:"), target, to);
        if (::pread(to.handle(), back.data(), size_t(chunk.size()), off_t(done)) != chunk.size()
            || std::memcmp(back.constData(), chunk.constData(), size_t(chunk.size())) != 0)
            return Error{
                QStringLiteral("The copy \"%1\" differs from the database file.").arg(target)};
        done += chunk.size();
        if (progress && !progress(done, total))
            return Error{QStringLiteral("The copy was stopped.")};
    }
    if (to.size() != total)
        return Error{QStringLiteral("The copy \"%1\" differs from the database file.").arg(target)};
    // A backup is only a backup once it is on the disk.
    if (::fsync(to.handle()) != 0)
        return fileError(QStringLiteral("The copy could not be written:"), target, to);
    return {};
}

// Opens a file with the engine's flags and keys it, outside the registry of shared handles.
Result<sqlite3*> openKeyedFile(const QByteArray& name, int flags, const QString& path,
                               const QString& key)
{
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(name.constData(), &db, flags, nullptr);
    if (rc == SQLITE_OK) {
        const QByteArray bytes = key.toUtf8();
        rc = sqlite3_key(db, bytes.constData(), int(bytes.size()));
    }
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, detail::cipherPageSize, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        Error e = engineError(db, rc, QStringLiteral("\"%1\" could not be opened").arg(path));
        sqlite3_close_v2(db);
        return e;
    }
    return db;
}

// Opens a copy read-only without side files (no log, no shared memory: the copy's log is
// empty by how it was made, and nothing writes to it), keyed with the password.
Result<sqlite3*> openCopy(const QString& path, const QString& password)
{
    if (!QFileInfo(path).isFile())
        return Error{QStringLiteral("\"%1\" is not a file.").arg(path)};
    // Opened without locks, the live file would lose the engine's when this handle closes; and
    // the file in use is no copy to restore.
    if (heldByEngine(path))
        return Error{QStringLiteral("\"%1\" is the database file in use.").arg(path)};
    QUrl uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    uri.setQuery(QStringLiteral("mode=ro&immutable=1"));
    return openKeyedFile(uri.toEncoded(), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, path, password);
}

Result<QStringList> column(sqlite3* db, const QString& sql)
{
    Result<detail::Statement> stmt = detail::Statement::prepare(db, sql);
    if (!stmt)
        return stmt.error();
    QStringList values;
    for (;;) {
        Result<bool> row = stmt.value().step();
        if (!row)
            return row.error();
        if (!row.value())
            return values;
        values.append(stmt.value().value(0).toString());
    }
}

// The copy opens with the password and holds every table; with `fully`, every page is read
// and every index checked against its table.
Status checkCopy(const QString& path, const QString& password, bool fully)
{
    Result<sqlite3*> opened = openCopy(path, password);
    if (!opened)
        return opened.error();
    sqlite3* db = opened.value();
    Status result = [&]() -> Status {
        Result<QStringList> tables =
            column(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
        if (!tables)
            return Error{QStringLiteral("\"%1\" does not open with the password, or it is not a "
                                        "database: %2")
                             .arg(path, tables.error().description),
                         tables.error().code};
        for (const QString& name : tableNames())
            if (!tables.value().contains(name, Qt::CaseInsensitive))
                return Error{QStringLiteral("\"%1\" is not a HALVO database: it has no table %2.")
                                 .arg(path, name)};
        if (fully) {
            Result<QStringList> check = column(db, QStringLiteral("PRAGMA integrity_check"));
            if (!check)
                return Error{QStringLiteral("\"%1\" is damaged: %2")
                                 .arg(path, check.error().description),
                             check.error().code};
            if (check.value() != QStringList{QStringLiteral("ok")})
                return Error{QStringLiteral("\"%1\" is damaged: %2")
                                 .arg(path, check.value().join(QStringLiteral("; ")))};
        }
        return {};
    }();
    sqlite3_close_v2(db);
    return result;
}

QString partialName(const QString& target) { return target + QStringLiteral(".partial"); }

// Opens a file of ours to be written, keyed, without the registry of shared handles: it is a
// working copy, never the live file.
Result<sqlite3*> openWritable(const QString& path, const QString& key)
{
    return openKeyedFile(QFile::encodeName(path), SQLITE_OPEN_READWRITE, path, key);
}

// A rename is only lasting once the folder that holds the name is on the disk.
Status syncFolderOf(const QString& path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return {};
    ::fsync(fd);
    ::close(fd);
    return {};
}

// Gives a file no connection holds a second name: a hard link, so that nothing is copied and the
// file is never without its first name; where the file system has no links, a copy read back
// as it is written.
Status keepUnderSecondName(const QString& path, const QString& second)
{
    if (::link(QFile::encodeName(path).constData(), QFile::encodeName(second).constData()) == 0)
        return {};
    const QString why = QString::fromLocal8Bit(std::strerror(errno));
    if (errno != EPERM && errno != EXDEV && errno != ENOTSUP && errno != EOPNOTSUPP)
        return Error{why};
    Result<ByteSource> from = fromFile(path);
    if (!from)
        return from.error();
    const QString partial = partialName(second);
    if (Status copied = copyBytes(from.value(), partial, {}); !copied) {
        QFile::remove(partial);
        return copied;
    }
    return putInPlace(partial, second);
}

// Tells the progress how far the export has come, by the size of the file it writes against
// the size of the one it reads; a progress that answers false stops the export.
struct ExportProgress {
    const CopyProgress* progress;
    QByteArray target;
    qint64 total;
    static int tick(void* self)
    {
        auto* p = static_cast<ExportProgress*>(self);
        struct stat info {};
        const qint64 done = ::stat(p->target.constData(), &info) == 0 ? qint64(info.st_size) : 0;
        return (*p->progress)(std::min(done, p->total), p->total) ? 0 : 1;
    }
};

// The export copies the tables but not the number of the last schema step the file has taken:
// without it the copy would take every step again when it is opened.
Status keepSchemaStep(sqlite3* from)
{
    Result<detail::Statement> read =
        detail::Statement::prepare(from, QStringLiteral("PRAGMA main.user_version"));
    Result<bool> row = read ? read.value().step() : Result<bool>(read.error());
    if (!row)
        return row.error();
    const QByteArray mark =
        QByteArray("PRAGMA rekeyed.user_version = ") + QByteArray::number(read.value().integer(0));
    if (int rc = sqlite3_exec(from, mark.constData(), nullptr, nullptr, nullptr); rc != SQLITE_OK)
        return engineError(from, rc, QStringLiteral("The copy could not be written"));
    return {};
}

// Every table of the database `from` is open on, written anew into a new file keyed with `key`
// (cipher page size and all), checked in full, and put at `target` once whole.
Status writeCopy(sqlite3* from, const QString& target, const QString& key,
                 const std::optional<QString>& passwordRow, const CopyProgress& progress,
                 qint64 total)
{
    const QString partial = partialName(target);
    QFile::remove(partial);
    QFile::remove(partial + QStringLiteral("-journal"));
    Status made = [&]() -> Status {
        // The source was opened to be written, not to make files: an empty file is made first
        // for the engine to fill.
        QFile empty(partial);
        if (!empty.open(QIODevice::WriteOnly))
            return fileError(QStringLiteral("The copy could not be written:"), partial, empty);
        (void)::fchmod(empty.handle(), S_IRUSR | S_IWUSR);
        empty.close();
        Result<detail::Statement> attach =
            detail::Statement::prepare(from, QStringLiteral("ATTACH DATABASE ? AS rekeyed KEY ?"));
        if (!attach)
            return attach.error();
        if (Status bound = attach.value().bind({partial, key}); !bound)
            return bound;
        if (Status attached = attach.value().run(); !attached)
            return attached;
        ExportProgress tracker{&progress, QFile::encodeName(partial), total};
        if (progress && total > 0)
            sqlite3_progress_handler(from, 20000, &ExportProgress::tick, &tracker);
        Status exported = [&]() -> Status {
            if (int rc = sqlite3_exec(from,
                                      "PRAGMA rekeyed.cipher_page_size = 4096;"
                                      "SELECT sqlcipher_export('rekeyed');",
                                      nullptr, nullptr, nullptr);
                rc != SQLITE_OK)
                return rc == SQLITE_INTERRUPT
                           ? Status(Error{QStringLiteral("The copy was stopped.")})
                           : Status(engineError(from, rc, QStringLiteral("The copy could not be written")));
            if (Status numbered = keepSchemaStep(from); !numbered)
                return numbered;
            if (!passwordRow)
                return {};
            if (int rc = sqlite3_exec(from, "DELETE FROM rekeyed.tblUser;", nullptr, nullptr, nullptr);
                rc != SQLITE_OK)
                return engineError(from, rc, QStringLiteral("The copy's password could not be written"));
            Result<detail::Statement> row = detail::Statement::prepare(
                from, QStringLiteral("INSERT INTO rekeyed.tblUser (Password) VALUES (?)"));
            if (!row)
                return row.error();
            if (Status bound = row.value().bind({*passwordRow}); !bound)
                return bound;
            return row.value().run();
        }();
        sqlite3_progress_handler(from, 0, nullptr, nullptr);
        const int detached = sqlite3_exec(from, "DETACH DATABASE rekeyed;", nullptr, nullptr, nullptr);
        if (!exported)
            return exported;
        if (detached != SQLITE_OK)
            return engineError(from, detached, QStringLiteral("The copy could not be finished"));
        return checkCopy(partial, key, true);
    }();
    if (!made) {
        QFile::remove(partial);
        QFile::remove(partial + QStringLiteral("-journal"));
        return made;
    }
    return putInPlace(partial, target);
}

} // namespace

Status copyLiveDatabase(const Connection& live, const QString& target, const QString& password,
                        const CopyProgress& progress)
{
    const QString partial = partialName(target);
    QFile::remove(partial);
    Status made = [&]() -> Status {
        if (Status brought = live.checkpoint(); !brought)
            return brought;
        LogHeld held(live);
        // The size is taken once the log is held: what the copy holds is the file as it is now.
        Result<qint64> size = live.fileSize();
        if (!size)
            return size.error();
        if (Status copied = copyBytes(throughEngine(live, size.value()), partial, progress);
            !copied)
            return copied;
        return checkCopy(partial, password, false);
    }();
    if (!made) {
        QFile::remove(partial);
        return made;
    }
    return putInPlace(partial, target);
}

Status writeCompactedCopy(const Connection& live, const QString& target,
                          const QString& password)
{
    return writeCopy(live.handle(), target, password, std::nullopt, {}, 0);
}

Status writeRekeyedCopy(const QString& source, const QString& sourceKey, const QString& target,
                        const QString& key, const std::optional<QString>& passwordRow,
                        const CopyProgress& progress)
{
    // The export writes into a copy of the source's bytes, opened to be written; the source
    // itself (a backup of the user's) is only read.
    const QString working = target + QStringLiteral(".source");
    Result<ByteSource> from = fromFile(source);
    if (!from)
        return from.error();
    if (Status copied = copyBytes(from.value(), working, {}); !copied) {
        QFile::remove(working);
        return copied;
    }
    Result<sqlite3*> opened = openWritable(working, sourceKey);
    Status made = opened ? writeCopy(opened.value(), target, key, passwordRow, progress,
                                     from.value().size)
                         : Status(opened.error());
    if (opened)
        sqlite3_close_v2(opened.value());
    QFile::remove(working);
    QFile::remove(working + QStringLiteral("-journal"));
    return made;
}

Status rekeyLiveDatabase(const Connection& live, const QString& newKey,
                         const std::optional<QString>& passwordRow, const CopyProgress& progress)
{
    if (live.isInTransaction())
        return Error{QStringLiteral("The database is in the middle of a change; try again when "
                                    "it is saved.")};
    const QString path = live.filePath();
    const QString incoming = path + QStringLiteral(".rekeyed");
    Result<qint64> size = live.fileSize();
    if (!size)
        return size.error();
    const qint64 changesBefore = live.changesMade();
    // The copy is read through a connection of its own, so that the windows may go on reading
    // through theirs while the progress is shown. It is the engine's too, which shares its locks
    // on the file with the windows' connection.
    Status written = [&]() -> Status {
        Result<sqlite3*> reader = openWritable(path, fileKey(path));
        if (!reader)
            return reader.error();
        Status made = writeCopy(reader.value(), incoming, newKey, passwordRow, progress,
                                size.value());
        sqlite3_close_v2(reader.value());
        return made;
    }();
    if (!written)
        return written;
    // A change saved while the copy was written is not in it: nothing is replaced. Counted here,
    // while the handle is open; nothing runs between this and its close.
    if (live.changesMade() != changesBefore) {
        QFile::remove(incoming);
        return Error{QStringLiteral("A change was saved while the database was being keyed "
                                    "anew; nothing was changed. Try again.")};
    }
    Status replaced = replaceOpenDatabase(path, newKey, [&]() -> Status {
        // The last handle's close has emptied the log into the old file and removed it. A log
        // still there means another program has the file open (the sqlcipher command line): it
        // would be read into the new file.
        if (QFileInfo::exists(path + QStringLiteral("-wal")))
            return Error{QStringLiteral("Another program has the database file open; nothing was "
                                        "changed. Close it and try again.")};
        if (Status moved = moveOver(incoming, path); !moved)
            return moved;
        return syncFolderOf(path);
    });
    QFile::remove(incoming);
    return replaced;
}

Status replaceLiveDatabase(const QString& chosen, const QString& live,
                           const QString& keptAs, const CopyProgress& progress,
                           const std::function<void(RestoreStep)>& reached)
{
    const auto step = [&](RestoreStep done) {
        if (reached)
            reached(done);
    };
    const auto inUse = [&] {
        return Error{QStringLiteral("The database file \"%1\" is still in use by an open window.")
                         .arg(live)};
    };
    if (databaseInUse(live))
        return inUse();
    releaseDatabase(live);
    // From the check to the end nothing of the program opens the live file: the progress below
    // lets window events run, and a tick of the summary would otherwise open the old file again
    // and hold it while it is renamed away.
    const ReplacingFile replacing(live);
    if (heldByEngine(live))
        return inUse();

    // The chosen file is copied next to the live one first, so that the last step is a rename
    // within one folder, which either happens whole or not at all.
    const QString incoming = QFileInfo(live).dir().filePath(restoringCopyName(QFileInfo(live).fileName()));
    QFile::remove(incoming);
    Result<ByteSource> from = fromFile(chosen);
    if (!from)
        return from.error();
    if (Status copied = copyBytes(from.value(), incoming, progress); !copied) {
        QFile::remove(incoming);
        return copied;
    }
    step(RestoreStep::Copied);

    // Checked again just before the renames.
    const auto refuse = [&](const Error& why) {
        QFile::remove(incoming);
        return why;
    };
    if (heldByEngine(live))
        return refuse(inUse());
    // The last connection's close emptied the write-ahead log into the file and removed it. A
    // log still there is another program's, which has the file open (the sqlcipher command
    // line): its changes are in it, and put beside the restored file it would be read into it.
    if (QFileInfo::exists(live + QStringLiteral("-wal")))
        return refuse(Error{QStringLiteral("Another program has the database file open; nothing "
                                           "was changed. Close it and try again.")});

    // At every moment the live name holds either the records it held or the restored ones: the
    // replaced file first gets its kept name beside its own, and one rename then puts the
    // restored file over the live name.
    const bool hadLive = QFileInfo::exists(live);
    if (hadLive) {
        if (Status kept = keepUnderSecondName(live, keptAs); !kept)
            return refuse(Error{QStringLiteral("The current database file could not be kept as "
                                               "\"%1\" (%2); it is left in its place.")
                                    .arg(keptAs, kept.error().description)});
        keepPrivate(keptAs);
        (void)syncFolderOf(live);
        step(RestoreStep::Kept);
        // Shared memory left by a program that was killed belongs to the old file.
        const QString memory = live + QStringLiteral("-shm");
        if (QFileInfo::exists(memory))
            (void)moveOver(memory, keptAs + QStringLiteral("-shm"));
    }
    if (Status placed = moveOver(incoming, live); !placed) {
        QFile::remove(incoming);
        if (hadLive)
            QFile::remove(keptAs);
        return placed;
    }
    (void)syncFolderOf(live);
    step(RestoreStep::Placed);
    return {};
}

Status checkDatabaseCopy(const QString& path, const QString& password)
{
    return checkCopy(path, password, true);
}

} // namespace halvo
