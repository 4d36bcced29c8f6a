#pragma once
// The trips of the mileage log, the standard mileage rates the user gave for the years the
// program does not know, and each property's lines 1b and 2 of a tax year.

#include "data/schema_step.h"

namespace halvo {

const SchemaSteps& mileageSchemaSteps();

} // namespace halvo
