#include "folders.h"

#include "desktop.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QStandardPaths>

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
    if (folders.portable())
        return {};
    const QString target = QDir(folders.data).filePath(fileName);
    if (QFileInfo::exists(target))
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

} // namespace halvo
