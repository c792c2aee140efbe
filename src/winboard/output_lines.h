// Helpers that compose one output line from a few parts without allocating
// for ordinary line lengths.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "declare/engine.h"
#include "declare/line_builder.h"

namespace ormedan {

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
  e.Write(LineBuilder().Text(prefix).Number(value).View());
}

}  // namespace ormedan
