#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "declare/model.h"
#include "support/builder.h"
#include "utilita/attacks.h"
#include "utilita/fen.h"

namespace ormedan {
namespace {

using testing::Initial;
using testing::PositionBuilder;

TEST(SquareAttacked, InitialPositionReturnsTheLastPawnFound) {
  const Position p = Initial();
  EXPECT_EQ(SquareAttacked(p, 5, 3, Black), 14);  // d2 then f2; Bc1 blocked
  EXPECT_EQ(SquareAttacked(p, 6, 3, Black), 12);  // e2 then g2; Ng1 not looked at
  EXPECT_EQ(SquareAttacked(p, 1, 3, Black), 11);  // file 0 is empty
  EXPECT_EQ(SquareAttacked(p, 8, 3, Black), 12);  // file 9 is empty
  EXPECT_EQ(SquareAttacked(p, 5, 6, White), 30);  // d7 then f7
  EXPECT_EQ(SquareAttacked(p, 5, 4, Black), 0);
  EXPECT_EQ(SquareAttacked(p, 6, 1, White), 0);   // castling squares
  EXPECT_EQ(SquareAttacked(p, 7, 8, Black), 0);
  EXPECT_EQ(SquareAttacked(p, 5, 3, White), 0);   // own pieces do not count
}

TEST(SquareAttacked, OrderOfTheSteps) {
  PositionBuilder b;
  b.Put(1, 'a', 1, KingValue).Put(17, 'e', 5, -KingValue);
  EXPECT_EQ(SquareAttacked(b.Done(), 4, 4, White), 17);
  EXPECT_EQ(SquareAttacked(b.Done(), 5, 3, White), 0);
  b.Put(28, 'c', 5, -PawnValue);
  EXPECT_EQ(SquareAttacked(b.Done(), 4, 4, White), 28);  // pawn after king
  b.Put(23, 'c', 6, -KnightValue);
  EXPECT_EQ(SquareAttacked(b.Done(), 4, 4, White), 28);  // knight not looked at
  EXPECT_EQ(SquareAttacked(b.Done(), 5, 7, White), 23);  // knight alone
  b.Put(19, 'd', 8, -RookValue);
  EXPECT_EQ(SquareAttacked(b.Done(), 4, 4, White), 19);  // rook after pawn
  b.Put(20, 'h', 4, -RookValue);
  EXPECT_EQ(SquareAttacked(b.Done(), 4, 4, White), 20);  // later list slot
  b.Put(21, 'g', 1, -BishopValue);
  const Position p = b.Done();
  EXPECT_EQ(SquareAttacked(p, 4, 4, White), 21);  // diagonal after rooks
  EXPECT_EQ(SliderAttacksSquare(p, 4, 4, White), 21);
  EXPECT_EQ(OrthogonalAttacksSquare(p, 4, 4, White), 20);
}

TEST(SquareAttacked, LinesPawnGuardsAndQueens) {
  PositionBuilder b;
  b.Put(1, 'h', 1, KingValue).Put(17, 'h', 8, -KingValue).Put(19, 'a', 8, -RookValue);
  Position p = b.Done();
  EXPECT_EQ(SquareAttacked(p, 1, 1, White), 19);  // whole file open
  EXPECT_EQ(SquareAttacked(p, 1, 7, White), 19);  // adjacent
  EXPECT_EQ(SquareAttacked(p, 1, 8, White), 0);   // its own square
  for (int blocker : {25, 11}) {                   // either colour closes the file
    Position q = PositionBuilder(b).Put(blocker, 'a', 4, blocker > 16 ? -PawnValue : PawnValue).Done();
    EXPECT_EQ(SquareAttacked(q, 1, 3, White), 0);
    EXPECT_EQ(SquareAttacked(q, 1, 5, White), 19);
  }
  // A pawn on the far rank would attack ranks 7 and 2, but those ranks are
  // never tested against pawns.
  p = PositionBuilder()
          .Put(1, 'a', 1, KingValue)
          .Put(17, 'h', 1, -KingValue)
          .Put(28, 'd', 8, -PawnValue)
          .Put(11, 'd', 1, PawnValue)
          .Done();
  EXPECT_EQ(SquareAttacked(p, 5, 7, White), 0);
  EXPECT_EQ(SquareAttacked(p, 5, 2, Black), 0);
  for (int f = 1; f <= 8; ++f) EXPECT_EQ(SquareAttacked(p, f, 8, White), 0) << f;
  // A queen's diagonal is not seen by the orthogonal test.
  p = PositionBuilder().Put(1, 'a', 1, KingValue).Put(17, 'h', 8, -KingValue).Put(18, 'g', 7, -QueenValue).Done();
  EXPECT_EQ(SquareAttacked(p, 4, 4, White), 18);
  EXPECT_EQ(SliderAttacksSquare(p, 4, 4, White), 18);
  EXPECT_EQ(OrthogonalAttacksSquare(p, 4, 4, White), 0);
  EXPECT_EQ(OrthogonalAttacksSquare(p, 7, 2, White), 18);
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
  EXPECT_EQ(PieceAttacksSquare(p, 5, 6, 19, White), 0);  // nor does a piece's own square
  EXPECT_EQ(PieceAttacksSquare(p, 2, 5, 18, White), 0);
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

// The attack tests in their plainest form: every attacker in order, each hit
// overwriting the result. The engine's versions must agree with it.
int OpenBetween(const Position& p, int qf, int qr, int f, int r) {
  const int sf = (qf > f) - (qf < f), sr = (qr > r) - (qr < r);
  int sum = 0;
  for (int x = f + sf, y = r + sr; x != qf || y != qr; x += sf, y += sr) sum += p.board[x][y];
  return sum == 0;
}
int PlainSliders(const Position& p, int f, int r, int colour, bool diagonals, int result) {
  const int en = colour == White ? Black : White;
  for (int k = 1; k <= p.orthogonalCount[en]; ++k) {
    const int q = p.orthogonalList[en][k], qf = p.pieceFile[q], qr = p.pieceRank[q];
    if (((qr == r && qf != f) || (qf == f && qr != r)) && OpenBetween(p, qf, qr, f, r)) result = q;
  }
  for (int k = 1; diagonals && k <= p.diagonalCount[en]; ++k) {
    const int q = p.diagonalList[en][k], qf = p.pieceFile[q], qr = p.pieceRank[q];
    if (std::abs(qf - f) == std::abs(qr - r) && qf != f && OpenBetween(p, qf, qr, f, r)) result = q;
  }
  return result;
}
int PlainSquareAttacked(const Position& p, int f, int r, int colour) {
  const int en = colour == White ? Black : White;
  int result = 0;
  const int king = colour == White ? 17 : 1;
  if (std::abs(p.pieceFile[king] - f) <= 1 && std::abs(p.pieceRank[king] - r) <= 1) result = king;
  if (colour == White && r < 7) {
    for (int df : {-1, 1})
      if (p.pieceValue[p.board[f + df][r + 1]] == -PawnValue) result = p.board[f + df][r + 1];
  }
  if (colour == Black && r > 2) {
    for (int df : {-1, 1})
      if (p.pieceValue[p.board[f + df][r - 1]] == PawnValue) result = p.board[f + df][r - 1];
  }
  result = PlainSliders(p, f, r, colour, true, result);
  if (result == 0) {
    for (int k = 1; k <= p.knightCount[en]; ++k) {
      const int q = p.knightList[en][k];
      const int t = (p.pieceFile[q] - f) * (p.pieceRank[q] - r);
      if (t == 2 || t == -2) result = q;
    }
  }
  return result;
}

// One piece: rook or queen along its rank or file, bishop or queen along a
// diagonal, an enemy knight's jump; for a pawn, whether any pawn of its
// colour attacks the square; never a king.
int PlainPieceAttacks(const Position& p, int f, int r, int q, int colour) {
  const int s = colour == White ? 1 : -1, v = p.pieceValue[q], qf = p.pieceFile[q], qr = p.pieceRank[q];
  bool hit = false;
  if ((v == -RookValue * s || v == -QueenValue * s) && ((qr == r && qf != f) || (qf == f && qr != r)))
    hit = hit || OpenBetween(p, qf, qr, f, r);
  if ((v == -BishopValue * s || v == -QueenValue * s) && std::abs(qf - f) == std::abs(qr - r) && qf != f)
    hit = hit || OpenBetween(p, qf, qr, f, r);
  for (int df : {-1, 1}) {
    if (v == -PawnValue && r < 7 && p.pieceValue[p.board[f + df][r + 1]] == -PawnValue) hit = true;
    if (v == PawnValue && r > 2 && p.pieceValue[p.board[f + df][r - 1]] == PawnValue) hit = true;
  }
  const int t = (qf - f) * (qr - r);
  if (v == -KnightValue * s && (t == 2 || t == -2)) hit = true;
  return hit ? q : 0;
}

TEST(AttackTests, AgreeWithThePlainFormOnRandomPositions) {
  std::mt19937 gen(7);
  const char kinds[] = "QRBNPqrbnp";
  int positions = 0;
  while (positions < 400) {
    char board[8][8];
    for (auto& row : board)
      for (char& c : row) c = '.';
    auto place = [&](char c) {
      for (;;) {
        const int f = static_cast<int>(gen() % 8), r = static_cast<int>(gen() % 8);
        if (board[f][r] != '.') continue;
        if ((c == 'P' || c == 'p') && (r == 0 || r == 7)) continue;
        board[f][r] = c;
        return;
      }
    };
    place('K');
    place('k');
    const int extra = 4 + static_cast<int>(gen() % 20);
    for (int i = 0; i < extra; ++i) place(kinds[gen() % 10]);
    std::string fen;
    for (int r = 7; r >= 0; --r) {
      int empty = 0;
      for (int f = 0; f < 8; ++f) {
        if (board[f][r] == '.') {
          ++empty;
          continue;
        }
        if (empty) fen += static_cast<char>('0' + empty);
        empty = 0;
        fen += board[f][r];
      }
      if (empty) fen += static_cast<char>('0' + empty);
      if (r) fen += '/';
    }
    fen += gen() % 2 ? " w - - 0 1" : " b - - 0 1";
    Position p{};
    Colour side = White;
    std::string error;
    if (!PositionFromFen(fen, p, side, error)) continue;  // too many of a kind, or the wrong side in check
    ++positions;
    for (int colour = White; colour <= Black; ++colour)
      for (int f = 1; f <= 8; ++f)
        for (int r = 1; r <= 8; ++r) {
          ASSERT_EQ(SquareAttacked(p, f, r, colour), PlainSquareAttacked(p, f, r, colour)) << fen << " " << f << r;
          ASSERT_EQ(SliderAttacksSquare(p, f, r, colour), PlainSliders(p, f, r, colour, true, 0)) << fen;
          ASSERT_EQ(OrthogonalAttacksSquare(p, f, r, colour), PlainSliders(p, f, r, colour, false, 0)) << fen;
          for (int q = 1; q <= 32; ++q)
            ASSERT_EQ(PieceAttacksSquare(p, f, r, q, colour), PlainPieceAttacks(p, f, r, q, colour)) << fen << " " << q;
        }
  }
}

}  // namespace
}  // namespace ormedan
