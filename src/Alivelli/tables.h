// Search tables: reply table, killer flags and the transposition memo.
#pragma once

#include "declare/engine.h"

namespace ormedan {

constexpr int32_t MemoNotFound = -99999;

void ResetSearchTables(Engine& e);  // reply table, killers and memo fill counts
void ResetMemo(Engine& e);          // memo fill counts only
void TranspositionStore(Engine& e, int rootSlot, int replySlot, int thirdSlot, int32_t value);
int32_t TranspositionLookup(Engine& e, int rootSlot, int replySlot, int thirdSlot);
void RecordChosenMove(Engine& e, int slot);

}  // namespace ormedan
