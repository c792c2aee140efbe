// What legality needs to know about the lines to the kings, without making
// any move: the pinned pieces, the pieces that can uncover a check, the
// sliders that can reach the own king once a piece has moved (KingGuard),
// the pawns and knights that give check, and the king's own steps.
#pragma once

#include <cstdint>

#include "declare/position.h"
#include "utilita/attacks.h"

namespace ormedan::generation {

// A slider on the file, rank or diagonal of a king square, with at most one
// piece strictly between them.
struct SliderLine {
  uint8_t slider;
  uint8_t blocker;            // the piece between, 0 for none
  int8_t stepFile, stepRank;  // from the king towards the slider
  uint8_t distance;           // in steps
};

// Calls found(line) for every slider of colour `sliders` that stands on a
// line with the square (kf, kr) with at most one piece between: rooks and
// queens along files and ranks, then bishops and queens along diagonals,
// in list order.
template <class Found>
[[gnu::always_inline]] inline void ForEachSliderLine(const Position& p, int kf, int kr, int sliders, Found&& found) {
  const auto scan = [&](int q, int df, int dr) {
    SliderLine l{};
    l.slider = static_cast<uint8_t>(q);
    l.stepFile = static_cast<int8_t>((df > 0) - (df < 0));
    l.stepRank = static_cast<int8_t>((dr > 0) - (dr < 0));
    const int adf = df < 0 ? -df : df, adr = dr < 0 ? -dr : dr;
    l.distance = static_cast<uint8_t>(adf > adr ? adf : adr);
    int f = kf + l.stepFile, r = kr + l.stepRank;
    for (int t = 1; t < l.distance; ++t, f += l.stepFile, r += l.stepRank) {
      const int id = p.board[f][r];
      if (id == 0) continue;
      if (l.blocker != 0) return;  // two pieces between: no single move opens this line
      l.blocker = static_cast<uint8_t>(id);
    }
    found(l);
  };
  for (int k = 1, n = p.orthogonalCount[sliders]; k <= n; ++k) {
    const int q = p.orthogonalList[sliders][k];
    const int df = p.pieceFile[q] - kf, dr = p.pieceRank[q] - kr;
    if ((df == 0) != (dr == 0)) scan(q, df, dr);
  }
  for (int k = 1, n = p.diagonalCount[sliders]; k <= n; ++k) {
    const int q = p.diagonalList[sliders][k];
    const int df = p.pieceFile[q] - kf, dr = p.pieceRank[q] - kr;
    if (df != 0 && (df == dr || df == -dr)) scan(q, df, dr);
  }
}

// The pieces (as a bit per PieceId, bit id - 1) that stand alone between
// the square (kf, kr) and a slider of colour `sliders`. With the enemy's
// sliders and the own king these are the pinned pieces; with the own
// sliders and the enemy king, the pieces whose move can uncover a check.
inline uint32_t LoneBlockers(const Position& p, int kf, int kr, int sliders) {
  uint32_t mask = 0;
  ForEachSliderLine(p, kf, kr, sliders, [&mask](const SliderLine& l) {
    if (l.blocker != 0) mask |= 1u << (l.blocker - 1);
  });
  return mask;
}

inline bool InMask(uint32_t mask, int id) { return (mask >> (id - 1)) & 1u; }

// The enemy sliders that could attack the own king once one piece other
// than the king has moved. With the king not moving, such a move exposes
// the king exactly when it takes the lone piece off a line (or leaves a
// line open) without stepping onto that line between the slider and the
// king, and without capturing the slider. This answers "does
// SliderAttacksSquare on the king find a slider after the move" without
// making the move, for every move but en passant (which also empties the
// victim's square).
struct KingGuard {
  int kf = 0, kr = 0;
  int count = 0;
  SliderLine lines[MaxOrthogonalSlots + MaxDiagonalSlots];

  void Build(const Position& p, int kingFile, int kingRank, int enemy) {
    kf = kingFile;
    kr = kingRank;
    count = 0;
    ForEachSliderLine(p, kf, kr, enemy, [this](const SliderLine& l) { lines[count++] = l; });
  }

  // (f, r) lies strictly between the king and the slider of line l.
  bool Between(const SliderLine& l, int f, int r) const {
    const int df = f - kf, dr = r - kr;
    const int t = l.stepFile != 0 ? df * l.stepFile : dr * l.stepRank;
    return t > 0 && t < l.distance && df == t * l.stepFile && dr == t * l.stepRank;
  }

  // After `mover` (not the king) goes to (tf, tr), capturing `captured`
  // (0 for none) there, does an enemy slider attack the king? `toEmpty`:
  // the destination was empty before.
  bool Exposed(int mover, int tf, int tr, int captured, bool toEmpty) const {
    for (int i = 0; i < count; ++i) {
      const SliderLine& l = lines[i];
      if (l.slider == captured) continue;
      int pieces = l.blocker != 0 && l.blocker != mover ? 1 : 0;
      if (toEmpty && Between(l, tf, tr)) ++pieces;
      if (pieces == 0) return true;
    }
    return false;
  }
};

// The own king of colour C in check on (kf, kr): the enemy pawns and
// knights that give it, their number in *count and the last one in *last.
// A move other than the king's must take the only one of them (the
// sliders are KingGuard's).
template <Colour C> inline void CheckingJumpers(const Position& p, int kf, int kr, int* count, int* last) {
  using S = Side<C>;
  int n = 0, id = 0;
  if (C == White ? kr < 7 : kr > 2) {
    for (const int f : {kf + 1, kf - 1}) {
      const int q = p.board[f][kr + S::pawnStep];
      if (p.pieceValue[q] == -S::sign * PawnValue) {
        ++n;
        id = q;
      }
    }
  }
  for (int k = 1, c = p.knightCount[S::enemy]; k <= c; ++k) {
    const int q = p.knightList[S::enemy][k];
    if (attack_detail::KnightJump(p.pieceFile[q], p.pieceRank[q], kf, kr)) {
      ++n;
      id = q;
    }
  }
  *count = n;
  *last = id;
}

// Would the own king stand attacked on (tf, tr) after moving there from
// (ff, fr)? Asked on a copy of the source with the king's square emptied:
// the destination itself is never read by the attack tests, and a piece
// captured there attacks no square it stands on, so the answer is the same
// as SquareAttacked on the made child being non-zero.
template <Colour C> inline bool KingStepAttacked(Position& scratch, int ff, int fr, int tf, int tr) {
  scratch.board[ff][fr] = 0;
  const bool attacked = SquareAttacked(scratch, tf, tr, C) != 0;
  scratch.board[ff][fr] = static_cast<uint8_t>(Side<C>::ownKing);
  return attacked;
}

}  // namespace ormedan::generation
