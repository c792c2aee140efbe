// Running the search on a chosen position at a fixed depth, as the developer
// tools and the tests do.
#pragma once

#include <cstdint>
#include <string_view>

#include "declare/engine.h"

namespace ormedan {

// Searches GamePosition for `toMove` within e.budget as it stands; the game
// is left as it was.
SearchResult SearchWithBudget(Engine& e, Colour toMove);

// Makes p the game position and searches it for `toMove` to `depth`,
// without a clock. The game is left as it was.
SearchResult SearchPositionAtDepth(Engine& e, const Position& p, Colour toMove, int depth);

// The same, then the move is committed as the plain mode commits it (the
// game, its history and EngineMove). Returns the search's result code.
int SearchAtFixedDepth(Engine& e, const Position& p, Colour toMove, int depth);

// The engine's last played move in coordinate form ("e2e4", "a7a8q").
// Writes into buf (at least 6 bytes) and returns the text.
std::string_view EngineMoveText(const EngineMoveRecord& m, char* buf);

// A small deterministic generator (SplitMix64) for tools that need a fixed
// seed rather than the clock.
class FixedSeedRandom : public Random {
 public:
  explicit FixedSeedRandom(uint64_t seed) : state_(seed) {}
  uint32_t Below(uint32_t n) override;

 private:
  uint64_t state_;
};

}  // namespace ormedan
