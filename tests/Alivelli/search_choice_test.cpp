// The choice between the two best root moves, the transposition memo as the
// tree uses it, and the killer flags of the pre-analysis.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <tuple>

#include "Alivelli/search_impl.h"
#include "support/search_setup.h"

namespace ormedan::testing {
namespace {

using search_detail::RootTally;

// How often each index is played over 64 seeds.
template <Colour S> std::set<int> Picks(std::initializer_list<int32_t> values) {
  std::set<int> seen;
  for (uint32_t seed = 1; seed <= 64; ++seed) {
    RootTally<S> t;
    int i = 0;
    for (int32_t v : values) t.Update(++i, v);
    SeededRandom rng(seed);
    seen.insert(t.Choose(rng, static_cast<int>(values.size())));
  }
  return seen;
}

TEST(SearchChoice, MovesLessThanTwoApartShareTheChoice) {
  EXPECT_EQ(Picks<White>({100, 99}), (std::set<int>{1, 2}));
  EXPECT_EQ(Picks<White>({99, 100}), (std::set<int>{1, 2}));
  EXPECT_EQ(Picks<White>({100, 100, 50}), (std::set<int>{1, 2}));
  EXPECT_EQ(Picks<Black>({-100, -99}), (std::set<int>{1, 2}));
  EXPECT_EQ(Picks<Black>({-99, -100}), (std::set<int>{1, 2}));
  // Two points apart: always the best.
  EXPECT_EQ(Picks<White>({100, 98}), (std::set<int>{1}));
  EXPECT_EQ(Picks<White>({98, 100}), (std::set<int>{2}));
  EXPECT_EQ(Picks<Black>({-100, -98}), (std::set<int>{1}));
  EXPECT_EQ(Picks<Black>({-98, -100}), (std::set<int>{2}));
  // A single move, and a move valued worst (timed out) after a good one.
  EXPECT_EQ(Picks<White>({100}), (std::set<int>{1}));
  EXPECT_EQ(Picks<White>({100, -32000}), (std::set<int>{1}));
}

TEST(SearchChoice, BoundStaysWithinTwoOfTheBest) {
  RootTally<White> w;
  w.Update(1, 40);
  EXPECT_EQ(w.second, 38);
  w.Update(2, 39);  // between bound and best: becomes the second
  EXPECT_EQ(w.second, 39);
  EXPECT_EQ(w.secondIndex, 2);
  w.Update(3, 45);  // new best, 5 better: bound 43, second index the old best
  EXPECT_EQ(w.best, 45);
  EXPECT_EQ(w.second, 43);
  EXPECT_EQ(w.bestIndex, 3);
  EXPECT_EQ(w.secondIndex, 1);
  w.Update(4, 46);  // 1 better: the bound becomes the old best
  EXPECT_EQ(w.second, 45);
  EXPECT_EQ(w.secondIndex, 3);

  RootTally<Black> b;
  b.Update(1, -40);
  EXPECT_EQ(b.second, -38);
  b.Update(2, -45);
  EXPECT_EQ(b.second, -43);
  EXPECT_EQ(b.bestIndex, 2);
  EXPECT_EQ(b.secondIndex, 1);
}

TEST(SearchChoice, TwoEqualMatesAreBothPlayed) {
  for (const char* fen : {"6k1/5ppp/8/8/8/8/5PPP/3RR1K1 w - - 0 1", "3rr1k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1"}) {
    std::set<std::string> played;
    for (uint32_t seed = 1; seed <= 24; ++seed) {
      SearchRig r(fen, seed);
      ASSERT_GT(r.RunFixed(3), 0);
      played.insert(r.Played());
    }
    const bool white = fen[0] == '6';
    EXPECT_EQ(played, white ? (std::set<std::string>{"d1d8", "e1e8"}) : (std::set<std::string>{"d8d1", "e8e1"}));
  }
}

// Lines remembered at ply 3 under a root move: none when only a mating
// reply (which leaves no third move) was searched.
int LinesUnder(Engine& e, int32_t rootMove) {
  int n = 0;
  for (int b = 1; b <= MemoBuckets; ++b)
    for (int k = 1; k <= e.MemoFill[b]; ++k) n += e.TranspositionMemo[b][k].first == rootMove ? 1 : 0;
  return n;
}

// Whether the reply searched first against root child i checkmates the
// root side: the stored replies are replayed again and the first one is
// tried.
bool FirstReplyMates(SearchRig& r, int i) {
  Engine& e = r.e();
  const int replies = r.toMove == White ? ReplayStoredReplies<Black>(e, i) : ReplayStoredReplies<White>(e, i);
  if (replies < 1) return false;
  return (r.toMove == White ? GenerateMoves<White>(e, 3, 1) : GenerateMoves<Black>(e, 3, 1)) == -2;
}

TEST(SearchBound, RepliesStopOnlyWhenTheRootMoveFallsPastTheBound) {
  // Every root move allows a protected queen to take on g2 (g7) with mate,
  // the reply searched first. The first two root moves set the bound to
  // that mate score; the third meets it with its first reply, which does
  // not pass it, so its other replies are still searched.
  for (const char* fen : {"k7/1b6/8/3q4/8/8/6PP/7K w - - 0 1", "7k/6pp/8/8/3Q4/8/1B6/K7 b - - 0 1"}) {
    SearchRig r(fen);
    ASSERT_EQ(r.RunFixed(3), 3) << fen;
    EXPECT_EQ(r.Number("punteggio mossa  "), r.toMove == White ? -31990 : 31990) << fen;
    for (int i = 1; i <= 3; ++i) {
      const int32_t move = r.e().ChildPositions[i][1].lastMove;
      ASSERT_TRUE(FirstReplyMates(r, i)) << fen << " root move " << i;
      EXPECT_GT(LinesUnder(r.e(), move), 0) << fen << " root move " << i;
    }
  }
  // A rook can take the queen, so the bound is far from a mate: a root move
  // whose first reply mates passes it, and its other replies are skipped.
  for (const char* fen : {"k7/1b6/8/3q4/8/8/6PP/3R3K w - - 0 1", "3r3k/6pp/8/8/3Q4/8/1B6/K7 b - - 0 1"}) {
    SearchRig r(fen);
    const int n = r.RunFixed(3);
    ASSERT_GT(n, 1) << fen;
    EXPECT_LT(std::abs(r.Number("punteggio mossa  ")), 1000) << fen;
    int mated = 0;
    for (int i = 1; i <= n; ++i) {
      const int32_t move = r.e().ChildPositions[i][1].lastMove;
      if (!FirstReplyMates(r, i)) continue;
      ++mated;
      EXPECT_EQ(LinesUnder(r.e(), move), 0) << fen << " root move " << i;
    }
    EXPECT_GT(mated, 1) << fen;
  }
}

TEST(SearchMemo, ALineWithSwappedMovesIsNeverStoredTwice) {
  for (const char* fen : {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
                          "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3"}) {
    SearchRig r(fen);
    const int n = r.RunFixed(3);
    ASSERT_GT(n, 1);
    std::set<int32_t> rootMoves;
    for (int i = 1; i <= n; ++i) rootMoves.insert(r.e().ChildPositions[i][1].lastMove);
    std::set<std::tuple<int32_t, int32_t, int32_t>> lines;
    for (int b = 1; b <= MemoBuckets; ++b)
      for (int k = 1; k <= r.e().MemoFill[b]; ++k) {
        const MemoEntry& m = r.e().TranspositionMemo[b][k];
        lines.insert({m.first, m.second, m.third});
      }
    ASSERT_FALSE(lines.empty());
    int swappable = 0;
    for (const auto& [a, b, c] : lines) {
      if (a == c) continue;
      if (rootMoves.count(c) != 0) ++swappable;
      EXPECT_EQ(lines.count({c, b, a}), 0u) << "line and its transposition both stored: " << a << " " << b << " " << c;
    }
    EXPECT_GT(swappable, 0) << "the tree held lines whose first and third moves can swap";
  }
}

TEST(SearchKillers, WhiteFlagsCapturesBlackOnlyQuietMoves) {
  // A queen hangs to a rook for the whole pre-analysis.
  SearchRig w("4k3/8/8/3q4/8/8/3R4/4K3 w - - 0 1");
  ASSERT_GT(w.RunFixed(3), 0);
  const Position& gw = w.position;
  const int whiteTake = MakeMoveCode(gw.board[4][2], 4, 5) & 0xFFFF;
  EXPECT_EQ(w.e().OddPlyKillers[whiteTake], 1) << "a cutting capture is flagged by piece and square";

  SearchRig b("4k3/3r4/8/8/3Q4/8/8/4K3 b - - 0 1");
  ASSERT_GT(b.RunFixed(3), 0);
  const Position& gb = b.position;
  const int blackTake = MakeMoveCode(gb.board[4][7], 4, 4) & 0xFFFF;
  EXPECT_EQ(b.e().OddPlyKillers[blackTake], 0) << "black flags no capture";
  int flagged = 0;
  for (int i = 0; i < 65536; ++i) flagged += b.e().OddPlyKillers[i] + b.e().EvenPlyKillers[i];
  EXPECT_GT(flagged, 0) << "quiet cutting moves are flagged";
}

}  // namespace
}  // namespace ormedan::testing
