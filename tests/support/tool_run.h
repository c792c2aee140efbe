// Runs the developer tool as a program, for tests of its subcommands.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "support/child_process.h"

namespace ormedan::testing {

struct ToolRun {
  int status = -1;                 // exit status, -1 when it did not exit normally
  std::string out;                 // standard output, whole
  std::vector<std::string> lines;  // standard output, one entry per line
  std::string errors;              // standard error
};

// Runs ormedan-tool with `args` written as on a shell command line (quotes
// group words).
inline ToolRun RunTool(const std::string& args) {
  const ChildResult child =
      RunChild({"/bin/sh", "-c", std::string("\"") + ORMEDAN_BIN_DIR + "/ormedan-tool\" " + args}, {});
  ToolRun run{child.exitStatus, child.out, {}, child.err};
  std::istringstream in(child.out);
  for (std::string line; std::getline(in, line);) run.lines.push_back(line);
  return run;
}

}  // namespace ormedan::testing
