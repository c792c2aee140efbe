// A plain chess board for the fuzz targets, written apart from the engine:
// an 8x8 array of piece kinds with its own move generator, its own make and
// its own attack test (square scans, no piece lists). The fuzz targets judge
// the engine's moves and counts against it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "declare/position.h"

namespace ormedan::fuzz {

enum Kind : int8_t { None = 0, Pawn = 1, Knight = 2, Bishop = 3, Rook = 4, Queen = 5, King = 6 };

struct RefMove {
  int8_t fromFile, fromRank, toFile, toRank;  // 0..7
  int8_t promotion;                           // Kind, or None
};

class RefBoard {
 public:
  // square contents: +kind for white, -kind for black; [file][rank], 0-based
  int8_t sq[8][8] = {};
  int side = 1;  // +1 white to move, -1 black to move
  bool shortRight[2] = {}, longRight[2] = {};  // [0] white, [1] black
  int epFile = -1;  // file of a pawn of the other side that has just advanced two squares

  // The board of an engine record, with `toMove` to move. A castling right
  // counts only while the king and the original rook (by PieceId) stand on
  // their squares.
  static RefBoard From(const Position& p, Colour toMove) {
    RefBoard b;
    for (int f = 0; f < 8; ++f)
      for (int r = 0; r < 8; ++r) {
        const int id = p.board[f + 1][r + 1];
        if (id == 0 || id > 32) continue;
        b.sq[f][r] = KindOf(p.pieceValue[id]);
      }
    b.side = toMove == White ? 1 : -1;
    b.shortRight[0] = p.whiteShortCastleRight && p.board[5][1] == 1 && p.board[8][1] == 4;
    b.longRight[0] = p.whiteLongCastleRight && p.board[5][1] == 1 && p.board[1][1] == 3;
    b.shortRight[1] = p.blackShortCastleRight && p.board[5][8] == 17 && p.board[8][8] == 20;
    b.longRight[1] = p.blackLongCastleRight && p.board[5][8] == 17 && p.board[1][8] == 19;
    b.epFile = p.enPassantFile >= 1 && p.enPassantFile <= 8 ? p.enPassantFile - 1 : -1;
    return b;
  }

  static int8_t KindOf(int value) {
    const int a = value < 0 ? -value : value;
    int8_t k = None;
    switch (a) {
      case PawnValue: k = Pawn; break;
      case KnightValue: k = Knight; break;
      case BishopValue: k = Bishop; break;
      case RookValue: k = Rook; break;
      case QueenValue: k = Queen; break;
      case KingValue: k = King; break;
      default: k = None;
    }
    return static_cast<int8_t>(value < 0 ? -k : k);
  }

  bool SameSquares(const RefBoard& o) const {
    for (int f = 0; f < 8; ++f)
      for (int r = 0; r < 8; ++r)
        if (sq[f][r] != o.sq[f][r]) return false;
    return true;
  }

  // Is (f, r) attacked by the pieces of colour `by` (+1 or -1)? Scans out
  // from the square.
  bool Attacked(int f, int r, int by) const {
    // pawns: a white pawn attacks from one rank below
    const int pr = r - by;
    if (pr >= 0 && pr < 8) {
      for (int df = -1; df <= 1; df += 2) {
        const int pf = f + df;
        if (pf >= 0 && pf < 8 && sq[pf][pr] == by * Pawn) return true;
      }
    }
    static const int knight[8][2] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
    for (const auto& j : knight) {
      const int x = f + j[0], y = r + j[1];
      if (On(x, y) && sq[x][y] == by * Knight) return true;
    }
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy) {
        if (dx == 0 && dy == 0) continue;
        if (On(f + dx, r + dy) && sq[f + dx][r + dy] == by * King) return true;
        const bool diagonal = dx != 0 && dy != 0;
        for (int x = f + dx, y = r + dy; On(x, y); x += dx, y += dy) {
          const int8_t s = sq[x][y];
          if (s == 0) continue;
          if (s == by * Queen || s == by * (diagonal ? Bishop : Rook)) return true;
          break;
        }
      }
    return false;
  }

  bool InCheck(int colour) const {
    for (int f = 0; f < 8; ++f)
      for (int r = 0; r < 8; ++r)
        if (sq[f][r] == colour * King) return Attacked(f, r, -colour);
    return false;  // no king: not a position the targets build
  }

  // Plays a move of the side to move; no legality test.
  void Make(const RefMove& m) {
    const int c = side;
    const int8_t piece = sq[m.fromFile][m.fromRank];
    const int kind = piece * c;
    const int colourIndex = c > 0 ? 0 : 1;
    const int home = c > 0 ? 0 : 7;
    // en passant: a pawn moving diagonally onto an empty square
    if (kind == Pawn && m.fromFile != m.toFile && sq[m.toFile][m.toRank] == 0) sq[m.toFile][m.fromRank] = 0;
    // castling: the king's two-square move brings the rook
    if (kind == King && (m.toFile - m.fromFile == 2 || m.fromFile - m.toFile == 2)) {
      if (m.toFile == 6) {
        sq[5][home] = sq[7][home];
        sq[7][home] = 0;
      } else {
        sq[3][home] = sq[0][home];
        sq[0][home] = 0;
      }
    }
    if (kind == King) shortRight[colourIndex] = longRight[colourIndex] = false;
    if (m.fromRank == home && m.fromFile == 7) shortRight[colourIndex] = false;
    if (m.fromRank == home && m.fromFile == 0) longRight[colourIndex] = false;
    const int enemyHome = 7 - home;
    if (m.toRank == enemyHome && m.toFile == 7) shortRight[1 - colourIndex] = false;
    if (m.toRank == enemyHome && m.toFile == 0) longRight[1 - colourIndex] = false;
    epFile = (kind == Pawn && (m.toRank - m.fromRank == 2 || m.fromRank - m.toRank == 2)) ? m.toFile : -1;
    sq[m.toFile][m.toRank] = m.promotion != None ? static_cast<int8_t>(c * m.promotion) : piece;
    sq[m.fromFile][m.fromRank] = 0;
    side = -side;
  }

  // Every move that follows the pieces' movement rules, for the side to move.
  std::vector<RefMove> PseudoMoves() const {
    std::vector<RefMove> out;
    const int c = side;
    const int home = c > 0 ? 0 : 7;
    for (int f = 0; f < 8; ++f)
      for (int r = 0; r < 8; ++r) {
        const int8_t s = sq[f][r];
        if (s == 0 || (s > 0) != (c > 0)) continue;
        const int kind = s * c;
        if (kind == Pawn) {
          AddPawnMoves(f, r, out);
        } else if (kind == Knight) {
          static const int jumps[8][2] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
          for (const auto& j : jumps) AddStep(f, r, f + j[0], r + j[1], out);
        } else if (kind == King) {
          for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
              if (dx != 0 || dy != 0) AddStep(f, r, f + dx, r + dy, out);
        } else {
          for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
              if (dx == 0 && dy == 0) continue;
              const bool diagonal = dx != 0 && dy != 0;
              if (kind == Bishop && !diagonal) continue;
              if (kind == Rook && diagonal) continue;
              for (int x = f + dx, y = r + dy; On(x, y); x += dx, y += dy) {
                const int8_t t = sq[x][y];
                if (t != 0 && (t > 0) == (c > 0)) break;
                out.push_back({int8_t(f), int8_t(r), int8_t(x), int8_t(y), None});
                if (t != 0) break;
              }
            }
        }
      }
    // castling: rights, empty squares between, the king not in check and
    // not crossing or reaching an attacked square
    const int ci = c > 0 ? 0 : 1;
    if (sq[4][home] == c * King && !Attacked(4, home, -c)) {
      if (shortRight[ci] && sq[7][home] == c * Rook && sq[5][home] == 0 && sq[6][home] == 0 &&
          !Attacked(5, home, -c) && !Attacked(6, home, -c))
        out.push_back({4, int8_t(home), 6, int8_t(home), None});
      if (longRight[ci] && sq[0][home] == c * Rook && sq[1][home] == 0 && sq[2][home] == 0 && sq[3][home] == 0 &&
          !Attacked(3, home, -c) && !Attacked(2, home, -c))
        out.push_back({4, int8_t(home), 2, int8_t(home), None});
    }
    return out;
  }

  std::vector<RefMove> LegalMoves() const {
    std::vector<RefMove> legal;
    for (const RefMove& m : PseudoMoves()) {
      RefBoard next = *this;
      next.Make(m);
      if (!next.InCheck(side)) legal.push_back(m);
    }
    return legal;
  }

  uint64_t Perft(int depth) const {
    const std::vector<RefMove> legal = LegalMoves();
    if (depth <= 1) return legal.size();
    uint64_t n = 0;
    for (const RefMove& m : legal) {
      RefBoard next = *this;
      next.Make(m);
      n += next.Perft(depth - 1);
    }
    return n;
  }

  // Coordinate text as the engine reads and writes it: e2e4, e7e8q.
  static std::string Text(const RefMove& m) {
    std::string s{char('a' + m.fromFile), char('1' + m.fromRank), char('a' + m.toFile), char('1' + m.toRank)};
    static const char letters[] = " pnbrqk";
    if (m.promotion != None) s += letters[m.promotion];
    return s;
  }

 private:
  static bool On(int f, int r) { return f >= 0 && f < 8 && r >= 0 && r < 8; }

  void AddStep(int f, int r, int x, int y, std::vector<RefMove>& out) const {
    if (!On(x, y)) return;
    const int8_t t = sq[x][y];
    if (t != 0 && (t > 0) == (side > 0)) return;
    out.push_back({int8_t(f), int8_t(r), int8_t(x), int8_t(y), None});
  }

  void AddPawn(int f, int r, int x, int y, std::vector<RefMove>& out) const {
    if (y == 7 || y == 0) {
      for (int8_t k : {Knight, Bishop, Rook, Queen}) out.push_back({int8_t(f), int8_t(r), int8_t(x), int8_t(y), k});
    } else {
      out.push_back({int8_t(f), int8_t(r), int8_t(x), int8_t(y), None});
    }
  }

  void AddPawnMoves(int f, int r, std::vector<RefMove>& out) const {
    const int c = side;
    const int y = r + c;
    if (y < 0 || y > 7) return;
    if (sq[f][y] == 0) {
      AddPawn(f, r, f, y, out);
      const int start = c > 0 ? 1 : 6;
      if (r == start && sq[f][y + c] == 0) out.push_back({int8_t(f), int8_t(r), int8_t(f), int8_t(y + c), None});
    }
    for (int dx = -1; dx <= 1; dx += 2) {
      const int x = f + dx;
      if (x < 0 || x > 7) continue;
      const int8_t t = sq[x][y];
      if (t != 0 && (t > 0) != (c > 0)) AddPawn(f, r, x, y, out);
      // en passant: the pawn that has just advanced two squares stands
      // beside this one and the square behind it is empty
      const int epRank = c > 0 ? 4 : 3;
      if (t == 0 && x == epFile && r == epRank && sq[x][r] == -c * Pawn) out.push_back({int8_t(f), int8_t(r), int8_t(x), int8_t(y), None});
    }
  }
};

}  // namespace ormedan::fuzz
