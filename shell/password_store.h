#pragma once
// The program password in tblUser. It is kept as a salted Argon2id hash, never as the text the
// user typed; only the empty password stays the empty text, because the empty text is what
// marks "no password set yet" for the start-up.

#include "data/connection.h"
#include "core/result.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

namespace halvo {

// What the first row of tblUser holds.
enum class StoredPassword {
    Unreadable, // no table, or no database that opens
    NoRow,      // the table is empty: no password set yet
    Empty,      // the empty text: no password set yet
    Null,       // a row without a value: matches nothing, yet is not a first run
    Set,        // a password (hashed, or clear text left by an older file)
};

class PasswordStore {
public:
    explicit PasswordStore(const QString& dataFolder);

    // What the first row holds, or why it cannot be read.
    Result<StoredPassword> read() const;
    // read(), a failure taken as Unreadable.
    StoredPassword state() const;
    // True exactly when the start-up shows the first-run window: no row, or the empty text.
    bool isFirstRun() const { return isFirstRun(state()); }
    static bool isFirstRun(StoredPassword stored);
    // Exact comparison: letter case counts and nothing is trimmed. A password that cannot be
    // read, and a NULL, match nothing.
    Result<bool> matches(const QString& typed) const;

    // The first password. The table then holds exactly that one row. Refused while a
    // password other than the empty text is in force.
    Status setFirst(const QString& password);
    // Replaces the password in force, in one unit of work: afterwards either the new password
    // or the old one holds, never neither.
    Status replace(const QString& newPassword);

    // The stored form of a password: the empty text for the empty password, otherwise an
    // Argon2id hash string with its own salt and cost.
    static Result<QString> hash(const QString& password);
    static bool isHash(const QString& stored);

private:
    QString folder;
    // The first row's Password; no value at all when the table has no row.
    Result<std::optional<QVariant>> readFirst() const;
    Status store(const QString& password, const std::function<Status(const Connection&)>& allowed);
};

} // namespace halvo
