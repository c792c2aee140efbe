// Time control: "level" sets the control period, "time" the engine's clock;
// both derive moveBudget, the centiseconds the search may spend on a move.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "Textrout/textrout.h"
#include "winboard/driver.h"

namespace ormedan {

namespace {

int32_t Clamp32(int64_t v) {
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

// Moves per control as the formulas use it: 0 (nothing set, or a moves word
// that is not a number) means the whole game in one period.
int64_t EffectiveMovesPerControl(const DriverState& d) {
  return d.movesPerControl == 0 ? 300 : d.movesPerControl;
}

}  // namespace

void LevelCommand(Engine& e, std::string_view argument) {
  DriverState& d = e.driver;
  const std::string_view moves = TrimBlanks(WordAt(argument, 0));
  const std::string_view base = TrimBlanks(WordAt(argument, 1));
  const std::string_view increment = TrimBlanks(WordAt(argument, 2));
  const size_t colonAt = base.find(':');
  const int64_t colon = colonAt == std::string_view::npos ? 0 : static_cast<int64_t>(colonAt) + 1;

  // Products and sums in 64 bits; a base time beyond 32 bits is held at the limit.
  if (increment != "0") {
    d.movesPerControl = 1;
    d.baseTime = Clamp32(int64_t{TextToInt(base)} * 3000);
  } else {
    if (colon > 0)
      d.baseTime = Clamp32(int64_t{TextToInt(TakeFirst(base, colon - 1))} * 6000 +
                           int64_t{TextToInt(DropFirst(base, colon))} * 100);
    else
      d.baseTime = Clamp32(int64_t{TextToInt(base)} * 6000);
    d.movesPerControl = moves == "0" ? 300 : TextToInt(moves);
  }
  // m / 8 + m is 0 only for m = 0, which counts as 300.
  const int64_t m = EffectiveMovesPerControl(d);
  d.moveBudget = Clamp32(int64_t{d.baseTime} / (m / 8 + m));
  d.remainingTime = d.baseTime;
  d.preAnalysisLimit = -1;  // until the next "time"
}

void TimeCommand(Engine& e, std::string_view argument) {
  DriverState& d = e.driver;
  d.remainingTime = TextToInt(argument);
  // done is at least 0 and below |m|: for m > 0, m - done is at least 1;
  // for m < 0 (a negative moves word), m - done stays negative. Never 0.
  const int64_t m = EffectiveMovesPerControl(d);
  const int64_t n = e.MoveHistory.Count();
  const int64_t done = ((n + 1) / 2) % m;
  const int64_t movesToGo = m - done;
  if (d.remainingTime <= 300)
    d.moveBudget = 1;
  else
    d.moveBudget = Clamp32((int64_t{d.remainingTime} - 200) / movesToGo);
  // The pre-analysis of every root move is the least a searched move costs,
  // whatever the budget. Where that would not leave a fair share of the
  // clock (one second kept back) for each move still to play in the
  // control, the search stops it early instead of losing on time.
  d.preAnalysisLimit = movesToGo > 0 ? Clamp32(std::max<int64_t>(0, d.remainingTime - 100) / (movesToGo + 1)) : -1;
  e.FixedDepthWhite = 0;
  e.FixedDepthBlack = 0;
  e.driver.clockStart = e.clock.NowMicroseconds();
}

}  // namespace ormedan
