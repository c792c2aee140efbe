#include "protocol/think.h"

#include "Alivelli/fixed_depth.h"
#include "Alivelli/time_manager.h"
#include "declare/game_record.h"
#include "protocol/game.h"
#include "winboard/driver.h"

namespace ormedan {

namespace {

// Values beyond this are mates: a mate found at ply p is worth 32000 less
// 10 for every two plies before it.
constexpr int32_t MateThreshold = 31000;

}  // namespace

TurnOutcome ChooseMove(Engine& e) {
  TurnOutcome t;
  const Colour side = SideToMove(e);
  e.driver.engineIsBlack = side == Black ? 1 : 0;
  t.before = e.GamePosition;
  const EngineChoice choice = side == White ? ChooseEngineMove<White>(e, MoveApplication::Report)
                                            : ChooseEngineMove<Black>(e, MoveApplication::Report);
  t.code = choice.code;
  t.fromBook = choice.fromBook;
  t.closesOpening = choice.closesOpening;
  t.search = choice.search;
  if (choice.fromBook) t.search.depth = 0;
  if (t.code > 0) t.move = choice.search.move;
  return t;
}

void ApplyTurn(Engine& e, const TurnOutcome& t) {
  if (t.fromBook || t.move == 0) return;
  PlayMove(e, t.move);
  if (t.closesOpening) CloseOpening(e);
}

bool PonderedSearchServes(const Engine& e, const SearchResult& found, int32_t depthLimit) {
  if (found.move == 0 || BookMayAnswer(e)) return false;
  return found.depth >= e.LastPredictedDepth + 1 && (depthLimit == 0 || found.depth <= depthLimit);
}

bool AnalyseAtDepth(Engine& e, int depth, SearchResult& result, const SearchLimits& limits) {
  PlanFixedDepth(e, depth, limits);
  result = SearchWithBudget(e, SideToMove(e));
  if (result.code <= 0) result = {};
  return result.code > 0;
}

Score ScoreFor(int32_t whiteValue, Colour side) {
  const int32_t v = side == White ? whiteValue : -whiteValue;
  if (v > MateThreshold) return {true, (32000 - v) / 10 + 1};
  if (v < -MateThreshold) return {true, -((32000 + v) / 10 + 1)};
  return {false, v};
}

}  // namespace ormedan
