#pragma once
// Inside the data layer: a prepared SQLite statement that is finalized on every path, and the
// conversions between the engine's values and the QVariants the rest of the program sees.

#include "record_set.h"
#include "core/result.h"

#include <QVariant>
#include <sqlite3.h>

namespace halvo::detail {

Error engineError(sqlite3* db, int rc, const QString& doing);

// How the file is encrypted, given right after the key, the same when a file is made and every
// time it is opened: pages of 4 KiB, each encrypted and authenticated as a whole.
inline constexpr const char* cipherPageSize = "PRAGMA cipher_page_size = 4096;";

// The kind of a column from the type it was declared with in the table.
ColumnKind kindOfDeclaredType(const char* declared);

class Statement {
public:
    static Result<Statement> prepare(sqlite3* db, const QString& sql);
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    Status bind(const QVariantList& params);
    Status bind(int index, const QVariant& value); // 1-based
    // SQLITE_ROW, SQLITE_DONE, or an error as a failed Result.
    Result<bool> step(); // true: a row is ready
    Status run();        // steps to the end

    int columnCount() const;
    QString columnName(int i) const;
    ColumnKind columnKind(int i) const;
    QVariant value(int i, ColumnKind kind) const;
    QVariant value(int i) const { return value(i, columnKind(i)); }
    sqlite3_int64 integer(int i) const;
    bool isNull(int i) const;
    sqlite3_stmt* get() const { return stmt; }

private:
    Statement(sqlite3* db, sqlite3_stmt* stmt) : db(db), stmt(stmt) {}
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
};

} // namespace halvo::detail
