// Attack tests. Each takes a square and the colour that owns it and returns
// the PieceId of an attacking enemy piece, or 0.
#pragma once

#include "declare/position.h"

namespace ormedan {

int SquareAttacked(const Position& p, int file, int rank, int colour);
int PieceAttacksSquare(const Position& p, int file, int rank, int piece, int colour);
int SliderAttacksSquare(const Position& p, int file, int rank, int colour);
int OrthogonalAttacksSquare(const Position& p, int file, int rank, int colour);

}  // namespace ormedan
