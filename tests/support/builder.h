// Hand-placed positions for tests: pieces with chosen PieceIds on an empty
// board, with lists, counts, material and officerCount filled in; and the
// initial record.
#pragma once

#include <cstring>

#include "declare/model.h"

namespace ormedan::testing {

class PositionBuilder {
 public:
  PositionBuilder() : p_{} { p_.gamePhase = 2; }

  // Square given as file letter and rank, e.g. Put(16, 'e', 4, PawnValue).
  // The value carries the colour's sign.
  PositionBuilder& Put(int id, char file, int rank, int value) {
    const int f = file - 'a' + 1;
    const int c = id < 17 ? White : Black;
    p_.pieceFile[id] = static_cast<uint8_t>(f);
    p_.pieceRank[id] = static_cast<uint8_t>(rank);
    p_.pieceValue[id] = static_cast<int16_t>(value);
    p_.board[f][rank] = static_cast<uint8_t>(id);
    p_.material += value;
    const int a = value < 0 ? -value : value;
    if (a == PawnValue) p_.pawnList[c][++p_.pawnCount[c]] = static_cast<uint8_t>(id);
    if (a == QueenValue || a == BishopValue) p_.diagonalList[c][++p_.diagonalCount[c]] = static_cast<uint8_t>(id);
    if (a == QueenValue || a == RookValue) p_.orthogonalList[c][++p_.orthogonalCount[c]] = static_cast<uint8_t>(id);
    if (a == KnightValue) p_.knightList[c][++p_.knightCount[c]] = static_cast<uint8_t>(id);
    if (a != PawnValue && a != KingValue) ++p_.officerCount;
    return *this;
  }
  PositionBuilder& Phase(int phase) {
    p_.gamePhase = static_cast<uint8_t>(phase);
    return *this;
  }
  Position Done() const { return p_; }

 private:
  Position p_;
};

// The record a new game starts from, and whether a record is exactly that.
inline Position Initial() {
  Position p{};
  InitialPosition(p);
  return p;
}
inline bool IsInitial(const Position& p) {
  const Position fresh = Initial();
  return std::memcmp(&fresh, &p, sizeof(Position)) == 0;
}

}  // namespace ormedan::testing
