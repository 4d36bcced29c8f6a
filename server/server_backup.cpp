#include "server_backup.h"

#include "postgres_programs.h"

#include "platform/desktop.h"
#include "platform/folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QScopeGuard>
#include <algorithm>
#include <libpq-fe.h>
#include <memory>

namespace halvo {

namespace {

// libpq's quoting: a value with a blank, a quote or a backslash, or an empty one, goes between
// single quotes, with \' and \\ inside.
QString quoted(const QString& value) {
    const bool plain = !value.isEmpty() && std::none_of(value.begin(), value.end(), [](QChar c) {
        return c.isSpace() || c == QLatin1Char('\'') || c == QLatin1Char('\\');
    });
    if (plain)
        return value;
    QString escaped = value;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

QString setting(const char* keyword, const QString& value) {
    return QLatin1String(keyword) + QLatin1Char('=') + quoted(value);
}

// The programs run with the environment of ours, the password added when one is given (else
// libpq finds it in .pgpass), and a limit on the wait for an unreachable server.
QProcessEnvironment programEnvironment(const QString& password) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!password.isEmpty())
        environment.insert(QStringLiteral("PGPASSWORD"), password);
    if (!environment.contains(QStringLiteral("PGCONNECT_TIMEOUT")))
        environment.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("20"));
    return environment;
}

// Runs one of the server's programs; the Error holds `failed` followed by what it said.
Status runPostgresProgram(const QString& name, const QStringList& arguments,
                          const QString& password, const QString& failed) {
    const Result<QString> program = postgresProgram(name);
    if (!program)
        return Error{failed + program.error().description};
    const Result<ProgramRun> run =
        runProgram(program.value(), arguments, programEnvironment(password));
    if (!run)
        return Error{failed + run.error().description};
    if (run.value().exitCode != 0)
        return Error{failed + run.value().output};
    return {};
}

// What names the books in a file name: the database, else the service it is reached through.
QString booksLabel(const ServerAddress& address) {
    if (!address.database.isEmpty())
        return address.database;
    if (!address.service.isEmpty())
        return address.service;
    return QStringLiteral("shared books");
}

struct ConnectionCloser {
    void operator()(PGconn* connection) const { PQfinish(connection); }
};
using ServerConnection = std::unique_ptr<PGconn, ConnectionCloser>;

QString lastError(PGconn* connection) {
    return QString::fromUtf8(PQerrorMessage(connection)).trimmed();
}

Result<ServerConnection> connectTo(const ServerAddress& address, const QString& password) {
    const QByteArray info = conninfo(address).toUtf8();
    const QByteArray secret = password.toUtf8();
    const char* keywords[] = {"dbname", password.isEmpty() ? nullptr : "password", nullptr};
    const char* values[] = {info.constData(), secret.constData(), nullptr};
    ServerConnection connection(PQconnectdbParams(keywords, values, 1));
    if (!connection || PQstatus(connection.get()) != CONNECTION_OK)
        return Error{connection ? lastError(connection.get()) : QStringLiteral("out of memory")};
    return connection;
}

// Runs one statement that returns no rows; the Error holds the server's message, and its code
// says whether the database was already there.
constexpr int DuplicateDatabase = 1;

Status execute(PGconn* connection, const QByteArray& sql) {
    std::unique_ptr<PGresult, decltype(&PQclear)> result(PQexec(connection, sql.constData()),
                                                         &PQclear);
    if (result && PQresultStatus(result.get()) == PGRES_COMMAND_OK)
        return {};
    const char* state = result ? PQresultErrorField(result.get(), PG_DIAG_SQLSTATE) : nullptr;
    const int code = state && qstrcmp(state, "42P04") == 0 ? DuplicateDatabase : 0;
    return Error{lastError(connection), code};
}

// A database's name as an identifier in SQL: CREATE and DROP DATABASE take no bound values.
QByteArray identifier(PGconn* connection, const QString& name) {
    const QByteArray utf8 = name.toUtf8();
    char* escaped = PQescapeIdentifier(connection, utf8.constData(), size_t(utf8.size()));
    if (!escaped)
        return {};
    const QByteArray result(escaped);
    PQfreemem(escaped);
    return result;
}

} // namespace

QString conninfo(const ServerAddress& address) {
    if (!address.service.isEmpty())
        return setting("service", address.service);
    QStringList settings;
    if (!address.host.isEmpty())
        settings << setting("host", address.host);
    if (address.port > 0)
        settings << setting("port", QString::number(address.port));
    if (!address.database.isEmpty())
        settings << setting("dbname", address.database);
    if (!address.user.isEmpty())
        settings << setting("user", address.user);
    // Over the network the server proves who it is with its certificate; a socket folder on this
    // machine needs no proof, and without a host libpq takes the default socket.
    if (!address.host.isEmpty() && !address.host.startsWith(QLatin1Char('/')))
        settings << setting("sslmode", QStringLiteral("verify-full"));
    return settings.join(QLatin1Char(' '));
}

QString serverBackupFileName(const QString& database, const QDateTime& moment) {
    QString label = database;
    label.replace(QLatin1Char('/'), QLatin1Char('_'));
    label.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return label + QLatin1Char(' ') + moment.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")) +
           QStringLiteral(".dump");
}

Result<QString> backUpServerBooks(const ServerAddress& address, const QString& password,
                                  const QString& folder) {
    const QString failed = QStringLiteral("The backup of the shared books could not be made: ");
    if (!QDir().mkpath(folder))
        return Error{failed + QStringLiteral("the folder \"%1\" could not be made.").arg(folder)};
    const QString target =
        freeFileName(folder, serverBackupFileName(booksLabel(address), Clock::now()));
    const QString passing = target + QStringLiteral(".partial");

    // The dump holds every record of the books: it is made the user's alone before pg_dump
    // writes into it, as the file backups are.
    QFile file(passing);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return Error{failed + QStringLiteral("the file \"%1\" could not be written.").arg(passing)};
    file.close();
    auto removePassing = qScopeGuard([&] { QFile::remove(passing); });

    const Status dumped = runPostgresProgram(
        QStringLiteral("pg_dump"),
        {QStringLiteral("--format=custom"), QStringLiteral("--no-password"),
         QStringLiteral("--file=") + passing, QStringLiteral("--dbname=") + conninfo(address)},
        password, failed);
    if (!dumped)
        return dumped.error();
    // pg_restore --list reads no more than the table of contents; writing the whole restore
    // script to nowhere reads every table's rows back too, so a dump cut short is found here.
    const Status read = runPostgresProgram(
        QStringLiteral("pg_restore"), {QStringLiteral("--file=/dev/null"), passing}, {},
        QStringLiteral("The backup of the shared books could not be read back, so it was not "
                       "kept: "));
    if (!read)
        return read.error();
    if (!QFile::rename(passing, target))
        return Error{failed +
                     QStringLiteral("the dump could not be given its name \"%1\".").arg(target)};
    removePassing.dismiss();
    return target;
}

Status restoreServerBooks(const ServerAddress& address, const QString& password,
                          const QString& dump, const QString& newDatabase) {
    const QString failed = QStringLiteral("The shared books were not restored: ");
    if (newDatabase.trimmed().isEmpty())
        return Error{failed + QStringLiteral("the new database needs a name.")};
    if (!QFileInfo(dump).isFile())
        return Error{failed + QStringLiteral("the backup \"%1\" was not found.").arg(dump)};

    Result<ServerConnection> server = connectTo(address, password);
    if (!server)
        return Error{failed + QStringLiteral("the server could not be reached. ") +
                     server.error().description};
    PGconn* connection = server.value().get();
    const QByteArray name = identifier(connection, newDatabase);
    if (name.isEmpty())
        return Error{failed + lastError(connection)};
    // From template0, the database is empty of anything the dump may hold too. Its creation is
    // the check that no database has the name: nothing can come between the two.
    const Status created = execute(connection, "CREATE DATABASE " + name + " TEMPLATE template0");
    if (!created && created.error().code == DuplicateDatabase)
        return Error{failed +
                     QStringLiteral("a database named \"%1\" is already on the server. Choose "
                                    "a name no database has.")
                         .arg(newDatabase)};
    if (!created)
        return Error{failed + QStringLiteral("the database \"%1\" could not be created. %2")
                                  .arg(newDatabase, created.error().description)};

    ServerAddress into = address;
    into.database = newDatabase;
    QString intoInfo = conninfo(into);
    if (!address.service.isEmpty()) // the service's own database gives way to the new one
        intoInfo += QLatin1Char(' ') + setting("dbname", newDatabase);
    const Status restored =
        runPostgresProgram(QStringLiteral("pg_restore"),
                           {QStringLiteral("--no-owner"), QStringLiteral("--exit-on-error"),
                            QStringLiteral("--single-transaction"), QStringLiteral("--no-password"),
                            QStringLiteral("--dbname=") + intoInfo, dump},
                           password, failed);
    if (restored)
        return {};
    const Status dropped = execute(connection, "DROP DATABASE " + name);
    if (!dropped)
        return Error{restored.error().description +
                     QStringLiteral(" The database \"%1\" made for them could not be removed: %2")
                         .arg(newDatabase, dropped.error().description)};
    return Error{
        restored.error().description +
        QStringLiteral(" The database \"%1\" made for them was removed.").arg(newDatabase)};
}

} // namespace halvo
