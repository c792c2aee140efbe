// Reading a position from FEN. It lives beside the attack tests because a
// FEN is refused when the side not to move stands in check, and the check
// of the side to move is recorded.
#pragma once

#include <string>
#include <string_view>

#include "declare/position.h"

namespace ormedan {

// Returns false with a message in error when the FEN is malformed or
// describes no legal chess position.
bool PositionFromFen(std::string_view fen, Position& out, Colour& toMove, std::string& error);

}  // namespace ormedan
