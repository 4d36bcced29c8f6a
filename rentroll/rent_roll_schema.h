#pragma once
// The rent roll's tables: each lease's terms, the rent until each change, the income rows that
// pay a tenant, and the deposits held.

#include "data/schema_step.h"

namespace halvo {

const SchemaSteps& rentRollSchemaSteps();

} // namespace halvo
