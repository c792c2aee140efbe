// The plain form of GenerateMoves, the reference that the tests compare the
// generator with: the same move list, then every move made on a copy of the
// source and kept when the own king is not attacked afterwards; the check
// mark is the mover's direct check, else the last slider check.
#pragma once

#include <cstdint>

#include "declare/model.h"
#include "generation/generators.h"
#include "utilita/attacks.h"

namespace ormedan::testing {

template <Colour C> int PlainGenerateMoves(Engine& e, int ply, int slot, MaterialTest material = MaterialTest::Apply) {
  using S = Side<C>;
  const Position& source = ply == 1 ? e.GamePosition : e.ChildPositions[slot][ply - 1];
  e.MoveCount = 0;
  e.WorkPosition = source;
  e.SavedPosition = source;
  const Position& saved = e.SavedPosition;
  if (ply == 1 && material == MaterialTest::Apply && generation::InsufficientMaterial(saved)) return -4;

  generation::OrderingSink sink((ply & 1) ? e.OddPlyKillers : e.EvenPlyKillers);
  generation::ListMoves<C>(saved, sink, saved.checkingPiece == 0);
  e.MoveCount = sink.Assemble(e.MoveList);

  PendingPly& pp = e.Pending[ply];
  pp.sourceSlot = slot;
  pp.checkRule = generation::FullRule;
  int n = 0;
  for (int i = 0; i < e.MoveCount; ++i) {
    const int32_t code = e.MoveList[i];
    if (MoveCaptured(code) == S::enemyKing) continue;  // a king is never taken
    Position& child = e.ChildPositions[n + 1][ply];
    child = saved;
    MakeMove(child, code);
    if (SquareAttacked(child, child.pieceFile[S::ownKing], child.pieceRank[S::ownKing], C) != 0) continue;
    const int ekf = child.pieceFile[S::enemyKing], ekr = child.pieceRank[S::enemyKing];
    int checker = PieceAttacksSquare(child, ekf, ekr, MovePiece(code), S::enemy);
    if (checker == 0) checker = SliderAttacksSquare(child, ekf, ekr, S::enemy);
    child.checkingPiece = static_cast<uint8_t>(checker);
    ++n;
    pp.moves[n] = code;
    pp.made[n] = 1;
  }
  if (n > 0) return n;
  return saved.checkingPiece != 0 ? -2 : -1;
}

}  // namespace ormedan::testing
