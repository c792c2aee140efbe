#include <gtest/gtest.h>

#include <string>

#include "declare/model.h"
#include "support/builder.h"

namespace ormedan {
namespace {

using testing::Initial;
using testing::PositionBuilder;

// Makes the move and checks the whole record afterwards.
void Make(Position& p, int32_t move) {
  MakeMove(p, move);
  std::string why;
  EXPECT_TRUE(CheckPosition(p, &why)) << std::hex << move << ": " << why;
  EXPECT_EQ(p.lastMove, move);
}

TEST(MakeMove, DoubleStepSetsEnPassantFileForOneMoveOnly) {
  Position p = Initial();
  Make(p, 0x4510);
  EXPECT_EQ(p.board[5][2], 0);
  EXPECT_EQ(p.board[5][4], 16);
  EXPECT_EQ(p.enPassantFile, 5);
  Make(p, MakeMoveCode(24, 6, 6));  // Ng8-f6
  EXPECT_EQ(p.enPassantFile, 0);
  Make(p, MakeMoveCode(31, 7, 5));  // g7-g5
  EXPECT_EQ(p.enPassantFile, 7);
  Make(p, MakeMoveCode(16, 5, 5));  // e4-e5 is no double step
  EXPECT_EQ(p.enPassantFile, 0);
  // Reaching the fourth (fifth) rank in two single steps is none either.
  p = Initial();
  for (int32_t m : {MakeMoveCode(15, 4, 3), MakeMoveCode(28, 4, 6), MakeMoveCode(15, 4, 4)}) Make(p, m);
  EXPECT_EQ(p.enPassantFile, 0);
  Make(p, MakeMoveCode(28, 4, 5));
  EXPECT_EQ(p.enPassantFile, 0);
}

TEST(MakeMove, CastlingMovesTheRook) {
  // After 1. e4 e5 2. Nf3 Nc6 3. Bc4 Nf6, white castles short.
  Position p = Initial();
  for (int32_t m : {0x4510, 0x551D, 0x3608, 0x6317, 0x4306, 0x6618}) Make(p, m);
  Make(p, WhiteShortCastle);
  EXPECT_EQ(p.board[7][1], 1);
  EXPECT_EQ(p.board[6][1], 4);
  EXPECT_EQ(p.board[8][1] + p.board[5][1], 0);
  EXPECT_EQ(p.whiteShortCastleRight + p.whiteLongCastleRight, 0);
  EXPECT_EQ(p.whiteCastled, 1);
  EXPECT_EQ(p.blackShortCastleRight + p.blackLongCastleRight, 2);

  p = PositionBuilder()
          .Put(1, 'd', 1, KingValue)
          .Put(17, 'e', 8, -KingValue)
          .Put(19, 'a', 8, -RookValue)
          .Put(20, 'h', 8, -RookValue)
          .Done();
  p.blackShortCastleRight = p.blackLongCastleRight = 1;
  Make(p, BlackLongCastle);
  EXPECT_EQ(p.board[3][8], 17);
  EXPECT_EQ(p.board[4][8], 19);
  EXPECT_EQ(p.board[1][8] + p.board[5][8], 0);
  EXPECT_EQ(p.blackShortCastleRight + p.blackLongCastleRight, 0);
  EXPECT_EQ(p.blackCastled, 1);
  EXPECT_EQ(p.kingLine[19], 1);  // d8 faces the king on d1
  EXPECT_EQ(p.kingLine[20], 0);
}

TEST(MakeMove, CastlingJudgesOwnQueensByFileOrRankOnly) {
  Position p = PositionBuilder()
                   .Put(1, 'e', 1, KingValue)
                   .Put(4, 'h', 1, RookValue)
                   .Put(2, 'b', 3, QueenValue)  // on the diagonal of f7
                   .Put(17, 'f', 7, -KingValue)
                   .Done();
  p.kingLine[2] = 1;
  Make(p, WhiteShortCastle);
  EXPECT_EQ(p.kingLine[4], 1);  // rook on f1
  EXPECT_EQ(p.kingLine[2], 0);
}

TEST(MakeMove, EnPassantEmptiesTheSquareBesideTheDestination) {
  Position p = PositionBuilder()
                   .Put(1, 'e', 1, KingValue)
                   .Put(16, 'e', 5, PawnValue)
                   .Put(17, 'e', 8, -KingValue)
                   .Put(28, 'd', 5, -PawnValue)
                   .Done();
  Make(p, 0x1C6410);
  EXPECT_EQ(p.board[4][5] + p.board[5][5], 0);
  EXPECT_EQ(p.board[4][6], 16);
  EXPECT_EQ(p.pieceValue[28], 0);
  EXPECT_EQ(p.pieceFile[28] * 10 + p.pieceRank[28], 45);  // keeps the square it was taken on
  EXPECT_EQ(p.material, 100);
}

TEST(MakeMove, PromotionsAndTheirKingLine) {
  PositionBuilder b;
  b.Put(1, 'e', 1, KingValue).Put(9, 'a', 7, PawnValue);
  b.Put(17, 'e', 8, -KingValue).Put(23, 'b', 8, -KnightValue).Put(25, 'b', 2, -PawnValue);
  const Position start = b.Done();
  Position p = start;
  Make(p, MakeMoveCode(9, 1, 8, 0, 2));
  EXPECT_EQ(p.pieceValue[9], KnightValue);
  EXPECT_EQ(p.knightCount[White], 1);
  EXPECT_EQ(p.officerCount, start.officerCount + 1);
  EXPECT_EQ(p.material, start.material + 195);

  p = start;
  Make(p, 0x05178209);  // axb8=Q
  EXPECT_EQ(p.pieceValue[9], QueenValue);
  EXPECT_EQ(p.pieceValue[23], 0);
  EXPECT_EQ(p.material, start.material + 295 + 900);
  // On the king's rank, but kingLine waits until the queen moves.
  EXPECT_EQ(p.kingLine[9], 0);
  Make(p, MakeMoveCode(9, 2, 5));  // b5-e8 diagonal
  EXPECT_EQ(p.kingLine[9], 1);

  p = start;
  Make(p, MakeMoveCode(25, 2, 1, 0, 8));
  EXPECT_EQ(p.pieceValue[25], -RookValue);
  EXPECT_EQ(p.material, start.material - 400);
  p = start;
  Make(p, MakeMoveCode(25, 2, 1, 0, 7));
  EXPECT_EQ(p.pieceValue[25], -BishopValue);
}

TEST(MakeMove, EndgameOnlyAfterACaptureInTheMiddleGame) {
  PositionBuilder b;
  b.Put(1, 'e', 1, KingValue).Put(3, 'a', 1, RookValue);
  b.Put(17, 'e', 8, -KingValue).Put(18, 'd', 8, -QueenValue).Put(19, 'a', 8, -RookValue);
  const int32_t rxa8 = MakeMoveCode(3, 1, 8, 19);
  Position p = b.Phase(2).Done();
  Make(p, rxa8);
  EXPECT_EQ(p.gamePhase, 3);
  p = b.Phase(1).Done();
  Make(p, rxa8);
  EXPECT_EQ(p.gamePhase, 1);
  b.Put(4, 'h', 1, RookValue);
  p = b.Phase(2).Done();
  Make(p, rxa8);  // three rooks and queens remain
  EXPECT_EQ(p.gamePhase, 2);
  b.Put(23, 'a', 5, -KnightValue);
  p = b.Phase(2).Done();
  Make(p, MakeMoveCode(3, 1, 5, 23));  // four remain
  EXPECT_EQ(p.gamePhase, 2);
  // A promotion that captures nothing is no capture, however few heavy
  // pieces are left.
  p = PositionBuilder()
          .Put(1, 'e', 1, KingValue)
          .Put(9, 'a', 7, PawnValue)
          .Put(17, 'h', 8, -KingValue)
          .Phase(2)
          .Done();
  Make(p, MakeMoveCode(9, 1, 8, 0, 2));
  EXPECT_EQ(p.gamePhase, 2);
}

TEST(MakeMove, CastlingRightsClearedByOwnKingAndRookMovesOnly) {
  Position p = Initial();
  for (int32_t m : {0x4510, 0x5820}) Make(p, m);  // e4 h5
  Make(p, MakeMoveCode(1, 5, 2));                 // Ke2
  EXPECT_EQ(p.whiteShortCastleRight + p.whiteLongCastleRight, 0);
  Make(p, MakeMoveCode(20, 8, 6));  // Rh8-h6
  EXPECT_EQ(p.blackShortCastleRight, 0);
  EXPECT_EQ(p.blackLongCastleRight, 1);

  p = PositionBuilder()
          .Put(1, 'e', 1, KingValue)
          .Put(3, 'a', 1, RookValue)
          .Put(17, 'e', 8, -KingValue)
          .Put(19, 'a', 8, -RookValue)
          .Done();
  p.whiteLongCastleRight = p.blackLongCastleRight = 1;
  Make(p, MakeMoveCode(3, 1, 8, 19));  // Rxa8: the victim's right stays
  EXPECT_EQ(p.whiteLongCastleRight, 0);
  EXPECT_EQ(p.blackLongCastleRight, 1);
}

TEST(MakeMove, KingLineOfSliders) {
  PositionBuilder b;
  b.Put(1, 'e', 1, KingValue).Put(17, 'h', 7, -KingValue);
  b.Put(19, 'd', 8, -RookValue).Put(21, 'a', 5, -BishopValue).Put(18, 'd', 6, -QueenValue);
  b.Put(20, 'h', 3, -RookValue).Put(22, 'c', 8, -BishopValue).Put(3, 'h', 2, RookValue);
  Position p = b.Done();
  p.kingLine[20] = p.kingLine[22] = 1;
  // A king move re-judges every enemy slider against the new square.
  Make(p, MakeMoveCode(1, 4, 2));  // Kd2
  EXPECT_EQ(p.kingLine[19], 1);
  EXPECT_EQ(p.kingLine[21], 1);
  EXPECT_EQ(p.kingLine[18], 1);  // file only
  EXPECT_EQ(p.kingLine[20], 0);
  EXPECT_EQ(p.kingLine[22], 0);
  Make(p, MakeMoveCode(1, 5, 3));  // Ke3: the queen is on no line
  EXPECT_EQ(p.kingLine[18], 0);
  Make(p, MakeMoveCode(1, 6, 4));  // Kf4: the queen's diagonal
  EXPECT_EQ(p.kingLine[18], 1);
  // A slider's own move judges it against the enemy king.
  Make(p, MakeMoveCode(3, 7, 2));  // Rg2
  EXPECT_EQ(p.kingLine[3], 0);
  Make(p, MakeMoveCode(21, 4, 2));  // Bd2, on the diagonal of f4
  EXPECT_EQ(p.kingLine[21], 1);
  // A captured slider keeps its entry; it is in no list, which readers walk.
  Make(p, MakeMoveCode(3, 4, 2, 21));  // Rxd2
  EXPECT_EQ(p.kingLine[3], 0);
  EXPECT_EQ(p.kingLine[21], 1);
  Make(p, MakeMoveCode(3, 4, 7));  // Rd7, the king's rank
  EXPECT_EQ(p.kingLine[3], 1);
}

}  // namespace
}  // namespace ormedan
