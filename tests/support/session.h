// Whole sessions of the engine: in-process with fake streams, or against the
// built program as a child process.
#pragma once

#include <string>
#include <vector>

#include "protocol/modes.h"
#include "support/fakes.h"
#include "support/files.h"

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

// A folder with the shipped books, made once per test program.
const TempDir& ShippedBooksFolder();

// A session of one of the protocol modes on a rig (books from `folder`).
SessionResult RunModeSession(Engine& e, const CaptureOutput& out, const std::string& folder, Mode mode);

// A rig whose input arrives during a search only after some of its clock
// checks (PatientInput).
struct PatientRig {
  PatientRig(std::string input, int64_t looks)
      : in(std::move(input), looks), engine(std::make_unique<Engine>(in, out, clock, rng)) {}
  Engine& e() { return *engine; }
  PatientInput in;
  CaptureOutput out;
  FakeClock clock;
  SeededRandom rng{1};
  std::unique_ptr<Engine> engine;
};

// Joins lines as the program writes them: each followed by one line feed.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace ormedan::testing
