// Positions from FEN text, for tools and tests. PieceIds follow one fixed
// rule so that tools, tests and the book numbering agree:
//   1. the kings are 1 and 17;
//   2. a piece on the initial square of a PieceId of its own kind and colour
//      takes that PieceId;
//   3. the other pawns, squares taken file a to h and rank 1 to 8 within a
//      file, take the initial PieceId of their own file's pawn if it is free,
//      else the lowest free pawn PieceId of their colour;
//   4. the other pieces, in the same square order, take the lowest free
//      PieceId of their kind's initial set, and once that is used up the
//      lowest free pawn PieceId of their colour, as a promoted pawn would.
#include <string>
#include <string_view>

#include "utilita/fen.h"

#include "declare/model.h"
#include "utilita/attacks.h"

namespace ormedan {

namespace {

// Index of a kind in the tables below.
enum Kind { kKing, kQueen, kRook, kBishop, kKnight, kPawn, kKinds };

constexpr int kKindValue[kKinds] = {KingValue, QueenValue, RookValue, BishopValue, KnightValue, PawnValue};

// Initial PieceIds of each white kind (black adds 16), 0-terminated.
constexpr int kKindIds[kKinds][9] = {
    {1, 0}, {2, 0}, {3, 4, 0}, {5, 6, 0}, {7, 8, 0}, {9, 10, 11, 12, 13, 14, 15, 16, 0},
};

// Initial squares of the white PieceIds 1..16 (file, rank). Black officers
// mirror them on rank 8; black pawns 25..32 stand on files a..h of rank 7.
constexpr int kHomeFile[17] = {0, 5, 4, 1, 8, 3, 6, 2, 7, 1, 8, 2, 7, 3, 6, 4, 5};
constexpr int kHomeRank[17] = {0, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2};

// White pawn PieceId of each file a..h.
constexpr int kWhitePawnOfFile[9] = {0, 9, 11, 13, 15, 16, 14, 12, 10};

int HomeFile(int id) { return id < 17 ? kHomeFile[id] : (id >= 25 ? id - 24 : kHomeFile[id - 16]); }
int HomeRank(int id) {
  const int r = kHomeRank[id < 17 ? id : id - 16];
  return id < 17 ? r : 9 - r;
}

struct Placed {
  int kind = -1;  // -1: empty square
  int colour = 0;
  int id = 0;
};

bool Fail(std::string& error, const std::string& text) {
  error = "FEN: " + text;
  return false;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Splits on runs of blanks; at most max fields are kept, and *more is set
// when there are further fields.
int SplitFields(std::string_view s, std::string_view* fields, int max, bool* more) {
  int n = 0;
  *more = false;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && IsSpace(s[i])) ++i;
    if (i >= s.size()) break;
    const size_t start = i;
    while (i < s.size() && !IsSpace(s[i])) ++i;
    if (n == max) {
      *more = true;
      break;
    }
    fields[n++] = s.substr(start, i - start);
  }
  return n;
}

bool ParseKind(char c, int& kind, int& colour) {
  colour = (c >= 'A' && c <= 'Z') ? White : Black;
  switch (c | 0x20) {
    case 'k': kind = kKing; break;
    case 'q': kind = kQueen; break;
    case 'r': kind = kRook; break;
    case 'b': kind = kBishop; break;
    case 'n': kind = kKnight; break;
    case 'p': kind = kPawn; break;
    default: return false;
  }
  return true;
}

bool ParsePlacement(std::string_view field, Placed (&sq)[9][9], std::string& error) {
  int rank = 8, file = 1;
  for (size_t i = 0; i < field.size(); ++i) {
    const char c = field[i];
    if (c == '/') {
      if (file != 9) return Fail(error, "rank " + std::to_string(rank) + " does not have 8 squares");
      if (rank == 1) return Fail(error, "more than 8 ranks");
      --rank;
      file = 1;
    } else if (c >= '1' && c <= '8') {
      file += c - '0';
      if (file > 9) return Fail(error, "rank " + std::to_string(rank) + " has more than 8 squares");
    } else {
      int kind = 0, colour = 0;
      if (!ParseKind(c, kind, colour)) return Fail(error, std::string("unexpected character in the board: '") + c + "'");
      if (file > 8) return Fail(error, "rank " + std::to_string(rank) + " has more than 8 squares");
      sq[file][rank].kind = kind;
      sq[file][rank].colour = colour;
      ++file;
    }
  }
  if (rank != 1) return Fail(error, "fewer than 8 ranks");
  if (file != 9) return Fail(error, "rank 1 does not have 8 squares");
  return true;
}

bool IsCounter(std::string_view f) {
  if (f.empty() || f.size() > 9) return false;
  for (char c : f)
    if (c < '0' || c > '9') return false;
  return true;
}

// Counts per colour and kind, and the legality limits on them.
bool CheckCounts(const Placed (&sq)[9][9], std::string& error) {
  int count[3][kKinds] = {};
  for (int f = 1; f <= 8; ++f)
    for (int r = 1; r <= 8; ++r) {
      const Placed& s = sq[f][r];
      if (s.kind < 0) continue;
      ++count[s.colour][s.kind];
      if (s.kind == kPawn && (r == 1 || r == 8))
        return Fail(error, std::string("pawn on ") + static_cast<char>('a' + f - 1) + std::to_string(r));
    }
  for (int c = White; c <= Black; ++c) {
    const std::string name = c == White ? "white" : "black";
    if (count[c][kKing] != 1)
      return Fail(error, name + " has " + std::to_string(count[c][kKing]) + " kings");
    int total = 0;
    for (int k = 0; k < kKinds; ++k) total += count[c][k];
    if (total > 16) return Fail(error, name + " has more than 16 pieces");
    if (count[c][kPawn] > 8) return Fail(error, name + " has more than 8 pawns");
    auto extra = [](int n, int initial) { return n > initial ? n - initial : 0; };
    const int promoted = extra(count[c][kQueen], 1) + extra(count[c][kRook], 2) + extra(count[c][kBishop], 2) +
                         extra(count[c][kKnight], 2);
    if (promoted + count[c][kPawn] > 8)
      return Fail(error, name + " has more pieces than promotions of its pawns allow");
  }
  return true;
}

// Gives every piece its PieceId by the rule at the top of this file.
void AssignIds(Placed (&sq)[9][9]) {
  bool used[33] = {};
  auto take = [&](Placed& s, int id) {
    s.id = id;
    used[id] = true;
  };
  // Kings, then pieces on their own initial squares.
  for (int f = 1; f <= 8; ++f)
    for (int r = 1; r <= 8; ++r) {
      Placed& s = sq[f][r];
      if (s.kind == kKing) take(s, s.colour == White ? 1 : 17);
    }
  for (int f = 1; f <= 8; ++f)
    for (int r = 1; r <= 8; ++r) {
      Placed& s = sq[f][r];
      if (s.kind <= kKing) continue;
      const int offset = s.colour == White ? 0 : 16;
      for (const int* w = kKindIds[s.kind]; *w != 0; ++w) {
        const int id = *w + offset;
        if (HomeFile(id) == f && HomeRank(id) == r) take(s, id);
      }
    }
  auto lowestFreePawn = [&](int colour) {
    const int first = colour == White ? 9 : 25;
    for (int id = first; id < first + 8; ++id)
      if (!used[id]) return id;
    return 0;  // cannot happen after CheckCounts
  };
  for (int f = 1; f <= 8; ++f)
    for (int r = 1; r <= 8; ++r) {
      Placed& s = sq[f][r];
      if (s.kind != kPawn || s.id != 0) continue;
      const int own = s.colour == White ? kWhitePawnOfFile[f] : 24 + f;
      take(s, used[own] ? lowestFreePawn(s.colour) : own);
    }
  for (int f = 1; f <= 8; ++f)
    for (int r = 1; r <= 8; ++r) {
      Placed& s = sq[f][r];
      if (s.kind <= kKing || s.kind == kPawn || s.id != 0) continue;
      const int offset = s.colour == White ? 0 : 16;
      int id = 0;
      for (const int* w = kKindIds[s.kind]; *w != 0 && id == 0; ++w)
        if (!used[*w + offset]) id = *w + offset;
      take(s, id != 0 ? id : lowestFreePawn(s.colour));
    }
}

void Append(uint8_t* list, uint8_t& count, int id) { list[++count] = static_cast<uint8_t>(id); }

// Piece q on a file or rank, or on a diagonal, with the king.
bool OnFileOrRankWith(const Position& p, int q, int king) {
  return OnFileOrRank(p.pieceFile[q], p.pieceRank[q], p.pieceFile[king], p.pieceRank[king]);
}
bool OnDiagonalWith(const Position& p, int q, int king) {
  return OnDiagonal(p.pieceFile[q], p.pieceRank[q], p.pieceFile[king], p.pieceRank[king]);
}

// Fills the record from the placed pieces; lists in PieceId order.
void BuildRecord(const Placed (&sq)[9][9], Position& p) {
  p = Position{};
  for (int id = 1; id <= 32; ++id) {
    // Absent pieces keep their initial square, as if captured there.
    p.pieceFile[id] = static_cast<uint8_t>(HomeFile(id));
    p.pieceRank[id] = static_cast<uint8_t>(HomeRank(id));
  }
  for (int f = 1; f <= 8; ++f)
    for (int r = 1; r <= 8; ++r) {
      const Placed& s = sq[f][r];
      if (s.kind < 0) continue;
      p.pieceFile[s.id] = static_cast<uint8_t>(f);
      p.pieceRank[s.id] = static_cast<uint8_t>(r);
      p.pieceValue[s.id] = static_cast<int16_t>(s.colour == White ? kKindValue[s.kind] : -kKindValue[s.kind]);
      p.board[f][r] = static_cast<uint8_t>(s.id);
    }
  for (int id = 1; id <= 32; ++id) {
    const int v = p.pieceValue[id];
    if (v == 0) continue;
    const int c = id < 17 ? White : Black;
    const int a = v < 0 ? -v : v;
    p.material += v;
    if (a != KingValue && a != PawnValue) ++p.officerCount;
    if (a == PawnValue) Append(p.pawnList[c], p.pawnCount[c], id);
    if (a == QueenValue || a == BishopValue) Append(p.diagonalList[c], p.diagonalCount[c], id);
    if (a == QueenValue || a == RookValue) Append(p.orthogonalList[c], p.orthogonalCount[c], id);
    if (a == KnightValue) Append(p.knightList[c], p.knightCount[c], id);
    const int enemyKing = id < 17 ? 17 : 1;
    if (a == RookValue) p.kingLine[id] = OnFileOrRankWith(p, id, enemyKing) ? 1 : 0;
    if (a == BishopValue) p.kingLine[id] = OnDiagonalWith(p, id, enemyKing) ? 1 : 0;
    if (a == QueenValue) p.kingLine[id] = (OnFileOrRankWith(p, id, enemyKing) || OnDiagonalWith(p, id, enemyKing)) ? 1 : 0;
  }
  p.gamePhase = p.orthogonalCount[White] + p.orthogonalCount[Black] < 3 ? 3 : 2;
}

}  // namespace

bool PositionFromFen(std::string_view fen, Position& out, Colour& toMove, std::string& error) {
  std::string_view field[6];
  bool more = false;
  const int n = SplitFields(fen, field, 6, &more);
  if (n < 4) return Fail(error, "expected at least 4 fields (board, side, castling, en passant)");
  if (more) return Fail(error, "more than 6 fields");

  Placed sq[9][9];
  if (!ParsePlacement(field[0], sq, error)) return false;
  if (!CheckCounts(sq, error)) return false;

  Colour side;
  if (field[1] == "w") {
    side = White;
  } else if (field[1] == "b") {
    side = Black;
  } else {
    return Fail(error, "side to move must be w or b");
  }

  bool grant[4] = {};  // K, Q, k, q
  if (field[2] != "-") {
    if (field[2].size() > 4) return Fail(error, "bad castling field");
    for (char c : field[2]) {
      const std::string_view letters = "KQkq";
      const size_t i = letters.find(c);
      if (i == std::string_view::npos || grant[i]) return Fail(error, "bad castling field");
      grant[i] = true;
    }
  }

  int epFile = 0;
  if (field[3] != "-") {
    const std::string_view e = field[3];
    if (e.size() != 2 || e[0] < 'a' || e[0] > 'h' || (e[1] != '3' && e[1] != '6'))
      return Fail(error, "bad en passant square");
    epFile = e[0] - 'a' + 1;
    // The pawn that just advanced two squares stands in front of the square,
    // which is empty like the square the pawn came from.
    const int epRank = e[1] - '0';
    const int wantRank = side == White ? 6 : 3;
    const int pawnRank = side == White ? 5 : 4, fromRank = side == White ? 7 : 2;
    const Placed& pawn = sq[epFile][pawnRank];
    if (epRank != wantRank || pawn.kind != kPawn || pawn.colour == side || sq[epFile][epRank].kind >= 0 ||
        sq[epFile][fromRank].kind >= 0)
      return Fail(error, "en passant square does not follow a double pawn step");
  }
  if (n >= 5 && !IsCounter(field[4])) return Fail(error, "bad halfmove clock");
  if (n >= 6 && !IsCounter(field[5])) return Fail(error, "bad move number");

  AssignIds(sq);
  Position p;
  BuildRecord(sq, p);

  p.whiteShortCastleRight = grant[0] && p.board[5][1] == 1 && p.board[8][1] == 4;
  p.whiteLongCastleRight = grant[1] && p.board[5][1] == 1 && p.board[1][1] == 3;
  p.blackShortCastleRight = grant[2] && p.board[5][8] == 17 && p.board[8][8] == 20;
  p.blackLongCastleRight = grant[3] && p.board[5][8] == 17 && p.board[1][8] == 19;
  p.enPassantFile = epFile;

  const int ownKing = side == White ? 1 : 17, otherKing = side == White ? 17 : 1;
  const Colour other = Other(side);
  if (SquareAttacked(p, p.pieceFile[otherKing], p.pieceRank[otherKing], other) != 0)
    return Fail(error, std::string(side == White ? "black is in check with white" : "white is in check with black") +
                           " to move");
  p.checkingPiece = static_cast<uint8_t>(SquareAttacked(p, p.pieceFile[ownKing], p.pieceRank[ownKing], side));

  // The move that produced the position belongs to the other side: the
  // double step when there is one, else its king standing still.
  if (epFile != 0) {
    const int pawnRank = side == White ? 5 : 4;
    p.lastMove = MakeMoveCode(p.board[epFile][pawnRank], epFile, pawnRank);
  } else {
    p.lastMove = MakeMoveCode(otherKing, p.pieceFile[otherKing], p.pieceRank[otherKing]);
  }

  out = p;
  toMove = side;
  error.clear();
  return true;
}

}  // namespace ormedan
