#pragma once
// The documents kept in the file: each document once, in chunks, the records it is attached
// to, and the records' pictures.

#include "data/schema_step.h"

namespace halvo {

const SchemaSteps& attachmentSchemaSteps();

} // namespace halvo
