#pragma once
// Which file a connection holds, known by its device and inode rather than by its name: a file
// renamed, replaced or copied is never taken for the one the engine has open.

#include "core/result.h"

#include <QString>

namespace halvo {

// The database file is the engine's alone while a connection holds it. The engine's locks belong
// to the process, and closing any descriptor of a file drops every lock the process holds on it:
// another program (the sqlcipher command line) that closes the file afterwards takes it for
// unused, empties the write-ahead log into it and deletes the log that this program goes on
// writing to, so that every save from then on is lost with the next crash. Nothing but the engine
// therefore opens a file that is held, nor its log or shared memory; what needs a file's bytes
// reads them before its first connection, or through the engine (Connection::readFileBytes).

// Whether a connection of this program holds the file at `path`, or the file whose write-ahead
// log ("-wal"), shared memory ("-shm") or journal ("-journal") `path` is.
bool heldByEngine(const QString& path);
// The refusal of a file the user chose that the engine holds: what reads or writes a file of the
// user's choosing (an import, an export, an attachment, a saved copy) asks this first.
Status notHeldByEngine(const QString& path);

// Whether the file at `path` is an SQLite database without encryption, told by its first bytes.
// A file the engine holds is not read: the engine opened it with its key, so it is encrypted.
Result<bool> isUnencryptedDatabase(const QString& path);

// Closes the shared handle of a file once no connection uses it any more (which also empties its
// write-ahead log into it), so that the file can be replaced (a restore) or deleted. A connection
// opened afterwards keys the file anew. A file replaced while connections still use it is refused
// until they are gone.
void releaseDatabase(const QString& path);
// Whether any connection still uses the file: a file in use is not to be replaced.
bool databaseInUse(const QString& path);

// While a backup is put in the live file's place, no connection of the program opens the file:
// the summary's tick, the lock's password or a window opened meanwhile would hold the old file
// while it is renamed from under them, and the restored file would then be refused as replaced
// while in use. Opening it is refused for as long as the guard lives.
class ReplacingFile {
public:
    explicit ReplacingFile(const QString& path);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

private:
    QString path;
};
// Whether the file at `path` is being replaced (a ReplacingFile lives for it).
bool beingReplaced(const QString& path);

} // namespace halvo
