// The time manager: every decision on how long the engine thinks is made
// here. The protocol modes fill a SearchLimits record and ask PlanSearch;
// the plain mode keeps its own rule, as the Plain* policy below, driven by
// its "level", "time" and "new" commands.
#pragma once

#include <cstdint>

#include "declare/engine.h"

namespace ormedan {

// ---- the protocol modes

// Centiseconds to plan for the next move of a side that has played
// `movesDone` moves in the game. Never more than a sixth of the clock left,
// so that even a move that overruns its plan takes less than a fifth.
int64_t PlanMoveTime(const SearchLimits& limits, int64_t movesDone);

// Sets e.budget for the next search and starts its clock. A depth without
// any clock searches to exactly that depth; a search with no clock, fixed
// time or depth thinks for DefaultMoveCs. A clock given for the opponent
// alone leaves ours empty.
void PlanSearch(Engine& e, const SearchLimits& limits, int64_t movesDone);

// A search with no clock, no fixed time and no limit thinks this long.
constexpr int64_t DefaultMoveCs = 500;

// An untimed search to `depth` (the tools, the tests, analysis), with the
// root moves and node limit of `limits`.
void PlanFixedDepth(Engine& e, int depth, const SearchLimits& limits = {});

// ---- the plain mode's rule

// After "new": 5 centiseconds until a "level" or "time" says more.
void PlainBudgetAfterNew(Engine& e);
// After "level": one share of the control period (driver.baseTime and
// driver.movesPerControl, set by the command).
void PlainBudgetAfterLevel(Engine& e);
// After "time": the clock left (driver.remainingTime) over the moves still
// to play in the control; the clock of the move starts now.
void PlainBudgetAfterTime(Engine& e);

// The moveBudget the plain rule reads as "search to the fixed depth": the
// formulas reach it only for an absurdly large "time". Tools that search
// without a clock show it as their budget.
constexpr int32_t UntimedBudgetCs = 999999999;

}  // namespace ormedan
