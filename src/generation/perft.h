// Perft: the leaf count of the tree of legal moves, walked with the search's
// own generator (GenerateMovesLazily) ply by ply into ChildPositions. Every
// child is made, the leaves included (those one after the other on one
// scratch record, see GenerateLeaves), so the count measures generation,
// legality tests, make move and check marks together.
#pragma once

#include <cstdint>
#include <string>

#include "declare/engine.h"

namespace ormedan {

// The root is stored as ChildPositions[1][1] and generation starts at ply 2,
// so perft counts moves whatever the material (the insufficient-material
// answer belongs to ply 1 only) and reaches depth MaxPly - 1.
constexpr int MaxPerftDepth = MaxPly - 1;

// Leaves at `depth` (1..MaxPerftDepth) below `root` with `toMove` to move,
// and in *checks (when given) how many of them are in check.
// The root's checkingPiece must tell whether `toMove` is in check.
uint64_t PerftCount(Engine& e, const Position& root, Colour toMove, int depth, uint64_t* checks = nullptr);

// The same count split by root move. Writes the root moves (in the order
// the generator lists its children) to moves[0..n-1] and their leaf counts
// to counts[0..n-1]; both arrays need MaxChildren entries. Returns n.
int PerftDivide(Engine& e, const Position& root, Colour toMove, int depth, int32_t* moves, uint64_t* counts);

// Coordinate text of a move in the position it is played from, e.g. e2e4
// or b7a8q (for listings and tests).
std::string MoveCoordinates(const Position& from, int32_t move);

}  // namespace ormedan
