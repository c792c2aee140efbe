// Perft walk over ChildPositions.
#include "generation/perft.h"

#include "generation/generate.h"

namespace ormedan {

namespace {

// Leaves `remaining` plies below ChildPositions[slot][ply - 1], C to move;
// the leaves that give check are added to `checks`.
template <Colour C> uint64_t Walk(Engine& e, int ply, int slot, int remaining, uint64_t& checks) {
  if (remaining == 1) {
    const int n = GenerateLeaves<C>(e, ply, slot, checks);
    return n > 0 ? static_cast<uint64_t>(n) : 0;
  }
  const int n = GenerateMovesLazily<C>(e, ply, slot);
  if (n <= 0) return 0;
  MakePendingChildren<C>(e, ply, n);
  uint64_t leaves = 0;
  for (int i = 1; i <= n; ++i) leaves += Walk<Other(C)>(e, ply + 1, i, remaining - 1, checks);
  return leaves;
}

template <Colour C>
int Divide(Engine& e, const Position& root, int depth, int32_t* moves, uint64_t* counts) {
  e.ChildPositions[1][1] = root;
  const int n = GenerateMoves<C>(e, 2, 1);
  for (int i = 1; i <= n; ++i) {
    moves[i - 1] = e.ChildPositions[i][2].lastMove;
    uint64_t checks = 0;
    counts[i - 1] = depth == 1 ? 1 : Walk<Other(C)>(e, 3, i, depth - 1, checks);
  }
  return n > 0 ? n : 0;
}

}  // namespace

uint64_t PerftCount(Engine& e, const Position& root, Colour toMove, int depth, uint64_t* checks) {
  if (depth < 1 || depth > MaxPerftDepth) return 0;
  e.ChildPositions[1][1] = root;
  uint64_t leafChecks = 0;
  const uint64_t leaves =
      toMove == White ? Walk<White>(e, 2, 1, depth, leafChecks) : Walk<Black>(e, 2, 1, depth, leafChecks);
  if (checks != nullptr) *checks = leafChecks;
  return leaves;
}

std::string MoveCoordinates(const Position& from, int32_t move) {
  const int piece = MovePiece(move);
  std::string s;
  s += static_cast<char>('a' + from.pieceFile[piece] - 1);
  s += static_cast<char>('0' + from.pieceRank[piece]);
  s += static_cast<char>('a' + MoveToFile(move) - 1);
  s += static_cast<char>('0' + MoveToRank(move));
  if (const char letter = PromotionLetter(MovePromotion(move))) s += letter;
  return s;
}

int PerftDivide(Engine& e, const Position& root, Colour toMove, int depth, int32_t* moves, uint64_t* counts) {
  if (depth < 1 || depth > MaxPerftDepth) return 0;
  return toMove == White ? Divide<White>(e, root, depth, moves, counts) : Divide<Black>(e, root, depth, moves, counts);
}

}  // namespace ormedan
