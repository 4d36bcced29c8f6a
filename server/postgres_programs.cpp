#include "postgres_programs.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QVersionNumber>
#include <algorithm>

namespace halvo {

namespace {

bool holdsPrograms(const QString& folder) {
    if (folder.isEmpty())
        return false;
    const QDir bin(folder);
    return QFileInfo(bin.filePath(QStringLiteral("pg_dump"))).isExecutable() ||
           QFileInfo(bin.filePath(QStringLiteral("pg_ctl"))).isExecutable();
}

QString folderFromPgConfig() {
    QProcess config;
    config.start(QStringLiteral("pg_config"), {QStringLiteral("--bindir")});
    if (!config.waitForFinished(10000) || config.exitStatus() != QProcess::NormalExit ||
        config.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(config.readAllStandardOutput()).trimmed();
}

// Debian installs each major version beside the others; the newest is taken, as a pg_dump must
// be at least as new as the server it reads.
QString newestDebianFolder() {
    const QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList names = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QVersionNumber::fromString(a) > QVersionNumber::fromString(b);
    });
    for (const QString& name : names) {
        const QString bin = versions.filePath(name + QStringLiteral("/bin"));
        if (holdsPrograms(bin))
            return bin;
    }
    return {};
}

} // namespace

QString postgresProgramFolder() {
    const QString configured = folderFromPgConfig();
    if (holdsPrograms(configured))
        return configured;
    return newestDebianFolder();
}

Result<QString> postgresProgram(const QString& name) {
    const QString folder = postgresProgramFolder();
    const QString path = folder.isEmpty() ? QString() : QDir(folder).filePath(name);
    if (path.isEmpty() || !QFileInfo(path).isExecutable())
        return Error{QStringLiteral("The PostgreSQL program \"%1\" was not found. Install the "
                                    "PostgreSQL programs (on Debian, the postgresql package).")
                         .arg(name)};
    return path;
}

Result<ProgramRun> runProgram(const QString& program, const QStringList& arguments,
                              const QProcessEnvironment& environment, const QByteArray& input,
                              const QString& workingFolder) {
    QProcess process;
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(-1))
        return Error{QStringLiteral("The program \"%1\" could not be started: %2")
                         .arg(program, process.errorString())};
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(-1);
    const QString output = QString::fromLocal8Bit(process.readAll()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit)
        return Error{QStringLiteral("The program \"%1\" stopped before its end. %2")
                         .arg(QFileInfo(program).fileName(), output)
                         .trimmed()};
    return ProgramRun{process.exitCode(), output};
}

} // namespace halvo
