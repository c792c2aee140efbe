// Whole sessions of the engine: in-process with fake streams, or against the
// built program as a child process.
#pragma once

#include <string>
#include <vector>

#include "support/fakes.h"

namespace ormedan::testing {

// The six lines every successful start-up writes.
std::vector<std::string> StartUpLines();

struct SessionResult {
  std::vector<std::string> lines;   // stdout, one entry per line
  std::vector<std::string> errors;  // stderr reports
  int status = -1;                  // RunEngine's exit status
};

// Runs one engine in-process on the input bytes, with `folder` as the working
// directory and `dataDir` as the fallback book folder.
SessionResult RunSession(const std::string& input, const std::string& folder, const std::string& dataDir = "");

// The same on an existing rig (to inspect the engine afterwards).
SessionResult RunSession(Rig& rig, const std::string& folder, const std::string& dataDir = "");

// Joins lines as the program writes them: each followed by one line feed.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace ormedan::testing
