#pragma once
// Inside the data layer: the keyed handle that the connections of one file share, the registry
// that hands it out, and what the connection, the file's identity and its key need of each other.

#include "engine.h"
#include "core/result.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <memory>
#include <sqlite3.h>
#include <sys/stat.h>

namespace halvo::detail {

// One keyed SQLite handle on one file: the engine of books kept in a file. Connections share it;
// it closes when the last of them and the registry below have let go of it.
class SharedHandle : public Engine {
public:
    SharedHandle(sqlite3* db, QString path, dev_t device, ino_t inode)
        : db(db), path(std::move(path)), device(device), inode(inode)
    {
        open().insert(this);
    }
    ~SharedHandle() override
    {
        open().remove(this);
        sqlite3_close_v2(db);
    }
    // Every handle still open, in the registry or only in connections that outlive it there.
    static QSet<const SharedHandle*>& open()
    {
        static QSet<const SharedHandle*> handles;
        return handles;
    }
    SharedHandle(const SharedHandle&) = delete;
    SharedHandle& operator=(const SharedHandle&) = delete;

    // The file keyed anew in this one's place: the connections that share the handle go on with
    // it. The old engine handle has been closed.
    void moveTo(sqlite3* newDb, dev_t newDevice, ino_t newInode)
    {
        db = newDb;
        device = newDevice;
        inode = newInode;
    }

    Result<std::unique_ptr<Cursor>> query(const QString& sql, const QVariantList& params) override;
    Result<int> execute(const QString& sql, const QVariantList& params) override;
    Status executeScript(const QString& sql) override;
    Result<qint64> lastInsertedKey() override;
    Status begin(const QString& savepoint) override;
    Status release(const QString& savepoint) override;
    Status rollBack(const QString& savepoint) override;
    bool isInTransaction() const override;
    qint64 changesMade() const override;
    Result<qint64> dataVersion() override;
    Status checkInPlace() const override;
    bool mayWrite() const override { return true; }
    QString rowKey() const override { return QStringLiteral("rowid"); }
    Result<QString> tableNamed(const QString& name) override;
    QString location() const override { return path; }
    SharedHandle* file() override { return this; }

    sqlite3* db;
    const QString path;
    dev_t device;
    ino_t inode;
};

// The handles open now, by file and password.
QHash<QString, std::shared_ptr<SharedHandle>>& registry();
QString registryKey(const QString& path, const QString& password);

bool statOf(const QString& path, struct stat& info);
bool sameFile(const SharedHandle& handle, const struct stat& now);
// Checks that can be made on the file before the engine sees it, so that a file that is not a
// database is refused without being touched.
Status checkFile(const QString& path, struct stat& info);

// The key the engine is given for a password text: the fixed password names the file's own key.
QString engineKey(const QString& path, const QString& password);
// Opens the engine's handle on the file and proves the key on it; the file is then brought up to
// date with the program's schema.
Result<sqlite3*> openKeyed(const QString& path, const QString& password, qint64 size);

} // namespace halvo::detail
