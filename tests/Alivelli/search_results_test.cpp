// What the drivers return and play: game-end statuses, mate scores by ply,
// repetition, a single legal move, the 11-to-8 reduction. Every case runs
// for both colours on mirrored positions and must give the mirrored move.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/search_setup.h"
#include "utilita/make_checked.h"

namespace ormedan::testing {
namespace {

// A position for white to move and its mirror image for black to move.
struct Mirrored {
  const char* white;
  const char* black;
};

// The sign of a value seen from the side to move.
int64_t ForMover(const SearchRig& r, int64_t v) { return r.toMove == White ? v : -v; }

std::string MirrorMove(const std::string& m) {
  std::string s = m;
  s[1] = static_cast<char>('0' + 9 - (m[1] - '0'));
  s[3] = static_cast<char>('0' + 9 - (m[3] - '0'));
  return s;
}

TEST(SearchResults, GameEndStatusesPrintOnlyTheClosingLines) {
  const struct {
    const char* fen;
    int result;
  } cases[] = {
      {"k7/8/8/8/8/8/5q2/7K w - - 0 1", -1},            // white stalemated
      {"7k/5Q2/8/8/8/8/8/K7 b - - 0 1", -1},            // black stalemated
      {"6k1/5ppp/8/8/8/8/5PPP/3r2K1 w - - 0 1", -2},    // white mated
      {"3R2k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1", -2},    // black mated
      {"8/8/4k3/8/8/4K3/8/8 w - - 0 1", -4},            // bare kings
      {"8/8/4k3/8/8/4K3/8/8 b - - 0 1", -4},
      {"2b5/8/8/8/8/8/8/K2B3k w - - 0 1", -4},          // bishops on squares of one colour
      {"2B5/8/8/8/8/8/8/K2b3k b - - 0 1", -4},
  };
  for (const auto& c : cases) {
    SearchRig r(c.fen);
    EXPECT_EQ(r.Run(500), c.result) << c.fen;
    EXPECT_EQ(r.out.lines, (std::vector<std::string>{"totale millisecondi 0", "scelta mossa  0"})) << c.fen;
    EXPECT_EQ(r.e().MoveHistory.Count(), 0) << c.fen;
  }
}

TEST(SearchResults, MinorPiecesThatCanStillMatePlayOn) {
  for (const char* fen : {"8/8/3n4/8/8/3N4/8/K6k w - - 0 1", "8/8/3n4/8/8/3B4/8/K6k w - - 0 1",
                          "2b5/8/8/8/8/8/8/K1B4k w - - 0 1", "8/8/3n4/8/8/3N4/8/K6k b - - 0 1",
                          "8/8/3b4/8/8/3N4/8/K6k b - - 0 1", "2B5/8/8/8/8/8/8/K1b4k b - - 0 1"}) {
    SearchRig r(fen);
    EXPECT_GT(r.RunFixed(3), 0) << fen;
  }
}

TEST(SearchResults, RepetitionAndFiftyMoveStatuses) {
  for (const char* fen : {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
                          "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1"}) {
    SearchRig twice(fen);
    for (int k = 0; k < 2; ++k) twice.e().PositionHistory.Append(PositionKey(twice.position, twice.toMove));
    EXPECT_GT(twice.RunFixed(1), 0) << "a key seen twice is no draw yet";

    SearchRig thrice(fen);
    for (int k = 0; k < 3; ++k) thrice.e().PositionHistory.Append(PositionKey(thrice.position, thrice.toMove));
    EXPECT_EQ(thrice.Run(500), -3);
    EXPECT_EQ(thrice.out.lines, (std::vector<std::string>{"totale millisecondi 0", "scelta mossa  0"}));

    // 101 entries, the current key among them three times: the fifty-move
    // draw takes precedence.
    SearchRig fifty(fen);
    for (int k = 0; k < 3; ++k) fifty.e().PositionHistory.Append(PositionKey(fifty.position, fifty.toMove));
    PositionKeyText other = PositionKey(fifty.position, fifty.toMove);
    other.text[0] = 'x';
    for (int k = 0; k < 98; ++k) fifty.e().PositionHistory.Append(other);
    EXPECT_EQ(fifty.Run(500), -5);
    SearchRig hundred(fen);
    for (int k = 0; k < 100; ++k) hundred.e().PositionHistory.Append(other);
    EXPECT_GT(hundred.RunFixed(1), 0) << "100 entries are still a game";
  }
}

TEST(SearchResults, MateScoresShrinkWithTheirPly) {
  const struct {
    Mirrored fen;
    int64_t value;  // for the side to move
    const char* whiteMove;
  } cases[] = {
      // The root move mates: ply 2.
      {{"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", "3r2k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1"}, 32000, "d1d8"},
      // Every root move allows a mate in one: mated at ply 3.
      {{"7r/8/4b3/8/8/8/P1k5/K7 w - - 0 1", "k7/p1K5/8/8/8/4B3/8/7R b - - 0 1"}, -31990, nullptr},
      // Mate with the root side's second move: ply 4.
      {{"7k/8/8/8/8/8/1R6/R1K5 w - - 0 1", "r1k5/1r6/8/8/8/8/8/7K b - - 0 1"}, 31990, nullptr},
  };
  for (const auto& c : cases) {
    for (const char* fen : {c.fen.white, c.fen.black}) {
      SearchRig r(fen);
      ASSERT_GT(r.RunFixed(3), 0) << fen;
      EXPECT_EQ(ForMover(r, r.Number("punteggio mossa  ")), c.value) << fen;
      if (c.whiteMove != nullptr) {
        EXPECT_EQ(r.Played(), r.toMove == White ? c.whiteMove : MirrorMove(c.whiteMove)) << fen;
      }
    }
  }
}

TEST(SearchResults, MoveIntoARepeatedPositionScoresZero) {
  // A lost king-against-queen ending: every move loses except the one that
  // repeats a position seen twice, which is a draw.
  const Mirrored lost = {"4k3/8/8/8/8/q7/8/7K w - - 0 1", "7k/8/8/8/8/Q7/8/4K3 b - - 0 1"};
  for (const char* fen : {lost.white, lost.black}) {
    SearchRig r(fen);
    const std::string drawMove = r.toMove == White ? "h1g2" : "h8g7";
    r.RememberPositionAfter(drawMove, 2);
    ASSERT_GT(r.RunFixed(3), 0);
    EXPECT_EQ(r.Played(), drawMove) << fen;
    EXPECT_EQ(r.Number("punteggio mossa  "), 0) << fen;

    SearchRig once(fen);
    once.RememberPositionAfter(drawMove, 1);
    ASSERT_GT(once.RunFixed(3), 0);
    EXPECT_LE(ForMover(once, once.Number("punteggio mossa  ")), -1000) << "seen once is no draw: " << fen;
  }
  // A mate still wins over the repetition.
  const Mirrored mate = {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", "3r2k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1"};
  for (const char* fen : {mate.white, mate.black}) {
    SearchRig r(fen);
    const std::string mating = r.toMove == White ? "d1d8" : "d8d1";
    r.RememberPositionAfter(mating, 2);
    ASSERT_GT(r.RunFixed(3), 0);
    EXPECT_EQ(r.Played(), mating) << fen;
    EXPECT_EQ(ForMover(r, r.Number("punteggio mossa  ")), 32000) << fen;
  }
}

TEST(SearchResults, SingleLegalMoveIsPlayedWithoutMainSearch) {
  const Mirrored single = {"1r2k3/8/8/8/7P/p7/P7/K7 w - - 0 1", "k7/p7/P7/7p/8/8/8/1R2K3 b - - 0 1"};
  for (const char* fen : {single.white, single.black}) {
    SearchRig r(fen);
    EXPECT_EQ(r.Run(500), 1) << fen;
    EXPECT_EQ(r.Played(), r.toMove == White ? "h4h5" : "h5h4");
    EXPECT_EQ(r.Number("scelta mossa  "), 1);
    EXPECT_EQ(r.Number("profondit\xE0 "), 5) << "a new game predicts depth 4, so 5 is searched";
    EXPECT_EQ(ForMover(r, r.Number("punteggio mossa  ")), -32000) << "no root move was valued";
    ASSERT_EQ(r.e().MoveHistory.Count(), 1);
    EXPECT_EQ(r.e().MoveHistory.At(0), r.e().GamePosition.lastMove);

    // The same move into a position seen twice: its replies are generated
    // and stored but not counted, so the node count is the root move alone.
    SearchRig seen(fen);
    seen.RememberPositionAfter(seen.toMove == White ? "h4h5" : "h5h4", 2);
    EXPECT_EQ(seen.Run(500), 1) << fen;
    EXPECT_EQ(seen.e().NodeCount, 1) << fen;
    EXPECT_GT(seen.e().ReplyTable[1].replyCount, 1) << fen;
    EXPECT_EQ(seen.e().ReplyTable[1].rootMove, seen.e().GamePosition.lastMove) << fen;
  }
}

TEST(SearchResults, ElevenRootMovesAreCutToEight) {
  const Mirrored eleven = {"k7/8/8/8/8/8/PPPP4/7K w - - 0 1", "7k/pppp4/8/8/8/8/8/K7 b - - 0 1"};
  for (const char* fen : {eleven.white, eleven.black}) {
    SearchRig r(fen);
    EXPECT_EQ(r.RunFixed(3), 8) << fen;
  }
  // Ten root moves stay ten.
  SearchRig ten("k7/8/8/8/8/2P5/PP2P3/7K w - - 0 1");
  EXPECT_EQ(ten.RunFixed(3), 10);
}

TEST(SearchResults, MirroredPositionsGiveMirroredMoves) {
  const struct {
    Mirrored fen;
    const char* whiteMove;
  } cases[] = {
      // A queen left hanging.
      {{"4k3/8/8/3q4/8/8/3R4/4K3 w - - 0 1", "4k3/3r4/8/8/3Q4/8/8/4K3 b - - 0 1"}, "d2d5"},
      // A knight fork of king and rook.
      {{"r3k3/8/8/3N4/8/8/8/4K3 w - - 0 1", "4k3/8/8/8/3n4/8/8/R3K3 b - - 0 1"}, "d5c7"},
  };
  for (const auto& c : cases) {
    const Mirrored& m = c.fen;
    SearchRig w(m.white), b(m.black);
    ASSERT_GT(w.RunFixed(4), 0);
    ASSERT_GT(b.RunFixed(4), 0);
    EXPECT_EQ(w.Played(), c.whiteMove);
    EXPECT_EQ(b.Played(), MirrorMove(w.Played())) << m.white;
    EXPECT_EQ(b.Number("punteggio mossa  "), -w.Number("punteggio mossa  ")) << m.white;
  }
}

// The search reports its choice and leaves the game as it was; the line it
// expects is its move and then a legal reply. Committing it is what the
// plain mode does.
TEST(SearchResults, TheSearchReportsAndLeavesTheGameAsItWas) {
  for (const char* fen : {"r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4",
                          "r1bqk2r/pppp1ppp/2n2n2/2b1p3/2B1P3/2N2N2/PPPP1PPP/R1BQK2R b KQkq - 5 4"}) {
    SearchRig r(fen);
    const Position before = r.position;
    const SearchResult result = SearchPositionAtDepth(r.e(), r.position, r.toMove, 4);
    ASSERT_GT(result.code, 0) << fen;
    EXPECT_EQ(0, std::memcmp(&before, &r.e().GamePosition, sizeof(Position))) << fen;
    EXPECT_EQ(r.e().MoveHistory.Count(), 0) << fen;
    EXPECT_EQ(r.e().PositionHistory.Count(), 0) << fen;
    EXPECT_EQ(result.depth, 4);
    ASSERT_EQ(result.lineLength, 2) << fen;
    EXPECT_EQ(result.line[0], result.move);
    EXPECT_TRUE(IsLegalGameMove(r.e(), r.toMove, result.move)) << fen;
    r.e().GamePosition = before;
    MakeMoveMarkingCheck(r.e().GamePosition, result.move);
    EXPECT_TRUE(IsLegalGameMove(r.e(), Other(r.toMove), result.line[1])) << fen;

    r.e().GamePosition = before;
    CommitSearchResult(r.e(), result);
    EXPECT_EQ(r.e().GamePosition.lastMove, result.move);
    ASSERT_EQ(r.e().MoveHistory.Count(), 1);
    EXPECT_EQ(r.e().MoveHistory.At(0), result.move);
  }
}

// A node limit ends a timed search at the check points the clock uses,
// and before each reply of the pre-analysis.
TEST(SearchResults, ANodeLimitEndsTheSearch) {
  const char* fen = "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4";
  SearchRig full(fen);
  ASSERT_GT(full.Run(100000), 0);
  const int64_t all = full.e().NodeCount;
  // Within a tenth of the limit, from a limit inside the pre-analysis of
  // the first root move to one deep in the main search.
  for (const int64_t limit : {int64_t{5000}, int64_t{40000}, all / 4}) {
    SearchRig limited(fen);
    limited.e().budget.nodeLimit = limit;
    ASSERT_GT(limited.Run(100000), 0);
    EXPECT_NEAR(limited.e().NodeCount, limit, limit / 10) << limit << " of " << all;
  }
  // A limit the search need not reach is only a ceiling: the depth is
  // lowered at shares of it as at shares of the clock.
  SearchRig loose(fen);
  loose.e().budget.nodeLimit = all / 2;
  ASSERT_GT(loose.Run(100000), 0);
  EXPECT_LE(loose.e().NodeCount, all / 2);
}

}  // namespace
}  // namespace ormedan::testing
