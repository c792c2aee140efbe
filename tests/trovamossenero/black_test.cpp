// What black generation does differently: promotion codes, and the capture
// plies' check marking.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "declare/model.h"
#include "support/fakes.h"
#include "support/generation_walk.h"
#include "generation/generate.h"

namespace ormedan {
namespace {

using Moves = std::vector<std::string>;

TEST(BlackGeneration, PromotionsUseTheBlackCodesInTheSameOrder) {
  testing::Rig rig;
  Engine& e = rig.e();
  const Position p = testing::LoadFen("4k3/8/8/8/8/8/1p6/R1R1K3 b - - 0 1");
  e.GamePosition = p;
  const int n = GenerateMoves<Black>(e, 1, 1);
  // Generated: push N B R Q, capture on c1, capture on a1; listed reversed.
  const Moves expected = {"b2a1q", "b2a1r", "b2a1b", "b2a1n", "b2c1q", "b2c1r",
                          "b2c1b", "b2c1n", "b2b1q", "b2b1r", "b2b1b", "b2b1n"};
  Moves listed;
  for (int i = 0; i < 12; ++i) listed.push_back(testing::MoveText(p, e.MoveList[i]));
  EXPECT_EQ(listed, expected);
  EXPECT_EQ(MovePromotion(e.MoveList[0]), 9);
  EXPECT_EQ(MovePromotion(e.MoveList[3]), 6);
  EXPECT_EQ(MoveCaptured(e.MoveList[0]), p.board[1][1]);
  ASSERT_GE(n, 12);
  EXPECT_EQ(e.ChildPositions[1][1].pieceValue[MovePiece(e.MoveList[0])], -QueenValue);
  EXPECT_EQ(e.ChildPositions[4][1].pieceValue[MovePiece(e.MoveList[3])], -KnightValue);
}

// GenerateCaptures for black at ply 3 below a horizon at ply 6.
struct BlackCaptures {
  explicit BlackCaptures(const char* fen) {
    position = testing::LoadFen(fen);
    rig.e().ChildPositions[1][2] = position;
    rig.e().HorizonPly = 6;
    n = GenerateCaptures<Black>(rig.e(), 3, 1);
  }
  const Position& Child(int i) { return rig.e().ChildPositions[i][3]; }
  testing::Rig rig;
  Position position{};
  int n = 0;
};

TEST(BlackGeneration, CaptureMarksRookChecksAndFileOrRankDiscoveriesOnly) {
  {
    // The rook takes on e5 and checks along the e-file.
    BlackCaptures t("k3r3/8/8/4P3/8/8/8/4K3 b - - 0 1");
    ASSERT_EQ(t.n, 1);
    EXPECT_EQ(t.Child(1).checkingPiece, t.position.board[5][8]);
  }
  {
    // The knight takes on c4 and opens the rook's file.
    BlackCaptures t("k3r3/8/8/4n3/2P5/8/8/4K3 b - - 0 1");
    ASSERT_EQ(t.n, 1);
    EXPECT_EQ(t.Child(1).checkingPiece, t.position.board[5][8]);
  }
  // Black does not test its knights for direct checks, nor its diagonals for
  // discovered ones: both children check the white king but carry 0.
  {
    BlackCaptures t("k7/8/8/4n3/8/3P4/8/4K3 b - - 0 1");
    ASSERT_EQ(t.n, 1);
    EXPECT_NE(SquareAttacked(t.Child(1), 5, 1, White), 0);
    EXPECT_EQ(t.Child(1).checkingPiece, 0);
  }
  {
    BlackCaptures t("b3k3/8/2n5/8/3P4/8/8/7K b - - 0 1");
    ASSERT_EQ(t.n, 1);
    EXPECT_NE(SquareAttacked(t.Child(1), 8, 1, White), 0);
    EXPECT_EQ(t.Child(1).checkingPiece, 0);
  }
}

}  // namespace
}  // namespace ormedan
