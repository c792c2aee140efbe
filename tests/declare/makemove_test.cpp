#include <gtest/gtest.h>

#include "declare/model.h"
#include "support/builder.h"

namespace ormedan {
namespace {

using testing::PositionBuilder;

int Sq(char file) { return file - 'a' + 1; }

bool InList(const uint8_t* list, int count, int id) {
  for (int k = 1; k <= count; ++k)
    if (list[k] == id) return true;
  return false;
}

Position Initial() {
  Position p{};
  InitialPosition(p);
  return p;
}

TEST(MakeMove, DoubleStepSetsEnPassantFileForOneMoveOnly) {
  Position p = Initial();
  MakeMove(p, 0x4510);
  EXPECT_EQ(p.board[5][2], 0);
  EXPECT_EQ(p.board[5][4], 16);
  EXPECT_EQ(p.pieceFile[16], 5);
  EXPECT_EQ(p.pieceRank[16], 4);
  EXPECT_EQ(p.enPassantFile, 5);
  EXPECT_EQ(p.lastMove, 0x4510);
  MakeMove(p, MakeMoveCode(24, Sq('f'), 6));  // Ng8-f6
  EXPECT_EQ(p.enPassantFile, 0);
  MakeMove(p, MakeMoveCode(15, Sq('d'), 3));  // single step d2-d3
  EXPECT_EQ(p.enPassantFile, 0);
  MakeMove(p, MakeMoveCode(31, Sq('g'), 5));  // black double step g7-g5
  EXPECT_EQ(p.enPassantFile, 7);
  MakeMove(p, MakeMoveCode(16, Sq('e'), 5));  // a pawn reaching rank 4/5 from elsewhere is no double step
  EXPECT_EQ(p.enPassantFile, 0);
  EXPECT_EQ(p.material, 0);
}

TEST(MakeMove, WhiteShortCastlingMovesTheRookAndClearsRights) {
  Position p = Initial();
  for (int32_t m : {0x4510, 0x551D, 0x3608, 0x6317, 0x4306, 0x6618}) MakeMove(p, m);
  MakeMove(p, WhiteShortCastle);
  EXPECT_EQ(p.board[7][1], 1);
  EXPECT_EQ(p.board[6][1], 4);
  EXPECT_EQ(p.pieceFile[4], 6);
  EXPECT_EQ(p.pieceRank[4], 1);
  EXPECT_EQ(p.board[8][1], 0);
  EXPECT_EQ(p.board[5][1], 0);
  EXPECT_EQ(p.whiteShortCastleRight, 0);
  EXPECT_EQ(p.whiteLongCastleRight, 0);
  EXPECT_EQ(p.whiteCastled, 1);
  EXPECT_EQ(p.blackShortCastleRight, 1);
  EXPECT_EQ(p.blackLongCastleRight, 1);
  EXPECT_EQ(p.blackCastled, 0);
  EXPECT_EQ(p.lastMove, WhiteShortCastle);
}

TEST(MakeMove, CastlingRecomputesOwnRooksAndQueensByFileOrRankOnly) {
  // Black king on f7; the white queen on b3 shares its diagonal.
  Position p = PositionBuilder()
                   .Put(1, 'e', 1, KingValue)
                   .Put(3, 'a', 1, RookValue)
                   .Put(4, 'h', 1, RookValue)
                   .Put(2, 'b', 3, QueenValue)
                   .Put(17, 'f', 7, -KingValue)
                   .Done();
  p.whiteShortCastleRight = p.whiteLongCastleRight = 1;
  p.kingLine[2] = 1;
  p.kingLine[3] = 1;
  MakeMove(p, WhiteShortCastle);
  EXPECT_EQ(p.kingLine[4], 1);  // rook now on f1, the king's file
  EXPECT_EQ(p.kingLine[3], 0);
  EXPECT_EQ(p.kingLine[2], 0);  // queen judged by file and rank alone here
}

TEST(MakeMove, BlackLongCastling) {
  Position p = PositionBuilder()
                   .Put(1, 'd', 1, KingValue)
                   .Put(17, 'e', 8, -KingValue)
                   .Put(19, 'a', 8, -RookValue)
                   .Put(20, 'h', 8, -RookValue)
                   .Done();
  p.whiteShortCastleRight = p.whiteLongCastleRight = 1;
  p.blackShortCastleRight = p.blackLongCastleRight = 1;
  MakeMove(p, BlackLongCastle);
  EXPECT_EQ(p.board[3][8], 17);
  EXPECT_EQ(p.board[4][8], 19);
  EXPECT_EQ(p.pieceFile[19], 4);
  EXPECT_EQ(p.board[1][8], 0);
  EXPECT_EQ(p.board[5][8], 0);
  EXPECT_EQ(p.board[8][8], 20);
  EXPECT_EQ(p.blackShortCastleRight, 0);
  EXPECT_EQ(p.blackLongCastleRight, 0);
  EXPECT_EQ(p.blackCastled, 1);
  EXPECT_EQ(p.whiteShortCastleRight, 1);
  EXPECT_EQ(p.whiteLongCastleRight, 1);
  EXPECT_EQ(p.whiteCastled, 0);
  EXPECT_EQ(p.kingLine[19], 1);  // d8 against the white king on d1
  EXPECT_EQ(p.kingLine[20], 0);
}

TEST(MakeMove, EnPassantEmptiesTheSquareBesideTheDestination) {
  Position p = PositionBuilder()
                   .Put(1, 'e', 1, KingValue)
                   .Put(16, 'e', 5, PawnValue)
                   .Put(17, 'e', 8, -KingValue)
                   .Put(28, 'd', 5, -PawnValue)
                   .Done();
  const int before = p.material;
  MakeMove(p, 0x1C6410);
  EXPECT_EQ(p.board[4][5], 0);
  EXPECT_EQ(p.board[5][5], 0);
  EXPECT_EQ(p.board[4][6], 16);
  EXPECT_EQ(p.pieceValue[28], 0);
  EXPECT_EQ(p.pieceFile[28], 4);  // a captured piece keeps its last square
  EXPECT_EQ(p.pieceRank[28], 5);
  EXPECT_EQ(p.pawnCount[Black], 0);
  EXPECT_EQ(p.material, before + 100);
}

TEST(MakeMove, PromotionsChangeKindListsAndMaterial) {
  PositionBuilder b;
  b.Put(1, 'e', 1, KingValue).Put(9, 'a', 7, PawnValue).Put(10, 'h', 2, PawnValue);
  b.Put(17, 'e', 8, -KingValue).Put(23, 'b', 8, -KnightValue).Put(25, 'b', 2, -PawnValue);
  const Position start = b.Done();

  Position p = start;
  MakeMove(p, MakeMoveCode(9, 1, 8, 0, 2));
  EXPECT_EQ(p.pieceValue[9], KnightValue);
  EXPECT_TRUE(InList(p.knightList[White], p.knightCount[White], 9));
  EXPECT_FALSE(InList(p.pawnList[White], p.pawnCount[White], 9));
  EXPECT_EQ(p.pawnCount[White], 1);
  EXPECT_EQ(p.officerCount, start.officerCount + 1);
  EXPECT_EQ(p.material, start.material + 195);
  EXPECT_EQ(p.board[1][8], 9);

  // Capture on b8 with promotion to a queen: both slider lists, the knight gone.
  p = start;
  MakeMove(p, 0x05178209);
  EXPECT_EQ(p.pieceValue[9], QueenValue);
  EXPECT_TRUE(InList(p.diagonalList[White], p.diagonalCount[White], 9));
  EXPECT_TRUE(InList(p.orthogonalList[White], p.orthogonalCount[White], 9));
  EXPECT_EQ(p.knightCount[Black], 0);
  EXPECT_EQ(p.pieceValue[23], 0);
  EXPECT_EQ(p.officerCount, start.officerCount);
  EXPECT_EQ(p.material, start.material + 295 + 900);
  EXPECT_EQ(p.board[2][8], 9);
  EXPECT_EQ(p.board[1][7], 0);
  // The new queen is on the black king's rank, but its kingLine is set only
  // when it first moves.
  EXPECT_EQ(p.kingLine[9], 0);
  MakeMove(p, MakeMoveCode(9, 2, 7));
  EXPECT_EQ(p.kingLine[9], 0);  // b7 is on no line with e8
  MakeMove(p, MakeMoveCode(9, 2, 5));
  EXPECT_EQ(p.kingLine[9], 1);  // b5-e8 diagonal

  // Black pawn to b1 as a rook, and as a bishop.
  p = start;
  MakeMove(p, MakeMoveCode(25, 2, 1, 0, 8));
  EXPECT_EQ(p.pieceValue[25], -RookValue);
  EXPECT_TRUE(InList(p.orthogonalList[Black], p.orthogonalCount[Black], 25));
  EXPECT_EQ(p.pawnCount[Black], 0);
  EXPECT_EQ(p.material, start.material - 400);
  p = start;
  MakeMove(p, MakeMoveCode(25, 2, 1, 0, 7));
  EXPECT_EQ(p.pieceValue[25], -BishopValue);
  EXPECT_TRUE(InList(p.diagonalList[Black], p.diagonalCount[Black], 25));
  EXPECT_EQ(p.material, start.material - 200);
}

TEST(MakeMove, EndgamePhaseAfterCaptureOnlyFromMiddleGame) {
  PositionBuilder b;
  b.Put(1, 'e', 1, KingValue).Put(3, 'a', 1, RookValue);
  b.Put(17, 'e', 8, -KingValue).Put(18, 'd', 8, -QueenValue).Put(19, 'a', 8, -RookValue);
  const int32_t rxa8 = MakeMoveCode(3, 1, 8, 19);
  Position p = b.Phase(2).Done();
  MakeMove(p, rxa8);
  EXPECT_EQ(p.gamePhase, 3);
  p = b.Phase(1).Done();
  MakeMove(p, rxa8);
  EXPECT_EQ(p.gamePhase, 1);
  // Three rooks and queens left: still the middle game.
  b.Put(4, 'h', 1, RookValue).Put(23, 'a', 5, -KnightValue);
  p = b.Phase(2).Done();
  MakeMove(p, MakeMoveCode(3, 1, 5, 23));  // takes the knight
  EXPECT_EQ(p.gamePhase, 2);
  // A quiet move never changes the phase.
  p = PositionBuilder().Put(1, 'e', 1, KingValue).Put(17, 'e', 8, -KingValue).Phase(2).Done();
  MakeMove(p, MakeMoveCode(1, 5, 2));
  EXPECT_EQ(p.gamePhase, 2);
}

TEST(MakeMove, CastlingRightsClearedByKingAndRookMovesOnly) {
  Position p = Initial();
  for (int32_t m : {0x4510, 0x5820}) MakeMove(p, m);  // e4, h5
  MakeMove(p, MakeMoveCode(1, 5, 2));                // Ke2
  EXPECT_EQ(p.whiteShortCastleRight, 0);
  EXPECT_EQ(p.whiteLongCastleRight, 0);
  EXPECT_EQ(p.blackShortCastleRight, 1);
  MakeMove(p, MakeMoveCode(20, 8, 6));  // Rh8-h6
  EXPECT_EQ(p.blackShortCastleRight, 0);
  EXPECT_EQ(p.blackLongCastleRight, 1);

  p = Initial();
  for (int32_t m : {0x4109, 0x5119}) MakeMove(p, m);  // a4, a5
  MakeMove(p, MakeMoveCode(3, 1, 3));                  // Ra1-a3
  EXPECT_EQ(p.whiteLongCastleRight, 0);
  EXPECT_EQ(p.whiteShortCastleRight, 1);
  MakeMove(p, MakeMoveCode(19, 1, 6));  // Ra8-a6
  EXPECT_EQ(p.blackLongCastleRight, 0);
  EXPECT_EQ(p.blackShortCastleRight, 1);

  // Capturing a rook on its corner leaves that side's right alone (the
  // generators also want the rook's PieceId there).
  p = PositionBuilder()
          .Put(1, 'e', 1, KingValue)
          .Put(4, 'h', 1, RookValue)
          .Put(17, 'e', 8, -KingValue)
          .Put(20, 'h', 8, -RookValue)
          .Done();
  p.whiteShortCastleRight = p.blackShortCastleRight = 1;
  MakeMove(p, MakeMoveCode(4, 8, 8, 20));
  EXPECT_EQ(p.whiteShortCastleRight, 0);
  EXPECT_EQ(p.blackShortCastleRight, 1);
}

TEST(MakeMove, KingMoveRecomputesEnemySliderLines) {
  PositionBuilder b;
  b.Put(1, 'e', 1, KingValue);
  b.Put(17, 'h', 7, -KingValue);
  b.Put(19, 'd', 8, -RookValue);   // d-file
  b.Put(21, 'a', 5, -BishopValue); // a5-d2 diagonal
  b.Put(18, 'd', 6, -QueenValue);  // d-file, no diagonal with d2
  b.Put(20, 'h', 3, -RookValue);   // leaves the king's lines
  b.Put(22, 'c', 8, -BishopValue); // off every diagonal of d2
  Position p = b.Done();
  p.kingLine[20] = 1;
  p.kingLine[22] = 1;
  MakeMove(p, MakeMoveCode(1, 4, 2));  // Ke1-d2
  EXPECT_EQ(p.kingLine[19], 1);
  EXPECT_EQ(p.kingLine[21], 1);
  EXPECT_EQ(p.kingLine[18], 1);
  EXPECT_EQ(p.kingLine[20], 0);
  EXPECT_EQ(p.kingLine[22], 0);
  // A queen on a diagonal only keeps 1; a queen on no line drops to 0.
  MakeMove(p, MakeMoveCode(1, 5, 3));  // Kd2-e3: queen d6 on no line with e3
  EXPECT_EQ(p.kingLine[18], 0);
  MakeMove(p, MakeMoveCode(1, 6, 4));  // Ke3-f4: queen d6 on the f4 diagonal
  EXPECT_EQ(p.kingLine[18], 1);
  EXPECT_EQ(p.kingLine[19], 0);
}

TEST(MakeMove, SliderMovesSetTheirOwnKingLine) {
  Position p = PositionBuilder()
                   .Put(1, 'e', 1, KingValue)
                   .Put(17, 'e', 8, -KingValue)
                   .Put(2, 'a', 1, QueenValue)
                   .Put(5, 'c', 1, BishopValue)
                   .Put(3, 'h', 2, RookValue)
                   .Put(22, 'f', 8, -BishopValue)
                   .Done();
  MakeMove(p, MakeMoveCode(5, 1, 4));  // Bc1-a4, diagonal a4-e8
  EXPECT_EQ(p.kingLine[5], 1);
  MakeMove(p, MakeMoveCode(22, 7, 7));  // black bishop to g7: no line with e1
  EXPECT_EQ(p.kingLine[22], 0);
  MakeMove(p, MakeMoveCode(3, 5, 2, 0));  // Rh2-e2, e-file
  EXPECT_EQ(p.kingLine[3], 1);
  MakeMove(p, MakeMoveCode(2, 2, 5));  // Qa1-b5: diagonal b5-e8
  EXPECT_EQ(p.kingLine[2], 1);
  MakeMove(p, MakeMoveCode(2, 3, 5));  // Qc5: no line
  EXPECT_EQ(p.kingLine[2], 0);
  MakeMove(p, MakeMoveCode(2, 3, 8));  // Qc8: the king's rank
  EXPECT_EQ(p.kingLine[2], 1);
  MakeMove(p, MakeMoveCode(5, 2, 3));  // Ba4-b3 off the diagonal
  EXPECT_EQ(p.kingLine[5], 0);
  // A captured slider keeps its stale entry; only the lists tell it is gone.
  MakeMove(p, MakeMoveCode(22, 8, 6));  // Bg7-h6
  EXPECT_EQ(p.kingLine[22], 0);
  MakeMove(p, MakeMoveCode(22, 4, 2));  // Bh6-d2, diagonal with e1
  EXPECT_EQ(p.kingLine[22], 1);
  MakeMove(p, MakeMoveCode(3, 4, 2, 22));  // Re2xd2
  EXPECT_EQ(p.pieceValue[22], 0);
  EXPECT_EQ(p.diagonalCount[Black], 0);
  EXPECT_EQ(p.board[4][2], 3);
  EXPECT_EQ(p.kingLine[3], 0);
  EXPECT_EQ(p.kingLine[22], 1);
}

}  // namespace
}  // namespace ormedan
