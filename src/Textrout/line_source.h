// Input lines, read once for every mode. The engine reads its input only
// between its own tasks, and while it thinks it looks at what has arrived
// without waiting (Poll), so a move-now or a stop is seen at once; lines it
// keeps for later (Defer) come before any new input.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

#include "declare/io.h"

namespace ormedan {

// How lines are taken from the input.
struct LineRules {
  // A longer line cannot be a command; it is read to its end and dropped,
  // so that endless input cannot exhaust memory.
  size_t maxBytes = size_t{1} << 20;
  // Blanks, tabs and carriage returns around a line are removed; the plain
  // mode keeps the line as it came and trims only blanks itself.
  bool trim = true;
};

class LineSource {
 public:
  explicit LineSource(Input& in, LineRules rules = {}) : in_(in), rules_(rules) {}

  // The next line, waiting for it: deferred lines first. False at the end
  // of input; a last line without a line feed still counts.
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
  void Take(std::string& line);  // the line assembled so far, by the rules

  Input& in_;
  LineRules rules_;
  std::string partial_;
  bool overlong_ = false;
  bool ended_ = false;
  std::deque<std::string> deferred_;
};

// The line without blanks, tabs and carriage returns at either end.
std::string_view TrimLine(std::string_view line);
// The first word of a line and the text after it (blanks trimmed).
std::string_view FirstWord(std::string_view line);
std::string_view AfterFirstWord(std::string_view line);

}  // namespace ormedan
