// The engine's turn: a book move while the game is in its opening, otherwise
// a search; then the statistics, the move line and the end of the game.
#include <charconv>
#include <cstring>
#include <string_view>

#include "Alivelli/fixed_depth.h"
#include "Alivelli/search.h"
#include "declare/line_builder.h"
#include "declare/model.h"
#include "generation/generate.h"
#include "winboard/driver.h"
#include "winboard/results.h"

namespace ormedan {

namespace {

// What differs between the white and the black turn.
template <Colour C> struct TurnSide;

template <> struct TurnSide<White> {
  static constexpr std::string_view opening = {};
  static constexpr bool moveLineFirst = false;  // counts black's replies, then prints
};

template <> struct TurnSide<Black> {
  static constexpr std::string_view opening = "comincio a pensare";
  static constexpr bool moveLineFirst = true;  // prints, then counts white's replies
};

// The result line of a code at the engine's turn (before its move, or
// after it, for the opponent's replies).
template <Colour C> std::string_view TurnResultLine(int code, bool afterOwnMove) {
  return ResultLine(code, afterOwnMove ? MateLine(C, MateSeen::EngineMates) : MateLine(Other(C), MateSeen::EngineMated));
}

void WriteResult(Engine& e, std::string_view line) {
  if (!line.empty()) e.Write(line);
}

void WriteNumberLine(Engine& e, std::string_view prefix, int64_t value, std::string_view suffix) {
  e.Write(LineBuilder().Text(prefix).Number(value).Text(suffix).View());
}

void WriteStatistics(Engine& e) {
  WriteNumberLine(e, "analizzati ", e.NodeCount, " nodi");
  WriteNumberLine(e, "in ", ElapsedCentiseconds(e), " centisecondi");
  WriteNumberLine(e, "su ", e.budget.moveCs, " previsti");
}

}  // namespace

template <Colour C> EngineChoice ChooseEngineMove(Engine& e, MoveApplication how) {
  using S = TurnSide<C>;
  if (!S::opening.empty()) e.Write(S::opening);

  EngineChoice choice;
  const bool opening = e.GamePosition.gamePhase == 1;
  if (BookMayAnswer(e) && (BookLookup(e) || DrawBookLookup(e))) {
    // The book has played its move into the game.
    choice.code = 1;
    choice.fromBook = true;
    choice.search.move = e.MoveHistory.Count() > 0 ? e.MoveHistory.At(e.MoveHistory.Stored() - 1) : 0;
    return choice;
  }
  choice.search = Search<C>(e);
  choice.code = choice.search.code;
  // A search in the opening ends it, as a book miss does: the books stay
  // closed for the rest of the game.
  choice.closesOpening = opening;
  if (how == MoveApplication::Commit) {
    CommitSearchResult(e, choice.search);
    if (opening) CloseOpening(e);
  }
  WriteStatistics(e);
  return choice;
}

void CloseOpening(Engine& e) {
  e.GamePosition.gamePhase = 2;
  e.Record.openingClosedAt = e.MoveHistory.Count();
}

template <Colour C> void PlayEngineTurn(Engine& e) {
  using S = TurnSide<C>;
  const int r = ChooseEngineMove<C>(e, MoveApplication::Commit).code;
  if (r > 0) {
    if (S::moveLineFirst) PrintEngineMove(e);
    const int count = GenerateMoves<Side<C>::enemy>(e, 1, 1);
    if (!S::moveLineFirst) PrintEngineMove(e);
    WriteResult(e, TurnResultLine<C>(count, true));
  } else {
    WriteResult(e, TurnResultLine<C>(r, false));
  }
}

template <Colour C> std::string_view EngineResultLine(int code, bool afterOwnMove) {
  return TurnResultLine<C>(code, afterOwnMove);
}

template EngineChoice ChooseEngineMove<White>(Engine&, MoveApplication);
template EngineChoice ChooseEngineMove<Black>(Engine&, MoveApplication);
template std::string_view EngineResultLine<White>(int, bool);
template std::string_view EngineResultLine<Black>(int, bool);
template void PlayEngineTurn<White>(Engine&);
template void PlayEngineTurn<Black>(Engine&);

void PrintEngineMove(Engine& e) {
  char line[16] = "move ";
  const std::string_view move = EngineMoveText(e.EngineMove, line + 5);
  e.Write(std::string_view(line, 5 + move.size()));
}

}  // namespace ormedan
