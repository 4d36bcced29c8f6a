#include "connection.h"
#include "shared_handle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace halvo {

namespace detail {

// Handles stay open between connections: the summary alone opens three connections a second,
// and keying a file again each time would cost more than all its queries.
QHash<QString, std::shared_ptr<SharedHandle>>& registry()
{
    // The set of open handles is made first, so that it is destroyed last: the handles this
    // registry still holds at the program's end take themselves out of it as they close.
    (void)SharedHandle::open();
    static QHash<QString, std::shared_ptr<SharedHandle>> handles;
    return handles;
}

QString registryKey(const QString& path, const QString& password)
{
    return path + QLatin1Char('\n') + password;
}

bool sameFile(const SharedHandle& handle, const struct stat& now)
{
    return handle.device == now.st_dev && handle.inode == now.st_ino;
}

bool statOf(const QString& path, struct stat& info)
{
    return ::stat(QFile::encodeName(path).constData(), &info) == 0;
}

Status checkFile(const QString& path, struct stat& info)
{
    if (!statOf(path, info))
        return Error{QStringLiteral("The database file \"%1\" does not exist.").arg(path)};
    if (!S_ISREG(info.st_mode))
        return Error{QStringLiteral("\"%1\" is not a database file.").arg(path)};
    // Anything shorter than a page is no database. An empty file above all: the engine would
    // take it for a new database and write one into it.
    if (info.st_size < 1024)
        return Error{QStringLiteral("The file \"%1\" is not a HALVO database.").arg(path)};
    Result<bool> plain = isUnencryptedDatabase(path);
    if (!plain)
        return plain.error();
    if (plain.value())
        return Error{QStringLiteral("The file \"%1\" is not an encrypted HALVO database.").arg(path)};
    // Write permission is judged from the file's own permission bits, not only from what the
    // system would allow this user: a file the user marked read-only is not written to.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || !QFileInfo(path).isWritable())
        return Error{QStringLiteral("The database file \"%1\" is read-only.").arg(path)};
    return {};
}

} // namespace detail

namespace {

using detail::registry;
using detail::sameFile;
using detail::SharedHandle;
using detail::statOf;

// Whether a handle is open on the file that `info` describes, whatever password opened it.
bool isHeld(const struct stat& info)
{
    const QSet<const SharedHandle*>& handles = SharedHandle::open();
    return std::any_of(handles.cbegin(), handles.cend(),
                       [&](const SharedHandle* h) { return sameFile(*h, info); });
}

const QByteArray plainHeader("SQLite format 3\0", 16);

QHash<QString, int>& filesBeingReplaced()
{
    static QHash<QString, int> files;
    return files;
}

} // namespace

void releaseDatabase(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    auto& handles = registry();
    for (auto it = handles.begin(); it != handles.end();) {
        if (it.value()->path == absolute)
            it = handles.erase(it);
        else
            ++it;
    }
}

ReplacingFile::ReplacingFile(const QString& path) : path(QFileInfo(path).absoluteFilePath())
{
    ++filesBeingReplaced()[this->path];
}

ReplacingFile::~ReplacingFile()
{
    if (--filesBeingReplaced()[path] <= 0)
        filesBeingReplaced().remove(path);
}

bool beingReplaced(const QString& path)
{
    return filesBeingReplaced().contains(QFileInfo(path).absoluteFilePath());
}

bool heldByEngine(const QString& path)
{
    QString file = QFileInfo(path).absoluteFilePath();
    for (const QLatin1String side : {QLatin1String("-wal"), QLatin1String("-shm"),
                                     QLatin1String("-journal")})
        if (file.endsWith(side)) {
            file.chop(side.size());
            break;
        }
    struct stat info {};
    return statOf(file, info) && isHeld(info);
}

Status notHeldByEngine(const QString& path)
{
    if (!heldByEngine(path))
        return {};
    return Error{QStringLiteral("\"%1\" is the database file HALVO has open (or part of it); "
                                "choose another file.")
                     .arg(QDir::toNativeSeparators(QFileInfo(path).fileName()))};
}

Result<bool> isUnencryptedDatabase(const QString& path)
{
    if (heldByEngine(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Error{QStringLiteral("The database file \"%1\" cannot be read.").arg(path)};
    return file.read(plainHeader.size()) == plainHeader;
}

bool databaseInUse(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const auto& handles = registry();
    for (auto it = handles.begin(); it != handles.end(); ++it)
        if (it.value()->path == absolute && it.value().use_count() > 1)
            return true;
    return false;
}

} // namespace halvo
