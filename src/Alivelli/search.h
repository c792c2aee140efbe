// The search driver: chooses, commits and records the engine's move.
#pragma once

#include "declare/engine.h"

namespace ormedan {

// Returns the number of root moves searched (a move was played), or
// -1 stalemate, -2 checkmated, -3 repetition, -4 insufficient material,
// -5 fifty-move draw.
template <Colour C> int Search(Engine& e);

inline int SearchWhite(Engine& e) { return Search<White>(e); }
inline int SearchBlack(Engine& e) { return Search<Black>(e); }

extern template int Search<White>(Engine&);
extern template int Search<Black>(Engine&);

}  // namespace ormedan
