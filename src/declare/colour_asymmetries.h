// The places where white and black are deliberately not mirror images.
//
// Everything else that differs between the colours is the geometric mirror
// (directions, ranks, PieceIds, signs) and lives in the colour traits
// (Side<C> in declare/position.h and the traits of each module). The values
// below are not mirrored on purpose: they are this engine's behaviour, and
// "fixing" one changes the tree the search walks. The bench signature
// (ormedan-tool bench ends with "nodes 91565322") and the tests of the search
// (search_time_test, search_model_test) and of capture generation
// (captures_test) pin them.
//
// The engine turn has further intended differences: the result texts of
// winboard/results.h (MateLine: "0-1 {Black wins}" when the engine playing
// white is mated against "0-1 {Black Wins}" when the engine playing black
// mates), and in winboard/engine_turn.cpp (TurnSide) the "comincio a
// pensare" line of black only and the order of the move line and the reply
// count. The evaluation's terms that are not mirror images are listed in
// valutazioni/eval_terms.h.
#pragma once

#include <cstdint>
#include <string_view>

#include "declare/position.h"

namespace ormedan {

template <Colour C> struct ColourAsymmetry;

template <> struct ColourAsymmetry<White> {
  // Search: the deepest ply that the pre-analysis generates.
  static constexpr int lastPreAnalysisPly = 7;
  // Search: the deepest ply at which a node gets the full generator
  // because the nominal depth reaches it.
  static constexpr int lastFullWidthPly = 15;
  // Search: the first depth lowering (at a fifth of the budget) also needs
  // a depth above 4, and its line has no space before the number.
  static constexpr bool firstLoweringNeedsDepthAbove4 = true;
  static constexpr std::string_view firstLoweringText = "regolata profondit\xE0 a";
  // Search: the killer table index of a cutting move, or -1 when it is not
  // flagged. White flags every cutting move by its low 16 bits.
  static int KillerIndex(int32_t move) { return move & 0xFFFF; }

  // Capture generation below the horizon: a knight is tested for a direct
  // check when it leaves a square of the enemy king's square colour.
  static constexpr bool knightsCheckDirectly = true;
  // Capture generation below the horizon: discovered checks are looked for
  // along diagonals too, not only along files and ranks.
  static constexpr bool discoveredChecksOnDiagonals = true;
};

template <> struct ColourAsymmetry<Black> {
  static constexpr int lastPreAnalysisPly = 8;
  static constexpr int lastFullWidthPly = 12;
  static constexpr bool firstLoweringNeedsDepthAbove4 = false;
  static constexpr std::string_view firstLoweringText = "regolata profondit\xE0 a ";
  // Black flags only quiet moves (codes below 60000), at the code itself.
  static int KillerIndex(int32_t move) { return move < 60000 ? move : -1; }

  static constexpr bool knightsCheckDirectly = false;
  static constexpr bool discoveredChecksOnDiagonals = false;
};

}  // namespace ormedan
