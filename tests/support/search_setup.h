// An engine set up on a FEN position for search tests, with its own
// captured output, a clock the test controls and a seeded random source.
#pragma once

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Alivelli/fixed_depth.h"
#include "Alivelli/search.h"
#include "declare/model.h"
#include "support/fakes.h"
#include "generation/generate.h"
#include "utilita/fen.h"
#include "Alivelli/time_manager.h"

namespace ormedan::testing {

// A clock that stands still for a given number of readings and then jumps
// far ahead, so that a search runs out of time at a chosen point.
class JumpClock : public Clock {
 public:
  int64_t NowMicroseconds() override {
    ++reads;
    return reads > jumpAfter ? start + jump : start + offset;
  }
  int64_t start = 1'000'000;
  int64_t offset = 0;          // elapsed time before the jump
  int64_t jumpAfter = INT64_MAX;
  int64_t jump = 1'000'000'000;
  int64_t reads = 0;
};

struct SearchRig {
  explicit SearchRig(std::string_view fen, uint32_t seed = 1)
      : rng(seed), engine(std::make_unique<Engine>(in, out, clock, rng)) {
    std::string error;
    const bool ok = PositionFromFen(fen, position, toMove, error);
    EXPECT_TRUE(ok) << fen << ": " << error;
    e().GamePosition = position;
    e().driver.clockStart = clock.start;
  }
  Engine& e() { return *engine; }

  // A search with a time budget in centiseconds.
  int Run(int32_t budget) {
    e().budget.moveCs = budget;
    e().budget.timed = budget != UntimedBudgetCs;
    const SearchResult r = toMove == White ? Search<White>(e()) : Search<Black>(e());
    CommitSearchResult(e(), r);
    return r.code;
  }
  int RunFixed(int depth) { return SearchAtFixedDepth(e(), position, toMove, depth); }

  std::string Played() {
    char buf[8];
    return std::string(EngineMoveText(e().EngineMove, buf));
  }
  // The number after the first line that starts with prefix.
  int64_t Number(std::string_view prefix) const {
    for (const std::string& l : out.lines)
      if (l.rfind(prefix, 0) == 0) return std::stoll(l.substr(prefix.size()));
    ADD_FAILURE() << "no line starting with '" << prefix << "'";
    return INT64_MIN;
  }
  bool HasLine(std::string_view text) const {
    for (const std::string& l : out.lines)
      if (l == text) return true;
    return false;
  }
  // Appends the key of the position after `move` (from, to squares like
  // "d1d8") `times` times to PositionHistory.
  void RememberPositionAfter(std::string_view move, int times) {
    const int n = toMove == White ? GenerateMoves<White>(e(), 1, 1) : GenerateMoves<Black>(e(), 1, 1);
    for (int i = 1; i <= n; ++i) {
      const Position& child = e().ChildPositions[i][1];
      const int32_t m = child.lastMove;
      const int piece = MovePiece(m);
      const int fromFile = position.pieceFile[piece], fromRank = position.pieceRank[piece];
      const std::string text = {static_cast<char>('a' + fromFile - 1), static_cast<char>('0' + fromRank),
                                static_cast<char>('a' + MoveToFile(m) - 1), static_cast<char>('0' + MoveToRank(m))};
      if (text == move) {
        for (int k = 0; k < times; ++k) e().PositionHistory.Append(PositionKey(child, Other(toMove)));
        return;
      }
    }
    ADD_FAILURE() << "no root move " << move;
  }

  StringInput in;
  CaptureOutput out;
  JumpClock clock;
  SeededRandom rng;
  std::unique_ptr<Engine> engine;
  Position position{};
  Colour toMove = White;
};

}  // namespace ormedan::testing
