// Replay of the replies stored by the pre-analysis, best first. One template
// for both replying colours; the instantiations live in each colour's unit.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>

#include "declare/model.h"
#include "generation/generate.h"
#include "utilita/make_checked.h"

namespace ormedan {

// C is the colour of the replies; the king tested after each reply is the
// root side's.
template <Colour C>
int ReplayStoredReplies(Engine& e, int slot) {
  if (slot < 1 || slot > MaxChildren) return 0;
  e.SavedPosition = e.WorkPosition;

  // The entry of this root move; when several match the last one wins.
  const int64_t rootMove = e.ChildPositions[slot][1].lastMove;
  ReplyEntry* entry = nullptr;
  for (int i = 1; i <= MaxChildren; ++i)
    if (e.ReplyTable[i].rootMove == rootMove) entry = &e.ReplyTable[i];
  // The table has room for every root move, so a miss means the
  // pre-analysis stored nothing for this move: no replies.
  if (entry == nullptr) return 0;

  const int32_t count = static_cast<int32_t>(entry->replyCount);
  if (count > 0) {
    // Descending order of the whole 64-bit items: better score first, equal
    // scores by the larger MoveCode, empty items last. Items beyond the
    // count are never filled.
    const int n = std::min<int32_t>(count, MaxChildren);
    std::sort(entry->replies + 1, entry->replies + 1 + n, std::greater<int64_t>());

    for (int k = 1; k <= n; ++k) {
      const int32_t code = static_cast<int32_t>(static_cast<uint32_t>(entry->replies[k]));
      e.MoveList[k - 1] = code;
      if (code <= 0) continue;
      Position& w = e.WorkPosition;
      w = e.ChildPositions[slot][1];
      MakeMoveMarkingCheck(w, code);
      e.ChildPositions[k][2] = w;
    }
  }

  e.WorkPosition = e.SavedPosition;
  return count;
}

}  // namespace ormedan
