#pragma once
// The books kept on a PostgreSQL server speak the file's dialect: every room writes its
// statements as the SQLCipher file takes them, with "?" marks, and the server's backend passes
// each through postgresStatement, and each schema step through postgresSchema (or takes the
// step's own PostgreSQL text where it carries one: its triggers). Pure text in, text out: no
// server is needed to translate.
//
// Names stay unquoted on both sides, so that the server folds every one of them to lower case
// alike. String literals, quoted names and comments pass unchanged.

#include <QString>

namespace halvo::detail {

// A statement of the file's dialect as PostgreSQL takes it: "?" marks become $1, $2, ...;
// INSERT OR IGNORE becomes INSERT ... ON CONFLICT DO NOTHING; INSERT OR REPLACE INTO a table
// whose key is known becomes INSERT ... ON CONFLICT (key) DO UPDATE SET its other columns;
// IFNULL, last_insert_rowid(), TOTAL(), rowid, "IS [NOT]" between values, "WHERE 1" and
// "LIMIT -1" become their PostgreSQL forms. What has no mechanical translation passes unchanged,
// so that the server refuses it rather than doing something else.
QString postgresStatement(const QString& sql);

// A schema step's statements as PostgreSQL takes them: the statement rules above, and the
// column types (INTEGER as bigint, the counter ID as an identity column, DATE and TIME as the
// text domains of the prologue, BLOB as bytea), WITHOUT ROWID dropped. Triggers are not
// translated: a step that makes them carries its PostgreSQL text beside it.
QString postgresSchema(const QString& sql);

// What a server database gets before its first step: the domains of the file's column kinds,
// the case-blind collation "nocase", and the change notices' table and trigger function.
QString postgresPrologue();

// What a server database gets after the steps: the change notice on every table of the books.
QString postgresEpilogue();

} // namespace halvo::detail
