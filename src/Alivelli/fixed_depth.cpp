// Fixed-depth searches for the tools and tests.
#include "Alivelli/fixed_depth.h"

#include "Alivelli/search.h"
#include "Alivelli/time_manager.h"

namespace ormedan {

SearchResult SearchWithBudget(Engine& e, Colour toMove) {
  return toMove == White ? Search<White>(e) : Search<Black>(e);
}

SearchResult SearchPositionAtDepth(Engine& e, const Position& p, Colour toMove, int depth) {
  e.GamePosition = p;
  PlanFixedDepth(e, depth);
  return SearchWithBudget(e, toMove);
}

int SearchAtFixedDepth(Engine& e, const Position& p, Colour toMove, int depth) {
  const SearchResult r = SearchPositionAtDepth(e, p, toMove, depth);
  CommitSearchResult(e, r);
  return r.code;
}

std::string_view EngineMoveText(const EngineMoveRecord& m, char* buf) {
  constexpr char files[] = "?abcdefgh";
  auto file = [&](int32_t f) { return f >= 1 && f <= 8 ? files[f] : '?'; };
  auto rank = [](int32_t r) { return r >= 1 && r <= 8 ? static_cast<char>('0' + r) : '?'; };
  int n = 0;
  buf[n++] = file(m.fromFile);
  buf[n++] = rank(m.fromRank);
  buf[n++] = file(m.toFile);
  buf[n++] = rank(m.toRank);
  if (const char letter = PromotionLetter(m.promotion)) buf[n++] = letter;
  return {buf, static_cast<size_t>(n)};
}

uint32_t FixedSeedRandom::Below(uint32_t n) {
  state_ += 0x9E3779B97F4A7C15ULL;
  uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  z ^= z >> 31;
  return n == 0 ? 0 : static_cast<uint32_t>(z % n);
}

}  // namespace ormedan
