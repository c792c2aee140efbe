// Test helpers for move generation: generation for either colour, and a
// walk of the legal move tree that redoes every trial move of GenerateMoves
// the slow way (make, full consistency check, full king test) and compares
// the children with what the generator stored.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "declare/makemove_impl.h"
#include "declare/model.h"
#include "support/fen_load.h"
#include "support/fen_writer.h"
#include "generation/generate.h"
#include "generation/perft.h"
#include "utilita/attacks.h"

namespace ormedan::testing {

inline int Generate(Engine& e, Colour c, int ply, int slot) {
  return c == White ? GenerateMoves<White>(e, ply, slot) : GenerateMoves<Black>(e, ply, slot);
}

inline int GenerateCapturesFor(Engine& e, Colour c, int ply, int slot) {
  return c == White ? GenerateCaptures<White>(e, ply, slot) : GenerateCaptures<Black>(e, ply, slot);
}

inline bool SamePosition(const Position& a, const Position& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Coordinate text of a move in the position it is played from.
inline std::string MoveText(const Position& from, int32_t move) { return MoveCoordinates(from, move); }

// The children of the last generation at `ply`, as move texts.
inline std::vector<std::string> ChildMoves(const Engine& e, const Position& from, int ply, int n) {
  std::vector<std::string> out;
  for (int i = 1; i <= n; ++i) out.push_back(MoveText(from, e.ChildPositions[i][ply].lastMove));
  return out;
}

struct WalkReport {
  uint64_t leaves = 0;
  uint64_t makes = 0;
  std::string fault;  // the first fault found, with the path that led to it
};

// Walks `remaining` plies below ChildPositions[slot][ply - 1] with `c` to
// move. At every node it checks, against a plain reference done here:
// every pseudo-legal move leaves a consistent record after MakeMove; the
// children are exactly the moves whose own king is not attacked, in list
// order; each child's checkingPiece is the mover's direct check or else the
// last slider check; the result code; WorkPosition and SavedPosition.
inline void ConsistencyWalk(Engine& e, Colour c, int ply, int slot, int remaining, WalkReport& report,
                            std::string path = {}) {
  if (!report.fault.empty()) return;
  const Position source = e.ChildPositions[slot][ply - 1];
  const int n = Generate(e, c, ply, slot);
  const std::vector<int32_t> list(e.MoveList, e.MoveList + e.MoveCount);
  const auto fail = [&](const std::string& what) {
    if (report.fault.empty()) report.fault = (path.empty() ? std::string("root") : path) + ": " + what;
  };
  if (!SamePosition(e.WorkPosition, source)) fail("WorkPosition is not the source after generation");
  if (!SamePosition(e.SavedPosition, source)) fail("SavedPosition is not the source after generation");

  const Colour enemy = Other(c);
  const int ownKing = c == White ? 1 : 17, enemyKing = c == White ? 17 : 1;
  int legal = 0;
  for (const int32_t code : list) {
    Position q = source;
    MakeMove(q, code);
    ++report.makes;
    std::string why;
    if (!CheckPosition(q, &why)) fail(MoveText(source, code) + " leaves an inconsistent record: " + why);
    if (SquareAttacked(q, q.pieceFile[ownKing], q.pieceRank[ownKing], c) != 0) continue;
    ++legal;
    const int ef = q.pieceFile[enemyKing], er = q.pieceRank[enemyKing];
    int checker = PieceAttacksSquare(q, ef, er, MovePiece(code), enemy);
    if (checker == 0) checker = SliderAttacksSquare(q, ef, er, enemy);
    q.checkingPiece = static_cast<uint8_t>(checker);
    if ((checker != 0) != (SquareAttacked(q, ef, er, enemy) != 0))
      fail(MoveText(source, code) + ": checkingPiece " + std::to_string(checker) + " disagrees with the king test");
    if (legal > n || !SamePosition(e.ChildPositions[legal][ply], q))
      fail("child " + std::to_string(legal) + " is not the result of " + MoveText(source, code));
    // Putting the child back field by field must give the source again.
    Position back = q;
    if (c == White)
      RestoreBeforeMove<White>(back, source, code);
    else
      RestoreBeforeMove<Black>(back, source, code);
    if (!SamePosition(back, source)) fail(MoveText(source, code) + " is not put back by RestoreBeforeMove");
  }
  if (legal == 0) {
    const int expected = source.checkingPiece != 0 ? -2 : -1;
    if (n != expected) fail("no legal move, but the result is " + std::to_string(n));
    return;
  }
  if (n != legal) fail(std::to_string(legal) + " legal moves, but the result is " + std::to_string(n));
  if (!report.fault.empty()) return;
  if (remaining == 1) {
    report.leaves += static_cast<uint64_t>(n);
    return;
  }
  for (int i = 1; i <= n; ++i) {
    const std::string step = MoveText(source, e.ChildPositions[i][ply].lastMove);
    ConsistencyWalk(e, enemy, ply + 1, i, remaining - 1, report, path.empty() ? step : path + " " + step);
  }
}

}  // namespace ormedan::testing
