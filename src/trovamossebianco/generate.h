// Move generation for both colours: one template per routine, instantiated
// for white in trovamossebianco/ and for black in trovamossenero/.
#pragma once

#include "declare/engine.h"

namespace ormedan {

// At ply 1 the generator first tests for material that cannot mate and then
// answers -4 without listing moves (Apply); the referee's legality test of a
// typed move lists the moves whatever the material (Skip).
enum class MaterialTest { Apply, Skip };

// Legal moves of colour C at ply (source: GamePosition at ply 1, else
// ChildPositions[slot][ply-1]); children go to ChildPositions[1..n][ply].
// Returns n, or -1 stalemate, -2 checkmate, -4 insufficient material (ply 1).
template <Colour C> int GenerateMoves(Engine& e, int ply, int slot, MaterialTest material = MaterialTest::Apply);

// Captures and promotions of colour C for the quiescence plies (ply >= 2).
template <Colour C> int GenerateCaptures(Engine& e, int ply, int slot);

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
  if (code > 0xFFFF) {
    m -= s.pieceValue[MoveCaptured(code)];  // [0] is 0 for a plain promotion
    if (code > 0x1FFFFFE) {
      static constexpr int16_t promoted[10] = {0,           0,           KnightValue,  BishopValue,  RookValue,
                                               QueenValue,  -KnightValue, -BishopValue, -RookValue, -QueenValue};
      m += promoted[MovePromotion(code)] - s.pieceValue[MovePiece(code)];
    }
  }
  return m;
}

}  // namespace generation

// The search's forms of the two generators: the same legal children in the
// same order, with the same count or result code, but recorded in
// e.Pending[ply] (moves and the rule for their check marks) and made in
// ChildPositions only when asked for by PendingChild. The source stays in
// ChildPositions[slot][ply - 1], untouched until the next generation at
// ply - 1, so a child made later is the same record the eager generator
// makes. WorkPosition is used as scratch; SavedPosition is not written.
template <Colour C> int GenerateMovesLazily(Engine& e, int ply, int slot);
template <Colour C> int GenerateCapturesLazily(Engine& e, int ply, int slot);
// GenerateMovesLazily for a ply that the walk goes no deeper than: every
// child is also made, one after the other on WorkPosition, and dropped;
// `checks` grows by the number of children in check. The result is that of
// GenerateMovesLazily; e.Pending[ply] is not a list of the children
// afterwards, so none of them can be asked for.
template <Colour C> int GenerateLeaves(Engine& e, int ply, int slot, uint64_t& checks);

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

// Rebuilds, best first, the stored replies of colour C to root move `slot`
// into ChildPositions[k][2]. Returns the stored reply count.
template <Colour C> int ReplayStoredReplies(Engine& e, int slot);

// Makes root child `slot` (0 counts as 1) the game's position.
void CommitRootMove(Engine& e, int slot);

extern template int GenerateMoves<White>(Engine&, int, int, MaterialTest);
extern template int GenerateMoves<Black>(Engine&, int, int, MaterialTest);
extern template int GenerateCaptures<White>(Engine&, int, int);
extern template int GenerateCaptures<Black>(Engine&, int, int);
extern template int GenerateMovesLazily<White>(Engine&, int, int);
extern template int GenerateMovesLazily<Black>(Engine&, int, int);
extern template int GenerateCapturesLazily<White>(Engine&, int, int);
extern template int GenerateCapturesLazily<Black>(Engine&, int, int);
extern template const Position& MakePendingChild<White>(Engine&, int, int);
extern template const Position& MakePendingChild<Black>(Engine&, int, int);
extern template void MakePendingChildren<White>(Engine&, int, int);
extern template void MakePendingChildren<Black>(Engine&, int, int);
extern template int GenerateLeaves<White>(Engine&, int, int, uint64_t&);
extern template int GenerateLeaves<Black>(Engine&, int, int, uint64_t&);
extern template int ReplayStoredReplies<White>(Engine&, int);
extern template int ReplayStoredReplies<Black>(Engine&, int);

}  // namespace ormedan
