#include "pg_cluster.h"

#include "server/postgres_programs.h"
#include "server/server_backup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace halvo::test {

namespace {

const QString Superuser = QStringLiteral("postgres");
const QString FolderPrefix = QStringLiteral("halvo-pg-");
const QString OwnerFile = QStringLiteral("owner.pid");

// A socket's path is limited to 107 bytes: a long temporary folder gives way to /tmp.
QString temporaryBase() {
    const QString base = QDir::tempPath();
    return base.size() > 60 ? QStringLiteral("/tmp") : base;
}

bool processAlive(qint64 pid) {
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno != ESRCH);
}

// A test killed before its end leaves its cluster behind. Its folder is removed here when the
// process that made it is gone; the server left running in it notices that its lock file is
// gone and shuts itself down within a minute.
void removeAbandonedClusters() {
    const QDir base(temporaryBase());
    const QStringList folders =
        base.entryList({FolderPrefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : folders) {
        QFile owner(base.filePath(name + QLatin1Char('/') + OwnerFile));
        if (!owner.open(QIODevice::ReadOnly))
            continue; // one being made, or not ours
        const qint64 pid = owner.readAll().trimmed().toLongLong();
        owner.close();
        if (pid > 0 && !processAlive(pid))
            QDir(base.filePath(name)).removeRecursively();
    }
}

// The programs run with no PG* setting of the caller's environment steering them elsewhere.
QProcessEnvironment cleanEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& key : environment.keys())
        if (key.startsWith(QStringLiteral("PG")))
            environment.remove(key);
    return environment;
}

Status writeFile(const QString& path, const QByteArray& text, QIODevice::OpenMode mode) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | mode) || file.write(text) != text.size())
        return Error{QStringLiteral("The file \"%1\" could not be written.").arg(path)};
    return {};
}

QString quotedSetting(const QString& value) {
    QString escaped = value;
    escaped.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

} // namespace

Result<std::unique_ptr<PgCluster>> PgCluster::start() {
    std::unique_ptr<PgCluster> cluster(new PgCluster);
    cluster->programs = postgresProgramFolder();
    for (const char* name : {"initdb", "pg_ctl", "postgres", "psql"}) {
        if (!QFileInfo(QDir(cluster->programs).filePath(QLatin1String(name))).isExecutable())
            return Error{QStringLiteral("The PostgreSQL program \"%1\" was not found (pg_config "
                                        "--bindir, /usr/lib/postgresql/*/bin): scripts/setup "
                                        "installs the postgresql package.")
                             .arg(QLatin1String(name))};
    }
    removeAbandonedClusters();

    QTemporaryDir made(temporaryBase() + QLatin1Char('/') + FolderPrefix +
                       QStringLiteral("XXXXXX"));
    if (!made.isValid())
        return Error{
            QStringLiteral("No temporary folder could be made: %1").arg(made.errorString())};
    made.setAutoRemove(false);
    cluster->folder = made.path(); // from here on, the destructor removes it
    const Status owned = writeFile(QDir(cluster->folder).filePath(OwnerFile),
                                   QByteArray::number(qint64(::getpid())), QIODevice::Truncate);
    if (!owned)
        return owned.error();

    if (::geteuid() == 0) {
        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody)
            return Error{QStringLiteral("The user \"nobody\" the server runs as is missing.")};
        cluster->ownerUid = int(nobody->pw_uid);
        cluster->ownerGid = int(nobody->pw_gid);
        const QByteArray path = QFile::encodeName(cluster->folder);
        if (::chown(path.constData(), nobody->pw_uid, nobody->pw_gid) != 0 ||
            ::chmod(path.constData(), 0700) != 0)
            return Error{QStringLiteral("The folder \"%1\" could not be given to \"nobody\".")
                             .arg(cluster->folder)};
    }
    // Every socket is alone in its own folder, so any port number is free there; it only names
    // the socket, as nothing listens on the network.
    cluster->portNumber = int(QRandomGenerator::global()->bounded(49152, 65536));

    if (Status s = cluster->initialize(); !s)
        return s.error();
    if (Status s = cluster->configure(); !s)
        return s.error();
    cluster->running = true; // a start that fails half-way still has its server stopped
    const Status started =
        cluster->runAsOwner(QStringLiteral("pg_ctl"),
                            {QStringLiteral("-D"), cluster->dataFolder(), QStringLiteral("-l"),
                             cluster->logFile(), QStringLiteral("-w"), QStringLiteral("-t"),
                             QStringLiteral("60"), QStringLiteral("-s"), QStringLiteral("start")});
    if (!started) {
        QFile log(cluster->logFile());
        const QString logged =
            log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll()) : QString();
        return Error{started.error().description + QLatin1Char('\n') + logged};
    }
    return cluster;
}

PgCluster::~PgCluster() {
    stop();
    if (!folder.isEmpty())
        QDir(folder).removeRecursively();
}

QString PgCluster::socketFolder() const {
    return folder;
}
int PgCluster::port() const {
    return portNumber;
}
QString PgCluster::superuser() const {
    return Superuser;
}
QString PgCluster::dataFolder() const {
    return QDir(folder).filePath(QStringLiteral("data"));
}
QString PgCluster::logFile() const {
    return QDir(folder).filePath(QStringLiteral("server.log"));
}

QString PgCluster::conninfo(const QString& database, const QString& user) const {
    return halvo::conninfo(
        ServerAddress{QString(), folder, portNumber, database, user.isEmpty() ? Superuser : user});
}

Status PgCluster::run(const QString& sql, const QString& database) const {
    const Result<ProgramRun> psql =
        runProgram(QDir(programs).filePath(QStringLiteral("psql")),
                   {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("--no-password"),
                    QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-d"),
                    conninfo(database), QStringLiteral("-f"), QStringLiteral("-")},
                   cleanEnvironment(), sql.toUtf8(), folder);
    if (!psql)
        return psql.error();
    if (psql.value().exitCode != 0)
        return Error{psql.value().output};
    return {};
}

// initdb refuses root: as root, the programs run as the folder's owner.
Status PgCluster::runAsOwner(const QString& program, const QStringList& arguments) const {
    QString command = QDir(programs).filePath(program);
    QStringList all = arguments;
    if (ownerUid >= 0) {
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty())
            return Error{QStringLiteral("The program \"setpriv\" (util-linux) was not found.")};
        all = QStringList{QStringLiteral("--reuid=%1").arg(ownerUid),
                          QStringLiteral("--regid=%1").arg(ownerGid),
                          QStringLiteral("--init-groups"), command} +
              arguments;
        command = setpriv;
    }
    const Result<ProgramRun> ran = runProgram(command, all, cleanEnvironment(), {}, folder);
    if (!ran)
        return ran.error();
    if (ran.value().exitCode != 0)
        return Error{QStringLiteral("%1 failed: %2").arg(program, ran.value().output)};
    return {};
}

// Trust everywhere while the cluster is made, then the real rules in pg_hba.conf; without
// syncing, as the cluster is thrown away.
Status PgCluster::initialize() {
    return runAsOwner(QStringLiteral("initdb"),
                      {QStringLiteral("-D"), dataFolder(), QStringLiteral("-U"), Superuser,
                       QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-E"),
                       QStringLiteral("UTF8"), QStringLiteral("--locale=C"),
                       QStringLiteral("--no-sync"), QStringLiteral("--no-instructions")});
}

Status PgCluster::configure() {
    const QString settings = QStringLiteral("\n# A throw-away cluster of the tests\n"
                                            "listen_addresses = ''\n"
                                            "unix_socket_directories = %1\n"
                                            "port = %2\n"
                                            "fsync = off\n"
                                            "synchronous_commit = off\n"
                                            "full_page_writes = off\n")
                                 .arg(quotedSetting(folder))
                                 .arg(portNumber);
    const QDir data(dataFolder());
    if (Status s = writeFile(data.filePath(QStringLiteral("postgresql.conf")), settings.toUtf8(),
                             QIODevice::Append);
        !s)
        return s;
    // The superuser on the socket without a password; every other role with its password.
    const QString hba = QStringLiteral("local all %1 trust\n"
                                       "local all all scram-sha-256\n")
                            .arg(Superuser);
    return writeFile(data.filePath(QStringLiteral("pg_hba.conf")), hba.toUtf8(),
                     QIODevice::Truncate);
}

// pg_ctl stop -m fast; should that fail, the server's process is told to quit at once and, if it
// does not, killed: a test never leaves a server behind.
void PgCluster::stop() {
    if (!running)
        return;
    running = false;
    const Status stopped =
        runAsOwner(QStringLiteral("pg_ctl"),
                   {QStringLiteral("-D"), dataFolder(), QStringLiteral("-m"),
                    QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("-t"),
                    QStringLiteral("30"), QStringLiteral("-s"), QStringLiteral("stop")});
    QFile pidFile(QDir(dataFolder()).filePath(QStringLiteral("postmaster.pid")));
    if (stopped || !pidFile.open(QIODevice::ReadOnly))
        return;
    const qint64 pid = pidFile.readLine().trimmed().toLongLong();
    if (!processAlive(pid))
        return;
    ::kill(pid_t(pid), SIGQUIT);
    for (int i = 0; i < 50 && processAlive(pid); ++i)
        QThread::msleep(100);
    if (processAlive(pid))
        ::kill(pid_t(pid), SIGKILL);
}

} // namespace halvo::test
