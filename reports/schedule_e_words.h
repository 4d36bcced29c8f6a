#pragma once
// What stops a tax year of the Schedule E worksheet, as the user reads it. Made here, among the
// windows, so that a translation can follow.

#include "tax/schedule_e.h"

namespace halvo {

// "The category "Pest Control" (expense) of 2026 has no Schedule E line: give it one in the
// category editor."
QString wording(const WorksheetRefusal& refusal);

} // namespace halvo
