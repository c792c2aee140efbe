#include "protocol/numbers.h"

namespace ormedan {

namespace {

constexpr int64_t Limit = 1'000'000'000'000'000;

}  // namespace

bool ParseInteger(std::string_view text, int64_t& value) {
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return false;
  int64_t v = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    if (v < Limit) v = v * 10 + (c - '0');
  }
  value = negative ? -v : v;
  return true;
}

bool ParseSecondsAsCs(std::string_view text, int64_t& cs) {
  const size_t dot = text.find('.');
  int64_t whole = 0;
  if (dot == 0) {
    whole = 0;
  } else if (!ParseInteger(text.substr(0, dot), whole) || whole < 0 || text[0] == '+' || text[0] == '-') {
    return false;
  }
  int64_t fraction = 0;
  if (dot != std::string_view::npos) {
    const std::string_view digits = text.substr(dot + 1);
    if (digits.empty() && dot == 0) return false;
    int taken = 0;
    for (const char c : digits) {
      if (c < '0' || c > '9') return false;
      if (taken < 2) fraction = fraction * 10 + (c - '0');
      ++taken;
    }
    if (taken == 1) fraction *= 10;
  }
  cs = whole * 100 + fraction;
  return true;
}

}  // namespace ormedan
