// The engine of books kept in the encrypted file: statements go to the keyed SQLite handle that
// every connection of the file shares.

#include "shared_handle.h"
#include "sqlite_statement.h"

namespace halvo::detail {

namespace {

class FileCursor : public Cursor {
public:
    explicit FileCursor(Statement stmt) : stmt(std::move(stmt)) {}
    Result<bool> step() override { return stmt.step(); }
    int columnCount() const override { return stmt.columnCount(); }
    QString columnName(int i) const override { return stmt.columnName(i); }
    ColumnKind columnKind(int i) const override { return stmt.columnKind(i); }
    QVariant value(int i, ColumnKind kind) const override { return stmt.value(i, kind); }

private:
    Statement stmt;
};

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

Result<std::unique_ptr<Cursor>> SharedHandle::query(const QString& sql, const QVariantList& params)
{
    Result<Statement> stmt = prepared(db, sql, params);
    if (!stmt)
        return stmt.error();
    return std::unique_ptr<Cursor>(std::make_unique<FileCursor>(std::move(stmt.value())));
}

Result<int> SharedHandle::execute(const QString& sql, const QVariantList& params)
{
    Result<Statement> stmt = prepared(db, sql, params);
    if (!stmt)
        return stmt.error();
    if (Status s = stmt.value().run(); !s)
        return s.error();
    return sqlite3_changes(db);
}

Status SharedHandle::executeScript(const QString& sql)
{
    char* message = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc == SQLITE_OK)
        return {};
    Error e{QString::fromUtf8(message ? message : sqlite3_errstr(rc)), rc};
    sqlite3_free(message);
    return e;
}

Result<qint64> SharedHandle::lastInsertedKey() { return qint64(sqlite3_last_insert_rowid(db)); }

// A savepoint outside a transaction begins one, so units of work nest without BEGIN.
Status SharedHandle::begin(const QString& savepoint)
{
    if (Result<int> begun = execute(QStringLiteral("SAVEPOINT ") + savepoint, {}); !begun)
        return begun.error();
    return {};
}

Status SharedHandle::release(const QString& savepoint)
{
    if (Result<int> released = execute(QStringLiteral("RELEASE ") + savepoint, {}); !released)
        return released.error();
    return {};
}

Status SharedHandle::rollBack(const QString& savepoint)
{
    return executeScript(QStringLiteral("ROLLBACK TO ") + savepoint + QStringLiteral("; RELEASE ")
                         + savepoint);
}

bool SharedHandle::isInTransaction() const { return sqlite3_get_autocommit(db) == 0; }

qint64 SharedHandle::changesMade() const { return sqlite3_total_changes(db); }

Result<qint64> SharedHandle::dataVersion()
{
    Result<Statement> stmt = prepared(db, QStringLiteral("PRAGMA data_version"), {});
    if (!stmt)
        return stmt.error();
    Result<bool> row = stmt.value().step();
    if (!row)
        return row.error();
    return qint64(stmt.value().integer(0));
}

Status SharedHandle::checkInPlace() const
{
    struct stat now {};
    if (statOf(path, now) && sameFile(*this, now))
        return {};
    return Error{QStringLiteral("The database file \"%1\" was moved, renamed or deleted while it "
                                "was open, so nothing more is written to it. Put it back where it "
                                "was and try again.")
                     .arg(path),
                 SQLITE_CANTOPEN};
}

Result<QString> SharedHandle::tableNamed(const QString& name)
{
    Result<Statement> stmt = prepared(
        db,
        QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ? "
                       "COLLATE NOCASE"),
        {name});
    if (!stmt)
        return stmt.error();
    Result<bool> row = stmt.value().step();
    if (!row)
        return row.error();
    return row.value() ? stmt.value().value(0).toString() : QString();
}

} // namespace halvo::detail
