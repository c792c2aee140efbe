// Diagnostic lines in the style of the protocol-2 and UCI modes, and their
// output as UTF-8.
#include "declare/engine.h"

#include <cstring>
#include <string>

namespace ormedan {

void Engine::WriteStyled(std::string_view text) {
  std::string_view prefix;
  switch (diagnostics) {
    case DiagnosticStyle::Plain: break;
    case DiagnosticStyle::Comment: prefix = "# "; break;
    case DiagnosticStyle::InfoString: prefix = "info string "; break;
    case DiagnosticStyle::Dropped: return;
  }
  char small[256];
  if (prefix.size() + text.size() <= sizeof small) {
    std::memcpy(small, prefix.data(), prefix.size());
    if (!text.empty()) std::memcpy(small + prefix.size(), text.data(), text.size());
    Reply(std::string_view(small, prefix.size() + text.size()));
    return;
  }
  std::string line(prefix);
  line.append(text);
  Reply(line);
}

namespace {

// The length of the well-formed UTF-8 character at the start of `s`, or 0.
size_t Utf8CharLength(std::string_view s) {
  const auto b = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char c = b(0);
  if (c < 0x80) return 1;
  size_t n;
  unsigned char lo = 0x80, hi = 0xBF;
  if (c >= 0xC2 && c <= 0xDF) n = 2;
  else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    if (c == 0xE0) lo = 0xA0;
    if (c == 0xED) hi = 0x9F;  // no surrogates
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    if (c == 0xF0) lo = 0x90;
    if (c == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (s.size() < n || b(1) < lo || b(1) > hi) return 0;
  for (size_t i = 2; i < n; ++i)
    if (b(i) < 0x80 || b(i) > 0xBF) return 0;
  return n;
}

// Windows-1252's characters for 0x80..0x9F (0 where it has none).
constexpr uint16_t kCp1252High[32] = {0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                      0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

bool Engine::IsUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t n = Utf8CharLength(text.substr(i));
    if (n == 0) return false;
    i += n;
  }
  return true;
}

void Engine::WriteAsUtf8(std::string_view text) {
  std::string line;
  line.reserve(text.size() * 2);
  for (size_t i = 0; i < text.size();) {
    const size_t n = Utf8CharLength(text.substr(i));
    if (n > 0) {
      line.append(text.substr(i, n));
      i += n;
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(text[i++]);
    const uint32_t cp = c >= 0xA0 ? c : kCp1252High[c - 0x80];
    AppendUtf8(line, cp != 0 ? cp : 0xFFFD);
  }
  if (!out.WriteLine(line)) outputFailed = true;
}

}  // namespace ormedan
