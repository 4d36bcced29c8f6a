#pragma once
// The tax year's table: the line of Schedule E each category goes to.

#include "data/schema_step.h"

namespace halvo {

const SchemaSteps& scheduleESchemaSteps();

} // namespace halvo
