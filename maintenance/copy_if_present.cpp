#include "copy_if_present.h"

#include "data/connection.h"
#include "platform/prompts.h"

#include <QFile>
#include <QFileInfo>

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
    // (a backup), never by reading it here.
    if (halvo::heldByEngine(source))
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
    QFile::remove(destination);
    return QFile::rename(partial, destination);
}

} // namespace DBBackup
