#pragma once
// Inside the data layer: where a connection's statements go. The books are kept either in the
// encrypted file (the engine linked into the program) or in a database on a PostgreSQL server
// shared by several desktops; a Connection speaks to either through this, and nothing above the
// data layer knows which.
//
// Statements are written once, in the file's dialect, with "?" marks; the server's engine
// translates them (data/postgres_dialect.h).

#include "row_source.h"
#include "core/result.h"

#include <QString>
#include <QVariant>
#include <memory>

namespace halvo::detail {

class SharedHandle;

// One statement's rows, read one at a time.
class Cursor {
public:
    virtual ~Cursor() = default;
    virtual Result<bool> step() = 0; // true: a row is ready
    virtual int columnCount() const = 0;
    virtual QString columnName(int i) const = 0;
    virtual ColumnKind columnKind(int i) const = 0;
    // A field of the current row as its kind reads it; a value stored in another form than the
    // kind expects is handed back as it is stored.
    virtual QVariant value(int i, ColumnKind kind) const = 0;
    QVariant value(int i) const { return value(i, columnKind(i)); }
};

class Engine {
public:
    virtual ~Engine() = default;

    // A statement prepared with its values bound, ready to step.
    virtual Result<std::unique_ptr<Cursor>> query(const QString& sql, const QVariantList& params) = 0;
    // Runs a statement that returns no rows; the number of rows it changed.
    virtual Result<int> execute(const QString& sql, const QVariantList& params) = 0;
    // Statements separated by semicolons, with no values.
    virtual Status executeScript(const QString& sql) = 0;
    // The key of the row the last INSERT added.
    virtual Result<qint64> lastInsertedKey() = 0;

    // A unit of work, nested as deep as needed, by savepoint names.
    virtual Status begin(const QString& savepoint) = 0;
    virtual Status release(const QString& savepoint) = 0;
    virtual Status rollBack(const QString& savepoint) = 0;
    virtual bool isInTransaction() const = 0;

    // Rows this program has changed through the engine, and the books' version, which moves when
    // someone else commits.
    virtual qint64 changesMade() const = 0;
    virtual Result<qint64> dataVersion() = 0;
    // Whether writes still reach the books the user opened (a file moved away takes none).
    virtual Status checkInPlace() const = 0;
    // Whether the user may change the books at all (a server role that may only read may not).
    virtual bool mayWrite() const = 0;

    // The column that keys a table's rows, as statements name it.
    virtual QString rowKey() const = 0;
    // A table's name as the books spell it; a null QString when they have no such table.
    virtual Result<QString> tableNamed(const QString& name) = 0;
    // Where the books are: the file's absolute path, or the server's address and database.
    virtual QString location() const = 0;
    // The file's handle when the books are a file; nullptr on a server.
    virtual SharedHandle* file() { return nullptr; }
};

} // namespace halvo::detail
