// ormedan-tool search [--phase P] FEN DEPTH: the driver of the side to move
// searches the position at a fixed depth and writes its diagnostic lines.
// The last line is "move <move> nodes <count>" or "result <code>".
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "Alivelli/fixed_depth.h"
#include "declare/model.h"
#include "declare/quiet_io.h"
#include "tool.h"
#include "utilita/fen.h"

namespace ormedan::tool {

namespace {

int SearchUsage() {
  std::fprintf(stderr, "usage: ormedan-tool search [--phase P] FEN DEPTH   (P = 1, 2 or 3; DEPTH = 1..15)\n");
  return 2;
}

// A positive decimal number within [low, high], or -1.
int ParseBounded(std::string_view text, int low, int high) {
  if (text.empty() || text.size() > 3) return -1;
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v >= low && v <= high ? v : -1;
}

}  // namespace

int SearchCmd(int argc, char** argv) {
  int phase = 0;
  std::string fen;
  std::string_view depthText;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--phase") {
      if (i + 1 >= argc) return SearchUsage();
      phase = ParseBounded(argv[++i], 1, 3);
      if (phase < 0) {
        std::fprintf(stderr, "ormedan-tool search: phase must be 1, 2 or 3, not '%s'\n", argv[i]);
        return 2;
      }
    } else if (i == argc - 1) {
      depthText = arg;
    } else {
      // A FEN given unquoted arrives as several arguments.
      if (!fen.empty()) fen += ' ';
      fen += arg;
    }
  }
  if (fen.empty() || depthText.empty()) return SearchUsage();
  const int depth = ParseBounded(depthText, 1, 15);
  if (depth < 0) {
    std::fprintf(stderr, "ormedan-tool search: depth must be 1..15, not '%.*s'\n", static_cast<int>(depthText.size()),
                 depthText.data());
    return 2;
  }

  Position position{};
  Colour toMove = White;
  std::string error;
  if (!PositionFromFen(fen, position, toMove, error)) {
    std::fprintf(stderr, "ormedan-tool search: bad FEN: %s\n", error.c_str());
    return 1;
  }
  if (phase != 0) position.gamePhase = static_cast<uint8_t>(phase);

  NoInput in;
  StdoutLines out;
  SteadyClock clock;
  FixedSeedRandom rng(1);
  auto engine = std::make_unique<Engine>(in, out, clock, rng);
  Engine& e = *engine;
  e.driver.clockStart = clock.NowMicroseconds();
  const int result = SearchAtFixedDepth(e, position, toMove, depth);
  if (result > 0) {
    char buf[8];
    std::printf("move %.*s nodes %lld\n", static_cast<int>(EngineMoveText(e.EngineMove, buf).size()), buf,
                static_cast<long long>(e.NodeCount));
  } else {
    std::printf("result %d\n", result);
  }
  return e.outputFailed ? 1 : 0;
}

}  // namespace ormedan::tool
