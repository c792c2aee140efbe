// The result lines that end a game, for every mode: one table. The plain
// protocol words a checkmate three ways, by who announces it and when; the
// protocol modes use the same lines (clients read the score before the
// brace).
#pragma once

#include <string_view>

#include "declare/position.h"

namespace ormedan {

inline constexpr std::string_view kStalemateLine = "1/2-1/2 {Stalemate}";
inline constexpr std::string_view kRepetitionLine = "1/2-1/2 {Draw by repetition}";
inline constexpr std::string_view kInsufficientMaterialLine = "1/2-1/2 {Draw : Insufficent Material}";
inline constexpr std::string_view kFiftyMovesLine = "1/2-1/2 {Draw : 50 moves}";

// Where a checkmate is announced.
enum class MateSeen {
  EngineMated,    // at the engine's turn, before it moves
  EngineMates,    // after the engine's own move
  OpponentMates,  // after the opponent's move
};

// The checkmate line of `winner`.
constexpr std::string_view MateLine(Colour winner, MateSeen seen) {
  const bool white = winner == White;
  switch (seen) {
    case MateSeen::EngineMated: return white ? "1-0 {White Wins}" : "0-1 {Black wins}";
    case MateSeen::EngineMates: return white ? "1-0 {White Wins}" : "0-1 {Black Wins}";
    case MateSeen::OpponentMates: return white ? "1-0 {white win}" : "0-1 {Black win}";
  }
  return {};
}

// The result line of a result code (-1 stalemate, -2 checkmate of the side
// examined, -3 repetition, -4 insufficient material, -5 fifty moves); empty
// for a code that ends nothing. `mate` is the line for -2.
constexpr std::string_view ResultLine(int code, std::string_view mate) {
  switch (code) {
    case -1: return kStalemateLine;
    case -2: return mate;
    case -3: return kRepetitionLine;
    case -4: return kInsufficientMaterialLine;
    case -5: return kFiftyMovesLine;
    default: return {};
  }
}

}  // namespace ormedan
