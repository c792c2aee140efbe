// The search's tables: reply table, killer flags, the three-move
// transposition memo, and the record of the move played.
#include "Alivelli/tables.h"

#include <cstring>

#include "declare/game_record.h"

namespace ormedan {

namespace {

// Bucket of a line: the moving PieceId of a MoveCode, black folded onto
// white (17..32 -> 1..16). 0 for anything that is not a move.
int MemoBucket(int32_t move) {
  int b = MovePiece(move);
  if (b > 16) b -= 16;
  return b >= 1 && b <= MemoBuckets ? b : 0;
}

bool ValidSlot(int slot) { return slot >= 1 && slot <= MaxChildren; }

}  // namespace

void ResetSearchTables(Engine& e) {
  for (int i = 1; i <= MaxChildren; ++i) {
    ReplyEntry& r = e.ReplyTable[i];
    r.replyCount = 0;
    r.rootMove = 0;
    for (int j = 1; j <= MaxChildren; ++j) r.replies[j] = 0;
  }
  std::memset(e.OddPlyKillers, 0, sizeof e.OddPlyKillers);
  std::memset(e.EvenPlyKillers, 0, sizeof e.EvenPlyKillers);
  ResetMemo(e);
}

void ResetMemo(Engine& e) {
  for (int b = 0; b <= MemoBuckets; ++b) e.MemoFill[b] = 0;
}

void TranspositionStore(Engine& e, int rootSlot, int replySlot, int thirdSlot, int32_t value) {
  if (!ValidSlot(rootSlot) || !ValidSlot(replySlot) || !ValidSlot(thirdSlot)) return;
  const int32_t m1 = e.ChildPositions[rootSlot][1].lastMove;
  const int32_t m2 = e.ChildPositions[replySlot][2].lastMove;
  const int32_t m3 = e.ChildPositions[thirdSlot][3].lastMove;
  const int b = MemoBucket(m1);
  if (b == 0 || e.MemoFill[b] >= MemoBucketSize) return;  // a full bucket stops storing
  const int n = ++e.MemoFill[b];
  e.TranspositionMemo[b][n] = MemoEntry{m1, m2, m3, value};
}

int32_t TranspositionLookup(Engine& e, int rootSlot, int replySlot, int thirdSlot) {
  if (!ValidSlot(rootSlot) || !ValidSlot(replySlot) || !ValidSlot(thirdSlot)) return MemoNotFound;
  const int32_t m1 = e.ChildPositions[rootSlot][1].lastMove;
  const int32_t m2 = e.ChildPositions[replySlot][2].lastMove;
  const int32_t m3 = e.ChildPositions[thirdSlot][3].lastMove;
  // The same line with the root side's two moves swapped.
  const int b = MemoBucket(m3);
  if (b == 0) return MemoNotFound;
  const MemoEntry* bucket = e.TranspositionMemo[b];
  const int fill = e.MemoFill[b];
  for (int i = 1; i <= fill; ++i) {
    const MemoEntry& m = bucket[i];
    if (m.first == m3 && m.second == m2 && m.third == m1) return m.value;
  }
  return MemoNotFound;
}

void RecordChosenMove(Engine& e, int slot) {
  if (slot == 0) slot = 1;
  if (!ValidSlot(slot)) return;
  const Position& child = e.ChildPositions[slot][1];
  JoinGame(e, child, IsWhitePiece(MovePiece(child.lastMove)) ? White : Black, JoinMoveList);
}

}  // namespace ormedan
