// The search's stop watch in the protocol modes.
#pragma once

#include <string>

#include "Textrout/line_source.h"
#include "declare/engine.h"

namespace ormedan {

// What the client asks of a search by a line it sends while the engine thinks.
enum class Stop { None, MoveNow, Abort, Quit };

// The search's stop watch in the protocol modes: it reads the lines that
// have arrived and lets the mode say what each one asks (Judge, which may
// keep the line for later with Defer); the end of input is a quit.
class ThinkingWatch : public StopWatch {
 public:
  explicit ThinkingWatch(LineSource& source) : source_(source) {}
  bool StopNow() final {
    std::string line;
    while (stop_ == Stop::None && source_.Poll(line)) stop_ = Judge(line);
    if (stop_ == Stop::None && source_.InputEnded()) stop_ = OnInputEnded();
    if (stop_ == Stop::None && deadline_ > 0 && clock_->NowMicroseconds() >= deadline_) stop_ = Stop::MoveNow;
    return stop_ != Stop::None;
  }

 protected:
  // A moment of the clock (microseconds) at which the search stops as on a
  // move-now; 0: none.
  void SetDeadline(Clock& clock, int64_t at) {
    clock_ = &clock;
    deadline_ = at;
  }

  virtual Stop Judge(const std::string& line) = 0;
  // What the end of input asks of the search: by default, to quit at once.
  virtual Stop OnInputEnded() { return Stop::Quit; }
  LineSource& source_;
  Stop stop_ = Stop::None;

 private:
  Clock* clock_ = nullptr;
  int64_t deadline_ = 0;
};

}  // namespace ormedan
