#pragma once
// A PostgreSQL cluster of a test's own, thrown away with it: made by initdb in a new temporary
// folder, reached only through a Unix socket in that folder (nothing listens on the network),
// with fsync off, as nothing in it needs to outlive the test. When the test runs as root the
// folder is given to "nobody" and the server runs as that user, as initdb refuses root.
// The superuser logs in on the socket without a password; every other role with its password
// (scram-sha-256), as a user of shared books would.

#include "core/result.h"

#include <QString>
#include <memory>

namespace halvo::test {

class PgCluster {
public:
    // initdb, the settings and pg_hba.conf written, started with pg_ctl -w. The Error says why it
    // could not be (the PostgreSQL programs are missing: scripts/setup installs them).
    static Result<std::unique_ptr<PgCluster>> start();
    // Stops the server (pg_ctl stop -m fast, else its process killed) and removes the folder.
    ~PgCluster();

    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;

    QString socketFolder() const;
    int port() const;
    QString superuser() const; // the bootstrap role

    // Runs `sql` (any number of statements, CREATE DATABASE among them) as the superuser through
    // psql -v ON_ERROR_STOP=1 on `database`; the Error holds psql's output.
    Status run(const QString& sql, const QString& database = QStringLiteral("postgres")) const;

    // "host=<folder> port=<port> dbname=<database> user=<user>", the superuser when no user is
    // given.
    QString conninfo(const QString& database, const QString& user = {}) const;

private:
    PgCluster() = default;

    QString programs; // the folder of initdb, pg_ctl, postgres and psql
    QString folder;   // the temporary folder: the socket and the log; the cluster in "data"
    int portNumber = 0;
    bool running = false;
    int ownerUid = -1; // the user the server runs as, when we are root
    int ownerGid = -1;

    QString dataFolder() const;
    QString logFile() const;
    Status runAsOwner(const QString& program, const QStringList& arguments) const;
    Status initialize();
    Status configure();
    void stop();
};

} // namespace halvo::test
