// Move generation for both colours: one template per routine, instantiated
// for white in trovamossebianco/ and for black in trovamossenero/.
//
// How the headers of this folder fit together:
//   board_tables.h  the step and ray tables, the board as bits
//   move_lists.h    the pseudo-legal moves in generation order, and their order
//   legality.h      pins, the sliders aimed at the king, the king's steps
//   check_marks.h   the checkingPiece of a child
//   pending.h       children listed now and made when asked for
//   children.h      making the children
//   legal_lists.h   the two legality loops
//   generators.h    the generators themselves
//   replay.h        the replies stored by the pre-analysis, rebuilt
//   perft.h         the leaf count of the legal move tree
#pragma once

#include "declare/engine.h"
#include "generation/pending.h"

namespace ormedan {

// At ply 1 the generator first tests for material that cannot mate and then
// answers -4 without listing moves (Apply); the referee's legality test of a
// typed move lists the moves whatever the material (Skip).
enum class MaterialTest { Apply, Skip };

// Legal moves of colour C at ply (source: GamePosition at ply 1, else
// ChildPositions[slot][ply-1]); children go to ChildPositions[1..n][ply].
// Returns n, or -1 stalemate, -2 checkmate, -4 insufficient material (ply 1).
// MoveList holds the pseudo-legal moves in their final order; WorkPosition
// and SavedPosition hold the source.
template <Colour C> int GenerateMoves(Engine& e, int ply, int slot, MaterialTest material = MaterialTest::Apply);

// Captures and promotions of colour C for the quiescence plies (ply >= 2).
template <Colour C> int GenerateCaptures(Engine& e, int ply, int slot);

// The search's forms of the two generators: the same legal children in the
// same order, with the same count or result code, but recorded in
// e.Pending[ply] and made in ChildPositions only when asked for by
// PendingChild (pending.h). WorkPosition is used as scratch; SavedPosition
// is not written.
template <Colour C> int GenerateMovesLazily(Engine& e, int ply, int slot);
template <Colour C> int GenerateCapturesLazily(Engine& e, int ply, int slot);
// GenerateMovesLazily for a ply that the walk goes no deeper than: every
// child is also made, one after the other on WorkPosition, and dropped;
// `checks` grows by the number of children in check. The result is that of
// GenerateMovesLazily; e.Pending[ply] is not a list of the children
// afterwards, so none of them can be asked for.
template <Colour C> int GenerateLeaves(Engine& e, int ply, int slot, uint64_t& checks);

// Rebuilds, best first, the stored replies of colour C to root move `slot`
// into ChildPositions[k][2]. Returns the stored reply count.
template <Colour C> int ReplayStoredReplies(Engine& e, int slot);

// Makes root child `slot` (0 counts as 1) the game's position.
void CommitRootMove(Engine& e, int slot);

// GenerateMoves of a colour known only at run time.
inline int GenerateMovesFor(Engine& e, Colour c, int ply, int slot, MaterialTest material = MaterialTest::Apply) {
  return c == White ? GenerateMoves<White>(e, ply, slot, material) : GenerateMoves<Black>(e, ply, slot, material);
}

// Whether `code` is a legal move of `mover` in GamePosition, whatever
// material is left: the one check of a typed move in every mode. The root
// children are listed at ply 1.
inline bool IsLegalGameMove(Engine& e, Colour mover, int32_t code) {
  e.WorkPosition = e.GamePosition;
  const int n = GenerateMovesFor(e, mover, 1, 1, MaterialTest::Skip);
  for (int s = 1; s <= n && s <= MaxChildren; ++s)
    if (e.ChildPositions[s][1].lastMove == code) return true;
  return false;
}

extern template int GenerateMoves<White>(Engine&, int, int, MaterialTest);
extern template int GenerateMoves<Black>(Engine&, int, int, MaterialTest);
extern template int GenerateCaptures<White>(Engine&, int, int);
extern template int GenerateCaptures<Black>(Engine&, int, int);
extern template int GenerateMovesLazily<White>(Engine&, int, int);
extern template int GenerateMovesLazily<Black>(Engine&, int, int);
extern template int GenerateCapturesLazily<White>(Engine&, int, int);
extern template int GenerateCapturesLazily<Black>(Engine&, int, int);
extern template int GenerateLeaves<White>(Engine&, int, int, uint64_t&);
extern template int GenerateLeaves<Black>(Engine&, int, int, uint64_t&);
extern template int ReplayStoredReplies<White>(Engine&, int);
extern template int ReplayStoredReplies<Black>(Engine&, int);

}  // namespace ormedan
