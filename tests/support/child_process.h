// Runs a program as a child process with a given input, for tests of the
// built binaries.
#pragma once

#include <string>
#include <vector>

namespace ormedan::testing {

struct ChildResult {
  std::string out;       // everything written to stdout
  std::string err;       // everything written to stderr
  int exitStatus = -1;   // exit status, or -1 when it did not exit normally
  int signal = 0;        // the signal that ended it, 0 if none
  bool timedOut = false; // killed after the time limit
};

struct ChildOptions {
  std::string workingDirectory;  // "" = the caller's
  std::string input;             // written to its stdin, which is then closed
  bool closeStdout = false;      // start it with stdout already closed for reading
  std::string holdInputUntil;    // write no input before stdout holds this text
  bool interruptFirst = false;   // send SIGINT once that text has been seen
  int timeoutMs = 20000;
};

// Runs argv[0] with the arguments and waits for it (killing it, by its own
// process id, when the time limit passes).
ChildResult RunChild(const std::vector<std::string>& argv, const ChildOptions& options);

}  // namespace ormedan::testing
