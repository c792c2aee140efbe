#include "Alivelli/time_manager.h"

#include "Alivelli/strength.h"

#include <algorithm>
#include <limits>

namespace ormedan {

namespace {

// Moves a game is assumed still to last when the control does not say.
constexpr int64_t AssumedMovesLeft = 30;
// The plain rule lets the pre-analysis take at least this long (while the
// clock has eight times as much).
constexpr int64_t PreAnalysisFloorCs = 10;
// Time kept back for the client's and the pipe's overhead.
constexpr int64_t OverheadCs = 5;

// Moves per control as the plain formulas use it: 0 (nothing set, or a
// moves word that is not a number) means the whole game in one period.
int64_t PlainMovesPerControl(const DriverState& d) { return d.movesPerControl == 0 ? 300 : d.movesPerControl; }

// The plain rule's budget; its one magic value means no clock.
void SetPlainBudget(SearchBudget& b, int32_t moveCs) {
  b.moveCs = moveCs;
  b.timed = moveCs != UntimedBudgetCs;
}

// What every search takes from the limits and the settings whatever its
// clock: the lines asked for and the root moves allowed.
void CopyRootLimits(SearchBudget& b, const SearchLimits& limits, const EngineSettings& settings) {
  b.multiPv = settings.multiPv;
  b.searchMoveCount = std::clamp(limits.searchMoveCount, 0, SearchLimits::MaxSearchMoves);
  std::copy(limits.searchMoves, limits.searchMoves + b.searchMoveCount, b.searchMoves);
}

}  // namespace

int64_t PlanMoveTime(const SearchLimits& c, int64_t movesDone) {
  if (c.fixedCs > 0) return std::max<int64_t>(1, c.fixedCs * 3 / 4 - OverheadCs);
  // A clock for the opponent alone: ours is taken as empty.
  const int64_t left = c.clockCs >= 0 ? c.clockCs : c.baseCs;
  const int64_t usable = std::max<int64_t>(0, left - OverheadCs);
  int64_t movesLeft = AssumedMovesLeft;
  if (c.movesToGo > 0) movesLeft = c.movesToGo;
  else if (c.movesPerControl > 0) movesLeft = c.movesPerControl - movesDone % c.movesPerControl;
  // One share of what is left for each move still to play in the control
  // (one more as a reserve), and most of the increment.
  int64_t plan = usable / (movesLeft + 1) + c.incrementCs * 3 / 4;
  // What a search overruns its plan by is about constant, so the cap keeps
  // room for it also on a short clock.
  plan = std::min(plan, (usable - 2 * OverheadCs) / 6);
  return std::max<int64_t>(1, plan);
}

void PlanSearch(Engine& e, const SearchLimits& limits, int64_t movesDone) {
  SearchBudget& b = e.budget;
  e.driver.clockStart = e.clock.NowMicroseconds();
  b = SearchBudget{};
  CopyRootLimits(b, limits, e.settings);
  PlanStrength(e);
  b.nodeLimit = limits.nodes > 0 ? limits.nodes : 0;
  const bool clocked = limits.HasClock() || limits.otherClockCs >= 0 || limits.fixedCs > 0;
  if (limits.nps > 0 && clocked) {
    // The clock counts nodes: the plan in centiseconds becomes nodes, a
    // fixed time whole (st T with nps N is T x N nodes).
    const int64_t cs = limits.fixedCs > 0 ? limits.fixedCs : PlanMoveTime(limits, movesDone);
    const int64_t nodes = std::max<int64_t>(1, cs * limits.nps / 100);
    b.nodeLimit = b.nodeLimit > 0 ? std::min(b.nodeLimit, nodes) : nodes;
  }
  if (!clocked || limits.nps > 0) {
    if (limits.depth > 0 || b.nodeLimit > 0) {
      b.timed = false;
      b.moveCs = UntimedBudgetCs;
      b.fixedDepth = limits.depth;
      // A node limit alone: the depth is predicted as with a clock.
      b.predictDepth = limits.depth == 0;
      b.depthLimit = limits.depth;
      return;
    }
  }
  SearchLimits c = limits;
  if (!clocked) c.fixedCs = DefaultMoveCs;
  const int64_t plan = std::min<int64_t>(PlanMoveTime(c, movesDone), UntimedBudgetCs - 1);
  b.moveCs = static_cast<int32_t>(plan);
  // The pre-analysis alone may use the whole plan, no more.
  b.preAnalysisCs = static_cast<int32_t>(plan);
  b.depthLimit = limits.depth;
}

void PlanFixedDepth(Engine& e, int depth, const SearchLimits& limits) {
  e.budget = SearchBudget{};
  e.budget.timed = false;
  e.budget.moveCs = UntimedBudgetCs;
  e.budget.fixedDepth = depth;
  CopyRootLimits(e.budget, limits, e.settings);
  PlanStrength(e);
  e.budget.nodeLimit = limits.nodes > 0 ? limits.nodes : 0;
}

void PlainBudgetAfterNew(Engine& e) {
  SetPlainBudget(e.budget, 5);
  e.budget.preAnalysisCs = -1;
}

void PlainBudgetAfterLevel(Engine& e) {
  const DriverState& d = e.driver;
  // m / 8 + m is 0 only for m = 0, which counts as 300.
  const int64_t m = PlainMovesPerControl(d);
  SetPlainBudget(e.budget, ClampToInt32(int64_t{d.baseTime} / (m / 8 + m)));
  e.budget.preAnalysisCs = -1;  // until the next "time"
}

void PlainBudgetAfterTime(Engine& e) {
  const DriverState& d = e.driver;
  // done is at least 0 and below |m|: for m > 0, m - done is at least 1;
  // for m < 0 (a negative moves word), m - done stays negative. Never 0.
  const int64_t m = PlainMovesPerControl(d);
  const int64_t n = e.MoveHistory.Count();
  const int64_t done = ((n + 1) / 2) % m;
  const int64_t movesToGo = m - done;
  SetPlainBudget(e.budget, d.remainingTime <= 300 ? 1 : ClampToInt32((int64_t{d.remainingTime} - 200) / movesToGo));
  // The pre-analysis of every root move is the least a searched move costs,
  // whatever the budget. Where that would not leave a fair share of the
  // clock (one second kept back) for each move still to play in the
  // control, the search stops it early instead of losing on time.
  // Still, a clock of a second or so pays for a normal pre-analysis: an
  // eighth of it, up to a tenth of a second.
  const int64_t fairShare = std::max<int64_t>(0, d.remainingTime - 100) / (movesToGo + 1);
  const int64_t floor = std::clamp<int64_t>(d.remainingTime / 8, 0, PreAnalysisFloorCs);
  e.budget.preAnalysisCs = movesToGo > 0 ? ClampToInt32(std::max(fairShare, floor)) : -1;
  e.budget.fixedDepth = 0;
  e.driver.clockStart = e.clock.NowMicroseconds();
}

}  // namespace ormedan
