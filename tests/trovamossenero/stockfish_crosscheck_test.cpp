// Perft of positions from random games, compared with Stockfish's
// "go perft". Skipped when Debian's stockfish is not installed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "declare/model.h"
#include "support/child_process.h"
#include "support/fakes.h"
#include "support/generation_walk.h"
#include "generation/perft.h"

namespace ormedan {
namespace {

std::string FindStockfish() {
  for (const char* path : {"/usr/games/stockfish", "/usr/bin/stockfish", "/usr/local/bin/stockfish"})
    if (access(path, X_OK) == 0) return path;
  return {};
}

// Runs Stockfish on the positions and returns its perft count of each.
std::vector<uint64_t> StockfishPerft(const std::string& program, const std::vector<std::string>& fens, int depth) {
  testing::ChildOptions options;
  for (const std::string& fen : fens) options.input += "position fen " + fen + "\ngo perft " + std::to_string(depth) + "\n";
  options.input += "quit\n";
  options.timeoutMs = 120000;
  std::istringstream out(testing::RunChild({program}, options).out);
  std::vector<uint64_t> counts;
  const std::string key = "Nodes searched: ";
  for (std::string l; std::getline(out, l);)
    if (l.rfind(key, 0) == 0) counts.push_back(std::stoull(l.substr(key.size())));
  return counts;
}

TEST(StockfishCrossCheck, RandomGamePositionsHaveTheSamePerft) {
  const std::string stockfish = FindStockfish();
  if (stockfish.empty()) GTEST_SKIP() << "stockfish is not installed";
#if defined(__SANITIZE_ADDRESS__)
  const int depth = 2, games = 12;
#else
  const int depth = 3, games = 40;
#endif
  const char* const starts[] = {
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
      "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
      "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
      "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
      "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
      "8/P1k5/8/8/8/8/5Kp1/8 w - - 0 1",
  };
  testing::Rig rig;
  Engine& e = rig.e();
  std::mt19937 random(20240611);
  std::vector<Position> positions;
  std::vector<Colour> sides;
  std::vector<std::string> fens;
  for (int g = 0; g < games; ++g) {
    Colour side = White;
    e.ChildPositions[1][1] = testing::LoadFen(starts[g % 6], &side);
    // Random plies, each from the first slot of the previous ply.
    const int plies = 1 + static_cast<int>(random() % 12);
    int slot = 1;
    for (int ply = 2; ply <= plies + 1; ++ply) {
      const int n = testing::Generate(e, side, ply, slot);
      if (n <= 0) break;
      const int pick = 1 + static_cast<int>(random() % static_cast<unsigned>(n));
      e.ChildPositions[1][ply] = e.ChildPositions[pick][ply];
      slot = 1;
      side = Other(side);
      positions.push_back(e.ChildPositions[1][ply]);
      sides.push_back(side);
      fens.push_back(testing::PositionToFen(e.ChildPositions[1][ply], side));
    }
  }
  const std::vector<uint64_t> expected = StockfishPerft(stockfish, fens, depth);
  ASSERT_EQ(expected.size(), fens.size()) << "stockfish did not answer for every position";
  for (size_t i = 0; i < fens.size(); ++i)
    EXPECT_EQ(PerftCount(e, positions[i], sides[i], depth), expected[i]) << fens[i];
}

}  // namespace
}  // namespace ormedan
