// The checkingPiece of a child: which piece of the side that has just moved
// attacks the enemy king. The full generator finds every check, by the
// mover or uncovered behind it; the capture generator of the quiescence
// plies marks only the checks it can find cheaply (CaptureRule), and at the
// horizon none (InheritRule: the child keeps the parent's mark, which is 0).
#pragma once

#include <cstdint>

#include "declare/colour_asymmetries.h"
#include "declare/engine.h"
#include "generation/board_tables.h"
#include "generation/legality.h"
#include "generation/pending.h"
#include "utilita/attacks.h"

namespace ormedan::generation {

// A slider of `side` flagged on a line with the other king (kingLine, kept
// by MakeMove). Only a bishop, rook or queen ever gets the flag, and a
// captured piece keeps its flag but has value 0; so a living piece of the
// side with the flag is one of its sliders (CheckPosition tests this), and
// the sixteen PieceIds of the side are looked at together.
inline bool SliderOnKingLine(const Position& p, int side) {
  const int first = side == White ? 1 : 17;
  return (NonZeroBytes(p.kingLine + first, p.kingLine + first + 8) & NonZeroWords(p.pieceValue + first)) != 0;
}

// Any pawn of colour C beside the square behind the enemy king, as the pawn
// rule of PieceAttacksSquare asks: a pawn of ours attacks the king's square.
template <Colour C> inline bool PawnBesideKing(const Position& p, int ekf, int ekr) {
  using S = Side<C>;
  if (C == White ? ekr <= 2 : ekr >= 7) return false;
  const int r = ekr - S::pawnStep, pawn = S::sign * PawnValue;
  return p.pieceValue[p.board[ekf - 1][r]] == pawn || p.pieceValue[p.board[ekf + 1][r]] == pawn;
}

// PieceAttacksSquare for the piece that has just moved, of colour C, against
// the enemy king: the same answer, with the kind tested once.
template <Colour C> inline int DirectCheck(const Position& child, int ekf, int ekr, int mover) {
  using namespace attack_detail;
  using S = Side<C>;
  const int qf = child.pieceFile[mover], qr = child.pieceRank[mover];
  switch (child.pieceValue[mover] * S::sign) {
    case PawnValue:
      return PawnBesideKing<C>(child, ekf, ekr) ? mover : 0;
    case KnightValue:
      return KnightJump(qf, qr, ekf, ekr) ? mover : 0;
    case BishopValue:
      return Diagonal(child, qf, qr, ekf, ekr) ? mover : 0;
    case RookValue:
      return Orthogonal(child, qf, qr, ekf, ekr) ? mover : 0;
    case QueenValue:
      return Orthogonal(child, qf, qr, ekf, ekr) || Diagonal(child, qf, qr, ekf, ekr) ? mover : 0;
    default:
      return 0;  // the king
  }
}

// The child's checkingPiece under rule R, from the move's source `src` and
// the facts recorded for the ply in pp.
template <Colour C, CheckRule R>
[[gnu::always_inline]] inline int ChildCheckBy(const PendingPly& pp, const Position& src, const Position& child,
                                               int32_t code) {
  using S = Side<C>;
  using A = ColourAsymmetry<C>;
  if constexpr (R == InheritRule) {
    return pp.inheritedCheck;
  } else {
    const int mover = MovePiece(code);
    const int ekf = src.pieceFile[S::enemyKing], ekr = src.pieceRank[S::enemyKing];
    if constexpr (R == FullRule) {
      // The mover's direct check, else a slider's. A check by a piece other
      // than the mover can only be uncovered by a piece standing alone
      // between the enemy king and one of our sliders (or by the rook of a
      // castling, or through the square of a pawn taken en passant), unless
      // a slider of ours attacks that king already.
      int checker;
      if (child.pieceValue[mover] == S::sign * PawnValue && !pp.pawnBesideKing) {
        // No pawn of ours attacked the king's square before the move, so
        // the pawn rule of DirectCheck finds one only if the mover went to
        // such a square.
        const int toFile = MoveToFile(code), toRank = MoveToRank(code);
        checker = toRank == ekr - S::pawnStep && (toFile == ekf - 1 || toFile == ekf + 1) ? mover : 0;
      } else {
        checker = DirectCheck<C>(child, ekf, ekr, mover);
      }
      if (checker == 0) {
        const int toFile = MoveToFile(code);
        const int fromFile = src.pieceFile[mover];
        const bool castling = mover == S::ownKing && (toFile - fromFile == 2 || fromFile - toFile == 2);
        const bool enPassant = MoveCaptured(code) != 0 && src.board[toFile][MoveToRank(code)] == 0;
        if (pp.enemyKingAttacked || castling || enPassant || InMask(pp.uncovering, mover))
          checker = SliderAttacksSquare(child, ekf, ekr, S::enemy);
      }
      return checker;
    } else {
      // Capture plies: rooks and queens, and for white a knight leaving a
      // square of the enemy king's colour, are tested for a direct check; a
      // discovered check is looked for only when one of our sliders is on a
      // line with it (for black along files and ranks only).
      const int v = src.pieceValue[mover] * S::sign;
      bool candidate = v == RookValue || v == QueenValue;
      if constexpr (A::knightsCheckDirectly) {
        if (v == KnightValue)
          candidate = ((src.pieceFile[mover] + src.pieceRank[mover]) & 1) == ((ekf + ekr) & 1);
      }
      int checker = 0;
      if (candidate) checker = DirectCheck<C>(child, ekf, ekr, mover);
      if (checker == 0 && SliderOnKingLine(src, C)) {
        if constexpr (A::discoveredChecksOnDiagonals)
          checker = SliderAttacksSquare(child, ekf, ekr, S::enemy);
        else
          checker = OrthogonalAttacksSquare(child, ekf, ekr, S::enemy);
      }
      return checker;
    }
  }
}

}  // namespace ormedan::generation
