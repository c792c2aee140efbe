#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "declare/model.h"
#include "support/movetext.h"

namespace ormedan {
namespace {

// Plays coordinate moves from the initial position, checking the record
// after every one of them. Returns the final position.
Position PlayChecked(const std::string& moves) {
  Position p{};
  InitialPosition(p);
  std::istringstream in(moves);
  std::string m;
  while (in >> m) {
    const int32_t code = testing::MoveFromText(p, m);
    EXPECT_NE(code, 0) << m;
    if (code == 0) break;
    MakeMove(p, code);
    std::string why;
    EXPECT_TRUE(CheckPosition(p, &why)) << "after " << m << ": " << why;
  }
  return p;
}

TEST(CheckPosition, ConsistentAlongScriptedGames) {
  // En passant, short castling on both sides, captures of minor pieces.
  Position p = PlayChecked(
      "e2e4 g8f6 e4e5 d7d5 e5d6 e7d6 g1f3 f8e7 f1c4 e8g8 e1g1 c8g4 d2d4 b8c6 b1c3 d8d7 "
      "c1e3 a8e8 d1d2 g4f3 g2f3 d7h3");
  EXPECT_EQ(p.material, 5);
  EXPECT_EQ(p.pieceValue[28], 0);
  EXPECT_EQ(p.board[8][3], 18);
  EXPECT_EQ(p.whiteCastled + p.blackCastled, 2);

  // Long castling on both sides, promotions with capture for both colours,
  // a promoted queen captured again.
  p = PlayChecked(
      "d2d4 d7d5 c1f4 c8f5 b1c3 b8c6 d1d2 d8d7 e1c1 e8c8 h2h4 a7a5 h4h5 a5a4 h5h6 a4a3 "
      "h6g7 a3b2 c1b2 h7h5 g7h8q h5h4 h8g8 h4h3 g8f8 d8f8 e2e3 h3g2 a2a3 g2h1q f1e2 h1g1");
  EXPECT_EQ(p.pieceValue[10], 0);
  EXPECT_EQ(p.pieceValue[32], -QueenValue);
  EXPECT_EQ(p.board[7][1], 32);
  EXPECT_EQ(p.board[6][8], 19);
  EXPECT_EQ(p.orthogonalCount[White], 2);  // queen d2, rook 3 on d1
  EXPECT_EQ(p.diagonalCount[Black], 3);    // queen d7, bishop f5, queen g1
}

TEST(CheckPosition, DetectsEachBrokenInvariant) {
  // A position with captures and a promotion behind it.
  const Position good = PlayChecked(
      "d2d4 d7d5 c1f4 c8f5 b1c3 b8c6 d1d2 d8d7 e1c1 e8c8 h2h4 a7a5 h4h5 a5a4 h5h6 a4a3 h6g7 a3b2 c1b2 h7h5 g7h8q");
  ASSERT_TRUE(CheckPosition(good));
  ASSERT_EQ(good.pieceValue[10], QueenValue);
  ASSERT_EQ(good.pieceValue[20], 0);

  struct Breakage {
    const char* name;
    std::function<void(Position&)> apply;
  };
  const std::vector<Breakage> cases = {
      {"piece missing from its square", [](Position& p) { p.board[4][2] = 0; }},
      {"piece on two squares", [](Position& p) { p.board[4][3] = 2; }},
      {"board names a captured piece", [](Position& p) { p.board[5][5] = 20; }},
      {"board holds an impossible id", [](Position& p) { p.board[5][5] = 40; }},
      {"coordinates off the board", [](Position& p) { p.pieceRank[2] = 9; }},
      {"captured piece left on its square", [](Position& p) { p.board[p.pieceFile[31]][p.pieceRank[31]] = 31; }},
      {"captured piece still listed",
       [](Position& p) { p.orthogonalList[Black][++p.orthogonalCount[Black]] = 20; }},
      {"living piece missing from its list", [](Position& p) { --p.knightCount[Black]; }},
      {"queen in one slider list only",
       [](Position& p) {
         for (int k = 1; k <= p.diagonalCount[White]; ++k)
           if (p.diagonalList[White][k] == 10) p.diagonalList[White][k] = p.diagonalList[White][p.diagonalCount[White]];
         --p.diagonalCount[White];
       }},
      {"promoted piece still a pawn in the list", [](Position& p) { p.pawnList[White][++p.pawnCount[White]] = 10; }},
      {"duplicate list entry", [](Position& p) { p.knightList[White][1] = p.knightList[White][2]; }},
      {"piece of the other colour in a list", [](Position& p) { p.knightList[White][1] = 23; }},
      {"king in a list", [](Position& p) { p.knightList[White][++p.knightCount[White]] = 1; }},
      {"count beyond capacity", [](Position& p) { p.knightCount[Black] = MaxKnightSlots + 1; }},
      {"material off", [](Position& p) { p.material += 1; }},
      {"officerCount off", [](Position& p) { --p.officerCount; }},
      {"border file a-side", [](Position& p) { p.board[0][3] = 9; }},
      {"border file h-side", [](Position& p) { p.board[9][8] = 17; }},
      {"rank 0", [](Position& p) { p.board[5][0] = 16; }},
      {"white king captured", [](Position& p) { p.pieceValue[1] = 0; p.board[p.pieceFile[1]][p.pieceRank[1]] = 0; }},
      {"black king captured", [](Position& p) { p.pieceValue[17] = 0; p.board[p.pieceFile[17]][p.pieceRank[17]] = 0; }},
      {"pieceValue[0] not zero", [](Position& p) { p.pieceValue[0] = 100; }},
      {"value of no kind", [](Position& p) { p.pieceValue[7] = 299; p.material += 4; }},
      {"value of the wrong sign", [](Position& p) { p.pieceValue[7] = -KnightValue; p.material -= 2 * KnightValue; }},
      {"en passant file out of range", [](Position& p) { p.enPassantFile = 9; }},
      {"game phase out of range", [](Position& p) { p.gamePhase = 0; }},
  };
  for (const Breakage& b : cases) {
    Position p = good;
    b.apply(p);
    std::string why;
    EXPECT_FALSE(CheckPosition(p, &why)) << b.name;
    EXPECT_FALSE(why.empty()) << b.name;
  }
  // kingLine is not compared with the geometry, and a captured piece may keep
  // its flag; but only a living bishop, rook or queen may carry it (the
  // generators look at a side's flags without walking its slider lists).
  ASSERT_EQ(good.pieceValue[5], BishopValue);
  Position p = good;
  p.kingLine[5] = 1;
  p.kingLine[20] = 1;
  EXPECT_TRUE(CheckPosition(p));
  int pawn = 9;
  while (good.pieceValue[pawn] != PawnValue) ++pawn;
  for (const int id : {7, pawn, 17, 23}) {
    Position q = good;
    ASSERT_NE(q.pieceValue[id], 0) << id;
    q.kingLine[id] = 1;
    EXPECT_FALSE(CheckPosition(q)) << id;
  }
}

}  // namespace
}  // namespace ormedan
