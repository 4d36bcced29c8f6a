#pragma once
// Copies of the live database file that are whole and consistent even while windows hold it open,
// and checks that a file is a database of ours before it is put in the live file's place.

#include "core/result.h"

#include <QString>
#include <functional>
#include <optional>

namespace halvo {

class Connection;

// Told how many bytes of how many are done; answering false stops the copy.
using CopyProgress = std::function<bool(qint64 done, qint64 total)>;

// Copies the file that `live` is on to `target`, replacing a file there only once the copy is
// whole. The write-ahead log is first emptied into the file and then held from being emptied
// again until the copy is done, so the bytes copied are one committed state even when a window
// saves in between (its change stays in the log, for the next backup). The copy is then checked:
// its bytes are those of the file, and it opens with the password and holds every table.
Status copyLiveDatabase(const Connection& live, const QString& target, const QString& password,
                        const CopyProgress& progress = {});

// A compacted, encrypted copy of the database that `live` is on: every table and index written
// anew, with no free pages, into `target` (a file there is replaced once the copy is whole);
// checked in full.
Status writeCompactedCopy(const Connection& live, const QString& target,
                          const QString& password);

// A copy of every table written anew, like the compacted copy, but keyed with `key` (the engine's
// text of a key: a password, or x'...' for a raw key with its salt). With `passwordRow`, the
// copy's tblUser holds exactly that one row. `source` is a database of ours keyed with
// `sourceKey`, which is read and not changed; the copy is checked in full before it is put at
// `target`.
Status writeRekeyedCopy(const QString& source, const QString& sourceKey, const QString& target,
                        const QString& key, const std::optional<QString>& passwordRow,
                        const CopyProgress& progress = {});

// Keys the live database anew: every table is written into a new file keyed with `newKey`
// beside it, checked in full, and renamed over the live file in one step, and every connection
// goes on with the new file (replaceOpenDatabase). Until the rename the live file is as it was,
// so a program killed at any moment leaves a file that opens with the old key or the new one.
// With `passwordRow`, the new file's tblUser holds exactly that row. Refused with nothing
// changed while a unit of work is open, and when a change is saved while the copy is written.
Status rekeyLiveDatabase(const Connection& live, const QString& newKey,
                         const std::optional<QString>& passwordRow,
                         const CopyProgress& progress = {});

// The steps of a restore, told as each is done (a test stops the program between them).
enum class RestoreStep {
    Copied, // the chosen file is whole beside the live one, under its ".restoring" name
    Kept,   // the live file has its kept name too
    Placed, // the restored file stands under the live name
};

// Puts the database at `chosen` in the live file's place. The chosen file has been found a whole
// database of ours with checkDatabaseCopy, before anything was closed for it; it is copied beside
// the live file (each piece read back as it is written), the live file is kept as `keptAs` too,
// and the copy is renamed over the live name in one step. No connection may use the live file,
// and none opens it until this returns (ReplacingFile). On any failure the live file is as it
// was; at every moment, a program killed included, the live name holds the old records or the
// restored ones.
Status replaceLiveDatabase(const QString& chosen, const QString& live, const QString& keptAs,
                           const CopyProgress& progress = {},
                           const std::function<void(RestoreStep)>& reached = {});

// Whether the file at `path` is a whole database of ours: it opens with the password, every page
// reads (a full check) and it holds every table. The file is opened read-only and not changed.
Status checkDatabaseCopy(const QString& path, const QString& password);

} // namespace halvo
