#pragma once
// The vendors paid's table: the payees ticked "no 1099 needed" in a tax year.

#include "data/schema_step.h"

namespace halvo {

const SchemaSteps& vendorsPaidSchemaSteps();

} // namespace halvo
