#include <gtest/gtest.h>

#include <cstring>

#include "declare/model.h"
#include "support/fakes.h"

namespace ormedan {
namespace {

TEST(SetUpNewGame, InitialBoardFilesAndCounters) {
  testing::Rig rig;
  Engine& e = rig.e();
  SetUpNewGame(e);
  const Position& p = e.GamePosition;
  const int fileA[8] = {3, 9, 0, 0, 0, 0, 25, 19};
  const int fileE[8] = {1, 16, 0, 0, 0, 0, 29, 17};
  const int fileH[8] = {4, 10, 0, 0, 0, 0, 32, 20};
  for (int r = 1; r <= 8; ++r) {
    EXPECT_EQ(p.board[1][r], fileA[r - 1]) << "a" << r;
    EXPECT_EQ(p.board[5][r], fileE[r - 1]) << "e" << r;
    EXPECT_EQ(p.board[8][r], fileH[r - 1]) << "h" << r;
    EXPECT_EQ(p.board[0][r], 0);
    EXPECT_EQ(p.board[9][r], 0);
  }
  int sum = 0;
  for (int id = 1; id <= 32; ++id) sum += p.pieceValue[id];
  EXPECT_EQ(sum, 0);
  EXPECT_EQ(p.material, 0);
  EXPECT_EQ(p.officerCount, 14);
  EXPECT_EQ(p.gamePhase, 1);
  EXPECT_EQ(p.pieceValue[0], 0);
  EXPECT_EQ(p.pawnList[White][1], 9);
  EXPECT_EQ(p.pawnList[Black][8], 32);
  EXPECT_EQ(p.diagonalList[White][1], 2);
  EXPECT_EQ(p.orthogonalList[Black][3], 20);
  EXPECT_EQ(p.knightList[Black][2], 24);
  EXPECT_EQ(e.LastPredictedDepth, 4);
}

TEST(SetUpNewGame, ResetsAPlayedGame) {
  testing::Rig rig;
  Engine& e = rig.e();
  SetUpNewGame(e);
  const Position fresh = e.GamePosition;
  // Scribble over the game as a finished game would have left it.
  e.GamePosition.pieceValue[25] = 0;
  e.GamePosition.board[1][7] = 0;
  e.GamePosition.pieceValue[9] = QueenValue;
  e.GamePosition.gamePhase = 3;
  e.GamePosition.kingLine[2] = 1;
  e.LastPredictedDepth = 9;
  PositionKeyText k;
  k.length = 1;
  k.text[0] = '1';
  e.PositionHistory.Append(k);
  SetUpNewGame(e);
  SetUpNewGame(e);
  EXPECT_EQ(0, std::memcmp(&fresh, &e.GamePosition, sizeof(Position)));
  EXPECT_EQ(e.PositionHistory.Count(), 0);
  EXPECT_EQ(e.LastPredictedDepth, 4);
}

}  // namespace
}  // namespace ormedan
