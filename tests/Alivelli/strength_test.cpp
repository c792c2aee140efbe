// Playing below full strength: full strength is the unchanged search, a
// seed pins every choice, and what a level overlooks is what a weaker
// player misses first, never the piece just moved or the answer to a check.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "Alivelli/strength.h"
#include "support/search_setup.h"

namespace ormedan::testing {
namespace {

constexpr const char* kMiddleGame = "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4";

struct Outcome {
  int32_t move;
  int64_t nodes;
};

// A fixed-depth search of kMiddleGame (or `fen`) at the given settings.
Outcome SearchAt(bool limit, int elo, uint32_t seed, int depth = 4, const char* fen = kMiddleGame) {
  SearchRig r(fen, seed);
  r.e().settings.limitStrength = limit;
  r.e().settings.elo = elo;
  PlanFixedDepth(r.e(), depth);
  const SearchResult result = SearchWithBudget(r.e(), r.toMove);
  EXPECT_GT(result.code, 0);
  EXPECT_TRUE(IsLegalGameMove(r.e(), r.toMove, result.move));
  return {result.move, r.e().NodeCount};
}

TEST(Strength, TheFullRatingIsTheFullSearch) {
  EXPECT_FALSE(LevelForElo(FullStrengthElo).limited);
  const Outcome off = SearchAt(false, FullStrengthElo, 7);
  const Outcome top = SearchAt(true, FullStrengthElo, 7);
  EXPECT_EQ(top.move, off.move);
  EXPECT_EQ(top.nodes, off.nodes);
  // One point below it the level is limited; the levels that trust the
  // pre-analysis alone do less work.
  EXPECT_TRUE(LevelForElo(FullStrengthElo - 1).limited);
  EXPECT_LT(SearchAt(true, 1000, 7).nodes, off.nodes);
}

TEST(Strength, ASeedPinsTheMoveAndLevelsOverlookMoreAsTheyFall) {
  std::set<int32_t> moves;
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    const Outcome a = SearchAt(true, 400, seed, 4);
    const Outcome b = SearchAt(true, 400, seed, 4);
    EXPECT_EQ(a.move, b.move) << seed;
    EXPECT_EQ(a.nodes, b.nodes) << seed;
    moves.insert(a.move);
  }
  // The seed matters: the lowest level does not play one fixed move.
  EXPECT_GT(moves.size(), 1u);
  int previous = LevelForElo(LowestElo).overlookPermille;
  for (int elo = LowestElo; elo < FullStrengthElo; elo += 10) {
    const StrengthLevel level = LevelForElo(elo);
    EXPECT_LE(level.overlookPermille, previous) << elo;
    previous = level.overlookPermille;
  }
}

// Counts, over a thousand seeds, how often the side to move in `fen`
// overlooks `move` ("e2e4") at the lowest level; `lastTo` is the square the
// opponent's last move went to ("e4"), which a FEN does not tell.
int TimesOverlooked(const char* fen, const std::string& move, const std::string& lastTo = "") {
  SearchRig r(fen);
  const int n = r.toMove == White ? GenerateMoves<White>(r.e(), 1, 1) : GenerateMoves<Black>(r.e(), 1, 1);
  const Position& before = r.e().GamePosition;
  const Position* child = nullptr;
  for (int i = 1; i <= n; ++i) {
    const int32_t code = r.e().ChildPositions[i][1].lastMove;
    const int piece = MovePiece(code);
    const std::string text = {static_cast<char>('a' + before.pieceFile[piece] - 1),
                              static_cast<char>('0' + before.pieceRank[piece]),
                              static_cast<char>('a' + MoveToFile(code) - 1), static_cast<char>('0' + MoveToRank(code))};
    if (text == move) child = &r.e().ChildPositions[i][1];
  }
  EXPECT_NE(child, nullptr) << move;
  if (child == nullptr) return -1;
  const int last = lastTo.empty() ? 0 : (lastTo[0] - 'a' + 1) * 16 + (lastTo[1] - '0');
  StrengthLevel level = LevelForElo(LowestElo);
  int times = 0;
  for (uint32_t seed = 0; seed < 1000; ++seed) {
    level.seed = seed;
    times += Overlooks(level, before, *child, last) ? 1 : 0;
  }
  return times;
}

TEST(Strength, WhatIsOverlookedFirst) {
  // Black's knight has just taken on e4: taking it back is always seen.
  const char* knightIn = "rnbqkb1r/pppp1ppp/8/4p3/4n3/3P1N2/PPP2PPP/RNBQKB1R w KQkq - 0 4";
  EXPECT_EQ(TimesOverlooked(knightIn, "d3e4", "e4"), 0);
  // In check, every answer is seen.
  EXPECT_EQ(TimesOverlooked("4k3/8/8/8/8/8/3q4/4K3 w - - 0 1", "e1d2"), 0);
  EXPECT_EQ(TimesOverlooked("4k3/8/8/8/8/8/3q4/4K3 w - - 0 1", "e1f1"), 0);
  // Taking a queen left en prise is overlooked far less often than a long
  // backward queen move, which the lowest level misses most of the time.
  const int takeQueen = TimesOverlooked("rnb1kbnr/pppp1ppp/8/4p3/3PP1q1/8/PPP2PPP/RNBQKBNR w KQkq - 0 4", "d1g4");
  const int backward = TimesOverlooked("r1b1kbnr/pppp1ppp/2n5/4p1q1/3PP3/8/PPP2PPP/RNBQKBNR b KQkq - 0 4", "g5d8");
  EXPECT_GT(takeQueen, 0);
  EXPECT_LT(takeQueen * 3, backward) << takeQueen << " " << backward;
  EXPECT_GT(backward, 500);
  // A king can only take what nobody guards: as plain as the queen above.
  const int kingTakes = TimesOverlooked("4k3/8/8/8/8/8/3r4/4K3 w - - 0 1", "e1d2");
  EXPECT_GT(kingTakes, 0);
  EXPECT_LT(kingTakes, 300);
}

// A level a piece or more down in material overlooks less, whichever side
// it plays; a level that is ahead or even plays as usual.
TEST(Strength, BehindInMaterialALevelLooksHarder) {
  auto chance = [](const char* fen) {
    SearchRig r(fen);
    r.e().Record.startSide = r.toMove;
    r.e().settings.limitStrength = true;
    r.e().settings.elo = 800;
    PlanFixedDepth(r.e(), 4);
    return r.e().budget.level.overlookPermille;
  };
  const int usual = LevelForElo(800).overlookPermille;
  EXPECT_LT(chance("4k2r/8/8/8/8/8/8/4K3 w - - 0 1"), usual);
  EXPECT_LT(chance("4k3/8/8/8/8/8/8/4K2R b - - 0 1"), usual);
  EXPECT_EQ(chance("4k3/8/8/8/8/8/8/4K2R w - - 0 1"), usual);
  EXPECT_EQ(chance("4k2r/8/8/8/8/8/8/4K3 b - - 0 1"), usual);
  EXPECT_EQ(chance(kMiddleGame), usual);
}

}  // namespace
}  // namespace ormedan::testing
