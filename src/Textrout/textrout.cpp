// Text routines on byte strings. Every result is a view into the argument;
// none of them fails: bad input gives an empty text or 0.
#include "Textrout/textrout.h"

#include <limits>

namespace ormedan {

std::string_view TrimChars(std::string_view text, std::string_view set) {
  const size_t first = text.find_first_not_of(set);
  if (first == std::string_view::npos) return text.substr(text.size());
  return text.substr(first, text.find_last_not_of(set) - first + 1);
}

std::string_view TrimBlanks(std::string_view text) { return TrimChars(text, " "); }

std::string_view DropFirst(std::string_view text, int64_t n) {
  if (n <= 0) return text;
  if (n >= static_cast<int64_t>(text.size())) return {};
  return text.substr(static_cast<size_t>(n));
}

std::string_view TakeFirst(std::string_view text, int64_t n) {
  if (n <= 0) return {};
  if (n >= static_cast<int64_t>(text.size())) return text;
  return text.substr(0, static_cast<size_t>(n));
}

std::string_view WordAt(std::string_view text, int64_t n) {
  if (n < 0) return {};
  std::string_view rest = text;
  std::string_view word;
  for (int64_t i = 0; i <= n; ++i) {
    // Once nothing is left every further word is empty; stop rather than
    // count up to an arbitrarily large index.
    if (rest.empty()) return {};
    const size_t blank = rest.find(' ');
    const int64_t p = blank == std::string_view::npos ? static_cast<int64_t>(rest.size()) + 1
                                                       : static_cast<int64_t>(blank) + 1;
    word = TakeFirst(rest, p - 1);
    rest = DropFirst(rest, p);
  }
  return word;
}

int32_t TextToInt(std::string_view text) {
  const std::string_view t = TrimBlanks(text);
  size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
    negative = t[i] == '-';
    ++i;
  }
  if (i == t.size()) return 0;  // empty, or a sign alone
  // Accumulate as a negative number so that the most negative 32-bit value
  // is reachable; anything beyond the range gives 0.
  constexpr int64_t lowest = std::numeric_limits<int32_t>::min();
  int64_t value = 0;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    if (c < '0' || c > '9') return 0;
    value = value * 10 - (c - '0');
    if (value < lowest) return 0;
  }
  if (!negative) {
    if (-value > std::numeric_limits<int32_t>::max()) return 0;
    return static_cast<int32_t>(-value);
  }
  return static_cast<int32_t>(value);
}

int FileLetterToNumber(std::string_view text) {
  if (text.empty()) return 1;
  const char c = text[0];
  if (c >= 'a' && c <= 'h') return c - 'a' + 1;
  return 1;
}

}  // namespace ormedan
