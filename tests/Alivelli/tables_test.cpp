#include <gtest/gtest.h>

#include "Alivelli/tables.h"
#include "declare/model.h"
#include "support/fakes.h"

namespace ormedan {
namespace {

// The memo reads only the lastMove of the stored children, so the tests
// write the three moves of a line straight into ChildPositions.
class MemoTest : public ::testing::Test {
 protected:
  void Line(int root, int32_t m1, int reply, int32_t m2, int third, int32_t m3) {
    e().ChildPositions[root][1].lastMove = m1;
    e().ChildPositions[reply][2].lastMove = m2;
    e().ChildPositions[third][3].lastMove = m3;
  }
  Engine& e() { return rig.e(); }
  testing::Rig rig;
};

constexpr int32_t kNf3 = MakeMoveCode(8, 6, 3);
constexpr int32_t kE4 = MakeMoveCode(16, 5, 4);
constexpr int32_t kE5 = MakeMoveCode(29, 5, 5);
constexpr int32_t kRa3 = MakeMoveCode(3, 1, 3);
constexpr int32_t kRa6 = MakeMoveCode(19, 1, 6);

TEST_F(MemoTest, FindsTheLineWithTheRootSidesMovesSwapped) {
  ResetSearchTables(e());
  Line(1, kNf3, 1, kE5, 1, kE4);
  TranspositionStore(e(), 1, 1, 1, 37);
  // The same moves in the same order are not the transposition.
  EXPECT_EQ(TranspositionLookup(e(), 1, 1, 1), MemoNotFound);
  Line(2, kE4, 3, kE5, 4, kNf3);
  EXPECT_EQ(TranspositionLookup(e(), 2, 3, 4), 37);
  // A different reply is another line.
  Line(2, kE4, 3, MakeMoveCode(29, 5, 6), 4, kNf3);
  EXPECT_EQ(TranspositionLookup(e(), 2, 3, 4), MemoNotFound);
}

TEST_F(MemoTest, FirstStoredMatchWins) {
  ResetSearchTables(e());
  Line(1, kNf3, 1, kE5, 1, kE4);
  TranspositionStore(e(), 1, 1, 1, -5);
  TranspositionStore(e(), 1, 1, 1, 90);
  Line(1, kE4, 1, kE5, 1, kNf3);
  EXPECT_EQ(TranspositionLookup(e(), 1, 1, 1), -5);
}

TEST_F(MemoTest, BlackPiecesFoldOntoTheWhiteBuckets) {
  ResetSearchTables(e());
  // A white root move by rook 3 and a black one by rook 19 share bucket 3.
  Line(1, kRa3, 1, MakeMoveCode(20, 8, 7), 1, MakeMoveCode(4, 8, 2));
  TranspositionStore(e(), 1, 1, 1, 1);
  Line(1, kRa6, 1, MakeMoveCode(4, 8, 2), 1, MakeMoveCode(20, 8, 7));
  TranspositionStore(e(), 1, 1, 1, 2);
  EXPECT_EQ(e().MemoFill[3], 2);
  EXPECT_EQ(e().MemoFill[4], 0);
  // The lookup searches the bucket of the current third move.
  Line(1, MakeMoveCode(20, 8, 7), 1, MakeMoveCode(4, 8, 2), 1, kRa6);
  EXPECT_EQ(TranspositionLookup(e(), 1, 1, 1), 2);
}

TEST_F(MemoTest, FullBucketStopsStoringAndKeepsItsLines) {
  ResetSearchTables(e());
  // 5000 lines of rook 3 (bucket 3), each with its own reply.
  for (int i = 1; i <= MemoBucketSize; ++i) {
    Line(1, kRa3, 1, MakeMoveCode(17, 1 + i % 8, 1 + (i / 8) % 8, 0, 0) + (i / 64) * 65536, 1, kRa6);
    TranspositionStore(e(), 1, 1, 1, i);
  }
  ASSERT_EQ(e().MemoFill[3], MemoBucketSize);
  const MemoEntry last = e().TranspositionMemo[3][MemoBucketSize];
  // The 5001st line of the bucket (here by a black piece) is dropped.
  Line(1, kRa6, 1, kE5, 1, kRa3);
  TranspositionStore(e(), 1, 1, 1, 4242);
  EXPECT_EQ(e().MemoFill[3], MemoBucketSize);
  EXPECT_EQ(e().TranspositionMemo[3][MemoBucketSize].value, last.value);
  EXPECT_EQ(e().TranspositionMemo[3][MemoBucketSize].second, last.second);
  Line(1, kRa3, 1, kE5, 1, kRa6);
  EXPECT_EQ(TranspositionLookup(e(), 1, 1, 1), MemoNotFound);
  // The first and the last stored lines are still found.
  for (int i : {1, MemoBucketSize}) {
    Line(1, kRa6, 1, MakeMoveCode(17, 1 + i % 8, 1 + (i / 8) % 8, 0, 0) + (i / 64) * 65536, 1, kRa3);
    EXPECT_EQ(TranspositionLookup(e(), 1, 1, 1), i) << i;
  }
  // Other buckets still store.
  Line(1, kNf3, 1, kE5, 1, kE4);
  TranspositionStore(e(), 1, 1, 1, 8);
  EXPECT_EQ(e().MemoFill[8], 1);
}

TEST_F(MemoTest, LookupAfterResetFindsNothing) {
  ResetSearchTables(e());
  Line(1, kNf3, 1, kE5, 1, kE4);
  TranspositionStore(e(), 1, 1, 1, 11);
  Line(2, kE4, 2, kE5, 2, kNf3);
  ASSERT_EQ(TranspositionLookup(e(), 2, 2, 2), 11);
  ResetMemo(e());
  EXPECT_EQ(TranspositionLookup(e(), 2, 2, 2), MemoNotFound);
  EXPECT_EQ(e().TranspositionMemo[8][1].value, 11);  // the entry is still there, unread
  // Storing again overwrites entry 1.
  TranspositionStore(e(), 1, 1, 1, 12);
  EXPECT_EQ(TranspositionLookup(e(), 2, 2, 2), 12);
  ResetSearchTables(e());
  EXPECT_EQ(TranspositionLookup(e(), 2, 2, 2), MemoNotFound);
}

TEST_F(MemoTest, SlotsAndMovesOutsideTheTablesAreIgnored) {
  ResetSearchTables(e());
  Line(1, kNf3, 1, kE5, 1, kE4);
  TranspositionStore(e(), 0, 1, 1, 1);
  TranspositionStore(e(), 1, MaxChildren + 1, 1, 1);
  TranspositionStore(e(), 1, 1, -3, 1);
  EXPECT_EQ(TranspositionLookup(e(), 1, 1, MaxChildren + 1), MemoNotFound);
  // Not a move (moving PieceId 0 or above 32): no bucket.
  Line(1, 0, 1, kE5, 1, kE4);
  TranspositionStore(e(), 1, 1, 1, 1);
  Line(1, 0xC8, 1, kE5, 1, kE4);
  TranspositionStore(e(), 1, 1, 1, 1);
  Line(1, kE4, 1, kE5, 1, 0xC8);
  EXPECT_EQ(TranspositionLookup(e(), 1, 1, 1), MemoNotFound);
  for (int b = 0; b <= MemoBuckets; ++b) EXPECT_EQ(e().MemoFill[b], 0) << b;
}

TEST(SearchTables, ResetClearsEveryReplyEntryKillerAndFillCount) {
  testing::Rig rig;
  Engine& e = rig.e();
  for (int i : {1, 100, 101, MaxChildren}) {
    e.ReplyTable[i].replyCount = -2;
    e.ReplyTable[i].rootMove = kE4;
    e.ReplyTable[i].replies[1] = 7;
    e.ReplyTable[i].replies[MaxChildren] = 9;
  }
  for (int k : {4096, 4353, 34848, 36864}) e.OddPlyKillers[k] = e.EvenPlyKillers[k] = 1;
  for (int b = 1; b <= MemoBuckets; ++b) e.MemoFill[b] = b;
  ResetSearchTables(e);
  for (int i : {1, 100, 101, MaxChildren}) {
    EXPECT_EQ(e.ReplyTable[i].replyCount, 0) << i;
    EXPECT_EQ(e.ReplyTable[i].rootMove, 0) << i;
    EXPECT_EQ(e.ReplyTable[i].replies[1], 0) << i;
    EXPECT_EQ(e.ReplyTable[i].replies[MaxChildren], 0) << i;
  }
  for (int k : {4096, 4353, 34848, 36864}) {
    EXPECT_EQ(e.OddPlyKillers[k], 0) << k;
    EXPECT_EQ(e.EvenPlyKillers[k], 0) << k;
  }
  for (int b = 1; b <= MemoBuckets; ++b) EXPECT_EQ(e.MemoFill[b], 0) << b;

  // ResetMemo leaves the reply table and the killers alone.
  e.ReplyTable[5].replyCount = 3;
  e.OddPlyKillers[5000] = 1;
  e.MemoFill[2] = 4;
  ResetMemo(e);
  EXPECT_EQ(e.MemoFill[2], 0);
  EXPECT_EQ(e.ReplyTable[5].replyCount, 3);
  EXPECT_EQ(e.OddPlyKillers[5000], 1);
}

TEST(SearchTables, RecordChosenMoveAppendsTheRootChildsMove) {
  testing::Rig rig;
  Engine& e = rig.e();
  e.MoveHistory.Clear();
  e.ChildPositions[1][1].lastMove = kE4;
  e.ChildPositions[5][1].lastMove = kNf3;
  RecordChosenMove(e, 0);  // 0 means the first root child
  RecordChosenMove(e, 5);
  RecordChosenMove(e, MaxChildren + 1);  // no such child: nothing recorded
  ASSERT_EQ(e.MoveHistory.Count(), 2);
  EXPECT_EQ(e.MoveHistory.At(0), kE4);
  EXPECT_EQ(e.MoveHistory.At(1), kNf3);
}

}  // namespace
}  // namespace ormedan
