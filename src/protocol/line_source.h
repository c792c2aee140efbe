// Input lines for the protocol-2 and UCI modes. The engine reads its input
// only between its own tasks, and while it thinks it looks at what has
// arrived without waiting (Poll), so a move-now or a stop is seen at once;
// lines it keeps for later (Defer) come before any new input.
#pragma once

#include <deque>
#include <string>
#include <string_view>

#include "declare/engine.h"

namespace ormedan {

class LineSource {
 public:
  explicit LineSource(Input& in) : in_(in) {}

  // The next line, waiting for it: deferred lines first. Blanks, tabs and a
  // carriage return around it are removed. False at the end of input.
  bool Next(std::string& line);
  // A whole line that has already arrived, without waiting; false when none
  // has (or at the end of input).
  bool Poll(std::string& line);
  void Defer(std::string line) { deferred_.push_back(std::move(line)); }
  bool HasDeferred() const { return !deferred_.empty(); }
  // The client has closed its end (lines deferred may remain).
  bool InputEnded() const { return ended_; }

 private:
  bool Assemble(bool wait, std::string& line);

  Input& in_;
  std::string partial_;
  bool overlong_ = false;
  bool ended_ = false;
  std::deque<std::string> deferred_;
};

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
    if (stop_ == Stop::None && source_.InputEnded()) stop_ = Stop::Quit;
    return stop_ != Stop::None;
  }

 protected:
  virtual Stop Judge(const std::string& line) = 0;
  LineSource& source_;
  Stop stop_ = Stop::None;
};

// The line without blanks, tabs and carriage returns at either end.
std::string_view TrimLine(std::string_view line);
// The first word of a line and the text after it (blanks trimmed).
std::string_view FirstWord(std::string_view line);
std::string_view AfterFirstWord(std::string_view line);

}  // namespace ormedan
