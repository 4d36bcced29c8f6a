#include "database_as_left.h"

#include "data/connection.h"
#include "platform/settings.h"

#include <QFile>
#include <sys/stat.h>

namespace halvo {

namespace {

const QString AsLeftKey = QStringLiteral("DatabaseAsLeft");

// Device, inode, size and the time of the last change to the nanosecond; empty when there is no
// file.
QString identityOf(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    return QStringLiteral("%1:%2:%3:%4.%5")
        .arg(qulonglong(info.st_dev))
        .arg(qulonglong(info.st_ino))
        .arg(qlonglong(info.st_size))
        .arg(qlonglong(info.st_mtim.tv_sec))
        .arg(qlonglong(info.st_mtim.tv_nsec), 9, 10, QLatin1Char('0'));
}

} // namespace

bool databaseAsLeft(const QString& path)
{
    const QString seen = identityOf(path);
    return !seen.isEmpty() && Settings::value(AsLeftKey) == seen;
}

void rememberDatabaseAsLeft(const QString& path)
{
    if (!heldByEngine(path))
        Settings::setValue(AsLeftKey, identityOf(path));
}

} // namespace halvo
