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

// The occupied squares of the board and those holding a black piece, as
// bits. Each file's ranks 1..8 are eight consecutive bytes of the board: a
// byte that is not zero gives its bit, a PieceId above 16 its black bit.
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

}  // namespace ormedan::generation
