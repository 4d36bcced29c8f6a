#pragma once
// Tells whether another copy of the program is running. A lock file in the user's runtime
// folder holds the running copy's process id; a lock left by a copy that crashed is taken over,
// so it never keeps the program from starting.

#include <QLockFile>
#include <QString>
#include <memory>

namespace halvo {

class InstanceLock {
public:
    // name: the lock's file name; folder: where it lives (default: the user's runtime folder).
    explicit InstanceLock(const QString& name = QStringLiteral("halvo.lock"),
                          const QString& folder = {});
    // True when this process now holds the lock; false when another running copy holds it.
    bool acquire();
    QString path() const { return lockPath; }

private:
    QString lockPath;
    std::unique_ptr<QLockFile> lock;
};

} // namespace halvo
