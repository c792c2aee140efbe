#include <gtest/gtest.h>

#include <cstring>

#include "declare/model.h"
#include "support/fakes.h"
#include "support/fen_load.h"
#include "generation/generate.h"
#include "utilita/attacks.h"

namespace ormedan {
namespace {

using testing::LoadFen;

int64_t Item(int64_t score, int32_t move) { return (score << 32) + move; }

// Stores in ChildPositions[slot][1] the game position after `move`.
void RootChild(Engine& e, int slot, int32_t move) {
  e.WorkPosition = e.GamePosition;
  MakeMove(e.WorkPosition, move);
  e.ChildPositions[slot][1] = e.WorkPosition;
}

class ReplayTest : public ::testing::Test {
 protected:
  Engine& e() { return rig.e(); }
  testing::Rig rig;
};

// White rook a1, black pawn b2 (PieceId 26) ready to promote.
constexpr const char* kPromotionFen = "4k3/8/8/8/8/8/1p6/R3K3 w - - 0 1";
constexpr int32_t kRookA3 = MakeMoveCode(3, 1, 3);
constexpr int32_t kQueenB1 = MakeMoveCode(26, 2, 1, 0, 9);
constexpr int32_t kKingF7 = MakeMoveCode(17, 6, 7);
constexpr int32_t kKingD8 = MakeMoveCode(17, 4, 8);

TEST_F(ReplayTest, BestFirstEqualScoresByLargerMoveCode) {
  e().GamePosition = LoadFen(kPromotionFen);
  RootChild(e(), 2, kRookA3);
  // An older entry for the same root move: the later one wins.
  e().ReplyTable[3] = ReplyEntry{};
  e().ReplyTable[3].rootMove = kRookA3;
  e().ReplyTable[3].replyCount = 1;
  e().ReplyTable[3].replies[1] = Item(35000, kKingD8);
  ReplyEntry& entry = e().ReplyTable[5];
  entry = ReplyEntry{};
  entry.rootMove = kRookA3;
  entry.replyCount = 3;
  entry.replies[1] = Item(35040, kKingF7);
  entry.replies[2] = Item(35010, kKingD8);
  entry.replies[3] = Item(35040, kQueenB1);

  e().WorkPosition = e().GamePosition;
  const Position before = e().WorkPosition;
  ASSERT_EQ(ReplayStoredReplies<Black>(e(), 2), 3);
  EXPECT_EQ(std::memcmp(&e().WorkPosition, &before, sizeof before), 0);

  const Position& first = e().ChildPositions[1][2];
  const Position& second = e().ChildPositions[2][2];
  const Position& third = e().ChildPositions[3][2];
  EXPECT_EQ(first.lastMove, kQueenB1);
  EXPECT_EQ(second.lastMove, kKingF7);
  EXPECT_EQ(third.lastMove, kKingD8);
  // Each reply is made on the root child: the rook is on a3 in all three.
  for (const Position* p : {&first, &second, &third}) {
    EXPECT_EQ(p->board[1][3], 3);
    EXPECT_TRUE(CheckPosition(*p));
  }
  // The promotion is replayed as a promotion, and it checks the white king
  // along the first rank.
  EXPECT_EQ(first.pieceValue[26], -QueenValue);
  EXPECT_EQ(first.orthogonalCount[Black], 1);
  EXPECT_EQ(first.pawnCount[Black], 0);
  EXPECT_EQ(first.checkingPiece, 26);
  EXPECT_EQ(second.checkingPiece, 0);
  EXPECT_EQ(second.pieceFile[17], 6);
  // The entry stays sorted for the next call.
  EXPECT_EQ(entry.replies[1], Item(35040, kQueenB1));
  EXPECT_EQ(entry.replies[2], Item(35040, kKingF7));
  EXPECT_EQ(entry.replies[3], Item(35010, kKingD8));
  EXPECT_EQ(entry.replies[4], 0);
  EXPECT_EQ(ReplayStoredReplies<Black>(e(), 2), 3);
  EXPECT_EQ(e().ChildPositions[1][2].lastMove, kQueenB1);
}

TEST_F(ReplayTest, WhiteRepliesCheckTheBlackKing) {
  // Black rook a8 (19) moves; the white b7 pawn (11) promotes with check.
  e().GamePosition = LoadFen("r3k3/1P6/8/8/8/8/8/4K3 b - - 0 1");
  const int32_t rookA6 = MakeMoveCode(19, 1, 6);
  const int32_t queenB8 = MakeMoveCode(11, 2, 8, 0, 5);
  const int32_t kingD2 = MakeMoveCode(1, 4, 2);
  RootChild(e(), 1, rookA6);
  ReplyEntry& entry = e().ReplyTable[1];
  entry = ReplyEntry{};
  entry.rootMove = rookA6;
  entry.replyCount = 2;
  entry.replies[1] = Item(35000 - 20, kingD2);
  entry.replies[2] = Item(35000 + 300, queenB8);
  ASSERT_EQ(ReplayStoredReplies<White>(e(), 1), 2);
  EXPECT_EQ(e().ChildPositions[1][2].lastMove, queenB8);
  EXPECT_EQ(e().ChildPositions[1][2].pieceValue[11], QueenValue);
  EXPECT_EQ(e().ChildPositions[1][2].checkingPiece, 11);
  EXPECT_EQ(e().ChildPositions[2][2].lastMove, kingD2);
  EXPECT_EQ(e().ChildPositions[2][2].checkingPiece, 0);
}

TEST_F(ReplayTest, MatingRootMoveMissAndBadSlotWriteNoChildren) {
  e().GamePosition = LoadFen(kPromotionFen);
  const int32_t rookA8 = MakeMoveCode(3, 1, 8);
  RootChild(e(), 4, rookA8);
  e().ReplyTable[7] = ReplyEntry{};
  e().ReplyTable[7].rootMove = rookA8;
  e().ReplyTable[7].replyCount = -2;
  e().ReplyTable[7].replies[1] = Item(35000, kKingD8);  // never replayed
  e().ChildPositions[1][2].lastMove = 4242;
  EXPECT_EQ(ReplayStoredReplies<Black>(e(), 4), -2);
  EXPECT_EQ(e().ChildPositions[1][2].lastMove, 4242);
  EXPECT_EQ(e().ReplyTable[7].replies[1], Item(35000, kKingD8));
  // A root move with no entry: no replies.
  RootChild(e(), 6, MakeMoveCode(1, 4, 1));
  EXPECT_EQ(ReplayStoredReplies<Black>(e(), 6), 0);
  EXPECT_EQ(ReplayStoredReplies<Black>(e(), 0), 0);
  EXPECT_EQ(ReplayStoredReplies<White>(e(), MaxChildren + 1), 0);
  EXPECT_EQ(e().ChildPositions[1][2].lastMove, 4242);
}

TEST_F(ReplayTest, EveryStoredReplyFitsTheEnlargedTable) {
  // A root move with more replies than the original 100-item entry held,
  // stored in the last entry: all of them come back in score order.
  e().GamePosition = LoadFen(kPromotionFen);
  RootChild(e(), MaxChildren, kRookA3);
  ReplyEntry& entry = e().ReplyTable[MaxChildren];
  entry = ReplyEntry{};
  entry.rootMove = kRookA3;
  entry.replyCount = 150;
  // The same three legal replies, with distinct rising scores.
  const int32_t replies[3] = {kKingF7, kKingD8, kQueenB1};
  for (int k = 1; k <= 150; ++k) entry.replies[k] = Item(34000 + k, replies[k % 3]);
  ASSERT_EQ(ReplayStoredReplies<Black>(e(), MaxChildren), 150);
  for (int k = 1; k <= 150; ++k) {
    EXPECT_EQ(entry.replies[k] >> 32, 34151 - k) << k;
    EXPECT_EQ(e().ChildPositions[k][2].lastMove, replies[(151 - k) % 3]) << k;
  }
}

// ---- Committing the chosen root move -------------------------------------------

class CommitTest : public ::testing::Test {
 protected:
  Engine& e() { return rig.e(); }
  void FillHistory(int n) {
    e().PositionHistory.Clear();
    for (int i = 0; i < n; ++i) e().PositionHistory.Append(PositionKey(e().GamePosition, White));
  }
  testing::Rig rig;
};

TEST_F(CommitTest, ShortCastlingIsReportedAsTheKingsMove) {
  e().GamePosition = LoadFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
  RootChild(e(), 4, WhiteShortCastle);
  const Position child = e().ChildPositions[4][1];
  FillHistory(1);
  CommitRootMove(e(), 4);
  EXPECT_EQ(std::memcmp(&e().GamePosition, &child, sizeof child), 0);
  EXPECT_EQ(e().EngineMove.fromFile, 5);
  EXPECT_EQ(e().EngineMove.fromRank, 1);
  EXPECT_EQ(e().EngineMove.toFile, 7);
  EXPECT_EQ(e().EngineMove.toRank, 1);
  EXPECT_EQ(e().EngineMove.promotion, 0);
  EXPECT_EQ(e().GamePosition.board[6][1], 4);  // the rook came along
  EXPECT_EQ(e().PositionHistory.Count(), 2);
  EXPECT_EQ(e().PositionHistory.Occurrences(PositionKey(child, Black)), 1);
}

TEST_F(CommitTest, BlackQueenPromotionEmptiesTheHistory) {
  e().GamePosition = LoadFen("4k3/8/8/8/8/8/p7/4K3 b - - 0 1");
  RootChild(e(), 1, MakeMoveCode(25, 1, 1, 0, 9));
  FillHistory(3);
  CommitRootMove(e(), 0);  // 0 means the first root child
  EXPECT_EQ(e().EngineMove.fromFile, 1);
  EXPECT_EQ(e().EngineMove.fromRank, 2);
  EXPECT_EQ(e().EngineMove.toFile, 1);
  EXPECT_EQ(e().EngineMove.toRank, 1);
  EXPECT_EQ(e().EngineMove.promotion, 9);
  EXPECT_EQ(e().GamePosition.pieceValue[25], -QueenValue);
  EXPECT_EQ(e().PositionHistory.Count(), 0);
}

TEST_F(CommitTest, HistoryGrowsOnQuietPieceMovesOnly) {
  SetUpNewGame(e());
  RootChild(e(), 1, MakeMoveCode(8, 6, 3));  // Ng1-f3
  RootChild(e(), 2, MakeMoveCode(16, 5, 4));  // e2-e4
  FillHistory(1);
  CommitRootMove(e(), 1);
  EXPECT_EQ(e().PositionHistory.Count(), 2);
  EXPECT_EQ(e().PositionHistory.Occurrences(PositionKey(e().GamePosition, Black)), 1);
  EXPECT_EQ(e().EngineMove.fromFile, 7);
  EXPECT_EQ(e().EngineMove.toFile, 6);

  SetUpNewGame(e());
  RootChild(e(), 2, MakeMoveCode(16, 5, 4));
  FillHistory(4);
  CommitRootMove(e(), 2);
  EXPECT_EQ(e().PositionHistory.Count(), 0);
  // A black pawn move as well.
  RootChild(e(), 1, MakeMoveCode(29, 5, 5));
  FillHistory(4);
  CommitRootMove(e(), 1);
  EXPECT_EQ(e().PositionHistory.Count(), 0);

  // A capture by the king.
  e().GamePosition = LoadFen("4k3/8/8/8/8/8/3r4/4K3 w - - 0 1");
  const int rook = e().GamePosition.board[4][2];
  RootChild(e(), 3, MakeMoveCode(1, 4, 2, rook));
  FillHistory(2);
  CommitRootMove(e(), 3);
  EXPECT_EQ(e().PositionHistory.Count(), 0);
  EXPECT_EQ(e().GamePosition.pieceValue[rook], 0);
}

TEST_F(CommitTest, SlotOutsideTheTableCommitsNothing) {
  SetUpNewGame(e());
  const Position game = e().GamePosition;
  FillHistory(1);
  CommitRootMove(e(), MaxChildren + 1);
  e().ChildPositions[9][1] = Position{};  // an empty slot: no move in it
  CommitRootMove(e(), 9);
  EXPECT_EQ(std::memcmp(&e().GamePosition, &game, sizeof game), 0);
  EXPECT_EQ(e().PositionHistory.Count(), 1);
}

}  // namespace
}  // namespace ormedan
