#pragma once
// The program's own tables: properties, tenants, loans, insurance, vendors, categories, the
// ledger, notes and the user's password, with the indexes the windows list them by.

#include "schema_step.h"

#include <QStringList>

namespace halvo {

const SchemaSteps& baseSchemaSteps();
// The names of the tables every database of ours holds.
QStringList tableNames();

} // namespace halvo
