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

// Rebuilds, best first, the stored replies of colour C to root move `slot`
// into ChildPositions[k][2]. Returns the stored reply count.
template <Colour C> int ReplayStoredReplies(Engine& e, int slot);

// Makes root child `slot` (0 counts as 1) the game's position.
void CommitRootMove(Engine& e, int slot);

extern template int GenerateMoves<White>(Engine&, int, int, MaterialTest);
extern template int GenerateMoves<Black>(Engine&, int, int, MaterialTest);
extern template int GenerateCaptures<White>(Engine&, int, int);
extern template int GenerateCaptures<Black>(Engine&, int, int);
extern template int ReplayStoredReplies<White>(Engine&, int);
extern template int ReplayStoredReplies<Black>(Engine&, int);

}  // namespace ormedan
