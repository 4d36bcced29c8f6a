#include "password_store.h"

#include "data/connection.h"
#include "data/connection_string.h"
#include "lock/file_lock.h"

#include <QByteArray>
#include <QCoreApplication>
#include <sodium.h>

namespace halvo {

namespace {

// "The first row" is the row added first: the table is read in the order its rows were written.
const QString readFirstRow = QStringLiteral("SELECT Password FROM tblUser ORDER BY rowid LIMIT 1");
const QString deleteAllRows = QStringLiteral("DELETE FROM tblUser");
const QString addRow = QStringLiteral("INSERT INTO tblUser (Password) VALUES (?)");

QString tr(const char* text) { return QCoreApplication::translate("PasswordStore", text); }

} // namespace

PasswordStore::PasswordStore(const QString& dataFolder) : folder(dataFolder) {}

Result<std::optional<QVariant>> PasswordStore::readFirst() const
{
    auto connection = Connection::open(standardConnectionString(folder));
    if (!connection)
        return connection.error();
    auto rows = connection.value().select(readFirstRow);
    if (!rows)
        return rows.error();
    if (rows.value().values.isEmpty())
        return std::optional<QVariant>();
    return std::optional<QVariant>(rows.value().values.first().value(0));
}

Result<StoredPassword> PasswordStore::read() const
{
    const auto stored = readFirst();
    if (!stored)
        return stored.error();
    if (!stored.value())
        return StoredPassword::NoRow;
    if (stored.value()->isNull())
        return StoredPassword::Null;
    return stored.value()->toString().isEmpty() ? StoredPassword::Empty : StoredPassword::Set;
}

StoredPassword PasswordStore::state() const
{
    return read().valueOr(StoredPassword::Unreadable);
}

bool PasswordStore::isFirstRun(StoredPassword stored)
{
    return stored == StoredPassword::NoRow || stored == StoredPassword::Empty;
}

Result<bool> PasswordStore::matches(const QString& typed) const
{
    const auto stored = readFirst();
    if (!stored)
        return stored.error();
    // No row is no password, and matches nothing either.
    if (!stored.value())
        return Error{tr("No password row is stored.")};
    if (stored.value()->isNull())
        return false;
    const QString text = stored.value()->toString();
    if (!isHash(text)) {
        // The empty password, or clear text written by an older file: compared exactly.
        return text == typed;
    }
    if (!passwordLibraryReady())
        return Error{tr("The password library could not be started.")};
    const QByteArray hashText = text.toUtf8();
    const QByteArray typedBytes = typed.toUtf8();
    return crypto_pwhash_str_verify(hashText.constData(), typedBytes.constData(),
                                    static_cast<unsigned long long>(typedBytes.size()))
           == 0;
}

Status PasswordStore::setFirst(const QString& password)
{
    // Whatever rows hold the empty text are replaced, so that the new password becomes the
    // first row: a row added behind an empty one would never be read.
    return store(password, [](const Connection& db) -> Status {
        auto first = db.select(readFirstRow);
        if (!first)
            return first.error();
        if (!first.value().values.isEmpty()) {
            const QVariant current = first.value().values.first().value(0);
            if (current.isNull() || !current.toString().isEmpty())
                return Error{tr("A password is already set.")};
        }
        return {};
    });
}

Status PasswordStore::replace(const QString& newPassword)
{
    return store(newPassword, [](const Connection&) { return Status(); });
}

// Puts a password in force as the table's one row, in one unit of work: afterwards either it or
// the one before is in force. `allowed` may refuse inside the unit of work.
Status PasswordStore::store(const QString& password,
                            const std::function<Status(const Connection&)>& allowed)
{
    auto stored = hash(password);
    if (!stored)
        return stored.error();
    auto connection = Connection::open(standardConnectionString(folder));
    if (!connection)
        return connection.error();
    const Connection& db = connection.value();
    Transaction work(db);
    if (!work.status())
        return work.status();
    if (Status ok = allowed(db); !ok)
        return ok;
    // Every row goes, not just the first: the table holds the one password in force.
    if (auto removed = db.execute(deleteAllRows); !removed)
        return removed.error();
    if (auto added = db.execute(addRow, {stored.value()}); !added)
        return added.error();
    return work.commit();
}

Result<QString> PasswordStore::hash(const QString& password)
{
    if (password.isEmpty())
        return QString();
    if (!passwordLibraryReady())
        return Error{tr("The password library could not be started.")};
    const QByteArray bytes = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, bytes.constData(), static_cast<unsigned long long>(bytes.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE)
        != 0)
        return Error{tr("There is not enough memory to protect the password.")};
    return QString::fromLatin1(out);
}

bool PasswordStore::isHash(const QString& stored)
{
    return stored.startsWith(QLatin1String("$argon2id$"));
}

} // namespace halvo
