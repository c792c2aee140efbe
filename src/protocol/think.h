// The engine's turn and its analysis as the protocol-2 and UCI modes use
// them: the same book and search as the plain mode, on the side to move.
#pragma once

#include <cstdint>

#include "declare/engine.h"

namespace ormedan {

struct TurnOutcome {
  int code = 0;             // the search's result code; > 0: a move was chosen
  int32_t move = 0;         // the move chosen, 0 for none
  bool fromBook = false;    // a book move: already played into the game
  bool closesOpening = false;
  SearchResult search;      // what the search found (its depth is 0 for a book move)
  Position before{};        // the position before the move, for its text
};

// The engine chooses a move for the side to move: a book move (played at
// once) when the books are open, otherwise a search within e.budget (set by
// the time manager), whose move is left for ApplyTurn.
TurnOutcome ChooseMove(Engine& e);

// Plays the chosen move through the game record (a book move is there
// already) and ends the opening phase when the search did.
void ApplyTurn(Engine& e, const TurnOutcome& t);

// Searches the position at a fixed depth; the game stays as it is. False
// when the side to move has no move to search (mate, stalemate or a draw).
// Whether a search made while pondering can stand for the engine's own
// search of the position now: it found a move, went as deep as the
// engine's own search would (and no deeper than a depth limit, 0 for none),
// and the books would not answer instead.
bool PonderedSearchServes(const Engine& e, const SearchResult& found, int32_t depthLimit);

// The root moves and node limit of `limits` apply.
bool AnalyseAtDepth(Engine& e, int depth, SearchResult& result, const SearchLimits& limits = {});

// Whether searching deeper than the last AnalyseAtDepth would change
// nothing: a level that decides from its pre-analysis alone.
inline bool DeeperChangesNothing(const Engine& e) { return e.budget.level.limited && !e.budget.level.mainSearch; }

// A search value (white-positive) for the side `side`: centipawns, or the
// moves to mate when `mate` (negative: the side is mated).
struct Score {
  bool mate = false;
  int32_t value = 0;
};
Score ScoreFor(int32_t whiteValue, Colour side);

// The deepest fixed-depth search of an analysis.
constexpr int MaxAnalysisDepth = 15;

}  // namespace ormedan
