// The engine's turn and its analysis as the protocol-2 and UCI modes use
// them: the same book and search as the plain mode, on the side to move.
#pragma once

#include <cstdint>

#include "declare/engine.h"

namespace ormedan {

struct TurnOutcome {
  int code = 0;          // the search's result code; > 0: a move was played
  int32_t move = 0;      // the move played, 0 for none
  bool searched = false;  // false for a book move
  Position before{};      // the position before it, for its text
};

// The engine plays the side to move: a book move when the books are open and
// the game started from the initial position, otherwise a search within the
// budget already set (protocol/clock.h).
TurnOutcome PlayEngineMove(Engine& e, bool booksOpen);

// Searches the position at a fixed depth and leaves the game as it was.
// False when the side to move has no move to search (mate, stalemate or a
// draw); `report` then holds a depth of 0.
bool AnalyseAtDepth(Engine& e, int depth, SearchReport& report);

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
