// Writes a position as FEN, so that a test can rebuild it independently.
#pragma once

#include <string>

#include "declare/position.h"

namespace ormedan::testing {

// FEN of the position with `toMove` to move (halfmove clock 0, move 1).
// A castling right is written only where castling can still happen: the
// right is set and the king and that rook stand on their home squares with
// their initial PieceIds. A set enPassantFile is written as the square on
// which a pawn of the side to move would take.
std::string PositionToFen(const Position& p, Colour toMove);

}  // namespace ormedan::testing
