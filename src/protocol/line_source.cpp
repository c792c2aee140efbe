#include "protocol/line_source.h"

namespace ormedan {

namespace {

// A longer line cannot be a command; it is read to its end and dropped, so
// that endless input cannot exhaust memory.
constexpr size_t MaxLineBytes = size_t{1} << 20;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

}  // namespace

std::string_view TrimLine(std::string_view line) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
  return line;
}

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

bool LineSource::Assemble(bool wait, std::string& line) {
  while (!ended_) {
    const int c = wait ? in_.ReadByte() : in_.TryReadByte();
    if (c == Input::NotReady) return false;
    if (c < 0) {
      ended_ = true;
      // A last line without a line feed still counts.
      if (partial_.empty() || overlong_) return false;
      line.assign(TrimLine(partial_));
      partial_.clear();
      return true;
    }
    if (c == '\n') {
      const bool dropped = overlong_;
      overlong_ = false;
      if (!dropped) line.assign(TrimLine(partial_));
      partial_.clear();
      if (!dropped) return true;
      continue;
    }
    if (partial_.size() < MaxLineBytes)
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
