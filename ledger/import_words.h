#pragma once
// What the statement import returns, as the user reads it: the lines' states, the payee rules'
// ways of matching, why a line is taken for a duplicate, and what the import refuses. Made here,
// among the windows, so that a translation can follow.

#include "statements/ledger_import.h"

namespace halvo {

// "New", "Duplicate", "Needs a category".
QString stateCaption(ImportLine::State state);
// "Payee starts with", "Payee contains", "Payee is": as the rule window lists them.
QString matchCaption(PayeeRule::Match match);
// "imported before"; "$45.10 to City Water on 11/3/2026 is in the ledger".
QString wording(const Duplicate& duplicate);
// "Line 2 has no payee: choose one."
QString wording(const ImportRefusal& refusal);

} // namespace halvo
