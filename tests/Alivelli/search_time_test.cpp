// Depth choice from the budget, depth lowering, time-out and root cut-off,
// and the order of the diagnostic lines, with a clock the test controls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/search_setup.h"
#include "utilita/fen.h"

namespace ormedan::testing {
namespace {

// In check with a single legal move (a knight block), so that the depth
// choice runs but no main search follows.
const char* const kCheckedWhite = "rr5k/8/8/8/8/8/8/K1N5 w - - 0 1";
const char* const kCheckedBlack = "k1n5/8/8/8/8/8/8/RR5K b - - 0 1";

// Depth chosen in check for a budget, with 10 ms elapsed (so the ratio of
// budget to elapsed time equals the budget).
int CheckedDepth(const char* fen, int phase, int32_t budget, int32_t* predicted = nullptr) {
  SearchRig r(fen);
  r.e().GamePosition.gamePhase = static_cast<uint8_t>(phase);
  r.clock.offset = 10'000;
  EXPECT_EQ(r.Run(budget), 1);
  if (predicted != nullptr) *predicted = r.e().LastPredictedDepth;
  return static_cast<int>(r.Number("profondit\xE0 "));
}

TEST(SearchDepth, InCheckThresholdsForBothBranchingFactors) {
  // Ratio thresholds above which depths 6..12 are chosen.
  const int64_t middle[] = {30, 166, 915, 5033, 27681, 152244, 837339};  // 5.5^k
  const int64_t ending[] = {25, 125, 625, 3125, 15625, 78125, 390625};   // 5.0^k
  for (const char* fen : {kCheckedWhite, kCheckedBlack}) {
    for (int k = 0; k < 7; ++k) {
      const int depth = 6 + k;
      EXPECT_EQ(CheckedDepth(fen, 2, static_cast<int32_t>(middle[k])), depth - 1) << fen << " k=" << k;
      int32_t predicted = 0;
      EXPECT_EQ(CheckedDepth(fen, 2, static_cast<int32_t>(middle[k] + 1), &predicted), depth) << fen;
      EXPECT_EQ(predicted, depth);
      EXPECT_EQ(CheckedDepth(fen, 3, static_cast<int32_t>(ending[k])), depth - 1) << fen << " k=" << k;
      EXPECT_EQ(CheckedDepth(fen, 3, static_cast<int32_t>(ending[k] + 1)), depth) << fen;
    }
    EXPECT_EQ(CheckedDepth(fen, 2, 4), 5);
    EXPECT_EQ(CheckedDepth(fen, 2, 3), 4);
    EXPECT_EQ(CheckedDepth(fen, 2, 0), 4);
  }
  // No elapsed time counts as 30 ms: the ratio is budget * 10 / 30.
  SearchRig r(kCheckedWhite);
  r.e().GamePosition.gamePhase = 2;
  r.Run(93);
  EXPECT_EQ(r.Number("profondit\xE0 "), 6);
  SearchRig s(kCheckedWhite);
  s.e().GamePosition.gamePhase = 2;
  s.Run(90);
  EXPECT_EQ(s.Number("profondit\xE0 "), 5);
}

TEST(SearchDepth, PredictionCarriesToTheNextSearchOutOfCheck) {
  SearchRig r(kCheckedWhite);
  r.clock.offset = 10'000;
  r.Run(916);  // ratio 916 > 915: depth 8
  EXPECT_EQ(r.e().LastPredictedDepth, 8);
  // A position out of check with one legal move: depth 8 + 1, budget ignored.
  Position quiet{};
  Colour toMove = White;
  std::string error;
  ASSERT_TRUE(PositionFromFen("1r2k3/8/8/8/7P/p7/P7/K7 w - - 0 1", quiet, toMove, error));
  r.e().GamePosition = quiet;
  r.out.lines.clear();
  EXPECT_EQ(r.Run(1), 1);
  EXPECT_EQ(r.Number("profondit\xE0 "), 9);
  EXPECT_EQ(r.e().LastPredictedDepth, 8);
}

TEST(SearchDepth, TinyRatioInCheckPlaysTheFirstMoveUnsearched) {
  // In check with two king moves.
  for (const char* fen : {"r6k/8/8/8/8/8/8/K7 w - - 0 1", "R6K/8/8/8/8/8/8/k7 b - - 0 1"}) {
    SearchRig hurry(fen);
    hurry.clock.offset = 10'000;
    EXPECT_EQ(hurry.Run(1), 1) << fen;  // ratio 1 < 1.5
    EXPECT_EQ(hurry.Number("scelta mossa  "), 1);
    EXPECT_FALSE(hurry.HasLine("tagliato a mossa  1 su 1"));

    SearchRig calm(fen);
    calm.clock.offset = 10'000;
    EXPECT_EQ(calm.Run(2), 2) << fen;  // ratio 2: both moves searched at depth 4
    EXPECT_EQ(calm.Number("profondit\xE0 "), 4);
  }
}

// Eleven root moves (searched: eight), out of check.
const char* const kPawnsWhite = "k7/8/8/8/8/8/PPPP4/7K w - - 0 1";
const char* const kPawnsBlack = "7k/pppp4/8/8/8/8/8/K7 b - - 0 1";

std::vector<std::string> Prefixes(const SearchRig& r) {
  std::vector<std::string> p;
  for (const std::string& l : r.out.lines) p.push_back(l.substr(0, l.find_first_of("-0123456789")));
  return p;
}

TEST(SearchTime, PreAnalysisStopsWhereTheClockCannotPayForIt) {
  for (const char* fen : {kPawnsWhite, kPawnsBlack}) {
    SearchRig calm(fen);
    calm.clock.offset = 10'000;  // 1 centisecond gone at every reading
    calm.e().budget.preAnalysisCs = 1;  // not passed: the whole search, as without a limit
    SearchRig unlimited(fen);
    unlimited.clock.offset = 10'000;
    EXPECT_EQ(calm.Run(500), unlimited.Run(500)) << fen;
    EXPECT_EQ(calm.out.lines, unlimited.out.lines) << fen;

    SearchRig hurry(fen);
    hurry.clock.offset = 10'000;
    hurry.e().budget.preAnalysisCs = 0;  // passed after the first root move
    const int first = hurry.toMove == White ? GenerateMoves<White>(hurry.e(), 1, 1) : GenerateMoves<Black>(hurry.e(), 1, 1);
    ASSERT_EQ(first, 11);
    const int32_t firstMove = hurry.e().ChildPositions[1][1].lastMove;
    EXPECT_EQ(hurry.Run(500), 1) << fen;  // played at once, no main search
    EXPECT_EQ(hurry.e().GamePosition.lastMove, firstMove) << fen;
    EXPECT_EQ(hurry.Number("scelta mossa  "), 1);
    EXPECT_LT(hurry.e().NodeCount, unlimited.e().NodeCount / 4) << fen;
    EXPECT_FALSE(hurry.HasLine("tagliato a mossa  1 su 8")) << fen;

    // A fixed depth ignores the clock.
    SearchRig fixed(fen);
    fixed.e().budget.preAnalysisCs = 0;
    fixed.clock.offset = 10'000;
    EXPECT_EQ(fixed.Run(999999999), 8) << fen;
  }
}

// A pre-analysis cut by the clock still sees a mate in one among the root
// moves it did not analyse, and plays it.
TEST(SearchTime, ACutPreAnalysisStillMatesInOne) {
  for (const char* fen : {"rnbqkbnr/ppppp2p/5p2/6p1/4P3/3P4/PPP2PPP/RNBQKBNR w KQkq - 0 3",
                          "rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq - 0 2"}) {
    SearchRig hurry(fen);
    hurry.clock.offset = 10'000;
    hurry.e().budget.preAnalysisCs = 0;  // passed after the first root move
    EXPECT_EQ(hurry.Run(500), 1) << fen;
    EXPECT_EQ(hurry.Played(), hurry.toMove == White ? "d1h5" : "d8h4") << fen;
  }
}

TEST(SearchDepth, LineOrderOfANormalCall) {
  SearchRig r(kPawnsWhite);
  r.clock.offset = 120'000;  // 12 cs
  EXPECT_EQ(r.Run(10'000), 8);
  EXPECT_EQ(Prefixes(r), (std::vector<std::string>{"preanalisi millisecondi ", "profondit\xE0 ", "punteggio mossa  ",
                                                   "totale millisecondi ", "scelta mossa  "}));
  EXPECT_EQ(r.out.lines[0], "preanalisi millisecondi 120");
  EXPECT_EQ(r.out.lines[1], "profondit\xE0 5");
  EXPECT_EQ(r.out.lines[3], "totale millisecondi 120");
}

TEST(SearchDepth, DepthIsLoweredWhileTheFirstRootMoveTakesTooLong) {
  // 60 cs of a budget of 100 are gone: more than a fifth and a half.
  for (const char* fen : {kPawnsWhite, kPawnsBlack}) {
    SearchRig r(fen);
    r.e().LastPredictedDepth = 5;
    r.clock.offset = 600'000;
    EXPECT_EQ(r.Run(100), 8) << fen;
    const std::string first = r.toMove == White ? "regolata profondit\xE0 a5" : "regolata profondit\xE0 a 5";
    EXPECT_EQ(r.out.lines, (std::vector<std::string>{"preanalisi millisecondi 600", "profondit\xE0 6", first,
                                                     "regolata profondit\xE0 a 4", r.out.lines[4],
                                                     "totale millisecondi 600", "scelta mossa  " +
                                                     std::to_string(r.Number("scelta mossa  "))}))
        << fen;
    EXPECT_EQ(r.e().SearchDepth, 4);
  }
  // From depth 4 only black lowers, to 3; white keeps 4.
  SearchRig w(kPawnsWhite), b(kPawnsBlack);
  for (SearchRig* r : {&w, &b}) {
    r->e().LastPredictedDepth = 3;
    r->clock.offset = 600'000;
    EXPECT_EQ(r->Run(100), 8);
  }
  EXPECT_EQ(w.e().SearchDepth, 4);
  EXPECT_FALSE(w.HasLine("regolata profondit\xE0 a3"));
  EXPECT_EQ(b.e().SearchDepth, 3);
  EXPECT_TRUE(b.HasLine("regolata profondit\xE0 a 3"));
}

TEST(SearchDepth, FirstLoweringNeedsMoreThanFiveRootMovesAndAFifthOfTheBudget) {
  // Five and six root moves, out of check; 20 cs of a budget of 100 is
  // exactly a fifth, 21 cs is more.
  const struct {
    const char* fen;
    int rootMoves;
    int64_t elapsedCs;
    bool lowered;
  } cases[] = {
      {"k7/8/8/8/8/8/P6P/7K w - - 0 1", 6, 21, true},  {"7k/p6p/8/8/8/8/8/K7 b - - 0 1", 6, 21, true},
      {"k7/8/8/8/8/8/P6P/7K w - - 0 1", 6, 20, false}, {"7k/p6p/8/8/8/8/8/K7 b - - 0 1", 6, 20, false},
      {"k7/8/8/8/8/8/P7/7K w - - 0 1", 5, 40, false},  {"7k/p7/8/8/8/8/8/K7 b - - 0 1", 5, 40, false},
  };
  for (const auto& c : cases) {
    SearchRig r(c.fen);
    r.e().LastPredictedDepth = 4;
    r.clock.offset = c.elapsedCs * 10'000;
    EXPECT_EQ(r.Run(100), c.rootMoves) << c.fen;
    const std::string line = r.toMove == White ? "regolata profondit\xE0 a4" : "regolata profondit\xE0 a 4";
    EXPECT_EQ(r.HasLine(line), c.lowered) << c.fen << " after " << c.elapsedCs << " cs";
    EXPECT_EQ(r.e().SearchDepth, c.lowered ? 4 : 5) << c.fen;
  }
}

TEST(SearchDepth, DepthIsReconsideredBeforeEveryReplyOfTheFirstRootMove) {
  // No time has passed when the first reply is searched; the clock jumps
  // after the readings made before it, so only the later replies can see
  // that the budget is gone.
  for (const char* fen : {kPawnsWhite, kPawnsBlack}) {
    SearchRig r(fen);
    r.e().LastPredictedDepth = 5;
    r.clock.jumpAfter = 4;  // "preanalisi", the depth choice, the two tests before the first reply
    EXPECT_EQ(r.Run(100), 8) << fen;
    EXPECT_TRUE(r.HasLine("regolata profondit\xE0 a 4")) << fen;
    EXPECT_EQ(r.e().SearchDepth, 4) << fen;
    // Material 2 (four pawns): the horizon 2 div 3 + 6 + 1 stays as the
    // first depth set it.
    EXPECT_EQ(r.e().HorizonPly, 7) << fen;
  }
}

// A rook ending with captures deep in the tree, so that every root move
// reaches the time check.
const char* const kRooks = "8/8/1R6/5pk1/8/6K1/6P1/1r6 w - - 0 1";

struct TimedRun {
  std::vector<std::string> lines;
  std::string move;
  int result = 0;
  int64_t reads = 0;
  int linesUnderSecond = 0;  // lines of three moves remembered below root move 2
};

TimedRun RunWithJump(int64_t jumpAfter) {
  SearchRig r(kRooks);
  r.clock.jumpAfter = jumpAfter;
  TimedRun t;
  t.result = r.Run(1000);
  t.lines = r.out.lines;
  t.move = r.Played();
  t.reads = r.clock.reads;
  const int32_t second = r.e().ChildPositions[2][1].lastMove;
  for (int b = 1; b <= MemoBuckets; ++b)
    for (int k = 1; k <= r.e().MemoFill[b]; ++k)
      t.linesUnderSecond += r.e().TranspositionMemo[b][k].first == second ? 1 : 0;
  return t;
}

// The root move during which the jump took effect (0: none).
int CutAt(const TimedRun& t) {
  for (const std::string& l : t.lines)
    if (l.rfind("tagliato a mossa  ", 0) == 0) return std::stoi(l.substr(18));
  return 0;
}

TEST(SearchTime, TimeOutInTheSecondRootMoveKeepsTheFirst) {
  const TimedRun calm = RunWithJump(INT64_MAX);
  ASSERT_GT(calm.result, 2);
  EXPECT_EQ(CutAt(calm), 0);

  // Out of time at once: no root move gets a value and the first of the
  // pre-analysis order is played.
  const TimedRun early = RunWithJump(2);
  EXPECT_EQ(CutAt(early), 1);
  EXPECT_EQ(early.result, calm.result);
  EXPECT_EQ(early.lines.back(), "scelta mossa  0");

  // The first reading inside root move 2: found by bisection, since the
  // readings before the jump are those of the calm run.
  int64_t lo = 2, hi = calm.reads;
  while (hi - lo > 1) {
    const int64_t mid = (lo + hi) / 2;
    (CutAt(RunWithJump(mid)) >= 2 ? hi : lo) = mid;
  }
  const TimedRun first = RunWithJump(lo);   // jump at the cut-off test after root move 1
  const TimedRun second = RunWithJump(hi);  // jump inside root move 2
  ASSERT_EQ(CutAt(first), 1);
  ASSERT_EQ(CutAt(second), 2);
  const std::string n = std::to_string(calm.result);
  EXPECT_NE(std::find(second.lines.begin(), second.lines.end(), "tagliato a mossa  2 su " + n), second.lines.end());
  EXPECT_EQ(second.lines.back(), "scelta mossa  1");
  EXPECT_EQ(second.move, early.move) << "root move 1 is played";
  EXPECT_EQ(second.move, first.move);
  // Root move 2 was given the worst value, so root move 1 keeps its score.
  auto score = [](const TimedRun& t) {
    for (const std::string& l : t.lines)
      if (l.rfind("punteggio mossa  ", 0) == 0) return l;
    return std::string();
  };
  EXPECT_EQ(score(second), score(first));
  EXPECT_NE(score(first), "punteggio mossa  -32000");
  // The time ran out below the first line of root move 2, yet the rest of
  // its tree was still walked and further lines were remembered.
  EXPECT_EQ(first.linesUnderSecond, 0);
  EXPECT_GT(second.linesUnderSecond, 1);
}

TEST(SearchTime, RootCutOffWhenTheRestOfTheBudgetIsShort) {
  // 95 cs of 100 are gone: less than a share of the budget is left after
  // the first root move, but the time check (over 100) never fires.
  SearchRig r(kRooks);
  r.clock.offset = 950'000;
  const int n = r.Run(100);
  ASSERT_GT(n, 1);
  EXPECT_TRUE(r.HasLine("tagliato a mossa  1 su " + std::to_string(n)));
  EXPECT_EQ(r.Number("scelta mossa  "), 1);
  EXPECT_NE(r.Number("punteggio mossa  "), -32000);

  // Eight root moves share 100 cs in twelves: 12 cs left is still enough,
  // 11 cs is not.
  for (const char* fen : {kPawnsWhite, kPawnsBlack}) {
    for (const int64_t elapsedCs : {88, 89}) {
      SearchRig p(fen);
      p.e().LastPredictedDepth = 3;
      p.clock.offset = elapsedCs * 10'000;
      EXPECT_EQ(p.Run(100), 8) << fen;
      EXPECT_EQ(p.HasLine("tagliato a mossa  1 su 8"), elapsedCs == 89) << fen << " after " << elapsedCs << " cs";
    }
  }
}

}  // namespace
}  // namespace ormedan::testing
