// Helpers for tests that drive an engine line by line and look at what each
// line made it write.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "support/fakes.h"
#include "winboard/driver.h"

namespace ormedan::testing {

// Hands one line to the engine; returns the lines it wrote in answer.
inline std::vector<std::string> Feed(Rig& rig, std::string_view line) {
  const size_t before = rig.out.lines.size();
  HandleLine(rig.e(), line);
  return {rig.out.lines.begin() + static_cast<std::ptrdiff_t>(before), rig.out.lines.end()};
}

// The lines written since output line `from`.
inline std::vector<std::string> LinesSince(const Rig& rig, size_t from) {
  return {rig.out.lines.begin() + static_cast<std::ptrdiff_t>(from), rig.out.lines.end()};
}

// A book as start-up would load it from this file text.
inline TextList BookOf(std::string_view text) {
  TextList lines;
  SplitTextLines(text, lines);
  return lines;
}

// A file of the source tree, whole; empty when it cannot be read.
inline std::string SourceFile(const std::string& relative) {
  std::ifstream in(std::string(ORMEDAN_SOURCE_DIR) + "/" + relative, std::ios::binary);
  std::ostringstream data;
  data << in.rdbuf();
  return data.str();
}

}  // namespace ormedan::testing
