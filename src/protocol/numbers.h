// Numbers as the clients write them.
#pragma once

#include <cstdint>
#include <string_view>

namespace ormedan {

// A whole number with an optional sign; false unless the whole text is one
// (held within +-10^15).
bool ParseInteger(std::string_view text, int64_t& value);

// Seconds with an optional decimal fraction ("10", "0.5", "2.0") as
// centiseconds, truncated; false for anything else or a negative value.
bool ParseSecondsAsCs(std::string_view text, int64_t& cs);

}  // namespace ormedan
