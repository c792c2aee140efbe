// Attack tests. Each takes a square and the colour that owns it and returns
// the PieceId of an attacking enemy piece, or 0.
//
// They walk the enemy's piece lists rather than scanning out from the
// square. The answer is the last attacker in the order king, pawns, rooks
// and queens (list order), bishops and queens (list order), and knights
// (list order, only when nothing else attacks). They run for every trial
// move, so they are defined here to be inlined into the generators.
#pragma once

#include "declare/lines.h"
#include "declare/position.h"

namespace ormedan {

namespace attack_detail {

// Squares strictly between files a and b on rank r are empty.
inline bool RankOpen(const Position& p, int a, int b, int r) {
  const int lo = a < b ? a : b, hi = a < b ? b : a;
  for (int x = lo + 1; x < hi; ++x)
    if (p.board[x][r] != 0) return false;
  return true;
}

// Squares strictly between ranks a and b on file f are empty.
inline bool FileOpen(const Position& p, int f, int a, int b) {
  const int lo = a < b ? a : b, hi = a < b ? b : a;
  for (int y = lo + 1; y < hi; ++y)
    if (p.board[f][y] != 0) return false;
  return true;
}

// Slider on (qf, qr) attacks (f, r) along its rank or file.
inline bool Orthogonal(const Position& p, int qf, int qr, int f, int r) {
  if (qr == r) return qf != f && RankOpen(p, qf, f, r);
  if (qf == f) return FileOpen(p, f, qr, r);
  return false;
}

// Slider on (qf, qr) attacks (f, r) along a diagonal.
inline bool Diagonal(const Position& p, int qf, int qr, int f, int r) {
  const int d = Distance(qf, f);
  if (d == 0 || d != Distance(qr, r)) return false;
  const int sf = qf > f ? 1 : -1, sr = qr > r ? 1 : -1;
  for (int i = 1; i < d; ++i)
    if (p.board[f + i * sf][r + i * sr] != 0) return false;
  return true;
}

inline bool KnightJump(int qf, int qr, int f, int r) {
  const int t = (qf - f) * (qr - r);
  return t == 2 || t == -2;
}

// The last slider of list[1..count] that attacks (f, r) along its lines:
// the list is walked backwards and the first hit returned.
template <bool (*Attacks)(const Position&, int, int, int, int)>
inline int LastOnLine(const Position& p, const uint8_t* list, int count, int f, int r) {
  for (int k = count; k >= 1; --k) {
    const int q = list[k];
    if (Attacks(p, p.pieceFile[q], p.pieceRank[q], f, r)) return q;
  }
  return 0;
}

// Last enemy rook or queen in list order attacking (f, r) along a file or
// rank, and last bishop or queen along a diagonal.
inline int LastOrthogonal(const Position& p, int f, int r, int enemy) {
  return LastOnLine<Orthogonal>(p, p.orthogonalList[enemy], p.orthogonalCount[enemy], f, r);
}
inline int LastDiagonal(const Position& p, int f, int r, int enemy) {
  return LastOnLine<Diagonal>(p, p.diagonalList[enemy], p.diagonalCount[enemy], f, r);
}

}  // namespace attack_detail

// Full test: king, pawns, rooks and queens, bishops and queens, then
// knights if nothing was found. The answer is the last hit in that order,
// so the walk runs backwards and stops at the first hit: the same result
// without looking at the attackers that would have been overwritten.
inline int SquareAttacked(const Position& p, int file, int rank, int colour) {
  using namespace attack_detail;
  const int enemy = colour == White ? Black : White;
  if (const int q = LastDiagonal(p, file, rank, enemy)) return q;
  if (const int q = LastOrthogonal(p, file, rank, enemy)) return q;
  // Border files 0 and 9 are empty, so file +-1 needs no bounds test; the
  // rank is tested before looking one rank beyond the square.
  if (colour == White) {
    if (rank < 7) {
      const int b = p.board[file + 1][rank + 1];
      if (p.pieceValue[b] == -PawnValue) return b;
      const int a = p.board[file - 1][rank + 1];
      if (p.pieceValue[a] == -PawnValue) return a;
    }
  } else {
    if (rank > 2) {
      const int b = p.board[file + 1][rank - 1];
      if (p.pieceValue[b] == PawnValue) return b;
      const int a = p.board[file - 1][rank - 1];
      if (p.pieceValue[a] == PawnValue) return a;
    }
  }
  const int king = colour == White ? 17 : 1;
  if (Distance(p.pieceFile[king], file) <= 1 && Distance(p.pieceRank[king], rank) <= 1) return king;
  const uint8_t* list = p.knightList[enemy];
  for (int k = p.knightCount[enemy]; k >= 1; --k) {
    const int q = list[k];
    if (KnightJump(p.pieceFile[q], p.pieceRank[q], file, rank)) return q;
  }
  return 0;
}

// Does the given piece attack the square? Kings are never reported. For a
// pawn the question is whether any pawn of that pawn's colour attacks it.
inline int PieceAttacksSquare(const Position& p, int file, int rank, int piece, int colour) {
  using namespace attack_detail;
  const int s = colour == White ? 1 : -1;
  const int v = p.pieceValue[piece];
  const int qf = p.pieceFile[piece], qr = p.pieceRank[piece];
  bool hit = false;
  if (v == -RookValue * s || v == -QueenValue * s) {
    if (qr == rank && qf != file && RankOpen(p, qf, file, rank)) hit = true;
    if (qf == file && qr != rank && FileOpen(p, file, qr, rank)) hit = true;
  }
  if (v == -BishopValue * s || v == -QueenValue * s) {
    if (Diagonal(p, qf, qr, file, rank)) hit = true;
  }
  if (v == -PawnValue) {
    if (rank < 7 && (p.pieceValue[p.board[file - 1][rank + 1]] == -PawnValue ||
                     p.pieceValue[p.board[file + 1][rank + 1]] == -PawnValue))
      hit = true;
  } else if (v == PawnValue) {
    if (rank > 2 && (p.pieceValue[p.board[file - 1][rank - 1]] == PawnValue ||
                     p.pieceValue[p.board[file + 1][rank - 1]] == PawnValue))
      hit = true;
  }
  if (v == -KnightValue * s && KnightJump(qf, qr, file, rank)) hit = true;
  return hit ? piece : 0;
}

// Enemy rooks, bishops and queens only; the last hit, bishops and queens
// after rooks and queens.
inline int SliderAttacksSquare(const Position& p, int file, int rank, int colour) {
  using namespace attack_detail;
  const int enemy = colour == White ? Black : White;
  if (const int q = LastDiagonal(p, file, rank, enemy)) return q;
  return LastOrthogonal(p, file, rank, enemy);
}

// Enemy rooks and queens along files and ranks only.
inline int OrthogonalAttacksSquare(const Position& p, int file, int rank, int colour) {
  return attack_detail::LastOrthogonal(p, file, rank, colour == White ? Black : White);
}

}  // namespace ormedan
