#pragma once
// What a move of the books did, or why it was not made, in the user's words.

#include "server/move_books.h"

#include <QString>

namespace halvo {

// "The books were moved ..., and checked there: ..." with a line for each kind of record moved.
QString movedWords(const BooksMoved& moved);
// Why the move was not made or not kept: the refusal's sentence.
QString refusalWords(const MoveRefusal& refusal);
// The sentence for any outcome: done, refused, or failed below.
QString moveWords(const MoveOutcome& outcome);

} // namespace halvo
