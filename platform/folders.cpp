#include "folders.h"

#include "desktop.h"
#include "prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QStandardPaths>
#include <sys/stat.h>

namespace halvo {

namespace {

// Where a system install keeps the program's files, seen from its executables' folder.
const QString systemFilesBelowPrefix = QStringLiteral("../share/halvo");

QString userDataFolder()
{
    // $XDG_DATA_HOME, or ~/.local/share where it is not set.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("halvo"));
}

} // namespace

Folders locateFolders(const QString& executableFolder)
{
    const QDir executables(executableFolder);
    const QString systemFiles = QDir::cleanPath(executables.filePath(systemFilesBelowPrefix));
    if (QFileInfo(systemFiles).isDir())
        return {systemFiles, userDataFolder()};
    const QString program = QDir::cleanPath(executables.absolutePath());
    if (QFileInfo(program).isWritable())
        return Folders::portableAt(program);
    return {program, userDataFolder()};
}

Folders runningFolders() { return locateFolders(applicationFolder()); }

Status placeDeliveredFile(const Folders& folders, const QString& fileName)
{
    const QString target = QDir(folders.data).filePath(fileName);
    if (QFileInfo::exists(target))
        return {};
    if (const QStringList left = restoreLeftovers(folders.data, fileName); !left.isEmpty())
        return Error{QObject::tr("There is no database \"%1\" in \"%2\", but a restore left "
                                 "\"%3\" there, which holds your records. Nothing was changed. "
                                 "To go on with them, rename that file to \"%1\" and start %4 "
                                 "again.")
                         .arg(fileName, QDir::toNativeSeparators(folders.data), left.first(),
                              programTitle())};
    if (folders.portable())
        return {};
    if (!QDir().mkpath(folders.data))
        return Error{QObject::tr("The folder for your data, \"%1\", could not be made.")
                         .arg(QDir::toNativeSeparators(folders.data))};
    QFile::setPermissions(folders.data,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString delivered = QDir(folders.program).filePath(fileName);
    if (!QFileInfo::exists(delivered))
        return {}; // nothing delivered: the start-up says that the database is missing
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    QFile source(delivered);
    if (!source.copy(partial) || !QFile::rename(partial, target)) {
        QFile::remove(partial);
        return Error{QObject::tr("The empty database could not be copied into \"%1\": %2")
                         .arg(QDir::toNativeSeparators(folders.data), source.errorString())};
    }
    // The copy of a read-only delivered file is the user's to write.
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return {};
}

QString restoringCopyName(const QString& fileName)
{
    return fileName + QStringLiteral(".restoring");
}

namespace {

QString keptPrefix(const QString& fileName)
{
    return QFileInfo(fileName).completeBaseName() + QStringLiteral(" before restore ");
}

} // namespace

QString keptBeforeRestoreName(const QString& fileName, const QDateTime& moment)
{
    return keptPrefix(fileName) + moment.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"))
           + QStringLiteral(".mdb");
}

QString freeFileName(const QString& folder, const QString& name)
{
    const QDir dir(folder);
    const QFileInfo parts(name);
    const QString suffix = parts.suffix().isEmpty() ? QString() : QLatin1Char('.') + parts.suffix();
    QString path = dir.filePath(name);
    for (int n = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++n)
        path = dir.filePath(QStringLiteral("%1 (%2)%3").arg(parts.completeBaseName()).arg(n).arg(suffix));
    return path;
}

QStringList restoreLeftovers(const QString& folder, const QString& fileName)
{
    const QDir dir(folder);
    QStringList found = dir.entryList({keptPrefix(fileName) + QStringLiteral("*.mdb")}, QDir::Files,
                                      QDir::Time);
    const QString restoring = restoringCopyName(fileName);
    if (QFileInfo(dir.filePath(restoring)).isFile())
        found.append(restoring);
    return found;
}

void keepPrivate(const QString& path)
{
    struct stat info {};
    const QByteArray name = QFile::encodeName(path);
    if (::lstat(name.constData(), &info) == 0 && (info.st_mode & 077) != 0
        && (S_ISREG(info.st_mode) || S_ISDIR(info.st_mode)))
        ::chmod(name.constData(), info.st_mode & 07700);
}

void keepDataPrivate(const Folders& folders)
{
    // The data folder of a portable install also holds the programs, which stay as they are.
    if (!folders.portable())
        keepPrivate(folders.data);
    const QDir data(folders.data);
    for (const QString& file : data.entryList(QDir::Files | QDir::Hidden))
        if (file.endsWith(QLatin1String(".mdb")) || file.contains(QLatin1String(".mdb-"))
            || file.contains(QLatin1String(".mdb."))
            || file == QLatin1String("settings.ini"))
            keepPrivate(data.filePath(file));
    for (const QString& sub : {QStringLiteral("backup"), QStringLiteral("Prop")}) {
        if (!QFileInfo(data.filePath(sub)).isDir())
            continue;
        keepPrivate(data.filePath(sub));
        const QDir inside(data.filePath(sub));
        for (const QString& file : inside.entryList(QDir::Files | QDir::Hidden))
            keepPrivate(inside.filePath(file));
    }
}

} // namespace halvo
