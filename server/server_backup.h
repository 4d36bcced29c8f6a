#pragma once
// Shared books kept on a PostgreSQL server: how the program reaches them, their backup into a
// dump file and a dump's restore into a new database beside them. The dump is made and read by
// the server's own programs (pg_dump, pg_restore), run without a shell; the password never
// appears on a command line.

#include "core/result.h"

#include <QDateTime>
#include <QString>

namespace halvo {

// How the program reaches shared books.
struct ServerAddress {
    QString service; // a service name from pg_service.conf, or empty
    QString host;    // name, address, or a socket folder (starts with '/'); empty: default socket
    int port = 5432;
    QString database;
    QString user;
};

// A libpq connection string for the address: "service=..." alone when a service is named, else
// host, port, dbname and user (those given). A host that is not a local socket folder gets
// sslmode=verify-full, so that the server's certificate is checked. Values are quoted where libpq
// needs it ('...' with \' and \\). The password is never part of it: it is given apart, or
// .pgpass supplies it.
QString conninfo(const ServerAddress& address);

// The name of a backup of the books in `database` made at `moment`, following the kept files'
// naming: "books 2026-12-07 13-05-09.dump".
QString serverBackupFileName(const QString& database, const QDateTime& moment);

// Backs the books up with pg_dump in its custom format into `folder` (made when missing), under
// serverBackupFileName at this moment (with " (2)" and so on where one of that name is there).
// The dump is written under a passing name, read back whole by pg_restore, and only then given
// its name; a failure leaves nothing in the folder and says what pg_dump or pg_restore said.
// The dump's path.
Result<QString> backUpServerBooks(const ServerAddress& address, const QString& password,
                                  const QString& folder);

// Restores the dump at `dump` into a NEW database `newDatabase` on the same server, created by
// the address's role (which needs CREATEDB); refused when a database of that name exists. The
// restore is one transaction that stops at the first error, and the objects are owned by the
// role; a failed restore drops the database it created. The database the books are in is never
// changed.
Status restoreServerBooks(const ServerAddress& address, const QString& password,
                          const QString& dump, const QString& newDatabase);

} // namespace halvo
