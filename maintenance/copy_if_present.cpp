#include "copy_if_present.h"

#include "data/connection.h"
#include "platform/prompts.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace DBBackup {

void reportNotValid(const QString& path, QWidget* parent)
{
    halvo::prompts().message(parent, QLatin1Char('"') + path + QStringLiteral("\" is not valid file name."));
}

bool CopyIfPresent(const QString& source, const QString& destination, QWidget* parent)
{
    const QFileInfo from(source);
    if (!from.exists() || !from.isFile()) {
        reportNotValid(source, parent);
        return false;
    }
    // The database file in use is the engine's alone: a copy of it is made through the engine
    // (a backup), never by reading it here, and nothing is copied over it or its log.
    if (halvo::heldByEngine(source) || halvo::heldByEngine(destination))
        return false;
    // A file chosen from where it would be copied to is already in place; replacing the
    // destination first would delete the only copy.
    const QFileInfo to(destination);
    if (to.exists() && to.canonicalFilePath() == from.canonicalFilePath())
        return true;
    // Copy beside the destination first, then put it in place, so that a failed copy never
    // leaves the destination gone.
    const QString partial = destination + QStringLiteral(".partial");
    QFile::remove(partial);
    if (!QFile::copy(source, partial))
        return false;
    // What is copied into the data folder is the user's alone, as the database is.
    QFile::setPermissions(partial, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // One rename replaces the destination, so that it is never gone.
    if (std::rename(QFile::encodeName(partial).constData(),
                    QFile::encodeName(destination).constData())
        != 0) {
        QFile::remove(partial);
        return false;
    }
    return true;
}

} // namespace DBBackup
