// Builds MoveCodes from coordinate text ("e2e4", "e7e8q") against a
// position, the way the driver reads the opponent's moves: the moving piece
// from the origin square, the captured piece from the destination or, for a
// pawn moving diagonally to an empty square, from beside it.
#pragma once

#include <string_view>

#include "declare/position.h"

namespace ormedan::testing {

inline int32_t MoveFromText(const Position& p, std::string_view text) { return MoveCodeFromText(p, text.substr(0, 5)); }

}  // namespace ormedan::testing
