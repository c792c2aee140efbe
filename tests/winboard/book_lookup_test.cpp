// The opening book: first white move, the key and the candidate lines, the
// weight of duplicate lines, and the rejection of every unusable candidate.
#include <gtest/gtest.h>

#include <cstring>

#include "declare/model.h"
#include "support/builder.h"
#include "support/turns.h"
#include "generation/generate.h"
#include "winboard/driver.h"

namespace ormedan {
namespace {

using testing::BookOf;
using testing::Feed;
using testing::PositionBuilder;
using testing::Rig;
using Lines = std::vector<std::string>;

constexpr int32_t E2E4 = MakeMoveCode(16, 5, 4);  // 17680

TEST(BookFirstMove, WhiteOpensWithD4OrE4Silently) {
  struct Case {
    uint32_t draw;
    const char* line;
    int pawn, file;
  };
  for (const Case c : {Case{0, "move d2d4", 15, 4}, Case{1, "move e2e4", 16, 5}}) {
    Rig rig;
    rig.rng.script = {c.draw};
    SetUpNewGame(rig.e());
    Feed(rig, "new");
    Feed(rig, "white");
    EXPECT_EQ(Feed(rig, "go"), Lines{c.line});
    const Engine& e = rig.e();
    EXPECT_EQ(e.GamePosition.board[c.file][4], c.pawn);
    EXPECT_EQ(e.GamePosition.board[c.file][2], 0);
    ASSERT_EQ(e.MoveHistory.Count(), 1);
    EXPECT_EQ(e.MoveHistory.At(0), MakeMoveCode(c.pawn, c.file, 4));
    EXPECT_EQ(e.PositionHistory.Count(), 0);  // a book move leaves the key list alone
    EXPECT_EQ(e.GamePosition.gamePhase, 1);
    EXPECT_TRUE(rig.rng.script.empty());  // exactly one draw
  }
}

TEST(BookLookup, BlackAfterE4ListsTheLinesThatContinueTheKey) {
  Rig rig;
  rig.rng.script = {1};
  SetUpNewGame(rig.e());
  rig.e().BlackBook = BookOf("P54]55\nP54[35X66\nO44X66\nP5\nP54\n");
  Feed(rig, "new");
  EXPECT_EQ(Feed(rig, "e2e4"), (Lines{"mosse possibili 20", "comincio a pensare", "P54", "cerco in libreria nero",
                                      "trovate 2 mosse", "move c7c5"}));
  const Engine& e = rig.e();
  ASSERT_EQ(e.MoveHistory.Count(), 2);
  EXPECT_EQ(e.MoveHistory.At(1), MakeMoveCode(27, 3, 5));
  EXPECT_EQ(e.EngineMove.promotion, 0);
  EXPECT_EQ(e.GamePosition.lastMove, MakeMoveCode(27, 3, 5));

  // The key grows with every move of the game, and the white book answers.
  rig.e().WhiteBook = BookOf("P54[35H63\nP54[35G33W36");
  rig.rng.script = {0};
  Feed(rig, "white");
  EXPECT_EQ(Feed(rig, "go"), (Lines{"P54[35", "cerco in libreria bianco", "trovate 2 mosse", "move g1f3"}));
}

TEST(BookLookup, DrawsBookAnswersWhenTheColourBookMisses) {
  Rig rig;
  rig.rng.script = {0};
  SetUpNewGame(rig.e());
  rig.e().BlackBook = BookOf("O44X66\n");
  rig.e().DrawBook = BookOf("P54]56\n");
  Feed(rig, "new");
  EXPECT_EQ(Feed(rig, "e2e4"), (Lines{"mosse possibili 20", "comincio a pensare", "P54", "cerco in libreria nero",
                                      "trovate 0 mosse", "P54", "cerco in libreria patte", "trovate 1 mosse",
                                      "move e7e6"}));
  EXPECT_EQ(rig.e().GamePosition.gamePhase, 1);
}

TEST(BookLookup, DuplicateLinesWeighMoreInAnyNumber) {
  // 2000 lines for e7e5 and 1000 for c7c5: e7e5 should come two times in three.
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "P54]55X66\nP54[35\nP54]55\n";
  Rig rig;
  Engine& e = rig.e();
  SetUpNewGame(e);
  e.BlackBook = BookOf(text);
  e.driver.engineIsBlack = 1;
  e.WorkPosition = e.GamePosition;
  MakeMove(e.WorkPosition, E2E4);
  const Position afterE4 = e.WorkPosition;

  const int trials = 3000;
  int e5 = 0, c5 = 0;
  for (int t = 0; t < trials; ++t) {
    e.GamePosition = afterE4;
    e.MoveHistory.Clear();
    e.MoveHistory.Append(E2E4);
    rig.out.lines.clear();
    ASSERT_TRUE(BookLookup(e));
    ASSERT_EQ(rig.out.lines.size(), 3u);
    ASSERT_EQ(rig.out.lines[2], "trovate 3000 mosse");
    e5 += e.GamePosition.board[5][5] == 29 ? 1 : 0;
    c5 += e.GamePosition.board[3][5] == 27 ? 1 : 0;
  }
  EXPECT_EQ(e5 + c5, trials);
  // Expected 2000 with a standard deviation of about 26.
  EXPECT_GT(e5, 1880);
  EXPECT_LT(e5, 2120);
}

TEST(BookLookup, MalformedAndIllegalCandidatesAreSkipped) {
  Rig rig;
  rig.rng.script = {1};
  SetUpNewGame(rig.e());
  rig.e().BlackBook = BookOf(
      "P54]5\n"        // too short
      "P54]59\n"       // rank 9
      "P54]05\n"       // file 0
      "P54a55\n"       // no piece has this letter
      "P54@55\n"       // nor this one
      "P54\xff" "55\n" // nor a byte above the letters
      "P54O45\n"       // a white piece for the black engine
      "P54Q57\n"       // the king onto its own pawn
      "P54]54\n"       // the e-pawn three squares, onto the white pawn
      "P54R11\n"       // the queen through its own pieces
      "p54]55\n"       // another key
      "P54X66\n"       // good
      "P54]55\n");     // good
  Feed(rig, "new");
  const Lines out = Feed(rig, "e2e4");
  ASSERT_EQ(out.size(), 6u);
  EXPECT_EQ(out[4], "trovate 2 mosse");
  EXPECT_EQ(out[5], "move e7e5");  // the second good candidate
}

TEST(BookLookup, PromotionsAndEnPassantCannotBeBookMoves) {
  // Black to move after d2d4; its e4-pawn can take en passant on d3 and its
  // b2-pawn can promote on b1, but a book code carries neither.
  Rig rig;
  Engine& e = rig.e();
  e.GamePosition = PositionBuilder()
                       .Put(1, 'e', 1, KingValue)
                       .Put(15, 'd', 4, PawnValue)
                       .Put(17, 'h', 8, -KingValue)
                       .Put(29, 'e', 4, -PawnValue)
                       .Put(26, 'b', 2, -PawnValue)
                       .Phase(1)
                       .Done();
  e.GamePosition.enPassantFile = 4;
  e.GamePosition.lastMove = MakeMoveCode(15, 4, 4);
  e.MoveHistory.Append(MakeMoveCode(15, 4, 4));
  e.driver.engineIsBlack = 1;
  e.BlackBook = BookOf("O44]43\nO44Z21\n");
  e.DrawBook = e.BlackBook;

  // Both moves exist among the legal ones, so the test means something.
  const int n = GenerateMoves<Black>(e, 1, 1);
  bool enPassant = false, promotion = false;
  for (int i = 1; i <= n; ++i) {
    const int32_t m = e.ChildPositions[i][1].lastMove;
    enPassant |= m == MakeMoveCode(29, 4, 3, 15);
    promotion |= MovePiece(m) == 26 && MovePromotion(m) != 0;
  }
  ASSERT_TRUE(enPassant);
  ASSERT_TRUE(promotion);

  const Position before = e.GamePosition;
  EXPECT_FALSE(BookLookup(e));
  EXPECT_FALSE(DrawBookLookup(e));
  EXPECT_EQ(rig.out.lines, (Lines{"O44", "cerco in libreria nero", "trovate 0 mosse", "O44", "cerco in libreria patte",
                                  "trovate 0 mosse"}));
  EXPECT_EQ(0, std::memcmp(&before, &e.GamePosition, sizeof(Position)));
  EXPECT_EQ(e.MoveHistory.Count(), 1);
}

TEST(BookLookup, AHistoryLongerThanItsStoreIsAMiss) {
  Rig rig;
  Engine& e = rig.e();
  SetUpNewGame(e);
  e.driver.engineIsBlack = 1;
  for (int i = 0; i <= MoveHistoryList::Capacity; ++i) e.MoveHistory.Append(E2E4);
  e.BlackBook = BookOf("P54]55\n");
  EXPECT_FALSE(BookLookup(e));
  EXPECT_EQ(rig.out.lines, (Lines{"", "cerco in libreria nero", "trovate 0 mosse"}));
}

TEST(PlayBookMove, CastlingCaptureAndCheckAreRecorded) {
  // 1. e4 e5 2. Nf3 Nc6 3. Bc4 Nf6 and the white engine castles short.
  Rig rig;
  Engine& e = rig.e();
  SetUpNewGame(e);
  e.driver.engineIsBlack = 0;
  const int32_t moves[] = {E2E4, MakeMoveCode(29, 5, 5), MakeMoveCode(8, 6, 3), MakeMoveCode(23, 3, 6),
                           MakeMoveCode(6, 3, 4), MakeMoveCode(24, 6, 6)};
  for (const int32_t m : moves) {
    e.WorkPosition = e.GamePosition;
    MakeMove(e.WorkPosition, m);
    e.GamePosition = e.WorkPosition;
    e.MoveHistory.Append(m);
  }
  e.WhiteBook = BookOf("P54]55H63W36F34X66A71\n");
  ASSERT_TRUE(BookLookup(e));
  EXPECT_EQ(rig.out.lines.back(), "trovate 1 mosse");
  EXPECT_EQ(e.GamePosition.board[7][1], 1);
  EXPECT_EQ(e.GamePosition.board[6][1], 4);  // the rook came along
  EXPECT_EQ(e.MoveHistory.At(6), WhiteShortCastle);
  EXPECT_EQ(e.EngineMove.fromFile, 5);
  EXPECT_EQ(e.EngineMove.toFile, 7);
  PrintEngineMove(e);
  EXPECT_EQ(rig.out.lines.back(), "move e1g1");

  // Black: the knight takes on e4 (a capture code) ...
  e.driver.engineIsBlack = 1;
  e.BlackBook = BookOf("P54]55H63W36F34X66A71X54\n");
  ASSERT_TRUE(BookLookup(e));
  EXPECT_EQ(e.MoveHistory.At(7), MakeMoveCode(24, 5, 4, 16));
  EXPECT_EQ(e.GamePosition.pieceValue[16], 0);
  // ... and the bishop gives check, which the new position records.
  e.driver.engineIsBlack = 0;
  e.WhiteBook = BookOf("P54]55H63W36F34X66A71X54F67\n");
  ASSERT_TRUE(BookLookup(e));
  EXPECT_EQ(e.GamePosition.checkingPiece, 6);
  EXPECT_TRUE(CheckPosition(e.GamePosition));
}

}  // namespace
}  // namespace ormedan
