#pragma once
// The depreciable assets of the properties: each building and each improvement entered on a
// property, with its basis, its class and its dates.

#include "data/schema_step.h"

namespace halvo {

const SchemaSteps& depreciationSchemaSteps();

} // namespace halvo
