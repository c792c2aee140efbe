// The pending-child protocol of the search's generators. A generator lists
// the legal children of one ply in e.Pending[ply] (the moves and the rule
// for their check marks); a child is made in ChildPositions[j][ply] only
// when asked for. The source stays in ChildPositions[sourceSlot][ply - 1],
// untouched until the next generation at ply - 1, so a child made later is
// the same record an eager generator makes, and its material and often its
// check mark are known without making it.
#pragma once

#include <cstdint>

#include "declare/engine.h"

namespace ormedan {

namespace generation {

// How a child gets its checkingPiece once it is made (PendingPly::checkRule).
enum CheckRule : uint8_t {
  FullRule = 0,     // GenerateMoves: the mover's direct check, else a slider's
  CaptureRule = 1,  // GenerateCaptures below the horizon: cheaper, partial marks
  InheritRule = 2,  // GenerateCaptures at the horizon: the source's value
};

// The material of the position after `code`, as MakeMove leaves it: the
// victim's value goes, a promoted pawn's value becomes its new piece's.
inline int32_t MaterialAfter(const Position& s, int32_t code) {
  int32_t m = s.material;
  if (IsCaptureOrPromotion(code)) {
    m -= s.pieceValue[MoveCaptured(code)];  // [0] is 0 for a plain promotion
    if (IsPromotion(code)) {
      static constexpr int16_t promoted[10] = {0,           0,           KnightValue,  BishopValue,  RookValue,
                                               QueenValue,  -KnightValue, -BishopValue, -RookValue, -QueenValue};
      m += promoted[MovePromotion(code)] - s.pieceValue[MovePiece(code)];
    }
  }
  return m;
}

}  // namespace generation

// Child j of the last generation at ply, made if still pending. C is the
// colour that moved into it.
template <Colour C> const Position& MakePendingChild(Engine& e, int ply, int j);
// Every child 1..count of the last generation at ply, made where still pending.
template <Colour C> void MakePendingChildren(Engine& e, int ply, int count);
template <Colour C> const Position& PendingChild(Engine& e, int ply, int j) {
  if (e.Pending[ply].made[j]) return e.ChildPositions[j][ply];
  return MakePendingChild<C>(e, ply, j);
}

// The child's checkingPiece and material, without making it when they are
// known: at the horizon the capture generator's children keep the source's
// checkingPiece, and a material total follows from the move alone.
template <Colour C> int PendingChildCheck(Engine& e, int ply, int j) {
  const PendingPly& pp = e.Pending[ply];
  if (!pp.made[j] && pp.checkRule == generation::InheritRule) return pp.inheritedCheck;
  return PendingChild<C>(e, ply, j).checkingPiece;
}
inline int32_t PendingChildMaterial(const Engine& e, int ply, int j) {
  const PendingPly& pp = e.Pending[ply];
  if (pp.made[j]) return e.ChildPositions[j][ply].material;
  return generation::MaterialAfter(e.ChildPositions[pp.sourceSlot][ply - 1], pp.moves[j]);
}
inline int32_t PendingChildMove(const Engine& e, int ply, int j) { return e.Pending[ply].moves[j]; }

extern template const Position& MakePendingChild<White>(Engine&, int, int);
extern template const Position& MakePendingChild<Black>(Engine&, int, int);
extern template void MakePendingChildren<White>(Engine&, int, int);
extern template void MakePendingChildren<Black>(Engine&, int, int);

}  // namespace ormedan
