#include "protocol/clock.h"

#include <algorithm>

#include "Alivelli/fixed_depth.h"

namespace ormedan {

namespace {

// Moves a game is assumed still to last when the control does not say.
constexpr int64_t AssumedMovesLeft = 30;
// Time kept back for the client's and the pipe's overhead.
constexpr int64_t OverheadCs = 5;

bool HasClock(const ClockControl& c) { return c.ownCs >= 0 || c.baseCs > 0; }

}  // namespace

int64_t PlanMoveTime(const ClockControl& c, int64_t movesDone) {
  if (c.fixedCs > 0) return std::max<int64_t>(1, c.fixedCs * 3 / 4 - OverheadCs);
  const int64_t left = c.ownCs >= 0 ? c.ownCs : c.baseCs;
  const int64_t usable = std::max<int64_t>(0, left - OverheadCs);
  int64_t movesLeft = AssumedMovesLeft;
  if (c.movesPerControl > 0) movesLeft = c.movesPerControl - movesDone % c.movesPerControl;
  // One share of what is left for each move still to play in the control
  // (one more as a reserve), and most of the increment.
  int64_t plan = usable / (movesLeft + 1) + c.incrementCs * 3 / 4;
  // What a search overruns its plan by is about constant, so the cap keeps
  // room for it also on a short clock.
  plan = std::min(plan, (usable - 2 * OverheadCs) / 6);
  return std::max<int64_t>(1, plan);
}

void PrepareSearch(Engine& e, const ClockControl& c, int64_t movesDone) {
  e.driver.clockStart = e.clock.NowMicroseconds();
  e.FixedDepthWhite = e.FixedDepthBlack = 0;
  e.DepthLimit = 0;
  if (c.depth > 0 && c.fixedCs <= 0 && !HasClock(c)) {
    e.driver.moveBudget = FixedDepthBudget;
    e.FixedDepthWhite = e.FixedDepthBlack = c.depth;
    e.driver.preAnalysisLimit = -1;
    return;
  }
  const int64_t plan = std::min<int64_t>(PlanMoveTime(c, movesDone), FixedDepthBudget - 1);
  e.driver.moveBudget = static_cast<int32_t>(plan);
  // The pre-analysis alone may use the whole plan, no more.
  e.driver.preAnalysisLimit = static_cast<int32_t>(plan);
  e.DepthLimit = c.depth;
}

}  // namespace ormedan
