// The position record, the MoveCode layout and the per-colour traits shared by
// every module.
#pragma once

#include <cstdint>
#include <string_view>

namespace ormedan {

// Piece values; the kind of a piece is always read from its value.
constexpr int KingValue = 20000;
constexpr int QueenValue = 1000;
constexpr int RookValue = 500;
constexpr int BishopValue = 300;
constexpr int KnightValue = 295;
constexpr int PawnValue = 100;

// Per-colour list capacities. They hold every piece that promotions can
// create in a legal game: 2 bishops + 1 queen + 8 promoted pawns, likewise
// for rooks, and 2 knights + 8 promoted pawns.
constexpr int MaxPawnSlots = 8;
constexpr int MaxDiagonalSlots = 11;
constexpr int MaxOrthogonalSlots = 11;
constexpr int MaxKnightSlots = 10;

// Search and generation capacities. A legal chess position has at most 218
// legal moves, so every buffer below holds any reachable position.
constexpr int MaxPly = 16;            // plies 1..16 of ChildPositions
constexpr int MaxChildren = 256;      // legal children per ply (slots 1..256)
constexpr int MaxPseudoMoves = 512;   // pseudo-legal moves of one generation
constexpr int MaxCaptureMoves = 256;  // captures and promotions of one generation
constexpr int MaxQuietMoves = 512;    // quiet moves of one generation

enum Colour : int { White = 1, Black = 2 };

constexpr Colour Other(Colour c) { return c == White ? Black : White; }

// Fixed-layout position. Plain value, copied whole, never referenced.
// Arrays are indexed exactly as the numbers they hold: PieceId 1..32,
// files 1..8 (0 and 9 are empty border files), ranks 1..8 (rank 0 unused and
// empty), colour 1..2 and list slots 1..count.
struct Position {
  int32_t enPassantFile;  // file of a pawn that just advanced two squares, else 0
  int32_t material;       // sum of pieceValue, white positive
  int32_t lastMove;       // MoveCode that produced this position
  int16_t pieceValue[33];  // [0] is always 0
  uint8_t pieceFile[33];
  uint8_t pieceRank[33];
  uint8_t whiteLongCastleRight;
  uint8_t whiteShortCastleRight;
  uint8_t blackShortCastleRight;
  uint8_t blackLongCastleRight;
  uint8_t whiteCastled;
  uint8_t blackCastled;
  uint8_t gamePhase;      // 1 opening, 2 middle game, 3 endgame
  uint8_t checkingPiece;  // PieceId giving check to the side to move, 0 if none
  uint8_t officerCount;   // queens, rooks, bishops and knights of both colours
  uint8_t board[10][9];   // [file][rank] -> PieceId, 0 = empty
  uint8_t pawnList[3][MaxPawnSlots + 1];            // [colour][slot]
  uint8_t diagonalList[3][MaxDiagonalSlots + 1];    // bishops and queens
  uint8_t orthogonalList[3][MaxOrthogonalSlots + 1];  // rooks and queens
  uint8_t knightList[3][MaxKnightSlots + 1];
  uint8_t pawnCount[3];
  uint8_t diagonalCount[3];
  uint8_t orthogonalCount[3];
  uint8_t knightCount[3];
  uint8_t kingLine[33];  // slider on a line with the enemy king (geometry only)
};

// No padding inside the record, so whole-record comparisons are meaningful.
static_assert(sizeof(Position) == 420);

// MoveCode: moving PieceId | file << 8 | rank << 12 | captured << 16 | promotion << 24.
constexpr int32_t MakeMoveCode(int piece, int toFile, int toRank, int captured = 0, int promotion = 0) {
  return piece + toFile * 256 + toRank * 4096 + captured * 65536 + promotion * 16777216;
}
constexpr int MovePiece(int32_t m) { return m & 0xFF; }
constexpr int MoveToFile(int32_t m) { return (m >> 8) & 0xF; }
constexpr int MoveToRank(int32_t m) { return (m >> 12) & 0xF; }
constexpr int MoveCaptured(int32_t m) { return (m >> 16) & 0xFF; }
constexpr int MovePromotion(int32_t m) { return (m >> 24) & 0xF; }
constexpr bool IsCaptureOrPromotion(int32_t m) { return m > 0xFFFF; }
constexpr bool IsPromotion(int32_t m) { return m > 0x1FFFFFE; }

// Promotion codes: 2, 3, 4, 5 a white knight, bishop, rook, queen; 6..9
// the same for black. Their letters in coordinate text are n, b, r, q.
constexpr char PromotionLetter(int code) { return code >= 2 && code <= 9 ? "nbrq"[(code - 2) % 4] : '\0'; }
// The code of a promotion letter for a pawn of colour c; 0 for another letter.
constexpr int PromotionCodeOf(char letter, Colour c) {
  const int offset = c == White ? 0 : 4;
  switch (letter) {
    case 'n': return 2 + offset;
    case 'b': return 3 + offset;
    case 'r': return 4 + offset;
    case 'q': return 5 + offset;
    default: return 0;
  }
}

// The MoveCode that coordinate text ("e2e4", "e7e8q", castling as the king's
// move) names in p: the piece on its origin, what stands on its destination
// or, for a pawn moving diagonally onto an empty square, the pawn beside it
// (en passant), and the promotion letter for the moving piece's colour. 0
// when the text is not two squares and an optional n, b, r or q, or its
// origin is empty. Whether the move is legal is not looked at.
inline int32_t MoveCodeFromText(const Position& p, std::string_view text) {
  if (text.size() != 4 && text.size() != 5) return 0;
  const auto in = [](char c, char low) { return c >= low && c < low + 8; };
  if (!in(text[0], 'a') || !in(text[1], '1') || !in(text[2], 'a') || !in(text[3], '1')) return 0;
  const int ff = text[0] - 'a' + 1, fr = text[1] - '0';
  const int tf = text[2] - 'a' + 1, tr = text[3] - '0';
  const int piece = p.board[ff][fr];
  if (piece == 0) return 0;
  int captured = p.board[tf][tr];
  const int v = p.pieceValue[piece];
  if ((v == PawnValue || v == -PawnValue) && ff != tf && captured == 0) captured = p.board[tf][fr];
  const int promotion = text.size() == 5 ? PromotionCodeOf(text[4], piece < 17 ? White : Black) : 0;
  if (text.size() == 5 && promotion == 0) return 0;
  return MakeMoveCode(piece, tf, tr, captured, promotion);
}

constexpr int32_t WhiteShortCastle = 0x1701;
constexpr int32_t WhiteLongCastle = 0x1301;
constexpr int32_t BlackShortCastle = 0x8711;
constexpr int32_t BlackLongCastle = 0x8311;

constexpr bool IsWhitePiece(int id) { return id < 17; }

// What differs between the colours in generation, make move and attack tests.
template <Colour C> struct Side;

template <> struct Side<White> {
  static constexpr Colour colour = White;
  static constexpr Colour enemy = Black;
  static constexpr int sign = +1;             // sign of this colour's piece values
  static constexpr int firstPiece = 1, lastPiece = 16;
  static constexpr int ownKing = 1, enemyKing = 17;
  static constexpr int pawnStep = +1;
  static constexpr int promotionFromRank = 7, startRank = 2, enPassantRank = 5;
  static constexpr int homeRank = 1;
  static constexpr int shortRook = 4, longRook = 3;
  static constexpr int promoKnight = 2, promoBishop = 3, promoRook = 4, promoQueen = 5;
  static constexpr int32_t shortCastle = WhiteShortCastle, longCastle = WhiteLongCastle;
  static bool IsEnemy(int id) { return id >= 17; }
  static uint8_t& ShortRight(Position& p) { return p.whiteShortCastleRight; }
  static uint8_t& LongRight(Position& p) { return p.whiteLongCastleRight; }
  static uint8_t ShortRight(const Position& p) { return p.whiteShortCastleRight; }
  static uint8_t LongRight(const Position& p) { return p.whiteLongCastleRight; }
};

template <> struct Side<Black> {
  static constexpr Colour colour = Black;
  static constexpr Colour enemy = White;
  static constexpr int sign = -1;
  static constexpr int firstPiece = 17, lastPiece = 32;
  static constexpr int ownKing = 17, enemyKing = 1;
  static constexpr int pawnStep = -1;
  static constexpr int promotionFromRank = 2, startRank = 7, enPassantRank = 4;
  static constexpr int homeRank = 8;
  static constexpr int shortRook = 20, longRook = 19;
  static constexpr int promoKnight = 6, promoBishop = 7, promoRook = 8, promoQueen = 9;
  static constexpr int32_t shortCastle = BlackShortCastle, longCastle = BlackLongCastle;
  static bool IsEnemy(int id) { return id >= 1 && id <= 16; }
  static uint8_t& ShortRight(Position& p) { return p.blackShortCastleRight; }
  static uint8_t& LongRight(Position& p) { return p.blackLongCastleRight; }
  static uint8_t ShortRight(const Position& p) { return p.blackShortCastleRight; }
  static uint8_t LongRight(const Position& p) { return p.blackLongCastleRight; }
};

}  // namespace ormedan
