#pragma once
// The database file's schema, kept in numbered steps (data/schema_step.h). The file remembers the
// number of the last step it has taken; opening it takes the steps after that one, all in one
// unit of work, so that a file of an older release, a restored backup or a copy opens with every
// table of this one and everything it held.

#include "base_schema.h"
#include "core/result.h"

#include <QString>
#include <QStringList>

struct sqlite3;

namespace halvo {

class Connection;

// The code of the error that refuses a file a newer program has taken further steps in: not one
// of the engine's codes, so that the start-up can tell it from a file that cannot be read.
inline constexpr int SchemaNewerThanProgram = -1000;

// Every room's steps, in the order of their numbers.
const SchemaSteps& schemaSteps();
// The number of the last step this program knows: a file that has taken it holds every table.
int schemaStepsKnown();
// The number of the last step the file has taken; 0 for a new file or one from before the
// steps were numbered.
Result<int> schemaStepTaken(const Connection& connection);
// Takes the steps of `steps` after the one the file has taken, together or not at all: a step
// that fails leaves the file as it was and is named in the error. A file that has taken a step
// `steps` does not know is refused, unchanged.
Status takeSchemaSteps(const Connection& connection, const SchemaSteps& steps);

// The statements of every step, one after the other (a file made without the program).
QString schemaScript();
// Creates a new database file, keyed with the password, that has taken every step and holds
// no row. An existing file is never touched: that is an error.
Status createDatabase(const QString& path, const QString& password);

namespace detail {
// What opening a file does with the engine's handle, before any connection uses it: a file of a
// newer program is refused before anything is written to it, and the steps are taken once the
// file is known to be writable.
Status refuseNewerSchema(sqlite3* db, const QString& path);
Status takeSchemaSteps(sqlite3* db, const QString& path, const SchemaSteps& steps);
} // namespace detail

} // namespace halvo
