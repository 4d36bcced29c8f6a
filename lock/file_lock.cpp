#include "file_lock.h"

#include "data/connection.h"
#include "data/connection_string.h"

#include <QFile>
#include <sodium.h>

namespace halvo {

namespace {

const QByteArray saltLetters =
    QByteArrayLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");

} // namespace

bool passwordLibraryReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

QByteArray newLockSalt()
{
    QByteArray salt(LockCost::saltBytes, Qt::Uninitialized);
    if (!passwordLibraryReady())
        return {};
    for (char& c : salt)
        c = saltLetters.at(int(randombytes_uniform(uint32_t(saltLetters.size()))));
    return salt;
}

bool isLockSalt(const QByteArray& salt)
{
    if (salt.size() != LockCost::saltBytes)
        return false;
    for (char c : salt)
        if (!saltLetters.contains(c))
            return false;
    return true;
}

Result<QString> lockKey(const QString& password, const QByteArray& salt)
{
    if (!isLockSalt(salt))
        return Error{QStringLiteral("The database file does not carry a password's salt.")};
    if (!passwordLibraryReady())
        return Error{QStringLiteral("The password library could not be started.")};
    const QByteArray bytes = password.toUtf8();
    QByteArray key(LockCost::keyBytes, Qt::Uninitialized);
    if (crypto_pwhash(reinterpret_cast<unsigned char*>(key.data()), key.size(), bytes.constData(),
                      static_cast<unsigned long long>(bytes.size()),
                      reinterpret_cast<const unsigned char*>(salt.constData()), LockCost::passes,
                      LockCost::memoryBytes, crypto_pwhash_ALG_ARGON2ID13)
        != 0)
        return Error{QStringLiteral("There is not enough memory to derive the file's key.")};
    const QString text = QStringLiteral("x'%1%2'").arg(QString::fromLatin1(key.toHex()),
                                                        QString::fromLatin1(salt.toHex()));
    sodium_memzero(key.data(), size_t(key.size()));
    return text;
}

Result<QByteArray> fileSalt(const QString& path)
{
    QByteArray salt(LockCost::saltBytes, '\0');
    if (heldByEngine(path)) {
        Result<Connection> held = Connection::openFile(path, DatabasePassword);
        if (!held)
            return held.error();
        if (Status read = held.value().readFileBytes(0, salt.data(), salt.size()); !read)
            return read.error();
        return salt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.read(salt.data(), salt.size()) != salt.size())
        return Error{QStringLiteral("The database file \"%1\" cannot be read.").arg(path)};
    return salt;
}

bool isLockKey(const QString& key)
{
    return key.startsWith(QLatin1String("x'")) && key != DatabasePassword;
}

bool isLockedFile(const QString& path)
{
    if (heldByEngine(path))
        return isLockKey(fileKey(path));
    const Result<QByteArray> salt = fileSalt(path);
    if (!salt || !isLockSalt(salt.value()))
        return false;
    return !Connection::openFile(path, DatabasePassword);
}

} // namespace halvo
