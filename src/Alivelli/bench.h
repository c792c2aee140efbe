// The bench: fixed-depth searches over a built-in list of positions. Its
// node total depends only on the code and the depth, so it serves as a
// signature of the search.
#pragma once

#include <cstdint>
#include <string_view>

namespace ormedan {

constexpr int DefaultBenchDepth = 4;

struct BenchLine {
  int index;              // 1..21
  std::string_view move;  // the move played, "none" when there is none
  int64_t nodes;
  double seconds;  // CPU time of the search
};

// Runs the bench at `depth`; calls `line` after each position. Returns the
// node total and the CPU seconds in *seconds, or -1 when a position cannot
// be read (a build fault).
int64_t RunBench(int depth, void (*line)(const BenchLine&), double* seconds);

}  // namespace ormedan
