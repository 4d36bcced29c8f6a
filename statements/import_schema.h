#pragma once
// The statement import's tables: each import and its lines, the payee rules, the saved CSV
// mappings, and the user's names of the accounts the files are of.

#include "data/schema_step.h"

namespace halvo {

const SchemaSteps& importSchemaSteps();

} // namespace halvo
