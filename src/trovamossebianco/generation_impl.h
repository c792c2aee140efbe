// Legal move generation and capture generation, written once over the colour.
// generate_white.cpp and generate_black.cpp instantiate them.
//
// Both generators copy the source position into WorkPosition, list the
// pseudo-legal moves, order them, and then try each one on WorkPosition:
// a legal result is stored as the next child of the ply, and WorkPosition is
// restored from SavedPosition after every trial.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "declare/makemove_impl.h"
#include "declare/model.h"
#include "trovamossebianco/generate.h"
#include "utilita/attacks.h"

namespace ormedan {
namespace generation {

// What only the generators need to know about a colour, beyond Side<C>.
template <Colour C> struct GenSide;

template <> struct GenSide<White> {
  // A knight is worth a direct-check test in the capture plies when it
  // leaves a square of the enemy king's square colour.
  static constexpr bool knightsCheckDirectly = true;
  // Discovered checks in the capture plies: files, ranks and diagonals.
  static int DiscoveredCheck(const Position& p, int file, int rank) {
    return SliderAttacksSquare(p, file, rank, Black);
  }
};

template <> struct GenSide<Black> {
  static constexpr bool knightsCheckDirectly = false;
  // Black looks for discovered checks along files and ranks only.
  static int DiscoveredCheck(const Position& p, int file, int rank) {
    return OrthogonalAttacksSquare(p, file, rank, White);
  }
};

// Whole-record copy in 16-byte pieces. A Position is copied once for every
// trial move, and the compiler's own block copy of this size is slower.
inline void CopyPosition(Position& to, const Position& from) {
  static_assert(std::is_trivially_copyable_v<Position>);
  typedef unsigned char Chunk __attribute__((vector_size(16)));
  constexpr int chunks = sizeof(Position) / 16;
  constexpr int tail = sizeof(Position) % 16;
  auto* d = reinterpret_cast<unsigned char*>(&to);
  const auto* s = reinterpret_cast<const unsigned char*>(&from);
#pragma GCC unroll 32
  for (int i = 0; i < chunks; ++i) {
    Chunk v;
    std::memcpy(&v, s + 16 * i, 16);
    std::memcpy(d + 16 * i, &v, 16);
  }
  if constexpr (tail > 0) std::memcpy(d + 16 * chunks, s + 16 * chunks, tail);
}

// Material with which no sequence of moves can end in mate: bare kings, a
// single knight or bishop against a bare king, or one bishop each with both
// on squares of one colour. Knight against knight, bishop against knight and
// bishops on unlike squares can still mate, so those games are played on.
inline bool InsufficientMaterial(const Position& p) {
  if (p.officerCount >= 4) return false;
  const int32_t signature = p.pawnCount[White] + 16 * p.knightCount[White] + 64 * p.diagonalCount[White] +
                            256 * p.orthogonalCount[White] + 1024 * p.pawnCount[Black] +
                            16384 * p.knightCount[Black] + 65536 * p.diagonalCount[Black] +
                            262144 * p.orthogonalCount[Black];
  switch (signature) {
    case 0x0:
    case 0x10:
    case 0x40:
    case 0x4000:
    case 0x10000:
      return true;
    case 0x10040: {
      // One diagonal piece a side and no orthogonal one: two bishops.
      const int w = p.diagonalList[White][1], b = p.diagonalList[Black][1];
      return ((p.pieceFile[w] + p.pieceRank[w]) & 1) == ((p.pieceFile[b] + p.pieceRank[b]) & 1);
    }
    default:
      return false;
  }
}

// The pieces (as a bit per PieceId, bit id - 1) that stand alone between
// the king square (kf, kr) and a slider of colour `sliders` that would
// otherwise attack it along its line. With the enemy's sliders and the own
// king these are the pinned pieces; with the own sliders and the enemy king,
// the pieces whose move can uncover a check.
inline uint32_t LoneBlockers(const Position& p, int kf, int kr, int sliders) {
  uint32_t mask = 0;
  const auto scan = [&](int q, int df, int dr) {
    const int sf = (df > 0) - (df < 0), sr = (dr > 0) - (dr < 0);
    const int qf = p.pieceFile[q], qr = p.pieceRank[q];
    int blocker = 0;
    for (int f = kf + sf, r = kr + sr; f != qf || r != qr; f += sf, r += sr) {
      const int id = p.board[f][r];
      if (id == 0) continue;
      if (blocker != 0) return;
      blocker = id;
    }
    if (blocker != 0) mask |= 1u << (blocker - 1);
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
  return mask;
}

inline bool InMask(uint32_t mask, int id) { return (mask >> (id - 1)) & 1u; }

// Precomputed destinations of the king, the knights and the slider rays,
// per square, in generation order, as byte offsets into Position::board
// (square (f, r) is byte f * 9 + r) and as the destination bits of a
// MoveCode. Only squares on the board appear, so the walks need no bounds
// tests.
struct StepTables {
  static constexpr int Squares = 90;
  uint16_t dest[Squares] = {};  // file * 256 + rank * 4096
  uint8_t kingCount[Squares] = {}, kingTo[Squares][8] = {};
  uint8_t knightCount[Squares] = {}, knightTo[Squares][8] = {};
  // Rays 0..3 diagonal: (+1,+1), (-1,+1), (-1,-1), (+1,-1);
  // rays 4..7 orthogonal: up the file, towards h, down the file, towards a.
  uint8_t rayLength[Squares][8] = {}, ray[Squares][8][7] = {};
  // The same rays as bit masks over the 64 squares (bit (f-1) * 8 + r-1),
  // for finding the first piece on a ray by a bit scan. Rays 1, 2, 6 and 7
  // run towards lower bits, the others towards higher bits.
  uint64_t rayMask[64][8] = {};
  uint8_t bitSquare[64] = {};  // board offset of each bit
  // The squares a king or a knight reaches, and the union of the four
  // diagonal (0) and the four orthogonal (1) rays, as bits.
  uint64_t kingMask[64] = {}, knightMask[64] = {}, rayUnion[64][2] = {};
  // The two squares a pawn attacks, per colour ([White] and [Black]).
  uint64_t pawnMask[3][64] = {};

  static constexpr bool OnBoard(int f, int r) { return f >= 1 && f <= 8 && r >= 1 && r <= 8; }
  static constexpr int Index(int f, int r) { return f * 9 + r; }
  static constexpr int Bit(int f, int r) { return (f - 1) * 8 + r - 1; }
  static constexpr bool TowardsLowerBits(int dir) { return dir == 1 || dir == 2 || dir == 6 || dir == 7; }

  constexpr StepTables() {
    constexpr int king[8][2] = {{1, -1}, {-1, -1}, {0, -1}, {1, 1}, {-1, 1}, {0, 1}, {1, 0}, {-1, 0}};
    constexpr int knight[8][2] = {{2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {1, 2}, {2, 1}, {-2, 1}, {-1, 2}};
    constexpr int rays[8][2] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}, {0, 1}, {1, 0}, {0, -1}, {-1, 0}};
    for (int f = 1; f <= 8; ++f) {
      for (int r = 1; r <= 8; ++r) {
        const int sq = Index(f, r);
        dest[sq] = static_cast<uint16_t>(f * 256 + r * 4096);
        for (const auto& d : king)
          if (OnBoard(f + d[0], r + d[1])) {
            kingTo[sq][kingCount[sq]++] = static_cast<uint8_t>(Index(f + d[0], r + d[1]));
            kingMask[Bit(f, r)] |= uint64_t{1} << Bit(f + d[0], r + d[1]);
          }
        for (const auto& d : knight)
          if (OnBoard(f + d[0], r + d[1])) {
            knightTo[sq][knightCount[sq]++] = static_cast<uint8_t>(Index(f + d[0], r + d[1]));
            knightMask[Bit(f, r)] |= uint64_t{1} << Bit(f + d[0], r + d[1]);
          }
        for (int k = 0; k < 8; ++k)
          for (int tf = f + rays[k][0], tr = r + rays[k][1]; OnBoard(tf, tr); tf += rays[k][0], tr += rays[k][1]) {
            ray[sq][k][rayLength[sq][k]++] = static_cast<uint8_t>(Index(tf, tr));
            rayMask[Bit(f, r)][k] |= uint64_t{1} << Bit(tf, tr);
            rayUnion[Bit(f, r)][k / 4] |= uint64_t{1} << Bit(tf, tr);
          }
        bitSquare[Bit(f, r)] = static_cast<uint8_t>(sq);
        for (const int df : {1, -1}) {
          if (OnBoard(f + df, r + 1)) pawnMask[White][Bit(f, r)] |= uint64_t{1} << Bit(f + df, r + 1);
          if (OnBoard(f + df, r - 1)) pawnMask[Black][Bit(f, r)] |= uint64_t{1} << Bit(f + df, r - 1);
        }
      }
    }
  }
};
inline constexpr StepTables Steps{};

// The occupied squares of the board and those holding a black piece, as
// bits (bit (f-1) * 8 + r-1). Each file's ranks 1..8 are eight consecutive
// bytes of the board: a byte that is not zero gives its bit, a PieceId
// above 16 its black bit.
struct BoardBits {
  uint64_t occupied = 0, black = 0;
  explicit BoardBits(const Position& p) {
#if defined(__SSE2__)
    // Ranks 1..8 of two files at a time, as the two halves of one register:
    // each byte compare gives sixteen bits, ranks 1..8 of the first file
    // and then of the second, which is the layout of the result.
    const __m128i zero = _mm_setzero_si128(), sixteen = _mm_set1_epi8(16);
    for (int f = 1; f <= 7; f += 2) {
      const __m128i low = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&p.board[f][1]));
      const __m128i high = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&p.board[f + 1][1]));
      const __m128i v = _mm_unpacklo_epi64(low, high);
      const uint64_t empty = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero)));
      const uint64_t above = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpgt_epi8(v, sixteen)));
      occupied |= (~empty & 0xFFFF) << ((f - 1) * 8);
      black |= above << ((f - 1) * 8);
    }
#else
    constexpr uint64_t low7 = 0x7F7F7F7F7F7F7F7FULL, high = 0x8080808080808080ULL;
    constexpr uint64_t plus111 = 0x6F6F6F6F6F6F6F6FULL;  // 17 + 111 = 128; no byte (at most 32) carries over
    for (int f = 1; f <= 8; ++f) {
      uint64_t bytes;
      std::memcpy(&bytes, &p.board[f][1], 8);
      const uint64_t nonZero = (((bytes & low7) + low7) | bytes) & high;  // top bit of each non-zero byte
      const uint64_t above16 = (bytes + plus111) & high;
      occupied |= Gather(nonZero) << ((f - 1) * 8);
      black |= Gather(above16) << ((f - 1) * 8);
    }
#endif
  }
  uint64_t White() const { return occupied & ~black; }
  // The top bits of the eight bytes, as the eight low bits.
  static uint64_t Gather(uint64_t topBits) { return ((topBits >> 7) * 0x0102040810204080ULL) >> 56; }
};

// Pseudo-legal moves of one position, in generation order. The sink decides
// where each move goes; with Sink::capturesOnly the quiet moves are skipped
// and promotions come as knight and queen only.
//
// Sink interface:
//   Quiet(code)         a quiet move of any piece (castling included)
//   PieceCapture(code)  a capture by the king, a knight or a slider
//   PawnCapture(code)   a pawn capture, promotion or en passant
template <Colour C, class Sink>
void ListMoves(const Position& p, Sink& sink, bool castlingAllowed) {
  using S = Side<C>;
  constexpr bool capturesOnly = Sink::capturesOnly;
  const auto enemyAt = [&p](int f, int r) -> int {
    const int id = p.board[f][r];
    return S::IsEnemy(id) ? id : 0;
  };

  // The board as one array of bytes, indexed by StepTables::Index.
  const uint8_t* const board = &p.board[0][0];
  const auto step = [&](int id, int to) {
    const int t = board[to];
    if (t == 0) {
      if constexpr (!capturesOnly) sink.Quiet(id + Steps.dest[to]);
    } else if (S::IsEnemy(t)) {
      sink.PieceCapture(id + Steps.dest[to] + t * 65536);
    }
  };

  // Captures only: the occupied squares and the enemy's as bits, to skip
  // pieces that reach no enemy piece and to find the first piece on a ray.
  uint64_t occupied = 0, enemies = 0;
  if constexpr (capturesOnly) {
    const BoardBits bits(p);
    occupied = bits.occupied;
    enemies = C == White ? bits.black : bits.White();
  }
  // The steps `to` of a king or knight, in their order. Captures only:
  // with a single enemy piece in reach, it is taken at once (one capture has
  // no order to keep); with none, nothing is listed.
  const auto steps = [&](int id, const uint8_t* to, int n, const uint64_t (&masks)[64]) {
    if constexpr (capturesOnly) {
      const uint64_t targets = masks[StepTables::Bit(p.pieceFile[id], p.pieceRank[id])] & enemies;
      if (targets == 0) return;
      if ((targets & (targets - 1)) == 0) {
        const int square = Steps.bitSquare[__builtin_ctzll(targets)];
        sink.PieceCapture(id + Steps.dest[square] + board[square] * 65536);
        return;
      }
    }
    for (int i = 0; i < n; ++i) step(id, to[i]);
  };

  // King: (f+1, r-1), (f-1, r-1), (f, r-1), then the same on rank r+1,
  // then (f+1, r) and (f-1, r).
  {
    const int k = S::ownKing;
    const int from = StepTables::Index(p.pieceFile[k], p.pieceRank[k]);
    steps(k, Steps.kingTo[from], Steps.kingCount[from], Steps.kingMask);
  }

  // Castling: the corner must still hold the original rook, the squares
  // between must be empty, and the king may not cross or reach an attacked
  // square (the b-square of the long side does not matter).
  if constexpr (!capturesOnly) {
    if (castlingAllowed) {
      constexpr int h = S::homeRank;
      if (S::ShortRight(p) && p.board[6][h] == 0 && p.board[7][h] == 0 && p.board[8][h] == S::shortRook &&
          SquareAttacked(p, 6, h, C) == 0 && SquareAttacked(p, 7, h, C) == 0)
        sink.Quiet(S::shortCastle);
      if (S::LongRight(p) && p.board[2][h] == 0 && p.board[3][h] == 0 && p.board[4][h] == 0 &&
          p.board[1][h] == S::longRook && SquareAttacked(p, 4, h, C) == 0 && SquareAttacked(p, 3, h, C) == 0)
        sink.Quiet(S::longCastle);
    }
  }

  // Pawns.
  {
    constexpr int d = S::pawnStep;
    const auto promotions = [&](int id, int tf, int tr, int captured) {
      if constexpr (capturesOnly) {
        sink.PawnCapture(MakeMoveCode(id, tf, tr, captured, S::promoKnight));
        sink.PawnCapture(MakeMoveCode(id, tf, tr, captured, S::promoQueen));
      } else {
        for (int code = S::promoKnight; code <= S::promoQueen; ++code)
          sink.PawnCapture(MakeMoveCode(id, tf, tr, captured, code));
      }
    };
    const int count = p.pawnCount[C];
    for (int k = 1; k <= count; ++k) {
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
      if constexpr (!capturesOnly) {
        if (p.board[f][tr] == 0) {
          sink.Quiet(MakeMoveCode(id, f, tr));
          if (r == S::startRank && p.board[f][tr + d] == 0) sink.Quiet(MakeMoveCode(id, f, tr + d));
        }
      }
      if (!capturesOnly || (Steps.pawnMask[C][StepTables::Bit(f, r)] & enemies) != 0) {
        if (const int t = enemyAt(f + 1, tr)) sink.PawnCapture(MakeMoveCode(id, f + 1, tr, t));
        if (const int t = enemyAt(f - 1, tr)) sink.PawnCapture(MakeMoveCode(id, f - 1, tr, t));
      }
      const int ep = p.enPassantFile;
      if (ep > 0 && r == S::enPassantRank) {
        // The pawn beside is the one that has just advanced two squares; the
        // square behind it is empty. A position whose en-passant file does
        // not describe such a pawn offers no en-passant capture.
        if (ep == f - 1 || ep == f + 1) {
          const int victim = p.board[ep][r];
          if (p.pieceValue[victim] == -S::sign * PawnValue && p.board[ep][tr] == 0)
            sink.PawnCapture(MakeMoveCode(id, ep, tr, victim));
        }
      }
    }
  }

  // Knights, jumps in the order (+2,-1), (+1,-2), (-1,-2), (-2,-1), (+1,+2),
  // (+2,+1), (-2,+1), (-1,+2).
  {
    const int count = p.knightCount[C];
    for (int k = 1; k <= count; ++k) {
      const int id = p.knightList[C][k];
      const int from = StepTables::Index(p.pieceFile[id], p.pieceRank[id]);
      steps(id, Steps.knightTo[from], Steps.knightCount[from], Steps.knightMask);
    }
  }

  // Sliders: every empty square along a ray, then the first occupied square
  // when it holds an enemy piece.
  const auto slide = [&](int id, int from, int dir) {
    const uint8_t* const ray = Steps.ray[from][dir];
    for (int i = 0, n = Steps.rayLength[from][dir]; i < n; ++i) {
      const int to = ray[i];
      const int t = board[to];
      if (t != 0) {
        if (S::IsEnemy(t)) sink.PieceCapture(id + Steps.dest[to] + t * 65536);
        return;
      }
      if constexpr (!capturesOnly) sink.Quiet(id + Steps.dest[to]);
    }
  };
  // Captures only: the first piece on a ray is found by a bit scan, and a
  // slider none of whose rays holds an enemy piece is skipped.
  const auto firstOnRay = [&](int id, int bitFrom, int dir) {
    const uint64_t ray = Steps.rayMask[bitFrom][dir];
    if ((ray & enemies) == 0) return;  // then the first piece is not an enemy's
    const uint64_t on = occupied & ray;
    const int bit = StepTables::TowardsLowerBits(dir) ? 63 - __builtin_clzll(on) : __builtin_ctzll(on);
    const int to = Steps.bitSquare[bit];
    const int t = board[to];
    if (S::IsEnemy(t)) sink.PieceCapture(id + Steps.dest[to] + t * 65536);
  };
  // The sliders of one list along their four rays: diagonals (rays 0..3,
  // union 0) for bishops and queens, then files and ranks (rays 4..7,
  // union 1) for rooks and queens.
  const auto sliders = [&](const uint8_t* list, int count, int kind) {
    for (int k = 1; k <= count; ++k) {
      const int id = list[k];
      const int f = p.pieceFile[id], r = p.pieceRank[id];
      if constexpr (capturesOnly) {
        const int bit = StepTables::Bit(f, r);
        if ((Steps.rayUnion[bit][kind] & enemies) == 0) continue;
        for (int dir = 4 * kind; dir < 4 * kind + 4; ++dir) firstOnRay(id, bit, dir);
      } else {
        for (int dir = 4 * kind; dir < 4 * kind + 4; ++dir) slide(id, StepTables::Index(f, r), dir);
      }
    }
  };
  sliders(p.diagonalList[C], p.diagonalCount[C], 0);
  sliders(p.orthogonalList[C], p.orthogonalCount[C], 1);
}

// Sorts the moves of GenerateMoves as they are listed: piece captures in
// order, pawn captures and promotions reversed, killer-flagged quiet moves in
// order, other quiet moves reversed.
struct OrderingSink {
  static constexpr bool capturesOnly = false;
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

// Splits the captures and promotions of GenerateCaptures into good captures
// (the victim is worth clearly more than the capturer) and the others.
template <Colour C> struct CaptureSink {
  static constexpr bool capturesOnly = true;
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

// The enemy sliders that could attack the own king once one piece other
// than the king has moved: those on a line with the king with at most one
// piece between. With the king not moving, such a move exposes the king
// exactly when it takes the lone piece off a line (or leaves a line open)
// without stepping onto that line between the slider and the king, and
// without capturing the slider. This answers "does SliderAttacksSquare on
// the king find a slider after the move" without making the move, for every
// move but en passant (which also empties the victim's square).
struct KingGuard {
  struct Line {
    uint8_t slider;
    uint8_t pieces;          // pieces strictly between: 0 or 1
    uint8_t blockerFile, blockerRank;
    int8_t stepFile, stepRank;  // from the king towards the slider
    uint8_t distance;
  };
  int kf = 0, kr = 0;
  int count = 0;
  Line lines[MaxOrthogonalSlots + MaxDiagonalSlots];

  void Build(const Position& p, int kingFile, int kingRank, int enemy) {
    kf = kingFile;
    kr = kingRank;
    count = 0;
    for (int k = 1, n = p.orthogonalCount[enemy]; k <= n; ++k) {
      const int q = p.orthogonalList[enemy][k];
      const int df = p.pieceFile[q] - kf, dr = p.pieceRank[q] - kr;
      if ((df == 0) != (dr == 0)) Scan(p, q, df, dr);
    }
    for (int k = 1, n = p.diagonalCount[enemy]; k <= n; ++k) {
      const int q = p.diagonalList[enemy][k];
      const int df = p.pieceFile[q] - kf, dr = p.pieceRank[q] - kr;
      if (df != 0 && (df == dr || df == -dr)) Scan(p, q, df, dr);
    }
  }

  void Scan(const Position& p, int q, int df, int dr) {
    Line l{};
    l.slider = static_cast<uint8_t>(q);
    l.stepFile = static_cast<int8_t>((df > 0) - (df < 0));
    l.stepRank = static_cast<int8_t>((dr > 0) - (dr < 0));
    const int adf = df < 0 ? -df : df, adr = dr < 0 ? -dr : dr;
    l.distance = static_cast<uint8_t>(adf > adr ? adf : adr);
    int f = kf + l.stepFile, r = kr + l.stepRank;
    for (int t = 1; t < l.distance; ++t, f += l.stepFile, r += l.stepRank) {
      if (p.board[f][r] == 0) continue;
      if (l.pieces == 1) return;  // two pieces between: no move opens this line
      l.pieces = 1;
      l.blockerFile = static_cast<uint8_t>(f);
      l.blockerRank = static_cast<uint8_t>(r);
    }
    lines[count++] = l;
  }

  // (f, r) lies strictly between the king and the slider of line l.
  static bool Between(const Line& l, int kingFile, int kingRank, int f, int r) {
    const int df = f - kingFile, dr = r - kingRank;
    const int t = l.stepFile != 0 ? df * l.stepFile : dr * l.stepRank;
    return t > 0 && t < l.distance && df == t * l.stepFile && dr == t * l.stepRank;
  }

  // After a move of a piece other than the king from (ff, fr) to (tf, tr),
  // capturing `captured` (0 for none) on the destination, does an enemy
  // slider attack the king? `toEmpty`: the destination was empty before.
  bool Exposed(int ff, int fr, int tf, int tr, int captured, bool toEmpty) const {
    for (int i = 0; i < count; ++i) {
      const Line& l = lines[i];
      if (l.slider == captured) continue;
      int pieces = l.pieces;
      if (pieces == 1 && l.blockerFile == ff && l.blockerRank == fr) pieces = 0;
      if (toEmpty && Between(l, kf, kr, tf, tr)) ++pieces;
      if (pieces == 0) return true;
    }
    return false;
  }
};

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
// The same out of line, for the full-width legality loop: inlined there, it
// crowds the registers that the loop keeps its counters in.
template <Colour C> [[gnu::noinline]] bool KingStepAttackedOutOfLine(Position& scratch, int ff, int fr, int tf, int tr) {
  return KingStepAttacked<C>(scratch, ff, fr, tf, tr);
}

// A slider of `side` flagged on a line with the other king (kingLine, kept
// by MakeMove). Only a bishop, rook or queen ever gets the flag, and a
// captured piece keeps its flag but has value 0; so a living piece of the
// side with the flag is one of its sliders (CheckPosition tests this), and
// the sixteen PieceIds of the side are looked at together.
inline bool SliderOnKingLine(const Position& p, int side) {
  const int first = side == White ? 1 : 17;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i flags = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p.kingLine + first));
  const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p.pieceValue + first));
  const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p.pieceValue + first + 8));
  // Bytes that are 0xFF where the flag is 0, and where the value is 0.
  const __m128i noFlag = _mm_cmpeq_epi8(flags, zero);
  const __m128i dead = _mm_packs_epi16(_mm_cmpeq_epi16(low, zero), _mm_cmpeq_epi16(high, zero));
  return _mm_movemask_epi8(_mm_or_si128(noFlag, dead)) != 0xFFFF;
#else
  for (int id = first; id < first + 16; ++id)
    if (p.kingLine[id] != 0 && p.pieceValue[id] != 0) return true;
  return false;
#endif
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

// The child's checkingPiece under rule R.
template <Colour C, CheckRule R>
[[gnu::always_inline]] inline int ChildCheckBy(const PendingPly& pp, const Position& src, const Position& child, int32_t code) {
  using S = Side<C>;
  using G = GenSide<C>;
  if constexpr (R == InheritRule) {
    return pp.inheritedCheck;
  } else {
    const int mover = MovePiece(code);
    const int ekf = src.pieceFile[S::enemyKing], ekr = src.pieceRank[S::enemyKing];
    if constexpr (R == FullRule) {
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
      // line with it.
      const int v = src.pieceValue[mover] * S::sign;
      bool candidate = v == RookValue || v == QueenValue;
      if constexpr (G::knightsCheckDirectly) {
        if (v == KnightValue)
          candidate = ((src.pieceFile[mover] + src.pieceRank[mover]) & 1) == ((ekf + ekr) & 1);
      }
      int checker = 0;
      if (candidate) checker = DirectCheck<C>(child, ekf, ekr, mover);
      if (checker == 0 && SliderOnKingLine(src, C)) checker = G::DiscoveredCheck(child, ekf, ekr);
      return checker;
    }
  }
}

// Makes one child into `child` from its source, under rule R.
template <Colour C, CheckRule R>
inline void BuildChildBy(const PendingPly& pp, const Position& src, Position& child, int32_t code) {
  CopyPosition(child, src);
  MakeMoveOf<C>(child, code);
  child.checkingPiece = static_cast<uint8_t>(ChildCheckBy<C, R>(pp, src, child, code));
}

// The same under the rule recorded for the ply.
template <Colour C> void BuildChild(const PendingPly& pp, const Position& src, Position& child, int32_t code) {
  switch (pp.checkRule) {
    case FullRule: BuildChildBy<C, FullRule>(pp, src, child, code); break;
    case CaptureRule: BuildChildBy<C, CaptureRule>(pp, src, child, code); break;
    default: BuildChildBy<C, InheritRule>(pp, src, child, code); break;
  }
}

// Makes the child of `code` into `child` and tests it in full: returns
// false when the own king is left attacked, else sets the check mark. For
// the few moves that the legality loop below does not settle without
// making them; kept out of line so that the loop stays small.
template <Colour C>
[[gnu::noinline]] bool MakeChildInFull(const PendingPly& pp, const Position& src, Position& child, int32_t code) {
  using S = Side<C>;
  CopyPosition(child, src);
  MakeMoveOf<C>(child, code);
  if (SquareAttacked(child, child.pieceFile[S::ownKing], child.pieceRank[S::ownKing], C) != 0) return false;
  child.checkingPiece = static_cast<uint8_t>(ChildCheckBy<C, FullRule>(pp, src, child, code));
  return true;
}

// The legal moves of GenerateMoves, in list order, into e.Pending[ply], for
// the search's lazy form (GenerateMoves itself makes and tests every move).
// Most moves are settled without making them. A king step is tested on
// `scratch`. Any other move (but en passant) leaves the king attacked
// exactly when a slider reaches it afterwards (KingGuard) or a pawn or
// knight that gives check is not the piece taken. Castling and en passant
// are made at once in the child slot and tested there in full, as the plain
// rule says; those children are left made.
//
// The check marks follow the same reasoning: a check by a piece other than
// the mover can only be uncovered by a piece standing alone between the
// enemy king and one of our sliders (or by the rook of a castling, or
// through the square of a pawn taken en passant), unless a slider of ours
// attacks that king already.
//
// `scratch` must hold a copy of src on entry when scratchReady; otherwise
// it is filled on first use. It holds that copy again on return.
//
// With Leaves (perft's last ply, whose children are never visited), each
// move that would be left pending is made at once on `scratch` instead, its
// check mark set and counted into *leafChecks, and then put back by
// RestoreBeforeMove; it is not recorded in e.Pending[ply]. The children
// made in their slots are counted too.
template <Colour C, bool Leaves = false>
int ListLegalMoves(Engine& e, const Position& src, int ply, int sourceSlot, Position& scratch, bool scratchReady,
                   uint64_t* leafChecks = nullptr) {
  using S = Side<C>;
  OrderingSink sink((ply & 1) ? e.OddPlyKillers : e.EvenPlyKillers);
  ListMoves<C>(src, sink, src.checkingPiece == 0);
  const int count = sink.Assemble(e.MoveList);
  e.MoveCount = count;

  PendingPly& pp = e.Pending[ply];
  const int ownKingFile = src.pieceFile[S::ownKing], ownKingRank = src.pieceRank[S::ownKing];
  const int enemyKingFile = src.pieceFile[S::enemyKing], enemyKingRank = src.pieceRank[S::enemyKing];
  const bool ownKingAttacked = SquareAttacked(src, ownKingFile, ownKingRank, C) != 0;
  const uint32_t pinned = LoneBlockers(src, ownKingFile, ownKingRank, S::enemy);
  pp.sourceSlot = sourceSlot;
  pp.checkRule = FullRule;
  pp.enemyKingAttacked = SliderAttacksSquare(src, enemyKingFile, enemyKingRank, S::enemy) != 0;
  pp.uncovering = LoneBlockers(src, enemyKingFile, enemyKingRank, C);
  pp.pawnBesideKing = PawnBesideKing<C>(src, enemyKingFile, enemyKingRank);
  KingGuard guard;
  bool guardReady = false;
  // In check: the pawns and knights that give it. A move other than the
  // king's must take the only one of them (the sliders are KingGuard's);
  // with the enemy king beside ours (no legal position) every move is made.
  int jumpers = 0, jumper = 0;
  bool makeEvasions = false;
  if (ownKingAttacked) {
    guard.Build(src, ownKingFile, ownKingRank, S::enemy);
    guardReady = true;
    const int pawnRank = ownKingRank + S::pawnStep;
    if (C == White ? ownKingRank < 7 : ownKingRank > 2) {
      for (const int f : {ownKingFile + 1, ownKingFile - 1}) {
        const int id = src.board[f][pawnRank];
        if (src.pieceValue[id] == -S::sign * PawnValue) {
          ++jumpers;
          jumper = id;
        }
      }
    }
    for (int k = 1, c = src.knightCount[S::enemy]; k <= c; ++k) {
      const int id = src.knightList[S::enemy][k];
      if (attack_detail::KnightJump(src.pieceFile[id], src.pieceRank[id], ownKingFile, ownKingRank)) {
        ++jumpers;
        jumper = id;
      }
    }
    makeEvasions = attack_detail::Distance(enemyKingFile, ownKingFile) <= 1 &&
                   attack_detail::Distance(enemyKingRank, ownKingRank) <= 1;
  }
  int n = 0;
  uint64_t checks = 0;
  if constexpr (Leaves) {
    if (!scratchReady) {
      CopyPosition(scratch, src);
      scratchReady = true;
    }
  }
  for (int i = 0; i < count; ++i) {
    const int32_t code = e.MoveList[i];
    // A king is never taken. The mover can attack it only after the same
    // side has moved twice (the driver does not keep turns).
    if (MoveCaptured(code) == S::enemyKing) continue;
    const int mover = MovePiece(code);
    const int toFile = MoveToFile(code), toRank = MoveToRank(code);
    const bool kingMove = mover == S::ownKing;
    const int fromFile = src.pieceFile[mover], fromRank = src.pieceRank[mover];
    const bool castling = kingMove && (toFile - fromFile == 2 || fromFile - toFile == 2);
    const int captured = MoveCaptured(code);
    const bool enPassant = captured != 0 && src.board[toFile][toRank] == 0;
    if (makeEvasions || castling || enPassant) {
      Position& child = e.ChildPositions[n + 1][ply];
      if (!MakeChildInFull<C>(pp, src, child, code)) continue;
      if constexpr (Leaves) checks += child.checkingPiece != 0 ? 1 : 0;
      ++n;
      pp.moves[n] = code;
      pp.made[n] = 1;
      continue;
    }
    if (kingMove) {
      if (!scratchReady) {
        CopyPosition(scratch, src);
        scratchReady = true;
      }
      if (KingStepAttackedOutOfLine<C>(scratch, fromFile, fromRank, toFile, toRank)) continue;
    } else if (ownKingAttacked) {
      if (jumpers > 1 || (jumpers == 1 && captured != jumper)) continue;
      if (guard.Exposed(fromFile, fromRank, toFile, toRank, captured, captured == 0)) continue;
    } else if (InMask(pinned, mover)) {
      if (!guardReady) {
        guard.Build(src, ownKingFile, ownKingRank, S::enemy);
        guardReady = true;
      }
      if (guard.Exposed(fromFile, fromRank, toFile, toRank, captured, captured == 0)) continue;
    }
    ++n;
    if constexpr (!Leaves) {
      pp.moves[n] = code;
      pp.made[n] = 0;
    } else {
      MakeMoveOf<C>(scratch, code);
      scratch.checkingPiece = static_cast<uint8_t>(ChildCheckBy<C, FullRule>(pp, src, scratch, code));
      checks += scratch.checkingPiece != 0 ? 1 : 0;
      // The whole child is written to memory before it is put back, so no
      // part of the make can be dropped as unread.
      asm volatile("" : : "m"(scratch));
      RestoreBeforeMove<C>(scratch, src, code);
    }
  }
  if constexpr (Leaves) *leafChecks += checks;
  return n;
}

// The legal captures and promotions of GenerateCaptures, in list order,
// into e.Pending[ply]. The side to move is taken as not in check: a king
// capture is tested on `scratch`; any other move can only open a line to
// the own king, which matters only when an enemy slider is flagged on a line
// with it (kingLine), and is then settled by KingGuard, en passant by making
// it. Same contract for `scratch` as ListLegalMoves.
template <Colour C, bool Eager>
int ListLegalCaptures(Engine& e, const Position& src, int ply, int sourceSlot, Position& scratch, bool scratchReady) {
  using S = Side<C>;
  CaptureSink<C> sink(src);
  ListMoves<C>(src, sink, false);
  int count = 0;
  if (ply == e.HorizonPly) {
    if (sink.goodCount > 0)
      for (int i = 0; i < sink.goodCount; ++i) e.MoveList[count++] = sink.good[i];
    else
      for (int i = 0; i < sink.otherCount; ++i) e.MoveList[count++] = sink.other[i];
  } else {
    for (int i = 0; i < sink.goodCount; ++i) e.MoveList[count++] = sink.good[i];
    for (int i = 0; i < sink.otherCount; ++i) e.MoveList[count++] = sink.other[i];
  }
  e.MoveCount = count;
  const bool markChecks = ply < e.HorizonPly;
  PendingPly& pp = e.Pending[ply];
  pp.sourceSlot = sourceSlot;
  pp.checkRule = markChecks ? CaptureRule : InheritRule;
  pp.inheritedCheck = src.checkingPiece;
  if (count == 0) return 0;

  const bool enemyAligned = SliderOnKingLine(src, S::enemy);
  const int ownKingFile = src.pieceFile[S::ownKing], ownKingRank = src.pieceRank[S::ownKing];
  KingGuard guard;
  bool guardReady = false;
  int n = 0;
  for (int i = 0; i < count; ++i) {
    const int32_t code = e.MoveList[i];
    const int mover = MovePiece(code);
    if (mover == S::ownKing) {
      if (!scratchReady) {
        CopyPosition(scratch, src);
        scratchReady = true;
      }
      if (KingStepAttacked<C>(scratch, ownKingFile, ownKingRank, MoveToFile(code), MoveToRank(code))) continue;
    } else if (enemyAligned) {
      const int toFile = MoveToFile(code), toRank = MoveToRank(code);
      const int captured = MoveCaptured(code);
      const bool toEmpty = src.board[toFile][toRank] == 0;
      if (captured != 0 && toEmpty) {
        // En passant: made now and tested on the child.
        Position& child = e.ChildPositions[n + 1][ply];
        CopyPosition(child, src);
        MakeMoveOf<C>(child, code);
        if (SliderAttacksSquare(child, ownKingFile, ownKingRank, C) != 0) continue;
        child.checkingPiece = static_cast<uint8_t>(
            markChecks ? ChildCheckBy<C, CaptureRule>(pp, src, child, code) : ChildCheckBy<C, InheritRule>(pp, src, child, code));
        ++n;
        pp.moves[n] = code;
        pp.made[n] = 1;
        continue;
      }
      if (!guardReady) {
        guard.Build(src, ownKingFile, ownKingRank, S::enemy);
        guardReady = true;
      }
      if (guard.Exposed(src.pieceFile[mover], src.pieceRank[mover], toFile, toRank, captured, toEmpty)) continue;
    }
    ++n;
    pp.moves[n] = code;
    pp.made[n] = Eager;
    if constexpr (Eager) {
      Position& child = e.ChildPositions[n][ply];
      if (markChecks)
        BuildChildBy<C, CaptureRule>(pp, src, child, code);
      else
        BuildChildBy<C, InheritRule>(pp, src, child, code);
    }
  }
  return n;
}

}  // namespace generation

template <Colour C> int GenerateMoves(Engine& e, int ply, int slot, MaterialTest material) {
  using S = Side<C>;
  const Position& source = ply == 1 ? e.GamePosition : e.ChildPositions[slot][ply - 1];
  e.MoveCount = 0;
  Position& w = e.WorkPosition;
  generation::CopyPosition(w, source);
  const bool inCheck = w.checkingPiece != 0;
  if (ply == 1 && material == MaterialTest::Apply && generation::InsufficientMaterial(w)) return -4;

  generation::OrderingSink sink((ply & 1) ? e.OddPlyKillers : e.EvenPlyKillers);
  generation::ListMoves<C>(w, sink, !inCheck);
  const int count = sink.Assemble(e.MoveList);
  e.MoveCount = count;

  // Each move is made on a copy of the source in the next free child slot;
  // an illegal result is simply overwritten by the next trial. This is the
  // plain form of the legality test; the search's GenerateMovesLazily
  // settles the same questions without making the moves, and the tests
  // compare the two.
  //
  // The tests below give the same answers as testing every move in full.
  // A move that is neither a king move nor en passant, made while the own
  // king is not attacked, can expose that king only if the piece stands
  // alone between it and an enemy slider; likewise, when no slider of ours
  // attacks the enemy king yet, a check by a piece other than the mover can
  // only be uncovered by a piece standing alone between that king and one
  // of our sliders (or by the rook of a castling, or through the square of a
  // pawn taken en passant).
  generation::CopyPosition(e.SavedPosition, w);
  const Position& saved = e.SavedPosition;
  const int ownKingFile = w.pieceFile[S::ownKing], ownKingRank = w.pieceRank[S::ownKing];
  const int enemyKingFile = w.pieceFile[S::enemyKing], enemyKingRank = w.pieceRank[S::enemyKing];
  const bool ownKingAttacked = SquareAttacked(w, ownKingFile, ownKingRank, C) != 0;
  const bool enemyKingAttacked = SliderAttacksSquare(w, enemyKingFile, enemyKingRank, S::enemy) != 0;
  const uint32_t pinned = generation::LoneBlockers(w, ownKingFile, ownKingRank, S::enemy);
  const uint32_t uncovering = generation::LoneBlockers(w, enemyKingFile, enemyKingRank, C);
  PendingPly& pp = e.Pending[ply];
  pp.sourceSlot = slot;
  pp.checkRule = generation::FullRule;
  pp.pawnBesideKing = 1;  // every child is made here, with the full check test
  int n = 0;
  for (int i = 0; i < count; ++i) {
    const int32_t code = e.MoveList[i];
    if (MoveCaptured(code) == S::enemyKing) continue;  // a king is never taken (see ListLegalMoves)
    const int mover = MovePiece(code);
    const int toFile = MoveToFile(code);
    const bool kingMove = mover == S::ownKing;
    const bool enPassant = MoveCaptured(code) != 0 && saved.board[toFile][MoveToRank(code)] == 0;
    Position& child = e.ChildPositions[n + 1][ply];
    generation::CopyPosition(child, saved);
    MakeMove(child, code);
    if (ownKingAttacked || kingMove || enPassant) {
      if (SquareAttacked(child, child.pieceFile[S::ownKing], child.pieceRank[S::ownKing], C) != 0) continue;
    } else if (generation::InMask(pinned, mover)) {
      if (SliderAttacksSquare(child, ownKingFile, ownKingRank, C) != 0) continue;
    }
    int checker = PieceAttacksSquare(child, enemyKingFile, enemyKingRank, mover, S::enemy);
    if (checker == 0) {
      const int fromFile = saved.pieceFile[mover];
      const bool castling = kingMove && (toFile - fromFile == 2 || fromFile - toFile == 2);
      if (enemyKingAttacked || castling || enPassant || generation::InMask(uncovering, mover))
        checker = SliderAttacksSquare(child, enemyKingFile, enemyKingRank, S::enemy);
    }
    child.checkingPiece = static_cast<uint8_t>(checker);
    ++n;
    pp.moves[n] = code;
    pp.made[n] = 1;
  }
  if (n > 0) return n;
  return inCheck ? -2 : -1;
}

template <Colour C> int GenerateCaptures(Engine& e, int ply, int slot) {
  e.MoveCount = 0;
  Position& w = e.WorkPosition;
  generation::CopyPosition(w, e.ChildPositions[slot][ply - 1]);
  generation::CopyPosition(e.SavedPosition, w);
  return generation::ListLegalCaptures<C, true>(e, e.SavedPosition, ply, slot, w, true);
}

template <Colour C> int GenerateMovesLazily(Engine& e, int ply, int slot) {
  const Position& source = e.ChildPositions[slot][ply - 1];
  const int n = generation::ListLegalMoves<C>(e, source, ply, slot, e.WorkPosition, false);
  if (n > 0) return n;
  return source.checkingPiece != 0 ? -2 : -1;
}

template <Colour C> int GenerateCapturesLazily(Engine& e, int ply, int slot) {
  return generation::ListLegalCaptures<C, false>(e, e.ChildPositions[slot][ply - 1], ply, slot, e.WorkPosition, false);
}

template <Colour C> int GenerateLeaves(Engine& e, int ply, int slot, uint64_t& checks) {
  const Position& source = e.ChildPositions[slot][ply - 1];
  const int n = generation::ListLegalMoves<C, true>(e, source, ply, slot, e.WorkPosition, false, &checks);
  if (n > 0) return n;
  return source.checkingPiece != 0 ? -2 : -1;
}

template <Colour C> const Position& MakePendingChild(Engine& e, int ply, int j) {
  PendingPly& pp = e.Pending[ply];
  Position& child = e.ChildPositions[j][ply];
  generation::BuildChild<C>(pp, e.ChildPositions[pp.sourceSlot][ply - 1], child, pp.moves[j]);
  pp.made[j] = 1;
  return child;
}

namespace generation {
template <Colour C, CheckRule R> void MakeChildrenBy(Engine& e, int ply, int count) {
  PendingPly& pp = e.Pending[ply];
  const Position& src = e.ChildPositions[pp.sourceSlot][ply - 1];
  for (int j = 1; j <= count; ++j) {
    if (pp.made[j]) continue;
    BuildChildBy<C, R>(pp, src, e.ChildPositions[j][ply], pp.moves[j]);
    pp.made[j] = 1;
  }
}
}  // namespace generation

template <Colour C> void MakePendingChildren(Engine& e, int ply, int count) {
  switch (e.Pending[ply].checkRule) {
    case generation::FullRule: generation::MakeChildrenBy<C, generation::FullRule>(e, ply, count); break;
    case generation::CaptureRule: generation::MakeChildrenBy<C, generation::CaptureRule>(e, ply, count); break;
    default: generation::MakeChildrenBy<C, generation::InheritRule>(e, ply, count); break;
  }
}

}  // namespace ormedan
