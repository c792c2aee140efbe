// The fixed tables of the generators and the board as bits.
//
// StepTables lists, per square, where a king and a knight step and the
// squares of the eight slider rays, in generation order, both as byte
// offsets into Position::board (square (f, r) is byte f * 9 + r) and as
// bits over the 64 squares (bit (f-1) * 8 + r-1). Only squares on the board
// appear, so the walks need no bounds tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "declare/position.h"

namespace ormedan::generation {

// Whole-record copy in 16-byte pieces. A Position is copied once for every
// child made, and the compiler's own block copy of this size is slower.
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

struct StepTables {
  static constexpr int Squares = 90;
  uint16_t dest[Squares] = {};  // the destination bits of a MoveCode: file * 256 + rank * 4096
  uint8_t kingCount[Squares] = {}, kingTo[Squares][8] = {};
  uint8_t knightCount[Squares] = {}, knightTo[Squares][8] = {};
  // Rays 0..3 diagonal: (+1,+1), (-1,+1), (-1,-1), (+1,-1);
  // rays 4..7 orthogonal: up the file, towards h, down the file, towards a.
  uint8_t rayLength[Squares][8] = {}, ray[Squares][8][7] = {};
  // The same rays as bits, for finding the first piece on a ray by a bit
  // scan. Rays 1, 2, 6 and 7 run towards lower bits, the others towards
  // higher bits.
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
    // King: (f+1, r-1), (f-1, r-1), (f, r-1), the same on rank r+1, then
    // (f+1, r) and (f-1, r). Knight: (+2,-1), (+1,-2), (-1,-2), (-2,-1),
    // (+1,+2), (+2,+1), (-2,+1), (-1,+2).
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

// Sixteen bytes or words at once, as a bit each (bit i for entry i): the
// bytes of `low` and then of `high` (eight each) that are not zero or that
// are above 16, and the sixteen words of `words` that are not zero. With
// SSE2 one compare each; elsewhere entry by entry.
#if defined(__SSE2__)
inline __m128i LoadTwoHalves(const uint8_t* low, const uint8_t* high) {
  return _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(low)),
                            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(high)));
}
inline uint32_t NonZeroBytes(const uint8_t* low, const uint8_t* high) {
  const __m128i zero = _mm_cmpeq_epi8(LoadTwoHalves(low, high), _mm_setzero_si128());
  return ~static_cast<uint32_t>(_mm_movemask_epi8(zero)) & 0xFFFF;
}
inline uint32_t BytesAbove16(const uint8_t* low, const uint8_t* high) {
  return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpgt_epi8(LoadTwoHalves(low, high), _mm_set1_epi8(16))));
}
inline uint32_t NonZeroWords(const int16_t* words) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i a = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(words)), zero);
  const __m128i b = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(words + 8)), zero);
  return ~static_cast<uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(a, b))) & 0xFFFF;
}
#else
inline uint32_t NonZeroBytes(const uint8_t* low, const uint8_t* high) {
  uint32_t m = 0;
  for (int i = 0; i < 8; ++i) m |= (low[i] != 0 ? 1u : 0u) << i | (high[i] != 0 ? 1u : 0u) << (i + 8);
  return m;
}
inline uint32_t BytesAbove16(const uint8_t* low, const uint8_t* high) {
  uint32_t m = 0;
  for (int i = 0; i < 8; ++i) m |= (low[i] > 16 ? 1u : 0u) << i | (high[i] > 16 ? 1u : 0u) << (i + 8);
  return m;
}
inline uint32_t NonZeroWords(const int16_t* words) {
  uint32_t m = 0;
  for (int i = 0; i < 16; ++i) m |= (words[i] != 0 ? 1u : 0u) << i;
  return m;
}
#endif

// The occupied squares of the board and those holding a black piece, as
// bits. Ranks 1..8 of a file are eight consecutive bytes of the board, and
// the sixteen bytes of two files give the sixteen bits of those files.
struct BoardBits {
  uint64_t occupied = 0, black = 0;
  explicit BoardBits(const Position& p) {
    for (int f = 1; f <= 7; f += 2) {
      occupied |= uint64_t{NonZeroBytes(&p.board[f][1], &p.board[f + 1][1])} << ((f - 1) * 8);
      black |= uint64_t{BytesAbove16(&p.board[f][1], &p.board[f + 1][1])} << ((f - 1) * 8);
    }
  }
  uint64_t White() const { return occupied & ~black; }
};

}  // namespace ormedan::generation
