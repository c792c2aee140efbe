// Perft counts of the reference positions, and a checked walk of each.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "declare/model.h"
#include "support/fakes.h"
#include "support/generation_walk.h"
#include "generation/perft.h"

namespace ormedan {
namespace {

// The sanitizer build is many times slower: it checks shallower trees.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSlowBuild = true;
#else
constexpr bool kSlowBuild = false;
#endif

struct Reference {
  const char* name;
  const char* fen;
  uint64_t nodes[7];  // depth 1..6, 0 where not used
  int depth;          // deepest depth tested in a release build
  int walkDepth;      // depth of the checked walk
};

const Reference kReferences[] = {
    {"initial", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
     {0, 20, 400, 8902, 197281, 4865609, 0}, 5, 3},
    {"kiwipete", "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
     {0, 48, 2039, 97862, 4085603, 0, 0}, 4, 3},
    {"position 3", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", {0, 14, 191, 2812, 43238, 674624, 11030083}, 6, 4},
    {"position 4", "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
     {0, 6, 264, 9467, 422333, 15833292, 0}, 5, 3},
    {"position 4 mirrored", "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1",
     {0, 6, 264, 9467, 422333, 15833292, 0}, 5, 3},
    {"position 5", "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", {0, 44, 1486, 62379, 2103487, 0, 0}, 4,
     3},
    {"position 6", "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
     {0, 46, 2079, 89890, 3894594, 0, 0}, 4, 3},
};

TEST(Perft, ReferencePositionsMatchTheirPublishedCounts) {
  testing::Rig rig;
  Engine& e = rig.e();
  for (const Reference& r : kReferences) {
    Colour side = White;
    const Position root = testing::LoadFen(r.fen, &side);
    const int deepest = kSlowBuild ? r.depth - 1 : r.depth;
    for (int d = 1; d <= deepest; ++d)
      EXPECT_EQ(PerftCount(e, root, side, d), r.nodes[d]) << r.name << " depth " << d;
  }
}

// The leaves are made on one scratch record and put back; their check marks
// are counted against the published breakdown.
TEST(Perft, InitialPositionFromTheNewGameSetUpWithItsChecks) {
  testing::Rig rig;
  Engine& e = rig.e();
  SetUpNewGame(e);
  const uint64_t leaves[] = {0, 20, 400, 8902, 197281, 4865609};
  const uint64_t checks[] = {0, 0, 0, 12, 469, 27351};
  for (int d = 1; d <= (kSlowBuild ? 4 : 5); ++d) {
    uint64_t found = 99;
    EXPECT_EQ(PerftCount(e, e.GamePosition, White, d, &found), leaves[d]) << "depth " << d;
    EXPECT_EQ(found, checks[d]) << "depth " << d;
  }
}

// Every pseudo-legal move of a shallow tree is made and checked, and every
// child compared with a plain reference.
TEST(Perft, CheckedWalkOfEveryReferencePosition) {
  testing::Rig rig;
  Engine& e = rig.e();
  for (const Reference& r : kReferences) {
    Colour side = White;
    e.ChildPositions[1][1] = testing::LoadFen(r.fen, &side);
    const int depth = kSlowBuild ? r.walkDepth - 1 : r.walkDepth;
    testing::WalkReport report;
    testing::ConsistencyWalk(e, side, 2, 1, depth, report);
    EXPECT_EQ(report.fault, "") << r.name;
    EXPECT_EQ(report.leaves, r.nodes[depth]) << r.name;
    EXPECT_GT(report.makes, report.leaves) << r.name;
  }
}

// The two colour mirrors must agree move for move, not just in total.
TEST(Perft, MirroredPositionsAgreePerRootMove) {
  testing::Rig rig;
  Engine& e = rig.e();
  const int depth = kSlowBuild ? 2 : 3;
  std::map<std::string, uint64_t> counts[2];
  for (int k = 0; k < 2; ++k) {
    const Reference& r = kReferences[3 + k];
    Colour side = White;
    const Position root = testing::LoadFen(r.fen, &side);
    int32_t moves[MaxChildren];
    uint64_t leaves[MaxChildren];
    const int n = PerftDivide(e, root, side, depth, moves, leaves);
    ASSERT_EQ(n, 6) << r.name;
    for (int i = 0; i < n; ++i) {
      std::string m = testing::MoveText(root, moves[i]);
      if (k == 1) {  // flip the ranks of the mirrored move
        m[1] = static_cast<char>('9' - (m[1] - '0'));
        m[3] = static_cast<char>('9' - (m[3] - '0'));
      }
      counts[k][m] = leaves[i];
    }
  }
  EXPECT_EQ(counts[0], counts[1]);
  EXPECT_EQ(counts[0].at("c4c5"), kSlowBuild ? 43u : 1409u);
}

TEST(Perft, DeadMaterialStillHasMovesAndDepthLimitsAreKept) {
  testing::Rig rig;
  Engine& e = rig.e();
  // Bare kings: the ply-1 material answer must not cut the count.
  const Position bare = testing::LoadFen("8/8/8/3k4/8/8/8/K7 w - - 0 1");
  EXPECT_EQ(PerftCount(e, bare, White, 1), 3u);
  EXPECT_EQ(PerftCount(e, bare, White, 2), 24u);
  // Mate at the root gives 0 at any depth; out-of-range depths count nothing.
  Colour side = White;
  const Position mated = testing::LoadFen("7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", &side);
  EXPECT_EQ(PerftCount(e, mated, side, 1), 0u);
  EXPECT_EQ(PerftCount(e, mated, side, 3), 0u);
  EXPECT_EQ(PerftCount(e, bare, White, 0), 0u);
  EXPECT_EQ(PerftCount(e, bare, White, MaxPerftDepth + 1), 0u);
  // The deepest perft generates at ply 16, from ply 15.
  const Position kiwipete = testing::LoadFen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
  e.ChildPositions[7][MaxPly - 1] = kiwipete;
  ASSERT_EQ(GenerateMoves<White>(e, MaxPly, 7), 48);
  for (int i = 1; i <= 48; ++i) EXPECT_TRUE(CheckPosition(e.ChildPositions[i][MaxPly])) << i;
  EXPECT_TRUE(testing::SamePosition(e.ChildPositions[7][MaxPly - 1], kiwipete));
}

}  // namespace
}  // namespace ormedan
