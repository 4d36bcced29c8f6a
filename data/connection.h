#pragma once
// A connection to the database file. Every connection that names the same file and password
// shares one keyed SQLite handle: the key derivation costs tens of milliseconds, so it is paid
// once per file, and every connection sees every committed change at once.
//
// Values travel as QVariant: NULL as a null QVariant (never confused with the empty text),
// text as QString, money as Money, dates as QDate, times as QTime, whole numbers as qlonglong
// and other numbers as double. Every value that comes from a user is a bound parameter.

#include "money.h"
#include "core/result.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

struct sqlite3;

namespace halvo {

namespace detail {
class SharedHandle;
}

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

    QString filePath() const;
    sqlite3* handle() const;
    bool isInTransaction() const;

private:
    explicit Connection(std::shared_ptr<detail::SharedHandle> shared);
    std::shared_ptr<detail::SharedHandle> shared;
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

// The database file is the engine's alone while a connection holds it. The engine's locks belong
// to the process, and closing any descriptor of a file drops every lock the process holds on it:
// another program (the sqlcipher command line) that closes the file afterwards takes it for
// unused, empties the write-ahead log into it and deletes the log that this program goes on
// writing to, so that every save from then on is lost with the next crash. Nothing but the engine
// therefore opens a file that is held, nor its log or shared memory; what needs a file's bytes
// reads them before its first connection, or through the engine (Connection::readFileBytes).

// Whether a connection of this program holds the file at `path`, or the file whose write-ahead
// log ("-wal"), shared memory ("-shm") or journal ("-journal") `path` is.
bool heldByEngine(const QString& path);
// The refusal of a file the user chose that the engine holds: what reads or writes a file of the
// user's choosing (an import, an export, an attachment, a saved copy) asks this first.
Status notHeldByEngine(const QString& path);

// Whether the file at `path` is an SQLite database without encryption, told by its first bytes.
// A file the engine holds is not read: the engine opened it with its key, so it is encrypted.
Result<bool> isUnencryptedDatabase(const QString& path);

// The key the engine opens a file with when a connection names it with the program's fixed
// password, as every connection text of the program does: the fixed password itself while the file
// is keyed with it, and once the user's password has locked the file and opened it at the login,
// the key that password gives (the engine's text for a raw key). Set by the login, kept for the
// rest of the run.
void setFileKey(const QString& path, const QString& key);
QString fileKey(const QString& path);

// Puts a file keyed anew in the place of one the program has open, and moves every connection of
// it over to the new file. The file's handle is closed first (which empties its write-ahead log
// into it); `putInPlace` then leaves at the path either the new file, keyed with `newKey`, or the
// old one as it was, and says which by succeeding or failing. Every connection then uses the file
// that is there, with its key, which is also the file's key from then on. Refused with nothing
// changed while a unit of work is open or a connection of another key holds the file.
Status replaceOpenDatabase(const QString& path, const QString& newKey,
                           const std::function<Status()>& putInPlace);

// Closes the shared handle of a file once no connection uses it any more (which also empties its
// write-ahead log into it), so that the file can be replaced (a restore) or deleted. A connection
// opened afterwards keys the file anew. A file replaced while connections still use it is refused
// until they are gone.
void releaseDatabase(const QString& path);
// Whether any connection still uses the file: a file in use is not to be replaced.
bool databaseInUse(const QString& path);

// While a backup is put in the live file's place, no connection of the program opens the file:
// the summary's tick, the lock's password or a window opened meanwhile would hold the old file
// while it is renamed from under them, and the restored file would then be refused as replaced
// while in use. Opening it is refused for as long as the guard lives.
class ReplacingFile {
public:
    explicit ReplacingFile(const QString& path);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

private:
    QString path;
};
// Whether the file at `path` is being replaced (a ReplacingFile lives for it).
bool beingReplaced(const QString& path);

} // namespace halvo
