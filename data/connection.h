#pragma once
// A connection to the books: the database file, or shared books on a PostgreSQL server. Every
// connection that names the same file and password shares one keyed SQLite handle: the key
// derivation costs tens of milliseconds, so it is paid once per file, and every connection sees
// every committed change at once. The connections of shared books share one server session.
//
// Values travel as QVariant: NULL as a null QVariant (never confused with the empty text),
// text as QString, money as Money, dates as QDate, times as QTime, whole numbers as qlonglong
// and other numbers as double. Every value that comes from a user is a bound parameter.

#include "file_identity.h"
#include "file_key.h"
#include "money.h"
#include "core/result.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

struct sqlite3;

namespace halvo {

namespace detail {
class Engine;
}

// The code of the error that says the server wants a password the program was not given (none in
// the user's .pgpass either): the login then asks for it.
inline constexpr int ServerWantsPassword = -1001;

// The rows of a statement, read whole. For short look-ups and reports; windows that browse a
// table use a RecordSet.
struct Rows {
    QStringList columns;
    QList<QVariantList> values;
};

class Connection {
public:
    // Opens with a connection string of one of the four forms.
    static Result<Connection> open(const QString& connectionString);
    // Opens a file with its password. The file must exist and be a database that the password
    // opens; opening never creates a file and never writes to one it cannot read.
    static Result<Connection> openFile(const QString& path, const QString& password);
    // Opens shared books on a PostgreSQL server: `conninfo` as libpq reads it, the password
    // apart (empty: none, or the user's .pgpass). Each opening is a session of its own, as
    // another desktop's would be. The server's database is brought up to date with the
    // program's schema; one that holds no books yet is given them.
    static Result<Connection> openServer(const QString& conninfo, const QString& password);

    // Shared books opened in place of the data folder's file: from now on every connection
    // string that names the file opens the shared books instead, until they are put away. The
    // file itself is left as it is (openFile still opens it).
    static void putInPlaceOf(const QString& filePath, const Connection& sharedBooks);
    static void putAway(const QString& filePath);
    // The shared books open in place of a file, if any.
    static std::optional<Connection> inPlaceOf(const QString& filePath);

    // The first column of the first row; a null QVariant when there is no row.
    Result<QVariant> scalar(const QString& sql, const QVariantList& params = {}) const;
    // A SUM statement's single value as money; no rows or only NULLs read as 0.
    Result<Money> sum(const QString& sql, const QVariantList& params = {}) const;
    Result<Rows> select(const QString& sql, const QVariantList& params = {}) const;
    // The first column of every row, as text (a list of names).
    Result<QStringList> texts(const QString& sql, const QVariantList& params = {}) const;
    // Hands the rows over one at a time, so that memory stays flat however many there are (an
    // export); `take` returns false to stop early. The column names are also given before the
    // first row, where asked for, so that a statement without rows still names them.
    Status eachRow(const QString& sql, const QVariantList& params,
                   const std::function<bool(const QStringList& columns, QVariantList values)>& take,
                   QStringList* columnNames = nullptr) const;
    // Runs one statement that returns no rows; the number of rows it changed.
    Result<int> execute(const QString& sql, const QVariantList& params = {}) const;
    // Runs statements separated by semicolons, with no parameters (schema, pragmas).
    Status executeScript(const QString& sql) const;

    // Writes every committed change from the write-ahead log into the database file itself, so
    // that the file alone holds everything: call it before the file is copied (a backup).
    Status checkpoint() const;

    // The file's own (encrypted) bytes, read through the engine's handle of it: a copy of the
    // file made this way keeps the engine's locks, where a descriptor of one's own would drop
    // them (see heldByEngine).
    Result<qint64> fileSize() const;
    Status readFileBytes(qint64 offset, char* into, qint64 count) const;

    // Whether the path still names the file this connection has open. A file moved, renamed or
    // deleted while the program runs takes no more writes: they would go to a file the user can
    // no longer find. Every statement that changes data checks it first.
    Status checkInPlace() const;

    // How many rows this program has changed in the file so far, through any of its connections
    // (they share one handle); and the file's version, which moves when another program commits.
    // Together they tell whether the data may have changed since they were last read.
    qint64 changesMade() const;
    Result<qint64> dataVersion() const;

    // The key of the row the last INSERT added.
    Result<qint64> lastInsertedKey() const;
    // The column that keys a table's rows, as statements name it ("rowid" in the file).
    QString rowKey() const;
    // A table's name as the books spell it, whatever the letter case asked for; a null QString
    // when the books have no such table.
    Result<QString> tableNamed(const QString& name) const;

    // Where the books are: the file's absolute path, or the server and database of shared books.
    QString filePath() const;
    // Whether the books are shared books on a server; the file's own operations above (its size,
    // its bytes, the checkpoint) and handle() are the file's alone.
    bool isServer() const;
    // Whether the user may change the books (a server role that may only read may not).
    bool mayWrite() const;
    sqlite3* handle() const;
    bool isInTransaction() const;
    detail::Engine& engine() const { return *engine_; }

private:
    explicit Connection(std::shared_ptr<detail::Engine> engine);
    std::shared_ptr<detail::Engine> engine_;
};

// One unit of work: everything done on the connection between construction and commit() is
// written together or not at all. Destroyed without commit(), it rolls back. Nests.
class Transaction {
public:
    explicit Transaction(const Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    Status status() const { return begun; } // whether the unit of work could start
    Status commit();

private:
    Connection connection;
    QString savepoint;
    Status begun;
    bool finished = false;
};

} // namespace halvo
