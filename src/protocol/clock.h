// The clock of the protocol-2 and UCI modes: what the client says of the
// time control and of both clocks, and the time the engine gives one move.
#pragma once

#include <cstdint>

#include "declare/engine.h"

namespace ormedan {

struct ClockControl {
  int32_t movesPerControl = 0;  // 0: the rest of the game in one period
  int64_t baseCs = 0;           // time of one period
  int64_t incrementCs = 0;      // added after each move
  int64_t fixedCs = 0;          // a fixed time per move (st, movetime); 0: none
  int32_t depth = 0;            // a depth limit (sd, depth); 0: none
  int64_t ownCs = -1;           // the engine's clock, -1 until the client tells it
  int64_t otherCs = -1;
};

// The centiseconds to plan for the next move of a side that has played
// `movesDone` moves in the game. Never more than a sixth of the clock left,
// so that even a move that overruns its plan takes less than a fifth.
int64_t PlanMoveTime(const ClockControl& c, int64_t movesDone);

// Sets the search's budget, depth limit and clock start for the next move
// (a fixed depth, without a clock, searches to exactly that depth).
void PrepareSearch(Engine& e, const ClockControl& c, int64_t movesDone);

}  // namespace ormedan
