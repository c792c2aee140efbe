#include "Alivelli/bench.h"

#include <time.h>

#include <memory>
#include <string>

#include "Alivelli/fixed_depth.h"
#include "declare/model.h"
#include "declare/quiet_io.h"
#include "utilita/fen.h"

namespace ormedan {

namespace {

struct BenchPosition {
  const char* fen;
  int phase;  // game phase the search is run with
};

// Openings, middle games with both kings under fire, endgames; both sides
// to move.
constexpr BenchPosition kPositions[] = {
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 1},
    {"rnbqkbnr/pp1ppppp/8/2p5/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 2", 1},
    {"r1bqkbnr/1ppp1ppp/p1n5/1B2p3/4P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 0 4", 1},
    {"rnbqkb1r/ppp2ppp/4pn2/3p2B1/2PP4/2N5/PP2PPPP/R2QKBNR b KQkq - 3 4", 1},
    {"r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 2},
    {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 2},
    {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 2},
    {"r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1", 2},
    {"2kr3r/pbpq1ppp/1pn1pn2/3p4/3P1P2/2PBPN2/PP1N2PP/R2Q1RK1 b - - 0 1", 2},
    {"r2q1rk1/pp2ppbp/2np1np1/8/3NP1b1/2N1BP2/PPPQ2PP/2KR1B1R b - - 0 10", 2},
    {"r1b2rk1/2q1bppp/p2ppn2/1p6/3NP3/1BN5/PPP2PPP/R2QR1K1 w - - 0 1", 2},
    {"r3k2r/2pb1ppp/2pp1q2/p7/1nP1B3/1P2P3/P2N1PPP/R2QK2R w KQkq a6 0 14", 2},
    {"4rrk1/2p1b1p1/p1p3q1/4p3/2P2n1p/1P1NR2P/PB3PP1/3R1QK1 b - - 2 24", 2},
    {"r3qbrk/6p1/2b2pPp/p3pP1Q/PpPpP2P/3P1B2/2PB3K/R5R1 w - - 16 42", 2},
    {"2r3k1/pp3ppp/2n1b3/q2pP3/3P4/P1PB1N2/5PPP/R2Q1RK1 b - - 0 17", 2},
    {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 3},
    {"8/8/1R6/5pk1/8/6K1/6P1/1r6 w - - 0 1", 3},
    {"8/8/3k4/8/3Q4/8/4K3/7q b - - 0 1", 3},
    {"8/3k4/3p4/p2P1p2/P2P1P2/8/4K3/2B1b3 w - - 0 1", 3},
    {"1K1k4/1P6/8/8/8/8/r7/2R5 b - - 0 1", 3},
    {"8/5pk1/6p1/8/8/6P1/5PK1/8 b - - 0 1", 3},
};

// CPU time of this process: a machine shared with other work disturbs it
// less than the wall clock.
double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace

int64_t RunBench(int depth, void (*line)(const BenchLine&), double* seconds) {
  NoInput in;
  NoOutput out;
  StillClock clock;  // the fixed depth ignores the clock, so every run is equal
  FixedSeedRandom rng(1);
  auto engine = std::make_unique<Engine>(in, out, clock, rng);
  Engine& e = *engine;

  int64_t totalNodes = 0;
  *seconds = 0;
  int index = 0;
  for (const BenchPosition& b : kPositions) {
    ++index;
    Position position{};
    Colour toMove = White;
    std::string error;
    if (!PositionFromFen(b.fen, position, toMove, error)) return -1;
    position.gamePhase = static_cast<uint8_t>(b.phase);
    const double start = CpuSeconds();
    const int result = SearchAtFixedDepth(e, position, toMove, depth);
    const double used = CpuSeconds() - start;
    *seconds += used;
    totalNodes += e.NodeCount;
    char buf[8];
    const std::string_view move = result > 0 ? EngineMoveText(e.EngineMove, buf) : std::string_view("none");
    line(BenchLine{index, move, e.NodeCount, used});
  }
  return totalNodes;
}

}  // namespace ormedan
