// What a client asks of one search (SearchLimits) and what the search
// obeys (SearchBudget). Each mode fills the limits; the time manager
// (Alivelli/time_manager.h) turns them into the budget.
#pragma once

#include <cstdint>
#include <limits>

namespace ormedan {

// A 64-bit value held within the 32-bit range.
constexpr int32_t ClampToInt32(int64_t v) {
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

struct SearchLimits {
  int64_t clockCs = -1;         // the engine's clock; -1: the client has not said
  int64_t otherClockCs = -1;    // the opponent's clock
  int64_t incrementCs = 0;      // added to the clock after each move
  int32_t movesToGo = 0;        // moves still to play in this control; 0: the rest of the game
  int32_t movesPerControl = 0;  // moves of one control period (protocol 2's level); 0: none
  int64_t baseCs = 0;           // time of one control period, before the client sends a clock
  int64_t fixedCs = 0;          // a fixed time per move (st, movetime); 0: none
  int32_t depth = 0;            // the deepest main search; 0: no limit
  int64_t nodes = 0;            // the most nodes to search; 0: no limit
  int64_t nps = 0;              // protocol 2's nps: the clock counts this many nodes a second; 0: the real clock
  int32_t mate = 0;             // look for a mate in this many moves; 0: none
  bool infinite = false;        // search until the client stops it
  // The root moves to search (searchmoves); none: all of them.
  static constexpr int MaxSearchMoves = 256;
  int32_t searchMoves[MaxSearchMoves] = {};
  int32_t searchMoveCount = 0;

  bool HasClock() const { return clockCs >= 0 || baseCs > 0; }
};

// Playing below full strength: what the engine overlooks and how roughly
// it judges what it sees. The default is full strength, which changes
// nothing in the search. Alivelli/strength.h makes a level from a rating.
struct StrengthLevel {
  bool limited = false;
  int32_t overlookPermille = 0;  // chance that a move easily overlooked is not seen at all
  int32_t blurCp = 0;            // the most a root move's value is misjudged by, either way
  bool mainSearch = true;        // false: the pre-analysis alone decides
  uint32_t seed = 0;             // what the level overlooks in this search
};

struct SearchBudget {
  // false: no clock at all; the search goes to fixedDepth and the clock
  // ends nothing.
  bool timed = true;
  int32_t moveCs = 0;          // centiseconds the search may spend on the move
  int32_t preAnalysisCs = -1;  // when the pre-analysis stops early; -1: never
  int32_t fixedDepth = 0;      // the depth of an untimed search
  int32_t depthLimit = 0;      // the deepest timed main search; 0: no limit
  int64_t nodeLimit = 0;       // the most nodes; 0: no limit
  // An untimed search that still predicts its depth as a timed one does,
  // with the node limit in place of the clock.
  bool predictDepth = false;
  int32_t multiPv = 1;         // root moves that get an exact score
  // The root moves to search; none: all of them.
  int32_t searchMoves[SearchLimits::MaxSearchMoves] = {};
  int32_t searchMoveCount = 0;
  // The search answers a position that either side may claim as drawn
  // (repetition, fifty moves) with the draw; false: it looks for a move
  // all the same, as UCI clients that decide results themselves want.
  bool answersClaimableDraws = true;
  StrengthLevel level;  // full strength unless the client limits it
};

}  // namespace ormedan
