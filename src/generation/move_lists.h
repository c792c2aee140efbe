// The pseudo-legal moves of one position, in generation order, built from
// three primitives: a step onto one square (king, knight), a slide along a
// ray (bishop, rook, queen) and the pawn moves. ListMoves walks the board
// for every move; ListCaptures finds only captures and promotions and uses
// the board as bits to skip pieces that reach no enemy piece.
//
// The moves go to a sink, which keeps or orders them:
//   Quiet(code)         a quiet move of any piece (castling included)
//   PieceCapture(code)  a capture by the king, a knight or a slider
//   PawnCapture(code)   a pawn capture, promotion or en passant
#pragma once

#include <cstdint>

#include "declare/position.h"
#include "generation/board_tables.h"
#include "utilita/attacks.h"

namespace ormedan::generation {

// ---- the primitives

// A step of piece `id` onto board byte `to`: quiet onto an empty square, a
// capture onto an enemy piece, nothing onto an own piece.
template <Colour C, class Sink> [[gnu::always_inline]] inline void StepTo(const Position& p, Sink& sink, int id, int to) {
  const int t = (&p.board[0][0])[to];
  if (t == 0)
    sink.Quiet(id + Steps.dest[to]);
  else if (Side<C>::IsEnemy(t))
    sink.PieceCapture(id + Steps.dest[to] + t * 65536);
}

// Every step of a king or knight, in the order of its table.
template <Colour C, class Sink>
[[gnu::always_inline]] inline void StepMoves(const Position& p, Sink& sink, int id, const uint8_t (&to)[90][8],
                                             const uint8_t (&count)[90]) {
  const int from = StepTables::Index(p.pieceFile[id], p.pieceRank[id]);
  for (int i = 0, n = count[from]; i < n; ++i) StepTo<C>(p, sink, id, to[from][i]);
}

// The captures among the steps. With a single enemy piece in reach it is
// taken at once (one capture has no order to keep); with none, nothing.
template <Colour C, class Sink>
[[gnu::always_inline]] inline void StepCaptures(const Position& p, Sink& sink, int id, uint64_t enemies,
                                                const uint64_t (&masks)[64], const uint8_t (&to)[90][8],
                                                const uint8_t (&count)[90]) {
  const uint64_t targets = masks[StepTables::Bit(p.pieceFile[id], p.pieceRank[id])] & enemies;
  if (targets == 0) return;
  if ((targets & (targets - 1)) == 0) {
    const int square = Steps.bitSquare[__builtin_ctzll(targets)];
    sink.PieceCapture(id + Steps.dest[square] + (&p.board[0][0])[square] * 65536);
    return;
  }
  StepMoves<C>(p, sink, id, to, count);  // the sink drops the quiet steps
}

// Along one ray from board byte `from`: every empty square, then the first
// occupied square when it holds an enemy piece.
template <Colour C, class Sink>
[[gnu::always_inline]] inline void Slide(const Position& p, Sink& sink, int id, int from, int dir) {
  const uint8_t* const ray = Steps.ray[from][dir];
  for (int i = 0, n = Steps.rayLength[from][dir]; i < n; ++i) {
    const int to = ray[i];
    const int t = (&p.board[0][0])[to];
    if (t != 0) {
      if (Side<C>::IsEnemy(t)) sink.PieceCapture(id + Steps.dest[to] + t * 65536);
      return;
    }
    sink.Quiet(id + Steps.dest[to]);
  }
}

// The capture along one ray from square bit `from`, the first piece found
// by a bit scan.
template <Colour C, class Sink>
[[gnu::always_inline]] inline void SlideCapture(const Position& p, Sink& sink, int id, int from, int dir,
                                                uint64_t occupied, uint64_t enemies) {
  const uint64_t ray = Steps.rayMask[from][dir];
  if ((ray & enemies) == 0) return;  // then the first piece is not an enemy's
  const uint64_t on = occupied & ray;
  const int bit = StepTables::TowardsLowerBits(dir) ? 63 - __builtin_clzll(on) : __builtin_ctzll(on);
  const int to = Steps.bitSquare[bit];
  const int t = (&p.board[0][0])[to];
  if (Side<C>::IsEnemy(t)) sink.PieceCapture(id + Steps.dest[to] + t * 65536);
}

// The pawn moves in pawnList order. On the rank before promotion: the push
// and the two captures, each as promotions (knight, bishop, rook, queen; in
// the capture plies knight and queen only). Elsewhere: the single and
// double step, the capture towards h, the one towards a, then en passant.
// CapturesOnly leaves out the steps and skips a pawn that attacks no
// enemy piece.
template <Colour C, bool CapturesOnly, class Sink>
[[gnu::always_inline]] inline void PawnMoves(const Position& p, Sink& sink, uint64_t enemies) {
  using S = Side<C>;
  constexpr int d = S::pawnStep;
  const auto enemyAt = [&p](int f, int r) -> int {
    const int id = p.board[f][r];
    return S::IsEnemy(id) ? id : 0;
  };
  const auto promotions = [&](int id, int tf, int tr, int captured) {
    if constexpr (CapturesOnly) {
      sink.PawnCapture(MakeMoveCode(id, tf, tr, captured, S::promoKnight));
      sink.PawnCapture(MakeMoveCode(id, tf, tr, captured, S::promoQueen));
    } else {
      for (int code = S::promoKnight; code <= S::promoQueen; ++code)
        sink.PawnCapture(MakeMoveCode(id, tf, tr, captured, code));
    }
  };
  for (int k = 1, count = p.pawnCount[C]; k <= count; ++k) {
    const int id = p.pawnList[C][k];
    const int f = p.pieceFile[id], r = p.pieceRank[id];
    const int tr = r + d;
    if (r == S::promotionFromRank) {
      if (p.board[f][tr] == 0) promotions(id, f, tr, 0);
      // Files 0 and 9 of the board are empty: no bounds test is needed.
      if (const int t = enemyAt(f + 1, tr)) promotions(id, f + 1, tr, t);
      if (const int t = enemyAt(f - 1, tr)) promotions(id, f - 1, tr, t);
      continue;
    }
    if constexpr (!CapturesOnly) {
      if (p.board[f][tr] == 0) {
        sink.Quiet(MakeMoveCode(id, f, tr));
        if (r == S::startRank && p.board[f][tr + d] == 0) sink.Quiet(MakeMoveCode(id, f, tr + d));
      }
    }
    if (!CapturesOnly || (Steps.pawnMask[C][StepTables::Bit(f, r)] & enemies) != 0) {
      if (const int t = enemyAt(f + 1, tr)) sink.PawnCapture(MakeMoveCode(id, f + 1, tr, t));
      if (const int t = enemyAt(f - 1, tr)) sink.PawnCapture(MakeMoveCode(id, f - 1, tr, t));
    }
    const int ep = p.enPassantFile;
    if (ep > 0 && r == S::enPassantRank && (ep == f - 1 || ep == f + 1)) {
      // The pawn beside is the one that has just advanced two squares; the
      // square behind it is empty. A position whose en-passant file does
      // not describe such a pawn offers no en-passant capture.
      const int victim = p.board[ep][r];
      if (p.pieceValue[victim] == -S::sign * PawnValue && p.board[ep][tr] == 0)
        sink.PawnCapture(MakeMoveCode(id, ep, tr, victim));
    }
  }
}

// Castling, the short one first: the corner must still hold the original
// rook, the squares between must be empty, and the king may not cross or
// reach an attacked square (the b-square of the long side does not matter).
template <Colour C, class Sink> [[gnu::always_inline]] inline void Castlings(const Position& p, Sink& sink) {
  using S = Side<C>;
  constexpr int h = S::homeRank;
  if (S::ShortRight(p) && p.board[6][h] == 0 && p.board[7][h] == 0 && p.board[8][h] == S::shortRook &&
      SquareAttacked(p, 6, h, C) == 0 && SquareAttacked(p, 7, h, C) == 0)
    sink.Quiet(S::shortCastle);
  if (S::LongRight(p) && p.board[2][h] == 0 && p.board[3][h] == 0 && p.board[4][h] == 0 &&
      p.board[1][h] == S::longRook && SquareAttacked(p, 4, h, C) == 0 && SquareAttacked(p, 3, h, C) == 0)
    sink.Quiet(S::longCastle);
}

// ---- the two lists, in the groups' order: king, castling, pawns, knights,
// diagonal sliders (bishops and queens, rays 0..3), orthogonal sliders
// (rooks and queens, rays 4..7). A queen thus comes twice.

template <Colour C, class Sink> void ListMoves(const Position& p, Sink& sink, bool castlingAllowed) {
  StepMoves<C>(p, sink, Side<C>::ownKing, Steps.kingTo, Steps.kingCount);
  if (castlingAllowed) Castlings<C>(p, sink);
  PawnMoves<C, false>(p, sink, 0);
  for (int k = 1, n = p.knightCount[C]; k <= n; ++k)
    StepMoves<C>(p, sink, p.knightList[C][k], Steps.knightTo, Steps.knightCount);
  const auto sliders = [&](const uint8_t* list, int count, int kind) {
    for (int k = 1; k <= count; ++k) {
      const int id = list[k], from = StepTables::Index(p.pieceFile[id], p.pieceRank[id]);
      for (int dir = 4 * kind; dir < 4 * kind + 4; ++dir) Slide<C>(p, sink, id, from, dir);
    }
  };
  sliders(p.diagonalList[C], p.diagonalCount[C], 0);
  sliders(p.orthogonalList[C], p.orthogonalCount[C], 1);
}

// Captures and promotions only; a slider none of whose rays holds an enemy
// piece is skipped.
template <Colour C, class Sink> void ListCaptures(const Position& p, Sink& sink) {
  const BoardBits bits(p);
  const uint64_t occupied = bits.occupied, enemies = C == White ? bits.black : bits.White();
  StepCaptures<C>(p, sink, Side<C>::ownKing, enemies, Steps.kingMask, Steps.kingTo, Steps.kingCount);
  PawnMoves<C, true>(p, sink, enemies);
  for (int k = 1, n = p.knightCount[C]; k <= n; ++k)
    StepCaptures<C>(p, sink, p.knightList[C][k], enemies, Steps.knightMask, Steps.knightTo, Steps.knightCount);
  const auto sliders = [&](const uint8_t* list, int count, int kind) {
    for (int k = 1; k <= count; ++k) {
      const int id = list[k], from = StepTables::Bit(p.pieceFile[id], p.pieceRank[id]);
      if ((Steps.rayUnion[from][kind] & enemies) == 0) continue;
      for (int dir = 4 * kind; dir < 4 * kind + 4; ++dir) SlideCapture<C>(p, sink, id, from, dir, occupied, enemies);
    }
  };
  sliders(p.diagonalList[C], p.diagonalCount[C], 0);
  sliders(p.orthogonalList[C], p.orthogonalCount[C], 1);
}

// ---- the sinks of the two generators

// GenerateMoves' order: piece captures in order, pawn captures and
// promotions reversed, killer-flagged quiet moves in order, other quiet
// moves reversed.
struct OrderingSink {
  explicit OrderingSink(const uint8_t* killerFlags) : killers(killerFlags) {}
  void Quiet(int32_t code) {
    if (killers[code & 0xFFFF])
      killerMoves[killerCount++] = code;
    else
      quietMoves[quietCount++] = code;
  }
  void PieceCapture(int32_t code) { pieceCaptures[pieceCaptureCount++] = code; }
  void PawnCapture(int32_t code) { pawnCaptures[pawnCaptureCount++] = code; }

  // Writes the final order into list; returns the number of moves.
  int Assemble(int32_t* list) const {
    int n = 0;
    for (int i = 0; i < pieceCaptureCount; ++i) list[n++] = pieceCaptures[i];
    for (int i = pawnCaptureCount - 1; i >= 0; --i) list[n++] = pawnCaptures[i];
    for (int i = 0; i < killerCount; ++i) list[n++] = killerMoves[i];
    for (int i = quietCount - 1; i >= 0; --i) list[n++] = quietMoves[i];
    return n;
  }

  const uint8_t* killers;
  int pieceCaptureCount = 0, pawnCaptureCount = 0, killerCount = 0, quietCount = 0;
  int32_t pieceCaptures[MaxCaptureMoves];
  int32_t pawnCaptures[MaxCaptureMoves];
  int32_t killerMoves[MaxQuietMoves];
  int32_t quietMoves[MaxQuietMoves];
};

// GenerateCaptures' split into good captures (the victim is worth clearly
// more than the capturer) and the others, each in generation order.
template <Colour C> struct CaptureSink {
  explicit CaptureSink(const Position& position) : p(position) {}
  void Quiet(int32_t) {}
  void PieceCapture(int32_t code) { Add(code, Side<C>::sign * p.pieceValue[MovePiece(code)]); }
  void PawnCapture(int32_t code) { Add(code, PawnValue); }
  // Good: the victim's value magnitude less 196 above the mover's. The
  // mover is ours, the victim the enemy's (none for a plain promotion: 0).
  void Add(int32_t code, int mover) {
    const int victim = -Side<C>::sign * p.pieceValue[MoveCaptured(code)];
    if (victim - 196 > mover)
      good[goodCount++] = code;
    else
      other[otherCount++] = code;
  }

  const Position& p;
  int goodCount = 0, otherCount = 0;
  int32_t good[MaxCaptureMoves];
  int32_t other[MaxCaptureMoves];
};

}  // namespace ormedan::generation
