// The values and fixed shape of the search tree, shared by the driver and
// its loop nest (search_impl.h): the colour traits of the drivers, mate
// values and the comparisons of the side to move, the constants of the
// tree's shape, and the tally of the root values.
#pragma once

#include <cstdint>

#include "declare/colour_asymmetries.h"
#include "declare/engine.h"

namespace ormedan {

// What differs between the two search drivers besides the deliberate
// asymmetries (declare/colour_asymmetries.h): the mirrored signs.
template <Colour C> struct SearchSide;

template <> struct SearchSide<White> : ColourAsymmetry<White> {
  // Reply table item: larger is better for the replying side (black).
  static int64_t ReplyItem(int32_t runningValue, int32_t reply) {
    return (int64_t{35000} - runningValue) * 4294967296LL + reply;
  }
};

template <> struct SearchSide<Black> : ColourAsymmetry<Black> {
  static int64_t ReplyItem(int32_t runningValue, int32_t reply) {
    return (int64_t{35000} + runningValue) * 4294967296LL + reply;
  }
};

namespace search_detail {

// Mate value of ply p: shrinks by 10 every two plies.
constexpr int32_t MateValue(int ply) { return 32000 - 10 * ((ply - 1) / 2); }

// Starting value of a node where M is to move and expanded with the full
// generator at ply p: M mated there.
template <Colour M> constexpr int32_t MatedAt(int ply) { return M == White ? -MateValue(ply) : MateValue(ply); }

// The better of two values for the side M to move.
template <Colour M> constexpr int32_t Improve(int32_t v, int32_t child) {
  if constexpr (M == White) return child > v ? child : v;
  else return child < v ? child : v;
}

// V reaches X: at least as good as X for the side to move.
template <Colour M> constexpr bool Reaches(int32_t v, int32_t x) {
  if constexpr (M == White) return v >= x;
  else return v <= x;
}

// V passes X: strictly better than X for the side to move.
template <Colour M> constexpr bool Passes(int32_t v, int32_t x) {
  if constexpr (M == White) return v > x;
  else return v < x;
}

// The worst value for the side M.
template <Colour M> constexpr int32_t WorstFor() { return M == White ? -32000 : 32000; }

// Side to move at node N_K of a search whose root side is S.
template <Colour S, int K> constexpr Colour MoverAt = (K % 2 == 1) ? Other(S) : S;

// Deepest ply of the main search; its children are valued by material.
constexpr int LastMainPly = 15;

// Plies 4 and 5 of the main search get at least the capture generator,
// however near the horizon; deeper plies only up to HorizonPly.
constexpr int AlwaysCapturesToPly = 5;

// The nominal depths at which the node at that depth gets its positional
// evaluation; at other depths the tree is valued by material alone.
constexpr int FirstEvaluatedDepth = 3, LastEvaluatedDepth = 9;

// The deepest ply of the captures of a main search: one beyond the depth,
// and one more for every three pieces on the board (pawns counting half),
// so that long exchanges are followed while they can still be long.
constexpr int PiecesPerHorizonPly = 3;
constexpr int HorizonFor(int pieces, int depth) { return pieces / PiecesPerHorizonPly + depth + 1; }

// Best and second root values of one main search and the final choice.
template <Colour S> struct RootTally {
  int32_t best = WorstFor<S>();
  int32_t second = WorstFor<S>();  // the bound the tree prunes against
  int bestIndex = 0, secondIndex = 0;

  void Update(int i, int32_t v) {
    if (Passes<S>(v, second)) {
      secondIndex = i;
      second = v;
    }
    if (Passes<S>(v, best)) {
      secondIndex = bestIndex;
      bestIndex = i;
      // The bound stays within 2 of the best, so that a move nearly as good
      // is still searched to its value.
      const int32_t gain = S == White ? v - best : best - v;
      second = gain < 2 ? best : (S == White ? v - 2 : v + 2);
      best = v;
    }
  }

  // The root index to play among n: when the second is less than 2 from the
  // best, a coin decides between them.
  int Choose(Random& rng, int n) const {
    const int32_t gap = second > best ? second - best : best - second;
    if (gap < 2 && n > 1 && rng.Below(2) == 1) return secondIndex;
    return bestIndex;
  }
};

}  // namespace search_detail

}  // namespace ormedan
