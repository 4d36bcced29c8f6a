#include "instance_lock.h"

#include <QDir>
#include <QStandardPaths>

namespace halvo {

InstanceLock::InstanceLock(const QString& name, const QString& folder)
{
    QString dir = folder;
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QDir().mkpath(dir);
    lockPath = QDir(dir).filePath(name);
}

bool InstanceLock::acquire()
{
    if (lock && lock->isLocked())
        return true;
    lock = std::make_unique<QLockFile>(lockPath);
    // Only a live process holds the lock: a file left by one that died is stale at once.
    lock->setStaleLockTime(0);
    return lock->tryLock(0);
}

} // namespace halvo
