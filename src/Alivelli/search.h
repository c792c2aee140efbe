// The search driver: chooses the engine's move and reports it; the game is
// left as it was.
#pragma once

#include "declare/engine.h"

namespace ormedan {

// Searches GamePosition for the side C within e.budget. The result's code
// is the number of root moves searched (a move was chosen), or -1
// stalemate, -2 checkmated, -3 repetition, -4 insufficient material, -5
// fifty-move draw.
template <Colour C> SearchResult Search(Engine& e);

// Plays a search's move into the game as the plain mode has always done:
// the game position, its key and the move list, and the move line's squares.
void CommitSearchResult(Engine& e, const SearchResult& r);

extern template SearchResult Search<White>(Engine&);
extern template SearchResult Search<Black>(Engine&);

}  // namespace ormedan
