// Capture generation for the quiescence plies: the good-capture order, the
// horizon rule, promotions, legality shortcuts and check marking.
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

// GenerateCaptures at ply 5 from ChildPositions[2][4].
struct AtPly5 {
  AtPly5(const char* fen, int horizon) {
    position = testing::LoadFen(fen, &side);
    rig.e().ChildPositions[2][4] = position;
    rig.e().HorizonPly = horizon;
  }
  int Generate() { return testing::GenerateCapturesFor(rig.e(), side, 5, 2); }
  Moves Children(int n) { return testing::ChildMoves(rig.e(), position, 5, n); }
  Moves Listed() {
    Moves out;
    for (int i = 0; i < rig.e().MoveCount; ++i) out.push_back(testing::MoveText(position, rig.e().MoveList[i]));
    return out;
  }
  const Position& Child(int i) { return rig.e().ChildPositions[i][5]; }
  testing::Rig rig;
  Position position{};
  Colour side = White;
};

// King, pawn and queen captures; only the pawn takes something worth
// clearly more than itself.
const char* const kMixed = "4k3/8/8/2rp4/1P6/8/4p3/3QK3 w - - 0 1";

TEST(GenerateCaptures, GoodCapturesFirstBelowTheHorizonAndAloneAtIt) {
  {
    AtPly5 t(kMixed, 7);
    const int n = t.Generate();
    const Moves expected = {"b4c5", "e1e2", "d1e2", "d1d5"};
    EXPECT_EQ(n, 4);
    EXPECT_EQ(t.Children(n), expected);
    EXPECT_EQ(t.rig.e().MoveCount, 4);
  }
  {
    AtPly5 t(kMixed, 5);
    ASSERT_EQ(t.Generate(), 1);
    EXPECT_EQ(t.Children(1), Moves{"b4c5"});
    EXPECT_EQ(t.rig.e().MoveCount, 1);
  }
  {
    // Without a good capture the horizon keeps the others.
    AtPly5 t("4k3/8/8/3p4/8/8/4p3/3QK3 w - - 0 1", 5);
    const int n = t.Generate();
    EXPECT_EQ(t.Children(n), (Moves{"e1e2", "d1e2", "d1d5"}));
  }
  {
    // Below the horizon ply (a deeper ply than the horizon) the order is the
    // same as above it.
    AtPly5 t(kMixed, 3);
    EXPECT_EQ(t.Children(t.Generate()), (Moves{"b4c5", "e1e2", "d1e2", "d1d5"}));
  }
}

TEST(GenerateCaptures, APawnTakingABishopIsGoodButTakingAKnightIsNot) {
  const char* fen = "4k3/8/8/2n1b3/3P4/8/8/4K3 w - - 0 1";
  AtPly5 below(fen, 7);
  EXPECT_EQ(below.Children(below.Generate()), (Moves{"d4e5", "d4c5"}));
  AtPly5 at(fen, 5);
  EXPECT_EQ(at.Children(at.Generate()), Moves{"d4e5"});
  // Mirrored, the knight is taken toward the higher file and still comes last.
  AtPly5 mirrored("4k3/8/8/2b1n3/3P4/8/8/4K3 w - - 0 1", 7);
  EXPECT_EQ(mirrored.Children(mirrored.Generate()), (Moves{"d4c5", "d4e5"}));
}

TEST(GenerateCaptures, NoCaptureMeansZeroNotAResultCode) {
  AtPly5 quiet("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 7);
  EXPECT_EQ(quiet.Generate(), 0);
  EXPECT_EQ(quiet.rig.e().MoveCount, 0);
  AtPly5 stalemate("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 7);
  EXPECT_EQ(stalemate.Generate(), 0);
}

TEST(GenerateCaptures, PromotionsComeAsKnightThenQueenOnly) {
  AtPly5 t("r1r1k3/1P6/8/8/8/8/8/4K3 w - - 0 1", 7);
  const int n = t.Generate();
  // Promotions that take a rook are good; the plain push is not.
  const Moves expected = {"b7c8n", "b7c8q", "b7a8n", "b7a8q", "b7b8n", "b7b8q"};
  EXPECT_EQ(t.Children(n), expected);
  AtPly5 h("r1r1k3/1P6/8/8/8/8/8/4K3 w - - 0 1", 5);
  EXPECT_EQ(h.Children(h.Generate()), (Moves{"b7c8n", "b7c8q", "b7a8n", "b7a8q"}));
}

TEST(GenerateCaptures, EnPassantIsACapture) {
  AtPly5 t("4k3/8/8/2pP4/8/8/8/4K3 w - c6 0 1", 7);
  ASSERT_EQ(t.Generate(), 1);
  EXPECT_EQ(t.Children(1), Moves{"d5c6"});
  EXPECT_EQ(t.Child(1).board[3][5], 0);
}

TEST(GenerateCaptures, IllegalKingCapturesAndPinBreakingCapturesAreDropped) {
  {
    // The knight on e2 is covered by the f3 bishop.
    AtPly5 t("4k3/8/8/8/8/5b2/4n3/4K3 w - - 0 1", 7);
    EXPECT_EQ(t.Generate(), 0);
    EXPECT_EQ(t.Listed(), Moves{"e1e2"});
  }
  {
    // The rook on e3 is pinned by the e7 rook: it may take along the file.
    AtPly5 t("7k/4r3/8/8/8/1b2R3/8/4K3 w - - 0 1", 7);
    const int n = t.Generate();
    EXPECT_EQ(t.Children(n), Moves{"e3e7"});
    EXPECT_EQ(t.rig.e().MoveCount, 2);
  }
  {
    // The same capture off the line is fine once nothing pins the rook.
    AtPly5 t("7k/8/8/8/8/1b2R3/8/4K3 w - - 0 1", 7);
    EXPECT_EQ(t.Children(t.Generate()), Moves{"e3b3"});
  }
}

TEST(GenerateCaptures, ChecksAreMarkedBelowTheHorizonOnly) {
  // The rook takes on e4 and checks along the e-file.
  const char* rook = "4k3/8/8/8/4p3/8/8/K3R3 w - - 0 1";
  {
    AtPly5 t(rook, 7);
    ASSERT_EQ(t.Generate(), 1);
    EXPECT_EQ(t.Child(1).checkingPiece, t.position.board[5][1]);
  }
  {
    AtPly5 t(rook, 5);
    ASSERT_EQ(t.Generate(), 1);
    EXPECT_EQ(t.Child(1).checkingPiece, 0);
  }
  {
    // A white knight leaving a square of the king's colour checks directly.
    AtPly5 t("8/3k4/8/4p3/8/5N2/8/K7 w - - 0 1", 7);
    ASSERT_EQ(t.Generate(), 1);
    EXPECT_EQ(t.Child(1).checkingPiece, t.position.board[6][3]);
  }
  {
    // The knight uncovers the a1 bishop: a discovered diagonal check.
    AtPly5 t("7k/8/8/3p4/8/2N5/8/B3K3 w - - 0 1", 7);
    ASSERT_EQ(t.Generate(), 1);
    EXPECT_EQ(t.Child(1).checkingPiece, t.position.board[1][1]);
  }
  {
    // Bishops and pawns are not tested for direct checks, so with no slider
    // on a line with the king before the move these checks carry 0.
    AtPly5 t("4k3/5p2/4P3/1p6/8/3B4/8/4K3 w - - 0 1", 7);
    const int n = t.Generate();
    ASSERT_EQ(n, 2);
    for (int i = 1; i <= n; ++i) {
      EXPECT_NE(SquareAttacked(t.Child(i), 5, 8, Black), 0) << i;
      EXPECT_EQ(t.Child(i).checkingPiece, 0) << i;
    }
  }
  {
    // Of the four captures only the queen's on e2 checks, along the e-file.
    AtPly5 t(kMixed, 7);
    const int n = t.Generate();
    ASSERT_EQ(n, 4);
    for (int i = 1; i <= n; ++i) {
      const std::string m = testing::MoveText(t.position, t.Child(i).lastMove);
      EXPECT_EQ(t.Child(i).checkingPiece, m == "d1e2" ? t.position.board[4][1] : 0) << m;
    }
  }
}

TEST(GenerateCaptures, LeavesTheSourceInWorkAndSavedPositionAndOtherPliesAlone) {
  AtPly5 t("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 7);
  const Position marker = testing::LoadFen("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
  for (int s = 1; s <= MaxChildren; ++s) {
    t.rig.e().ChildPositions[s][6] = marker;
    if (s != 2) t.rig.e().ChildPositions[s][4] = marker;
  }
  const int n = t.Generate();
  EXPECT_EQ(n, 8);  // the eight captures of the 48 moves
  EXPECT_TRUE(testing::SamePosition(t.rig.e().WorkPosition, t.position));
  EXPECT_TRUE(testing::SamePosition(t.rig.e().SavedPosition, t.position));
  for (int s = 1; s <= MaxChildren; ++s) {
    EXPECT_TRUE(testing::SamePosition(t.rig.e().ChildPositions[s][6], marker));
    EXPECT_TRUE(testing::SamePosition(t.rig.e().ChildPositions[s][4], s == 2 ? t.position : marker));
  }
  for (int i = 1; i <= n; ++i) EXPECT_TRUE(CheckPosition(t.Child(i))) << i;
}

// A piece just promoted has no kingLine flag until it moves, so the new
// queen on a8 does not count as aimed at the h8 king, and the rook that
// stands between them may leave the line: the quiescence plies accept this.
TEST(GenerateCaptures, APinByAPieceJustPromotedIsNotSeen) {
  testing::Rig rig;
  Engine& e = rig.e();
  const Position root = testing::LoadFen("4r2k/P7/8/4N3/8/8/8/4K3 w - - 0 1");
  e.ChildPositions[1][1] = root;
  const int n = GenerateMoves<White>(e, 2, 1);
  int promoted = 0;
  for (int i = 1; i <= n; ++i)
    if (testing::MoveText(root, e.ChildPositions[i][2].lastMove) == "a7a8q") promoted = i;
  ASSERT_NE(promoted, 0);
  const Position after = e.ChildPositions[promoted][2];
  e.HorizonPly = 8;
  // The rook's two captures: the queen (good, first) and the knight, which
  // leaves the king to the queen.
  const Moves children = testing::ChildMoves(e, after, 3, GenerateCaptures<Black>(e, 3, promoted));
  ASSERT_EQ(children, (Moves{"e8a8", "e8e5"}));
  const Position& open = e.ChildPositions[2][3];
  EXPECT_EQ(SquareAttacked(open, open.pieceFile[17], open.pieceRank[17], Black), after.board[1][8]);
}

}  // namespace
}  // namespace ormedan
