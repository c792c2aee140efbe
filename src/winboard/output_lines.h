// Helpers that compose one output line from a few parts without allocating
// for ordinary line lengths.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "declare/engine.h"

namespace ormedan {

// Composes one line from texts and numbers on the stack; what does not fit
// in its room is left out.
class LineBuilder {
 public:
  LineBuilder& Text(std::string_view t) {
    const size_t n = t.size() < Room - size_ ? t.size() : Room - size_;
    if (n > 0) std::memcpy(buf_ + size_, t.data(), n);
    size_ += n;
    return *this;
  }
  LineBuilder& Number(int64_t v) {
    char digits[24];
    const auto r = std::to_chars(digits, digits + sizeof digits, v);
    return Text(std::string_view(digits, static_cast<size_t>(r.ptr - digits)));
  }
  std::string_view View() const { return {buf_, size_}; }

 private:
  static constexpr size_t Room = 240;
  char buf_[Room];
  size_t size_ = 0;
};

// Writes the protocol line a + b (a long echo of a client's line is cut).
inline void ReplyJoined(Engine& e, std::string_view a, std::string_view b) {
  e.Reply(LineBuilder().Text(a).Text(b).View());
}

// Writes a + b as one line.
inline void WriteJoined(Engine& e, std::string_view a, std::string_view b) {
  char small[512];
  if (a.size() + b.size() <= sizeof small) {
    std::memcpy(small, a.data(), a.size());
    if (!b.empty()) std::memcpy(small + a.size(), b.data(), b.size());
    e.Write(std::string_view(small, a.size() + b.size()));
    return;
  }
  // Only a hostile, very long input line gets here.
  std::string big;
  big.reserve(a.size() + b.size());
  big.append(a).append(b);
  e.Write(big);
}

// Writes the prefix followed by the number in plain decimal.
inline void WriteNumberLine(Engine& e, std::string_view prefix, int64_t value) {
  char digits[24];
  const auto r = std::to_chars(digits, digits + sizeof digits, value);
  WriteJoined(e, prefix, std::string_view(digits, static_cast<size_t>(r.ptr - digits)));
}

}  // namespace ormedan
