#include "Textrout/line_source.h"

#include "Textrout/textrout.h"

namespace ormedan {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

}  // namespace

std::string_view TrimLine(std::string_view line) { return TrimChars(line, " \t\r"); }

std::string_view FirstWord(std::string_view line) {
  line = TrimLine(line);
  size_t end = 0;
  while (end < line.size() && !IsBlank(line[end])) ++end;
  return line.substr(0, end);
}

std::string_view AfterFirstWord(std::string_view line) {
  line = TrimLine(line);
  return TrimLine(line.substr(FirstWord(line).size()));
}

void LineSource::Take(std::string& line) {
  line.assign(rules_.trim ? TrimLine(partial_) : std::string_view(partial_));
  partial_.clear();
}

bool LineSource::Assemble(bool wait, std::string& line) {
  while (!ended_) {
    const int c = wait ? in_.ReadByte() : in_.TryReadByte();
    if (c == Input::NotReady) return false;
    if (c < 0) {
      ended_ = true;
      // A last line without a line feed still counts.
      if (partial_.empty() || overlong_) return false;
      Take(line);
      return true;
    }
    if (c == '\n') {
      const bool dropped = overlong_;
      overlong_ = false;
      if (!dropped) {
        Take(line);
        return true;
      }
      partial_.clear();
      continue;
    }
    if (partial_.size() < rules_.maxBytes)
      partial_.push_back(static_cast<char>(c));
    else
      overlong_ = true;
  }
  return false;
}

bool LineSource::Next(std::string& line) {
  if (!deferred_.empty()) {
    line = std::move(deferred_.front());
    deferred_.pop_front();
    return true;
  }
  return Assemble(true, line);
}

bool LineSource::Poll(std::string& line) { return Assemble(false, line); }

}  // namespace ormedan
