#include "connection.h"
#include "connection_string.h"
#include "schema.h"
#include "shared_handle.h"
#include "sqlite_statement.h"

#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace halvo {

namespace {

using detail::engineError;
using detail::openKeyed;
using detail::registry;
using detail::registryKey;
using detail::SharedHandle;
using detail::Statement;
using detail::statOf;

QHash<QString, QString>& fileKeys()
{
    static QHash<QString, QString> keys;
    return keys;
}

// The first read proves the key: with a wrong one the engine sees no database at all.
Status firstRead(sqlite3* db, const QString& path)
{
    Result<Statement> probe =
        Statement::prepare(db, QStringLiteral("SELECT count(*) FROM sqlite_master"));
    Result<bool> row = probe ? probe.value().step() : Result<bool>(probe.error());
    if (row)
        return {};
    const int code = row.error().code;
    if (code == SQLITE_NOTADB)
        return Error{
            QStringLiteral("The password does not open \"%1\", or it is not a HALVO database.")
                .arg(path),
            code};
    // The key opened the first page, but pages it counts are missing or do not decrypt.
    if (code == SQLITE_CORRUPT)
        return Error{QStringLiteral("The database file \"%1\" is damaged: %2")
                         .arg(path, row.error().description),
                     code};
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        return Error{
            QStringLiteral("The database file \"%1\" is in use by another program.").arg(path),
            code};
    return Error{QStringLiteral("The database file \"%1\" cannot be read: %2")
                     .arg(path, row.error().description),
                 code};
}

Result<sqlite3*> keyAndCheck(sqlite3* db, const QString& path, const QString& password,
                             qint64 size)
{
    const QByteArray key = password.toUtf8();
    if (int rc = sqlite3_key(db, key.constData(), int(key.size())); rc != SQLITE_OK)
        return engineError(db, rc, QStringLiteral("The database could not be keyed"));
    if (int rc = sqlite3_exec(db, detail::cipherPageSize, nullptr, nullptr, nullptr); rc != SQLITE_OK)
        return engineError(db, rc, QStringLiteral("The database could not be keyed"));
    {
        Result<Statement> version = Statement::prepare(db, QStringLiteral("PRAGMA cipher_version"));
        Result<bool> row = version ? version.value().step() : Result<bool>(version.error());
        if (!row || !row.value() || version.value().value(0).toString().isEmpty())
            return Error{QStringLiteral("This program was built without database encryption.")};
    }
    sqlite3_busy_timeout(db, 2000);
    if (Status read = firstRead(db, path); !read)
        return read.error();
    // An encrypted database is made of whole pages. A file that is not, yet whose first page the
    // key opens, is one of ours cut short or with something added: the first read has told the
    // two apart from a file that is no database at all, and a damaged one is never written to.
    if (size % 512 != 0)
        return Error{QStringLiteral("The database file \"%1\" is damaged: it does not end on a "
                                    "whole page.")
                         .arg(path),
                     SQLITE_CORRUPT};
    if (sqlite3_db_readonly(db, "main") == 1)
        return Error{QStringLiteral("The database file \"%1\" is read-only.").arg(path)};
    if (Status known = detail::refuseNewerSchema(db, path); !known)
        return known.error();
    // A write-ahead log with normal syncing: a committed change survives the program being
    // killed at any moment, and a file is never left half-written, while a saved record costs
    // a millisecond instead of the three disk flushes of a rollback journal. Only a power cut
    // can take back the last few commits, never the file's consistency.
    // A page cache of 32 MB keeps what the summary re-reads every second decrypted in memory.
    if (int rc = sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA cache_size=-32768;", nullptr,
                              nullptr, nullptr);
        rc != SQLITE_OK)
        return engineError(db, rc, QStringLiteral("The database file \"%1\" cannot be written").arg(path));
    // The program works on a file it can write: one that another program keeps locked is refused
    // now, not at the user's first save.
    if (int rc = sqlite3_exec(db, "BEGIN IMMEDIATE; ROLLBACK;", nullptr, nullptr, nullptr);
        rc != SQLITE_OK)
        return Error{
            QStringLiteral("The database file \"%1\" is in use by another program.").arg(path), rc};
    // A file of an older release, a restored backup or a copy is brought up to date before any
    // window reads it.
    if (Status steps = detail::takeSchemaSteps(db, path, schemaSteps()); !steps)
        return steps.error();
    return db;
}

} // namespace

namespace detail {

// The key a password text stands for: the fixed password names the file's own key.
QString engineKey(const QString& path, const QString& password)
{
    return password == DatabasePassword ? fileKey(path) : password;
}

// Opens the engine's handle on the file and proves the key on it.
Result<sqlite3*> openKeyed(const QString& path, const QString& password, qint64 size)
{
    sqlite3* db = nullptr;
    const QByteArray name = QFile::encodeName(path);
    const int rc = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        Error e = engineError(db, rc, QStringLiteral("The database file \"%1\" cannot be opened").arg(path));
        sqlite3_close_v2(db);
        return e;
    }
    Result<sqlite3*> checked = keyAndCheck(db, path, password, size);
    if (!checked)
        sqlite3_close_v2(db);
    return checked;
}

} // namespace detail

void setFileKey(const QString& path, const QString& key)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (key == DatabasePassword)
        fileKeys().remove(absolute);
    else
        fileKeys().insert(absolute, key);
}

QString fileKey(const QString& path)
{
    return fileKeys().value(QFileInfo(path).absoluteFilePath(), DatabasePassword);
}

Status replaceOpenDatabase(const QString& path, const QString& newKey,
                           const std::function<Status()>& putInPlace)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QString oldKey = fileKey(absolute);
    const std::shared_ptr<SharedHandle> handle = registry().value(registryKey(absolute, oldKey));
    const QSet<const SharedHandle*>& handles = SharedHandle::open();
    const bool others = std::any_of(handles.cbegin(), handles.cend(), [&](const SharedHandle* h) {
        return h->path == absolute && h != handle.get();
    });
    if (others)
        return Error{QStringLiteral("The database file \"%1\" is open with another key.").arg(absolute)};

    if (handle) {
        if (sqlite3_get_autocommit(handle->db) == 0)
            return Error{QStringLiteral("The database file \"%1\" is in the middle of a change.")
                             .arg(absolute)};
        // Closing the last handle empties the write-ahead log into the file and removes it, so
        // that no log of the old file is left for the new one to read. A statement still running
        // keeps the handle open, and nothing is changed.
        if (int rc = sqlite3_close(handle->db); rc != SQLITE_OK)
            return engineError(handle->db, rc,
                               QStringLiteral("The database file \"%1\" is still being read").arg(absolute));
    }
    const Status placed = putInPlace();
    const QString key = placed ? newKey : oldKey;
    if (placed)
        setFileKey(absolute, newKey);
    if (!handle)
        return placed;

    registry().remove(registryKey(absolute, oldKey));
    struct stat info {};
    Result<sqlite3*> reopened = statOf(absolute, info)
                                    ? openKeyed(absolute, key, qint64(info.st_size))
                                    : Result<sqlite3*>(Error{QStringLiteral(
                                          "The database file \"%1\" does not exist.").arg(absolute)});
    if (!reopened) {
        // The connections that still hold the handle read nothing and write nothing from now
        // on: an empty database in memory stands in, and the file's place no longer matches it.
        sqlite3* none = nullptr;
        sqlite3_open_v2(":memory:", &none, SQLITE_OPEN_READWRITE, nullptr);
        handle->moveTo(none, 0, 0);
        return Error{QStringLiteral("The database file \"%1\" could not be opened again: %2")
                         .arg(absolute, reopened.error().description)};
    }
    handle->moveTo(reopened.value(), info.st_dev, info.st_ino);
    registry().insert(registryKey(absolute, key), handle);
    return placed;
}

} // namespace halvo
