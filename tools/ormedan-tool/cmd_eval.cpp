// ormedan-tool eval [--phase P] FEN: the static score of a position, as the
// search's evaluation sees it with base 0. The score is the last line.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "declare/model.h"
#include "declare/quiet_io.h"
#include "tool.h"
#include "valutazioni/evaluate.h"
#include "utilita/fen.h"

namespace ormedan::tool {

namespace {

int EvalUsage() {
  std::fprintf(stderr, "usage: ormedan-tool eval [--phase P] FEN   (P = 1, 2 or 3)\n");
  return 2;
}

}  // namespace

int Eval(int argc, char** argv) {
  int phase = 0;
  std::string fen;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--phase") {
      if (i + 1 >= argc) return EvalUsage();
      const std::string_view value = argv[++i];
      if (value.size() != 1 || value[0] < '1' || value[0] > '3') {
        std::fprintf(stderr, "ormedan-tool eval: phase must be 1, 2 or 3, not '%s'\n", argv[i]);
        return 2;
      }
      phase = value[0] - '0';
    } else {
      // A FEN given unquoted arrives as several arguments.
      if (!fen.empty()) fen += ' ';
      fen += arg;
    }
  }
  if (fen.empty()) return EvalUsage();

  Position position{};
  Colour toMove = White;
  std::string error;
  if (!PositionFromFen(fen, position, toMove, error)) {
    std::fprintf(stderr, "ormedan-tool eval: bad FEN: %s\n", error.c_str());
    return 1;
  }
  if (phase != 0) position.gamePhase = static_cast<uint8_t>(phase);

  NoInput in;
  NoOutput out;
  StillClock clock;
  FirstRandom rng;
  auto engine = std::make_unique<Engine>(in, out, clock, rng);
  engine->GamePosition = position;
  std::printf("side to move %s, phase %d\n", toMove == White ? "white" : "black", position.gamePhase);
  std::printf("%d\n", Evaluate(*engine, 0, 0, 0));
  return 0;
}

}  // namespace ormedan::tool
