#pragma once
// The user's password locks the database file: the file is then encrypted with a key that
// Argon2id gives from the password, instead of the program's fixed password, and a copy of the
// file is of no use without the password.
//
// The key is raw (256 bits), handed to the engine as its text x'<64 hex digits>'; the engine's
// own passphrase derivation is not used. The salt is 16 letters and digits that the file itself
// carries as its first 16 bytes, where the engine keeps its salt: the engine writes the salt it
// is given with a raw key there. So the file alone, with the password, opens: no side file whose
// loss would lose the data. The same derivation with Debian's argon2 tool opens it with the
// sqlcipher command line (the README says how), which is why the salt is printable text.
//
// Argon2id rather than the engine's PBKDF2: it needs 64 MiB for every guess, which makes a
// password guessed on graphics cards as slow as here, where PBKDF2 at any count we could afford at
// the login is not.

#include "core/result.h"

#include <QByteArray>
#include <QString>

namespace halvo {

class Connection;

struct LockCost {
    // argon2 -id -t 3 -m 16 -p 1 -l 32 -r: three passes over 64 MiB, one lane, 32 bytes out.
    static constexpr unsigned long long passes = 3;
    static constexpr std::size_t memoryBytes = std::size_t(64) << 20;
    static constexpr int keyBytes = 32;
    static constexpr int saltBytes = 16;
};

// Whether the password library (libsodium) could be started; it is started on the first call.
bool passwordLibraryReady();

// A new salt: 16 letters and digits, drawn at random.
QByteArray newLockSalt();
// Whether 16 bytes are a salt of ours: letters and digits only. A file keyed with the fixed
// password begins with 16 random bytes instead.
bool isLockSalt(const QByteArray& salt);

// The engine's text for the key that `password` gives with `salt`: x'<key><salt>' in hex, which
// opens the file that carries the salt and gives a new file that salt.
Result<QString> lockKey(const QString& password, const QByteArray& salt);

// The first 16 bytes of a database file: read through the engine while the program holds the
// file, from the file itself before any connection does.
Result<QByteArray> fileSalt(const QString& path);

// Whether the key is one a password gave (not the fixed password).
bool isLockKey(const QString& key);

// Whether the database file at `path` is locked with a password: it begins with a salt of ours
// and the fixed password does not open it. A file the program holds is locked exactly when its
// key is a password's.
bool isLockedFile(const QString& path);

} // namespace halvo
