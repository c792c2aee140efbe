#include <gtest/gtest.h>

#include "declare/model.h"
#include "support/builder.h"
#include "utilita/attacks.h"

namespace ormedan {
namespace {

using testing::PositionBuilder;

Position Initial() {
  Position p{};
  InitialPosition(p);
  return p;
}

TEST(SquareAttacked, InitialPositionReturnsTheLastPawnFound) {
  const Position p = Initial();
  EXPECT_EQ(SquareAttacked(p, 5, 3, Black), 14);  // d2 then f2; Bc1 blocked
  EXPECT_EQ(SquareAttacked(p, 6, 3, Black), 12);  // e2 then g2; Ng1 not looked at
  EXPECT_EQ(SquareAttacked(p, 1, 3, Black), 11);  // b2 only (file 0 is empty)
  EXPECT_EQ(SquareAttacked(p, 8, 3, Black), 12);  // g2 only (file 9 is empty)
  EXPECT_EQ(SquareAttacked(p, 5, 6, White), 30);  // d7 then f7
  EXPECT_EQ(SquareAttacked(p, 3, 3, Black), 15);  // b2 then d2; Nb1 ignored
  EXPECT_EQ(SquareAttacked(p, 5, 4, Black), 0);
  EXPECT_EQ(SquareAttacked(p, 5, 5, White), 0);
  // Castling squares: nothing attacks f1, g1, d1, c1 from the black side.
  EXPECT_EQ(SquareAttacked(p, 6, 1, White), 0);
  EXPECT_EQ(SquareAttacked(p, 7, 8, Black), 0);
  // Own pieces defending a square are not attackers.
  EXPECT_EQ(SquareAttacked(p, 5, 3, White), 0);
}

TEST(SquareAttacked, LaterStepsOverwriteEarlierHits) {
  PositionBuilder b;
  b.Put(1, 'e', 1, KingValue).Put(17, 'e', 5, -KingValue);
  const Position kingOnly = b.Done();
  EXPECT_EQ(SquareAttacked(kingOnly, 4, 4, White), 17);
  EXPECT_EQ(SquareAttacked(kingOnly, 6, 6, White), 17);
  EXPECT_EQ(SquareAttacked(kingOnly, 5, 3, White), 0);
  EXPECT_EQ(SquareAttacked(kingOnly, 5, 2, Black), 1);

  Position p = PositionBuilder()
                   .Put(1, 'a', 1, KingValue)
                   .Put(17, 'e', 5, -KingValue)
                   .Put(28, 'c', 5, -PawnValue)
                   .Done();
  EXPECT_EQ(SquareAttacked(p, 4, 4, White), 28);  // king, then pawn c5
  p = PositionBuilder()
          .Put(1, 'a', 1, KingValue)
          .Put(17, 'e', 5, -KingValue)
          .Put(28, 'c', 5, -PawnValue)
          .Put(19, 'd', 8, -RookValue)
          .Done();
  EXPECT_EQ(SquareAttacked(p, 4, 4, White), 19);  // rook after the pawn
  p = PositionBuilder()
          .Put(1, 'a', 1, KingValue)
          .Put(17, 'e', 5, -KingValue)
          .Put(19, 'd', 8, -RookValue)
          .Put(20, 'h', 4, -RookValue)
          .Put(21, 'a', 7, -BishopValue)
          .Done();
  EXPECT_EQ(SquareAttacked(p, 4, 4, White), 21);  // diagonal after the rooks
  EXPECT_EQ(SliderAttacksSquare(p, 4, 4, White), 21);
  EXPECT_EQ(OrthogonalAttacksSquare(p, 4, 4, White), 20);  // second list slot wins
}

TEST(SquareAttacked, OpenLinesAndBlockers) {
  PositionBuilder b;
  b.Put(1, 'h', 1, KingValue).Put(17, 'h', 8, -KingValue).Put(19, 'a', 8, -RookValue);
  Position p = b.Done();
  EXPECT_EQ(SquareAttacked(p, 1, 1, White), 19);  // whole file open
  EXPECT_EQ(SquareAttacked(p, 1, 7, White), 19);  // adjacent
  EXPECT_EQ(SquareAttacked(p, 4, 8, White), 19);  // along the rank
  EXPECT_EQ(SquareAttacked(p, 2, 7, White), 0);
  EXPECT_EQ(SquareAttacked(p, 1, 8, White), 0);  // its own square
  // A blocker of either colour closes the file.
  Position own = PositionBuilder(b).Put(25, 'a', 4, -PawnValue).Done();
  Position their = PositionBuilder(b).Put(11, 'a', 4, PawnValue).Done();
  for (const Position* q : {&own, &their}) {
    EXPECT_EQ(SquareAttacked(*q, 1, 1, White), 0);
    EXPECT_EQ(SquareAttacked(*q, 1, 3, White), 0);
    EXPECT_EQ(SquareAttacked(*q, 1, 5, White), 19);
    EXPECT_EQ(OrthogonalAttacksSquare(*q, 1, 2, White), 0);
  }
  // Diagonals: bishop b2 against g7 with and without a blocker on e5.
  p = PositionBuilder().Put(1, 'a', 8, KingValue).Put(17, 'h', 1, -KingValue).Put(21, 'b', 2, -BishopValue).Done();
  EXPECT_EQ(SquareAttacked(p, 7, 7, White), 21);
  EXPECT_EQ(SquareAttacked(p, 3, 3, White), 21);
  EXPECT_EQ(SquareAttacked(p, 1, 3, White), 21);
  EXPECT_EQ(SquareAttacked(p, 2, 4, White), 0);
  Position blocked = p;
  blocked.board[5][5] = 13;  // any PieceId closes the line
  EXPECT_EQ(SquareAttacked(blocked, 7, 7, White), 0);
  EXPECT_EQ(SquareAttacked(blocked, 4, 4, White), 21);
}

TEST(SquareAttacked, PawnRankGuards) {
  // A black pawn standing on rank 8 would attack rank 7, but rank 7 and 8
  // squares of white are never tested against pawns.
  Position p = PositionBuilder()
                   .Put(1, 'a', 1, KingValue)
                   .Put(17, 'h', 1, -KingValue)
                   .Put(28, 'd', 8, -PawnValue)
                   .Put(11, 'd', 1, PawnValue)
                   .Put(29, 'e', 7, -PawnValue)
                   .Put(12, 'e', 2, PawnValue)
                   .Done();
  EXPECT_EQ(SquareAttacked(p, 5, 7, White), 0);
  EXPECT_EQ(SquareAttacked(p, 3, 7, White), 0);
  EXPECT_EQ(SquareAttacked(p, 4, 6, White), 29);
  EXPECT_EQ(SquareAttacked(p, 5, 2, Black), 0);
  EXPECT_EQ(SquareAttacked(p, 3, 2, Black), 0);
  EXPECT_EQ(SquareAttacked(p, 4, 3, Black), 12);
  // Top and bottom ranks read no square beyond the board.
  for (int f = 1; f <= 8; ++f) {
    EXPECT_EQ(SquareAttacked(p, f, 8, White), 0) << f;
    EXPECT_EQ(SquareAttacked(p, f, 1, Black), f <= 2 ? 1 : 0) << f;  // only the king a1
  }
}

TEST(SquareAttacked, KnightsOnlyWhenNothingElseFound) {
  PositionBuilder b;
  b.Put(1, 'a', 1, KingValue).Put(17, 'h', 8, -KingValue).Put(23, 'c', 6, -KnightValue).Put(24, 'f', 5, -KnightValue);
  Position p = b.Done();
  EXPECT_EQ(SquareAttacked(p, 4, 4, White), 24);  // both jump to d4; last slot wins
  EXPECT_EQ(SquareAttacked(p, 2, 4, White), 23);
  EXPECT_EQ(SquareAttacked(p, 4, 5, White), 0);
  p = PositionBuilder(b).Put(19, 'd', 8, -RookValue).Done();
  EXPECT_EQ(SquareAttacked(p, 4, 4, White), 19);
  EXPECT_EQ(SquareAttacked(p, 2, 4, White), 23);
  p = PositionBuilder(b).Put(27, 'c', 5, -PawnValue).Done();
  EXPECT_EQ(SquareAttacked(p, 4, 4, White), 27);
  EXPECT_EQ(SliderAttacksSquare(p, 4, 4, White), 0);
}

TEST(SliderTests, QueenDiagonalIsNotOrthogonal) {
  Position p = PositionBuilder()
                   .Put(1, 'a', 1, KingValue)
                   .Put(17, 'h', 8, -KingValue)
                   .Put(18, 'g', 7, -QueenValue)
                   .Done();
  EXPECT_EQ(SquareAttacked(p, 4, 4, White), 18);
  EXPECT_EQ(SliderAttacksSquare(p, 4, 4, White), 18);
  EXPECT_EQ(OrthogonalAttacksSquare(p, 4, 4, White), 0);
  EXPECT_EQ(OrthogonalAttacksSquare(p, 7, 2, White), 18);
  EXPECT_EQ(SliderAttacksSquare(p, 7, 2, White), 18);
  // Kings, pawns and knights are never sliders.
  p = PositionBuilder()
          .Put(1, 'a', 1, KingValue)
          .Put(17, 'd', 5, -KingValue)
          .Put(23, 'c', 6, -KnightValue)
          .Put(27, 'c', 5, -PawnValue)
          .Done();
  EXPECT_EQ(SquareAttacked(p, 4, 4, White), 27);
  EXPECT_EQ(SliderAttacksSquare(p, 4, 4, White), 0);
  EXPECT_EQ(OrthogonalAttacksSquare(p, 4, 4, White), 0);
}

TEST(PieceAttacksSquare, OnePieceAtATime) {
  Position p = PositionBuilder()
                   .Put(1, 'e', 1, KingValue)
                   .Put(17, 'e', 8, -KingValue)
                   .Put(18, 'b', 5, -QueenValue)
                   .Put(19, 'e', 6, -RookValue)
                   .Put(29, 'e', 7, -PawnValue)
                   .Put(23, 'f', 3, -KnightValue)
                   .Put(2, 'd', 1, QueenValue)
                   .Put(13, 'd', 2, PawnValue)
                   .Put(7, 'c', 3, KnightValue)
                   .Done();
  EXPECT_EQ(PieceAttacksSquare(p, 5, 2, 18, White), 18);  // b5-e2 diagonal
  EXPECT_EQ(PieceAttacksSquare(p, 5, 1, 18, White), 0);   // e1 is on no line with b5
  EXPECT_EQ(PieceAttacksSquare(p, 2, 1, 18, White), 18);  // b-file
  EXPECT_EQ(PieceAttacksSquare(p, 5, 2, 19, White), 19);
  EXPECT_EQ(PieceAttacksSquare(p, 5, 1, 19, White), 19);
  EXPECT_EQ(PieceAttacksSquare(p, 5, 1, 23, White), 23);
  EXPECT_EQ(PieceAttacksSquare(p, 5, 2, 23, White), 0);
  EXPECT_EQ(PieceAttacksSquare(p, 5, 2, 17, White), 0);  // a king never counts
  EXPECT_EQ(PieceAttacksSquare(p, 4, 7, 1, Black), 0);
  // Pieces of the square's own colour are not attackers.
  EXPECT_EQ(PieceAttacksSquare(p, 1, 4, 2, White), 0);
  EXPECT_EQ(PieceAttacksSquare(p, 2, 5, 7, White), 0);
  EXPECT_EQ(PieceAttacksSquare(p, 1, 4, 2, Black), 2);  // d1-a4 diagonal
  EXPECT_EQ(PieceAttacksSquare(p, 2, 5, 7, Black), 7);
  // Rook and queen blocked by the pawns on e7 and d2.
  EXPECT_EQ(PieceAttacksSquare(p, 5, 8, 19, White), 0);
  EXPECT_EQ(PieceAttacksSquare(p, 4, 8, 2, Black), 0);
  EXPECT_EQ(PieceAttacksSquare(p, 1, 1, 2, Black), 2);  // along the rank
  // The pawn test asks whether any pawn of the given pawn's colour attacks
  // the square, whatever the colour argument.
  EXPECT_EQ(PieceAttacksSquare(p, 6, 6, 29, White), 29);
  EXPECT_EQ(PieceAttacksSquare(p, 6, 6, 29, Black), 29);
  EXPECT_EQ(PieceAttacksSquare(p, 5, 6, 29, White), 0);
  EXPECT_EQ(PieceAttacksSquare(p, 3, 3, 13, Black), 13);
  EXPECT_EQ(PieceAttacksSquare(p, 4, 3, 13, Black), 0);
  EXPECT_EQ(PieceAttacksSquare(p, 3, 2, 13, Black), 0);  // rank guard
  EXPECT_EQ(PieceAttacksSquare(p, 4, 7, 29, White), 0);  // rank guard
}

}  // namespace
}  // namespace ormedan
