#pragma once
// The year at a glance's table: the ledger's income and expense added up by day, for the whole
// portfolio and for each property, kept the ledger's own by triggers on it.

#include "data/schema_step.h"

namespace halvo {

const SchemaSteps& glanceSchemaSteps();

} // namespace halvo
