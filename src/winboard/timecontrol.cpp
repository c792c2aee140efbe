// Time control: "level" sets the control period, "time" the engine's clock;
// the time manager's plain rule derives the budget of the next move.
#include <cstdint>
#include <limits>

#include "Alivelli/time_manager.h"
#include "Textrout/textrout.h"
#include "winboard/driver.h"

namespace ormedan {

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
    d.baseTime = ClampToInt32(int64_t{TextToInt(base)} * 3000);
  } else {
    if (colon > 0)
      d.baseTime = ClampToInt32(int64_t{TextToInt(TakeFirst(base, colon - 1))} * 6000 +
                           int64_t{TextToInt(DropFirst(base, colon))} * 100);
    else
      d.baseTime = ClampToInt32(int64_t{TextToInt(base)} * 6000);
    d.movesPerControl = moves == "0" ? 300 : TextToInt(moves);
  }
  d.remainingTime = d.baseTime;
  PlainBudgetAfterLevel(e);
}

void TimeCommand(Engine& e, std::string_view argument) {
  DriverState& d = e.driver;
  d.remainingTime = TextToInt(argument);
  PlainBudgetAfterTime(e);
}

}  // namespace ormedan
