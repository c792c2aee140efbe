// The engine's turn: the order of its lines for book hits and misses, the
// statistics, the move line and every way a game can end on the engine's turn.
#include <gtest/gtest.h>

#include "declare/model.h"
#include "support/builder.h"
#include "support/turns.h"
#include "winboard/driver.h"

namespace ormedan {
namespace {

using testing::BookOf;
using testing::Feed;
using testing::LinesSince;
using testing::PositionBuilder;
using testing::Rig;
using Lines = std::vector<std::string>;

bool StartsWith(const std::string& s, std::string_view prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

int CountStarting(const Lines& lines, std::string_view prefix) {
  int n = 0;
  for (const std::string& l : lines) n += StartsWith(l, prefix) ? 1 : 0;
  return n;
}

// The three statistics lines, checked by their fixed parts.
void ExpectStatistics(const Lines& out, size_t at, int budget) {
  ASSERT_GE(out.size(), at + 3);
  EXPECT_TRUE(StartsWith(out[at], "analizzati ")) << out[at];
  EXPECT_TRUE(out[at].ends_with(" nodi")) << out[at];
  EXPECT_TRUE(StartsWith(out[at + 1], "in ")) << out[at + 1];
  EXPECT_TRUE(out[at + 1].ends_with(" centisecondi")) << out[at + 1];
  EXPECT_EQ(out[at + 2], "su " + std::to_string(budget) + " previsti");
}

// An engine of the given colour to move in a hand-made position, out of the
// opening, with a pinned clock.
struct Turn {
  Rig rig;
  explicit Turn(const Position& p, bool engineBlack) {
    Engine& e = rig.e();
    SetUpNewGame(e);
    e.GamePosition = p;
    e.driver.engineIsBlack = engineBlack ? 1 : 0;
    e.budget.moveCs = 300;
    e.driver.clockStart = rig.clock.now;
  }
  Lines Play() {
    const size_t from = rig.out.lines.size();
    if (rig.e().driver.engineIsBlack) PlayEngineTurn<Black>(rig.e());
    else PlayEngineTurn<White>(rig.e());
    return LinesSince(rig, from);
  }
};

TEST(EngineTurn, BookMissSearchesOnceAndClosesTheBooks) {
  Rig rig;
  rig.clock.stepPerRead = 20'000;  // every clock reading 20 ms later: a short search
  Engine& e = rig.e();
  SetUpNewGame(e);
  Feed(rig, "new");
  Feed(rig, "time 300");
  const Lines out = Feed(rig, "e2e4");
  ASSERT_GE(out.size(), 13u);
  EXPECT_EQ(Lines(out.begin(), out.begin() + 8),
            (Lines{"mosse possibili 20", "comincio a pensare", "P54", "cerco in libreria nero", "trovate 0 mosse", "P54",
                   "cerco in libreria patte", "trovate 0 mosse"}));
  EXPECT_TRUE(StartsWith(out[8], "preanalisi millisecondi ")) << out[8];
  const size_t n = out.size();
  ExpectStatistics(out, n - 4, 1);
  EXPECT_TRUE(StartsWith(out[n - 1], "move ")) << out[n - 1];
  EXPECT_EQ(CountStarting(out, "move "), 1);
  EXPECT_EQ(e.GamePosition.gamePhase, 2);
  EXPECT_EQ(e.MoveHistory.Count(), 2);

  // A book that would now answer is not asked any more in this game.
  e.BlackBook = BookOf("P54]55H63W36\nP54[35H63X66\nP54]56H63\n");
  const Lines reply = Feed(rig, "g1f3");
  EXPECT_EQ(CountStarting(reply, "cerco in libreria"), 0);
  EXPECT_EQ(CountStarting(reply, "move "), 1);

  // "new" opens the books again.
  Feed(rig, "new");
  rig.rng.script = {0};
  const Lines fresh = Feed(rig, "e2e4");
  EXPECT_EQ(fresh.back(), "move e7e5");
  EXPECT_EQ(CountStarting(fresh, "analizzati "), 0);
  EXPECT_EQ(e.GamePosition.gamePhase, 1);
}

TEST(EngineTurn, TheEngineMatesAndSaysSo) {
  // White: Ra1-a8 mate with the king on e6.
  Turn white(PositionBuilder().Put(1, 'e', 6, KingValue).Put(4, 'a', 1, RookValue).Put(17, 'e', 8, -KingValue).Done(),
             false);
  Lines out = white.Play();
  ASSERT_GE(out.size(), 2u);
  EXPECT_EQ(out[out.size() - 2], "move a1a8");
  EXPECT_EQ(out.back(), "1-0 {White Wins}");
  ExpectStatistics(out, out.size() - 5, 300);

  // Black: Rh8-h1 mate with the king on e3.
  Turn black(PositionBuilder().Put(17, 'e', 3, -KingValue).Put(20, 'h', 8, -RookValue).Put(1, 'e', 1, KingValue).Done(),
             true);
  out = black.Play();
  ASSERT_GE(out.size(), 2u);
  EXPECT_EQ(out.front(), "comincio a pensare");
  EXPECT_EQ(out[out.size() - 2], "move h8h1");
  EXPECT_EQ(out.back(), "0-1 {Black Wins}");
}

TEST(EngineTurn, TheEngineIsMatedOrStalematedBeforeMoving) {
  // White king h1 mated by the queen on g2, guarded by the king on f3.
  Position mated =
      PositionBuilder().Put(1, 'h', 1, KingValue).Put(18, 'g', 2, -QueenValue).Put(17, 'f', 3, -KingValue).Done();
  mated.checkingPiece = 18;
  Turn white(mated, false);
  Lines out = white.Play();
  EXPECT_EQ(CountStarting(out, "move "), 0);
  ASSERT_GE(out.size(), 4u);
  ExpectStatistics(out, out.size() - 4, 300);
  EXPECT_EQ(out.back(), "0-1 {Black wins}");

  // The mirror: the black king h8 mated by the queen on g7, guarded by f6.
  Position blackMated =
      PositionBuilder().Put(17, 'h', 8, -KingValue).Put(2, 'g', 7, QueenValue).Put(1, 'f', 6, KingValue).Done();
  blackMated.checkingPiece = 2;
  Turn black(blackMated, true);
  out = black.Play();
  EXPECT_EQ(CountStarting(out, "move "), 0);
  EXPECT_EQ(out.front(), "comincio a pensare");
  EXPECT_EQ(out.back(), "1-0 {White Wins}");

  // Stalemate: the white king a1 with the black queen on c2.
  Turn stale(PositionBuilder().Put(1, 'a', 1, KingValue).Put(18, 'c', 2, -QueenValue).Put(17, 'h', 8, -KingValue).Done(),
             false);
  out = stale.Play();
  EXPECT_EQ(CountStarting(out, "move "), 0);
  ExpectStatistics(out, out.size() - 4, 300);
  EXPECT_EQ(out.back(), "1/2-1/2 {Stalemate}");

  // Bare kings: no move either.
  Turn bare(PositionBuilder().Put(1, 'a', 1, KingValue).Put(17, 'h', 8, -KingValue).Done(), true);
  out = bare.Play();
  EXPECT_EQ(CountStarting(out, "move "), 0);
  EXPECT_EQ(out.back(), "1/2-1/2 {Draw : Insufficent Material}");
}

TEST(EngineTurn, TakingTheLastRookLeavesInsufficientMaterial) {
  // Nc3xd5: knight and king against a bare king.
  Turn white(PositionBuilder()
                 .Put(1, 'e', 1, KingValue)
                 .Put(7, 'c', 3, KnightValue)
                 .Put(17, 'h', 8, -KingValue)
                 .Put(19, 'd', 5, -RookValue)
                 .Done(),
             false);
  const Lines out = white.Play();
  ASSERT_GE(out.size(), 2u);
  EXPECT_EQ(out[out.size() - 2], "move c3d5");
  EXPECT_EQ(out.back(), "1/2-1/2 {Draw : Insufficent Material}");
}

TEST(EngineTurn, FiftyMovesComeBeforeRepetition) {
  const Position p =
      PositionBuilder().Put(1, 'a', 1, KingValue).Put(4, 'h', 1, RookValue).Put(17, 'e', 8, -KingValue).Put(20, 'h', 8, -RookValue).Done();
  Turn fifty(p, false);
  for (int i = 0; i < 101; ++i) fifty.rig.e().PositionHistory.Append(PositionKey(p, White));  // also thrice repeated
  Lines out = fifty.Play();
  EXPECT_EQ(CountStarting(out, "move "), 0);
  ExpectStatistics(out, out.size() - 4, 300);
  EXPECT_EQ(out.back(), "1/2-1/2 {Draw : 50 moves}");

  // 100 entries are not yet fifty moves, but three of them repeat the position.
  Turn repeated(p, true);
  for (int i = 0; i < 100; ++i) repeated.rig.e().PositionHistory.Append(PositionKey(p, Black));
  out = repeated.Play();
  EXPECT_EQ(CountStarting(out, "move "), 0);
  EXPECT_EQ(out.back(), "1/2-1/2 {Draw by repetition}");
}

TEST(EngineTurn, PromotionsArePrintedWithTheirLetter) {
  Turn white(PositionBuilder().Put(1, 'e', 1, KingValue).Put(9, 'a', 7, PawnValue).Put(17, 'h', 5, -KingValue).Done(),
             false);
  Lines out = white.Play();
  EXPECT_EQ(out.back(), "move a7a8q");
  EXPECT_EQ(white.rig.e().EngineMove.promotion, 5);

  Turn black(PositionBuilder().Put(17, 'e', 8, -KingValue).Put(32, 'h', 2, -PawnValue).Put(1, 'a', 4, KingValue).Done(),
             true);
  out = black.Play();
  EXPECT_EQ(out.back(), "move h2h1q");

  // Every promotion code has its letter; other values have none.
  Rig rig;
  const char* letters[] = {"", "", "n", "b", "r", "q", "n", "b", "r", "q", "", ""};
  for (int code = 0; code <= 11; ++code) {
    rig.e().EngineMove = EngineMoveRecord{2, 7, 2, 8, code};
    PrintEngineMove(rig.e());
    EXPECT_EQ(rig.out.lines.back(), std::string("move b7b8") + letters[code]) << code;
  }
}

}  // namespace
}  // namespace ormedan
