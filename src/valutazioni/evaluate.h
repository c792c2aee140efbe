// Static evaluation, white-positive, pawn = 100.
#pragma once

#include "declare/engine.h"

namespace ormedan {

// Scores GamePosition (ply 0) or ChildPositions[slot][ply] starting from base.
// Leaves the evaluated position in WorkPosition.
int Evaluate(Engine& e, int ply, int slot, int base);

// Number of living pieces of colour C in p attacking the square.
template <Colour C> int AttackerCount(const Position& p, int file, int rank);

extern template int AttackerCount<White>(const Position&, int, int);
extern template int AttackerCount<Black>(const Position&, int, int);

}  // namespace ormedan
