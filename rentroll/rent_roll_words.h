#pragma once
// The rent roll's sentences: what its room returns (reminders, refusals) as the user reads it.
// Made here, among the windows, so that a translation can follow.

#include "rentroll/reminders.h"
#include "rentroll/rent_roll.h"

namespace halvo {

// "The lease of Ann Lee (ELM) ends on 1/3/2027, in 60 days."
QString wording(const Reminder& reminder);
// "Say why the deposit is kept."
QString wording(RentRefusal refusal);

} // namespace halvo
