// Consistency check of a position record, for tests and tools. kingLine is
// not compared with the geometry: make move lets it lag behind (promoted
// pieces, and captured sliders). Only its one invariant is checked: a living
// piece that carries the flag is a bishop, rook or queen.
#include <string>

#include "declare/model.h"

namespace ormedan {

namespace {

bool Fail(std::string* why, const std::string& text) {
  if (why) *why = text;
  return false;
}

std::string Num(int n) { return std::to_string(n); }

bool IsKindValue(int a) {
  return a == QueenValue || a == RookValue || a == BishopValue || a == KnightValue || a == PawnValue;
}

// Checks one list of one colour: size, valid distinct entries of the right
// kind, and every living piece of that kind present.
bool CheckList(const Position& p, const char* name, const uint8_t* list, int count, int capacity, int colour,
               int kindA, int kindB, std::string* why) {
  const std::string where = std::string(name) + (colour == White ? " (white)" : " (black)");
  if (count > capacity) return Fail(why, where + " count " + Num(count) + " exceeds " + Num(capacity));
  const int sign = colour == White ? 1 : -1;
  bool seen[33] = {};
  for (int k = 1; k <= count; ++k) {
    const int id = list[k];
    if (id < 1 || id > 32) return Fail(why, where + " slot " + Num(k) + " holds " + Num(id));
    if (seen[id]) return Fail(why, where + " holds " + Num(id) + " twice");
    seen[id] = true;
    if ((colour == White) != IsWhitePiece(id)) return Fail(why, where + " holds " + Num(id) + " of the other colour");
    const int v = p.pieceValue[id];
    if (v != sign * kindA && v != sign * kindB)
      return Fail(why, where + " holds " + Num(id) + " of value " + Num(v));
  }
  const int first = colour == White ? 1 : 17;
  for (int id = first; id < first + 16; ++id) {
    const int v = p.pieceValue[id];
    if ((v == sign * kindA || v == sign * kindB) && !seen[id])
      return Fail(why, where + " misses " + Num(id));
  }
  return true;
}

}  // namespace

bool CheckPosition(const Position& p, std::string* why) {
  if (p.pieceValue[0] != 0) return Fail(why, "pieceValue[0] is " + Num(p.pieceValue[0]));
  for (int r = 0; r <= 8; ++r) {
    if (p.board[0][r] != 0 || p.board[9][r] != 0) return Fail(why, "border file not empty on rank " + Num(r));
  }
  for (int f = 1; f <= 8; ++f) {
    if (p.board[f][0] != 0) return Fail(why, "rank 0 not empty on file " + Num(f));
  }
  if (p.pieceValue[1] != KingValue) return Fail(why, "white king 1 has value " + Num(p.pieceValue[1]));
  if (p.pieceValue[17] != -KingValue) return Fail(why, "black king 17 has value " + Num(p.pieceValue[17]));

  int material = 0, officers = 0;
  for (int id = 1; id <= 32; ++id) {
    const int v = p.pieceValue[id];
    material += v;
    if (v == 0) continue;
    const bool king = id == 1 || id == 17;
    const int a = v < 0 ? -v : v;
    if (!king && !IsKindValue(a)) return Fail(why, "piece " + Num(id) + " has value " + Num(v));
    if ((v > 0) != IsWhitePiece(id)) return Fail(why, "piece " + Num(id) + " has the other colour's value " + Num(v));
    if (a != PawnValue && a != KingValue) ++officers;
    const int f = p.pieceFile[id], r = p.pieceRank[id];
    if (f < 1 || f > 8 || r < 1 || r > 8)
      return Fail(why, "piece " + Num(id) + " stands off the board at " + Num(f) + "," + Num(r));
    if (p.board[f][r] != id)
      return Fail(why, "piece " + Num(id) + " at " + Num(f) + "," + Num(r) + " but the board holds " + Num(p.board[f][r]));
    if (p.kingLine[id] != 0 && a != BishopValue && a != RookValue && a != QueenValue)
      return Fail(why, "piece " + Num(id) + " of value " + Num(v) + " is flagged on the king's line");
  }
  for (int f = 1; f <= 8; ++f) {
    for (int r = 1; r <= 8; ++r) {
      const int id = p.board[f][r];
      if (id == 0) continue;
      const std::string sq = Num(f) + "," + Num(r);
      if (id > 32) return Fail(why, "square " + sq + " holds " + Num(id));
      if (p.pieceValue[id] == 0) return Fail(why, "square " + sq + " holds captured piece " + Num(id));
      if (p.pieceFile[id] != f || p.pieceRank[id] != r)
        return Fail(why, "square " + sq + " holds " + Num(id) + " which stands elsewhere");
    }
  }
  if (material != p.material) return Fail(why, "material " + Num(p.material) + " but the values add up to " + Num(material));
  if (officers != p.officerCount)
    return Fail(why, "officerCount " + Num(p.officerCount) + " but " + Num(officers) + " officers stand");

  for (int c = White; c <= Black; ++c) {
    if (!CheckList(p, "pawnList", p.pawnList[c], p.pawnCount[c], MaxPawnSlots, c, PawnValue, PawnValue, why) ||
        !CheckList(p, "diagonalList", p.diagonalList[c], p.diagonalCount[c], MaxDiagonalSlots, c, BishopValue,
                   QueenValue, why) ||
        !CheckList(p, "orthogonalList", p.orthogonalList[c], p.orthogonalCount[c], MaxOrthogonalSlots, c, RookValue,
                   QueenValue, why) ||
        !CheckList(p, "knightList", p.knightList[c], p.knightCount[c], MaxKnightSlots, c, KnightValue, KnightValue,
                   why))
      return false;
  }

  if (p.enPassantFile < 0 || p.enPassantFile > 8) return Fail(why, "enPassantFile " + Num(p.enPassantFile));
  if (p.gamePhase < 1 || p.gamePhase > 3) return Fail(why, "gamePhase " + Num(p.gamePhase));
  if (p.checkingPiece > 32) return Fail(why, "checkingPiece " + Num(p.checkingPiece));
  const uint8_t flags[6] = {p.whiteLongCastleRight, p.whiteShortCastleRight, p.blackShortCastleRight,
                            p.blackLongCastleRight, p.whiteCastled,          p.blackCastled};
  for (uint8_t flag : flags) {
    if (flag > 1) return Fail(why, "castling flag " + Num(flag));
  }
  return true;
}

}  // namespace ormedan
