// ormedan-tool perft DEPTH [FEN] [--divide]
//
// Counts the leaves of the legal move tree with the engine's own generator.
// Without a FEN the root is the new-game position. The FEN may be given as
// one argument or as several words. --divide also lists the count per root
// move. The last line is "nodes N".
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "declare/model.h"
#include "declare/quiet_io.h"
#include "tool.h"
#include "generation/perft.h"
#include "utilita/fen.h"

namespace ormedan::tool {

namespace {

// A depth is 1..MaxPerftDepth written in plain decimal digits.
bool ParseDepth(const char* text, int& depth) {
  if (text[0] == '\0' || std::strlen(text) > 2) return false;
  int d = 0;
  for (const char* c = text; *c; ++c) {
    if (*c < '0' || *c > '9') return false;
    d = d * 10 + (*c - '0');
  }
  if (d < 1 || d > MaxPerftDepth) return false;
  depth = d;
  return true;
}

void Usage() {
  std::fprintf(stderr, "usage: ormedan-tool perft DEPTH [FEN] [--divide]   (DEPTH 1..%d)\n", MaxPerftDepth);
}

}  // namespace

int Perft(int argc, char** argv) {
  bool divide = false;
  const char* depthText = nullptr;
  std::string fen;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--divide") == 0) {
      divide = true;
    } else if (depthText == nullptr) {
      depthText = argv[i];
    } else {
      if (!fen.empty()) fen += ' ';
      fen += argv[i];
    }
  }
  int depth = 0;
  if (depthText == nullptr || !ParseDepth(depthText, depth)) {
    Usage();
    return 2;
  }

  NoInput in;
  StdoutLines out;
  SteadyClock clock;
  FirstRandom rng;
  auto engine = std::make_unique<Engine>(in, out, clock, rng);
  Engine& e = *engine;

  Position root{};
  Colour toMove = White;
  if (fen.empty()) {
    SetUpNewGame(e);
    root = e.GamePosition;
  } else {
    std::string error;
    if (!PositionFromFen(fen, root, toMove, error)) {
      std::fprintf(stderr, "ormedan-tool perft: %s\n", error.c_str());
      return 1;
    }
  }

  const auto start = std::chrono::steady_clock::now();
  uint64_t nodes = 0;
  if (divide) {
    static int32_t moves[MaxChildren];
    static uint64_t counts[MaxChildren];
    const int n = PerftDivide(e, root, toMove, depth, moves, counts);
    for (int i = 0; i < n; ++i) {
      std::printf("%s: %" PRIu64 "\n", MoveCoordinates(root, moves[i]).c_str(), counts[i]);
      nodes += counts[i];
    }
  } else {
    nodes = PerftCount(e, root, toMove, depth);
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  std::printf("time %.3f s\n", seconds);
  if (seconds > 0)
    std::printf("leaves per second %.0f\n", static_cast<double>(nodes) / seconds);
  std::printf("nodes %" PRIu64 "\n", nodes);
  return 0;
}

}  // namespace ormedan::tool
