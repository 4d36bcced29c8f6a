#include "connection.h"

#include "connection_string.h"
#include "schema.h"
#include "sqlite_statement.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <sys/stat.h>

namespace halvo {

namespace detail {

// One keyed SQLite handle on one file. Connections share it; it closes when the last of them
// and the registry below have let go of it.
class SharedHandle {
public:
    SharedHandle(sqlite3* db, QString path, dev_t device, ino_t inode)
        : db(db), path(std::move(path)), device(device), inode(inode)
    {
        open().insert(this);
    }
    ~SharedHandle()
    {
        open().remove(this);
        sqlite3_close_v2(db);
    }
    // Every handle still open, in the registry or only in connections that outlive it there.
    static QSet<const SharedHandle*>& open()
    {
        static QSet<const SharedHandle*> handles;
        return handles;
    }
    SharedHandle(const SharedHandle&) = delete;
    SharedHandle& operator=(const SharedHandle&) = delete;

    // The file keyed anew in this one's place: the connections that share the handle go on with
    // it. The old engine handle has been closed.
    void moveTo(sqlite3* newDb, dev_t newDevice, ino_t newInode)
    {
        db = newDb;
        device = newDevice;
        inode = newInode;
    }

    sqlite3* db;
    const QString path;
    dev_t device;
    ino_t inode;
};

} // namespace detail

namespace {

using detail::engineError;
using detail::SharedHandle;
using detail::Statement;

// Handles stay open between connections: the summary alone opens three connections a second,
// and keying a file again each time would cost more than all its queries.
QHash<QString, std::shared_ptr<SharedHandle>>& registry()
{
    // The set of open handles is made first, so that it is destroyed last: the handles this
    // registry still holds at the program's end take themselves out of it as they close.
    (void)SharedHandle::open();
    static QHash<QString, std::shared_ptr<SharedHandle>> handles;
    return handles;
}

QString registryKey(const QString& path, const QString& password)
{
    return path + QLatin1Char('\n') + password;
}

QHash<QString, QString>& fileKeys()
{
    static QHash<QString, QString> keys;
    return keys;
}

// The key a password text stands for: the fixed password names the file's own key.
QString engineKey(const QString& path, const QString& password)
{
    return password == DatabasePassword ? fileKey(path) : password;
}

bool sameFile(const SharedHandle& handle, const struct stat& now)
{
    return handle.device == now.st_dev && handle.inode == now.st_ino;
}

bool statOf(const QString& path, struct stat& info)
{
    return ::stat(QFile::encodeName(path).constData(), &info) == 0;
}

// Whether a handle is open on the file that `info` describes, whatever password opened it.
bool isHeld(const struct stat& info)
{
    const QSet<const SharedHandle*>& handles = SharedHandle::open();
    return std::any_of(handles.cbegin(), handles.cend(),
                       [&](const SharedHandle* h) { return sameFile(*h, info); });
}

const QByteArray plainHeader("SQLite format 3\0", 16);

// Checks that can be made on the file before the engine sees it, so that a file that is not a
// database is refused without being touched.
Status checkFile(const QString& path, struct stat& info)
{
    if (!statOf(path, info))
        return Error{QStringLiteral("The database file \"%1\" does not exist.").arg(path)};
    if (!S_ISREG(info.st_mode))
        return Error{QStringLiteral("\"%1\" is not a database file.").arg(path)};
    // Anything shorter than a page is no database. An empty file above all: the engine would
    // take it for a new database and write one into it.
    if (info.st_size < 1024)
        return Error{QStringLiteral("The file \"%1\" is not a HALVO database.").arg(path)};
    Result<bool> plain = isUnencryptedDatabase(path);
    if (!plain)
        return plain.error();
    if (plain.value())
        return Error{QStringLiteral("The file \"%1\" is not an encrypted HALVO database.").arg(path)};
    // Write permission is judged from the file's own permission bits, not only from what the
    // system would allow this user: a file the user marked read-only is not written to.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || !QFileInfo(path).isWritable())
        return Error{QStringLiteral("The database file \"%1\" is read-only.").arg(path)};
    return {};
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

QHash<QString, int>& filesBeingReplaced()
{
    static QHash<QString, int> files;
    return files;
}

Result<std::shared_ptr<SharedHandle>> openHandle(const QString& path, const QString& password)
{
    if (beingReplaced(path))
        return Error{QStringLiteral("The database file \"%1\" is being restored; it opens again "
                                    "once the restore is done.")
                         .arg(path),
                     SQLITE_BUSY};
    struct stat info {};
    if (Status s = checkFile(path, info); !s)
        return s.error();

    const QString key = registryKey(path, password);
    if (auto cached = registry().value(key)) {
        if (sameFile(*cached, info))
            return cached;
        // Another file was put in this one's place. While connections still use the old one,
        // its write-ahead log sits beside the new file and would be read into it.
        if (cached.use_count() > 2)
            return Error{QStringLiteral("The database file \"%1\" was replaced while it was "
                                        "still in use. Close every window and try again.")
                             .arg(path)};
        registry().remove(key);
    }

    Result<sqlite3*> checked = openKeyed(path, password, qint64(info.st_size));
    if (!checked)
        return checked.error();
    auto handle = std::make_shared<SharedHandle>(checked.value(), path, info.st_dev, info.st_ino);
    registry().insert(key, handle);
    return handle;
}

Result<Statement> prepared(sqlite3* db, const QString& sql, const QVariantList& params)
{
    Result<Statement> stmt = Statement::prepare(db, sql);
    if (!stmt)
        return stmt;
    if (Status s = stmt.value().bind(params); !s)
        return s.error();
    return stmt;
}

} // namespace

Connection::Connection(std::shared_ptr<detail::SharedHandle> shared) : shared(std::move(shared)) {}

Result<Connection> Connection::open(const QString& connectionString)
{
    Result<ConnectionString> parsed = parseConnectionString(connectionString);
    if (!parsed)
        return parsed.error();
    return openFile(parsed.value().filePath(), parsed.value().password);
}

Result<Connection> Connection::openFile(const QString& path, const QString& password)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    Result<std::shared_ptr<SharedHandle>> handle =
        openHandle(absolute, engineKey(absolute, password));
    if (!handle)
        return handle.error();
    return Connection(handle.value());
}

Result<QVariant> Connection::scalar(const QString& sql, const QVariantList& params) const
{
    Result<Statement> stmt = prepared(handle(), sql, params);
    if (!stmt)
        return stmt.error();
    Result<bool> row = stmt.value().step();
    if (!row)
        return row.error();
    if (!row.value() || stmt.value().columnCount() == 0)
        return QVariant();
    return stmt.value().value(0);
}

Result<Money> Connection::sum(const QString& sql, const QVariantList& params) const
{
    Result<QVariant> total = scalar(sql, params);
    if (!total)
        return total.error();
    Result<Money> amount = moneyFromStored(total.value());
    if (!amount)
        return Error{QStringLiteral("The total is not an amount: %1").arg(total.value().toString())};
    return amount;
}

Result<Rows> Connection::select(const QString& sql, const QVariantList& params) const
{
    Rows rows;
    Status walked = eachRow(
        sql, params,
        [&rows](const QStringList&, QVariantList values) {
            rows.values.append(std::move(values));
            return true;
        },
        &rows.columns);
    if (!walked)
        return walked.error();
    return rows;
}

Result<QStringList> Connection::texts(const QString& sql, const QVariantList& params) const
{
    QStringList found;
    Status walked = eachRow(sql, params, [&found](const QStringList&, QVariantList values) {
        found.append(values.value(0).toString());
        return true;
    });
    if (!walked)
        return walked.error();
    return found;
}

Status Connection::eachRow(const QString& sql, const QVariantList& params,
                           const std::function<bool(const QStringList&, QVariantList)>& take,
                           QStringList* columnNames) const
{
    Result<Statement> stmt = prepared(handle(), sql, params);
    if (!stmt)
        return stmt.error();
    Statement& s = stmt.value();
    QStringList columns;
    QList<ColumnKind> kinds;
    for (int i = 0; i < s.columnCount(); ++i) {
        columns.append(s.columnName(i));
        kinds.append(s.columnKind(i));
    }
    if (columnNames)
        *columnNames = columns;
    for (;;) {
        Result<bool> row = s.step();
        if (!row)
            return row.error();
        if (!row.value())
            return {};
        QVariantList values;
        values.reserve(kinds.size());
        for (int i = 0; i < kinds.size(); ++i)
            values.append(s.value(i, kinds[i]));
        if (!take(columns, std::move(values)))
            return {};
    }
}

Result<int> Connection::execute(const QString& sql, const QVariantList& params) const
{
    if (Status there = checkInPlace(); !there)
        return there.error();
    Result<Statement> stmt = prepared(handle(), sql, params);
    if (!stmt)
        return stmt.error();
    if (Status s = stmt.value().run(); !s)
        return s.error();
    return sqlite3_changes(handle());
}

Status Connection::executeScript(const QString& sql) const
{
    char* message = nullptr;
    const int rc = sqlite3_exec(handle(), sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc == SQLITE_OK)
        return {};
    Error e{QString::fromUtf8(message ? message : sqlite3_errstr(rc)), rc};
    sqlite3_free(message);
    return e;
}

Status Connection::checkpoint() const
{
    int logFrames = 0;
    int copied = 0;
    const int rc = sqlite3_wal_checkpoint_v2(handle(), nullptr, SQLITE_CHECKPOINT_TRUNCATE,
                                             &logFrames, &copied);
    if (rc != SQLITE_OK)
        return engineError(handle(), rc, QStringLiteral("The database file could not be brought up to date"));
    return {};
}

namespace {

sqlite3_file* engineFile(sqlite3* db)
{
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK)
        return nullptr;
    return file && file->pMethods ? file : nullptr;
}

Error unreadable(const QString& path, int rc)
{
    return Error{QStringLiteral("The database file \"%1\" could not be read: %2")
                     .arg(path, QString::fromUtf8(sqlite3_errstr(rc))),
                 rc};
}

} // namespace

Result<qint64> Connection::fileSize() const
{
    sqlite3_file* file = engineFile(handle());
    if (!file)
        return unreadable(filePath(), SQLITE_MISUSE);
    sqlite3_int64 size = 0;
    if (int rc = file->pMethods->xFileSize(file, &size); rc != SQLITE_OK)
        return unreadable(filePath(), rc);
    return qint64(size);
}

Status Connection::readFileBytes(qint64 offset, char* into, qint64 count) const
{
    sqlite3_file* file = engineFile(handle());
    if (!file)
        return unreadable(filePath(), SQLITE_MISUSE);
    // Read in pieces the engine's interface can take (an int each).
    constexpr qint64 piece = 1 << 30;
    for (qint64 done = 0; done < count;) {
        const int n = int(std::min(piece, count - done));
        // A short read fills the rest with zeros and says so: past the end is an error here.
        if (int rc = file->pMethods->xRead(file, into + done, n, offset + done); rc != SQLITE_OK)
            return unreadable(filePath(), rc);
        done += n;
    }
    return {};
}

Status Connection::checkInPlace() const
{
    struct stat now {};
    if (statOf(filePath(), now) && sameFile(*shared, now))
        return {};
    return Error{QStringLiteral("The database file \"%1\" was moved, renamed or deleted while it "
                                "was open, so nothing more is written to it. Put it back where it "
                                "was and try again.")
                     .arg(filePath()),
                 SQLITE_CANTOPEN};
}

qint64 Connection::changesMade() const { return sqlite3_total_changes(handle()); }

Result<qint64> Connection::dataVersion() const
{
    Result<QVariant> version = scalar(QStringLiteral("PRAGMA data_version"));
    if (!version)
        return version.error();
    return version.value().toLongLong();
}

QString Connection::filePath() const { return shared->path; }
sqlite3* Connection::handle() const { return shared->db; }
bool Connection::isInTransaction() const { return sqlite3_get_autocommit(handle()) == 0; }

Transaction::Transaction(const Connection& connection) : connection(connection)
{
    // Savepoints nest where BEGIN does not, so a unit of work may call another; each is named
    // after its guard so that nested ones never share a name.
    savepoint = QStringLiteral("halvo_unit_%1").arg(quintptr(this), 0, 16);
    if (Result<int> r = connection.execute(QStringLiteral("SAVEPOINT ") + savepoint); !r)
        begun = r.error();
}

Transaction::~Transaction()
{
    if (finished || !begun)
        return;
    (void)connection.executeScript(QStringLiteral("ROLLBACK TO ") + savepoint
                                   + QStringLiteral("; RELEASE ") + savepoint);
}

Status Transaction::commit()
{
    if (!begun)
        return begun;
    if (finished)
        return Error{QStringLiteral("The unit of work was already finished.")};
    if (Result<int> r = connection.execute(QStringLiteral("RELEASE ") + savepoint); !r)
        return r.error();
    finished = true;
    return {};
}

void releaseDatabase(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    auto& handles = registry();
    for (auto it = handles.begin(); it != handles.end();) {
        if (it.value()->path == absolute)
            it = handles.erase(it);
        else
            ++it;
    }
}

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

ReplacingFile::ReplacingFile(const QString& path) : path(QFileInfo(path).absoluteFilePath())
{
    ++filesBeingReplaced()[this->path];
}

ReplacingFile::~ReplacingFile()
{
    if (--filesBeingReplaced()[path] <= 0)
        filesBeingReplaced().remove(path);
}

bool beingReplaced(const QString& path)
{
    return filesBeingReplaced().contains(QFileInfo(path).absoluteFilePath());
}

bool heldByEngine(const QString& path)
{
    QString file = QFileInfo(path).absoluteFilePath();
    for (const QLatin1String side : {QLatin1String("-wal"), QLatin1String("-shm"),
                                     QLatin1String("-journal")})
        if (file.endsWith(side)) {
            file.chop(side.size());
            break;
        }
    struct stat info {};
    return statOf(file, info) && isHeld(info);
}

Status notHeldByEngine(const QString& path)
{
    if (!heldByEngine(path))
        return {};
    return Error{QStringLiteral("\"%1\" is the database file HALVO has open (or part of it); "
                                "choose another file.")
                     .arg(QDir::toNativeSeparators(QFileInfo(path).fileName()))};
}

Result<bool> isUnencryptedDatabase(const QString& path)
{
    if (heldByEngine(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Error{QStringLiteral("The database file \"%1\" cannot be read.").arg(path)};
    return file.read(plainHeader.size()) == plainHeader;
}

bool databaseInUse(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const auto& handles = registry();
    for (auto it = handles.begin(); it != handles.end(); ++it)
        if (it.value()->path == absolute && it.value().use_count() > 1)
            return true;
    return false;
}

} // namespace halvo
