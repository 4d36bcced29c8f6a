#include "connection.h"

#include "connection_string.h"
#include "postgres_engine.h"
#include "shared_handle.h"
#include "sqlite_statement.h"

#include <QFileInfo>

namespace halvo {

namespace {

using detail::checkFile;
using detail::engineKey;
using detail::engineError;
using detail::openKeyed;
using detail::registry;
using detail::registryKey;
using detail::sameFile;
using detail::SharedHandle;
using detail::statOf;

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

} // namespace

Connection::Connection(std::shared_ptr<detail::Engine> engine) : engine_(std::move(engine)) {}

namespace {

QHash<QString, Connection>& sharedBooksInPlace()
{
    static QHash<QString, Connection> books;
    return books;
}

} // namespace

void Connection::putInPlaceOf(const QString& filePath, const Connection& sharedBooks)
{
    sharedBooksInPlace().insert(QFileInfo(filePath).absoluteFilePath(), sharedBooks);
}

void Connection::putAway(const QString& filePath)
{
    sharedBooksInPlace().remove(QFileInfo(filePath).absoluteFilePath());
}

std::optional<Connection> Connection::inPlaceOf(const QString& filePath)
{
    const auto found = sharedBooksInPlace().constFind(QFileInfo(filePath).absoluteFilePath());
    if (found == sharedBooksInPlace().cend())
        return std::nullopt;
    return *found;
}

Result<Connection> Connection::open(const QString& connectionString)
{
    Result<ConnectionString> parsed = parseConnectionString(connectionString);
    if (!parsed)
        return parsed.error();
    if (std::optional<Connection> shared = inPlaceOf(parsed.value().filePath()))
        return *shared;
    return openFile(parsed.value().filePath(), parsed.value().password);
}

Result<Connection> Connection::openFile(const QString& path, const QString& password)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    Result<std::shared_ptr<SharedHandle>> handle =
        openHandle(absolute, engineKey(absolute, password));
    if (!handle)
        return handle.error();
    return Connection(std::shared_ptr<detail::Engine>(handle.value()));
}

Result<Connection> Connection::openServer(const QString& conninfo, const QString& password)
{
    Result<std::shared_ptr<detail::Engine>> engine = detail::openServerEngine(conninfo, password);
    if (!engine)
        return engine.error();
    return Connection(engine.value());
}

Result<QVariant> Connection::scalar(const QString& sql, const QVariantList& params) const
{
    Result<std::unique_ptr<detail::Cursor>> cursor = engine_->query(sql, params);
    if (!cursor)
        return cursor.error();
    Result<bool> row = cursor.value()->step();
    if (!row)
        return row.error();
    if (!row.value() || cursor.value()->columnCount() == 0)
        return QVariant();
    return cursor.value()->value(0);
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
    Result<std::unique_ptr<detail::Cursor>> cursor = engine_->query(sql, params);
    if (!cursor)
        return cursor.error();
    detail::Cursor& s = *cursor.value();
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
    return engine_->execute(sql, params);
}

Status Connection::executeScript(const QString& sql) const { return engine_->executeScript(sql); }

Status Connection::checkpoint() const
{
    if (isServer())
        return {}; // the server keeps its own log
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
    sqlite3_file* file = isServer() ? nullptr : engineFile(handle());
    if (!file)
        return unreadable(filePath(), SQLITE_MISUSE);
    sqlite3_int64 size = 0;
    if (int rc = file->pMethods->xFileSize(file, &size); rc != SQLITE_OK)
        return unreadable(filePath(), rc);
    return qint64(size);
}

Status Connection::readFileBytes(qint64 offset, char* into, qint64 count) const
{
    sqlite3_file* file = isServer() ? nullptr : engineFile(handle());
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

Status Connection::checkInPlace() const { return engine_->checkInPlace(); }
qint64 Connection::changesMade() const { return engine_->changesMade(); }
Result<qint64> Connection::dataVersion() const { return engine_->dataVersion(); }
Result<qint64> Connection::lastInsertedKey() const { return engine_->lastInsertedKey(); }
QString Connection::rowKey() const { return engine_->rowKey(); }
Result<QString> Connection::tableNamed(const QString& name) const
{
    return engine_->tableNamed(name);
}
QString Connection::filePath() const { return engine_->location(); }
bool Connection::isServer() const { return engine_->file() == nullptr; }
bool Connection::mayWrite() const { return engine_->mayWrite(); }
sqlite3* Connection::handle() const
{
    detail::SharedHandle* file = engine_->file();
    return file ? file->db : nullptr;
}
bool Connection::isInTransaction() const { return engine_->isInTransaction(); }

Transaction::Transaction(const Connection& connection) : connection(connection)
{
    // Savepoints nest where BEGIN does not, so a unit of work may call another; each is named
    // after its guard so that nested ones never share a name.
    savepoint = QStringLiteral("halvo_unit_%1").arg(quintptr(this), 0, 16);
    if (Status there = connection.checkInPlace(); !there)
        begun = there;
    else
        begun = connection.engine().begin(savepoint);
}

Transaction::~Transaction()
{
    if (finished || !begun)
        return;
    (void)connection.engine().rollBack(savepoint);
}

Status Transaction::commit()
{
    if (!begun)
        return begun;
    if (finished)
        return Error{QStringLiteral("The unit of work was already finished.")};
    if (Status released = connection.engine().release(savepoint); !released)
        return released;
    finished = true;
    return {};
}

} // namespace halvo
