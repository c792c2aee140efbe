// ormedan-tool bench [DEPTH]: the bench, one line per position, then
// "nodes N nps X". The speed is measured in CPU time of this process.
#include <cstdio>
#include <string_view>

#include "Alivelli/bench.h"
#include "tool.h"

namespace ormedan::tool {

namespace {

int BenchUsage() {
  std::fprintf(stderr, "usage: ormedan-tool bench [DEPTH]   (DEPTH = 1..15, default %d)\n", DefaultBenchDepth);
  return 2;
}

void PrintLine(const BenchLine& b) {
  std::printf("%d %.*s nodes %lld ms %lld\n", b.index, static_cast<int>(b.move.size()), b.move.data(),
              static_cast<long long>(b.nodes), static_cast<long long>(b.seconds * 1000));
  std::fflush(stdout);
}

}  // namespace

int Bench(int argc, char** argv) {
  int depth = DefaultBenchDepth;
  if (argc > 1) return BenchUsage();
  if (argc == 1) {
    const std::string_view text = argv[0];
    depth = 0;
    for (char c : text) {
      if (c < '0' || c > '9' || depth > 15) return BenchUsage();
      depth = depth * 10 + (c - '0');
    }
    if (text.empty() || depth < 1 || depth > 15) return BenchUsage();
  }
  double seconds = 0;
  const int64_t totalNodes = RunBench(depth, PrintLine, &seconds);
  if (totalNodes < 0) {
    std::fprintf(stderr, "ormedan-tool bench: a bench position cannot be read\n");
    return 1;
  }
  const long long nps = seconds > 0 ? static_cast<long long>(static_cast<double>(totalNodes) / seconds) : 0;
  std::printf("nodes %lld nps %lld\n", static_cast<long long>(totalNodes), nps);
  return 0;
}

}  // namespace ormedan::tool
