#include "protocol/think.h"

#include "Alivelli/fixed_depth.h"
#include "declare/game_record.h"
#include "protocol/game.h"
#include "winboard/driver.h"

namespace ormedan {

namespace {

// Values beyond this are mates: a mate found at ply p is worth 32000 less
// 10 for every two plies before it.
constexpr int32_t MateThreshold = 31000;

}  // namespace

TurnOutcome PlayEngineMove(Engine& e, bool booksOpen) {
  TurnOutcome t;
  const Colour side = SideToMove(e);
  e.driver.engineIsBlack = side == Black ? 1 : 0;
  t.before = e.GamePosition;
  const int64_t moves = e.MoveHistory.Count();
  const bool books = booksOpen && e.Record.fromFen == 0;
  e.LastSearch = {};
  t.code = side == White ? ChooseEngineMove<White>(e, books) : ChooseEngineMove<Black>(e, books);
  if (t.code > 0 && e.MoveHistory.Count() == moves + 1) {
    t.move = e.MoveHistory.At(moves);
    t.searched = e.LastSearch.played == t.move && e.LastSearch.depth > 0;
  }
  return t;
}

bool AnalyseAtDepth(Engine& e, int depth, SearchReport& report) {
  const Colour side = SideToMove(e);
  const int64_t moves = e.MoveHistory.Count();
  const int32_t budget = e.driver.moveBudget;
  const Position position = e.GamePosition;
  const int result = SearchAtFixedDepth(e, position, side, depth);
  e.driver.moveBudget = budget;
  report = e.LastSearch;
  if (e.MoveHistory.Count() > moves) ReplayGame(e, moves);
  if (result <= 0) report = {};
  return result > 0;
}

Score ScoreFor(int32_t whiteValue, Colour side) {
  const int32_t v = side == White ? whiteValue : -whiteValue;
  if (v > MateThreshold) return {true, (32000 - v) / 10 + 1};
  if (v < -MateThreshold) return {true, -((32000 + v) / 10 + 1)};
  return {false, v};
}

}  // namespace ormedan
