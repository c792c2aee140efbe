// Applying one MoveCode to a position in place, with every derived field
// (lists, counts, material, castling, en passant, phase, kingLine) updated
// incrementally. No legality test: the caller hands in a move that fits.
//
// Defined here so that the generators, which know the moving colour, can
// have it inlined; MakeMove (declare/model.h) is the same for any colour.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "declare/lines.h"
#include "declare/position.h"

namespace ormedan {

namespace makemove_detail {

// What make move needs beyond the shared Side<C> traits.
template <Colour C> struct MoveSide;
template <> struct MoveSide<White> {
  static uint8_t& Castled(Position& p) { return p.whiteCastled; }
};
template <> struct MoveSide<Black> {
  static uint8_t& Castled(Position& p) { return p.blackCastled; }
};

// Removes x from list[1..count] by moving the last entry into its slot.
inline void RemoveFrom(uint8_t* list, uint8_t& count, int x) {
  const int n = count;
  for (int k = 1; k <= n; ++k) {
    if (list[k] == x) {
      list[k] = list[n];
      count = static_cast<uint8_t>(n - 1);
      return;
    }
  }
}

// Appends x to list[1..count]; the capacity holds every piece a legal game
// can create, and nothing is ever written beyond it.
inline void AppendTo(uint8_t* list, uint8_t& count, int capacity, int x) {
  if (count >= capacity) return;
  ++count;
  list[count] = static_cast<uint8_t>(x);
}

// Castling rook: moves it from its corner to (rookTo, home rank).
template <Colour C> inline void MoveCastlingRook(Position& p, int rook, int cornerFile, int rookTo) {
  constexpr int home = Side<C>::homeRank;
  p.pieceFile[rook] = static_cast<uint8_t>(rookTo);
  p.board[cornerFile][home] = 0;
  p.board[rookTo][home] = static_cast<uint8_t>(rook);
  MoveSide<C>::Castled(p) = 1;
  // Own rooks and queens against the enemy king, by file or rank alone.
  constexpr int me = Side<C>::colour;
  const int kf = p.pieceFile[Side<C>::enemyKing], kr = p.pieceRank[Side<C>::enemyKing];
  for (int k = 1, n = p.orthogonalCount[me]; k <= n; ++k) {
    const int q = p.orthogonalList[me][k];
    p.kingLine[q] = OnFileOrRank(p.pieceFile[q], p.pieceRank[q], kf, kr) ? 1 : 0;
  }
}

template <Colour C> inline void KingMove(Position& p, int fromFile, int toFile, int toRank) {
  using S = Side<C>;
  S::LongRight(p) = 0;
  S::ShortRight(p) = 0;
  if (toFile == fromFile + 2) {
    MoveCastlingRook<C>(p, S::shortRook, 8, 6);
  } else if (toFile == fromFile - 2) {
    MoveCastlingRook<C>(p, S::longRook, 1, 4);
  }
  constexpr int en = S::enemy;
  for (int k = 1, n = p.diagonalCount[en]; k <= n; ++k) {
    const int q = p.diagonalList[en][k];
    p.kingLine[q] = OnDiagonal(p.pieceFile[q], p.pieceRank[q], toFile, toRank) ? 1 : 0;
  }
  for (int k = 1, n = p.orthogonalCount[en]; k <= n; ++k) {
    const int q = p.orthogonalList[en][k];
    const bool line = OnFileOrRank(p.pieceFile[q], p.pieceRank[q], toFile, toRank);
    if (p.pieceValue[q] == -S::sign * RookValue) {
      p.kingLine[q] = line ? 1 : 0;
    } else if (line) {
      p.kingLine[q] = 1;  // a queen keeps its diagonal verdict otherwise
    }
  }
}

template <Colour C> inline void OtherMove(Position& p, int piece, int fromRank, int toFile, int toRank) {
  using S = Side<C>;
  if (piece == S::shortRook) S::ShortRight(p) = 0;
  if (piece == S::longRook) S::LongRight(p) = 0;
  const int v = p.pieceValue[piece];
  const int kf = p.pieceFile[S::enemyKing], kr = p.pieceRank[S::enemyKing];
  if (v == S::sign * PawnValue) {
    if (fromRank == S::startRank && toRank == S::startRank + 2 * S::pawnStep) p.enPassantFile = toFile;
  } else if (v == S::sign * BishopValue) {
    p.kingLine[piece] = OnDiagonal(toFile, toRank, kf, kr) ? 1 : 0;
  } else if (v == S::sign * RookValue) {
    p.kingLine[piece] = OnFileOrRank(toFile, toRank, kf, kr) ? 1 : 0;
  } else if (v == S::sign * QueenValue) {
    p.kingLine[piece] = (OnFileOrRank(toFile, toRank, kf, kr) || OnDiagonal(toFile, toRank, kf, kr)) ? 1 : 0;
  }
}

// Removes the captured piece c. Its colour is read from c, or, when the
// caller knows it (Known), taken as E.
template <bool Known, Colour E> inline void Capture(Position& p, int c) {
  const int colour = Known ? E : c < 17 ? White : Black;
  const int sign = Known ? Side<E>::sign : c < 17 ? 1 : -1;
  const int v = p.pieceValue[c];
  if (v == sign * PawnValue) {
    RemoveFrom(p.pawnList[colour], p.pawnCount[colour], c);
  } else if (v == sign * QueenValue) {
    --p.officerCount;
    RemoveFrom(p.orthogonalList[colour], p.orthogonalCount[colour], c);
    RemoveFrom(p.diagonalList[colour], p.diagonalCount[colour], c);
  } else if (v == sign * RookValue) {
    --p.officerCount;
    RemoveFrom(p.orthogonalList[colour], p.orthogonalCount[colour], c);
  } else if (v == sign * BishopValue) {
    --p.officerCount;
    RemoveFrom(p.diagonalList[colour], p.diagonalCount[colour], c);
  } else if (v == sign * KnightValue) {
    --p.officerCount;
    RemoveFrom(p.knightList[colour], p.knightCount[colour], c);
  }
  p.material -= v;
  p.pieceValue[c] = 0;
  p.board[p.pieceFile[c]][p.pieceRank[c]] = 0;
  if (p.gamePhase == 2 && p.orthogonalCount[White] + p.orthogonalCount[Black] < 3) p.gamePhase = 3;
}

inline void Promote(Position& p, int piece, int code) {
  p.material -= p.pieceValue[piece];
  ++p.officerCount;
  const int colour = code < 6 ? White : Black;
  const int sign = code < 6 ? 1 : -1;
  const int kind = code < 6 ? code : code - 4;  // 2 knight, 3 bishop, 4 rook, 5 queen
  RemoveFrom(p.pawnList[colour], p.pawnCount[colour], piece);
  switch (kind) {
    case 2:
      p.pieceValue[piece] = static_cast<int16_t>(sign * KnightValue);
      AppendTo(p.knightList[colour], p.knightCount[colour], MaxKnightSlots, piece);
      break;
    case 3:
      p.pieceValue[piece] = static_cast<int16_t>(sign * BishopValue);
      AppendTo(p.diagonalList[colour], p.diagonalCount[colour], MaxDiagonalSlots, piece);
      break;
    case 4:
      p.pieceValue[piece] = static_cast<int16_t>(sign * RookValue);
      AppendTo(p.orthogonalList[colour], p.orthogonalCount[colour], MaxOrthogonalSlots, piece);
      break;
    default:
      p.pieceValue[piece] = static_cast<int16_t>(sign * QueenValue);
      AppendTo(p.orthogonalList[colour], p.orthogonalCount[colour], MaxOrthogonalSlots, piece);
      AppendTo(p.diagonalList[colour], p.diagonalCount[colour], MaxDiagonalSlots, piece);
      break;
  }
  p.material += p.pieceValue[piece];
}

// Known: the caller guarantees that a captured piece is the other colour's
// (the generators do); otherwise its colour is read from its PieceId.
template <Colour C, bool Known> [[gnu::always_inline]] inline void MakeMoveAs(Position& p, int32_t move, int piece) {
  p.enPassantFile = 0;
  const int toFile = MoveToFile(move), toRank = MoveToRank(move);
  const int fromFile = p.pieceFile[piece], fromRank = p.pieceRank[piece];
  p.board[fromFile][fromRank] = 0;
  p.pieceFile[piece] = static_cast<uint8_t>(toFile);
  p.pieceRank[piece] = static_cast<uint8_t>(toRank);
  if (piece == Side<C>::ownKing) {
    KingMove<C>(p, fromFile, toFile, toRank);
  } else {
    OtherMove<C>(p, piece, fromRank, toFile, toRank);
  }
  if (move > 0xFFFF) {
    const int c = MoveCaptured(move);
    if (c != 0) Capture<Known, Side<C>::enemy>(p, c);
    // The promoted piece keeps the pawn's kingLine (0) until it moves; the
    // capture generator's legality shortcut accepts that (legal_lists.h).
    if (IsPromotion(move)) Promote(p, piece, MovePromotion(move));
  }
  p.board[toFile][toRank] = static_cast<uint8_t>(piece);
  p.lastMove = move;
}

}  // namespace makemove_detail

// Puts p back to `before` after MakeMoveOf<C>(p, move) (and any change of
// checkingPiece), where p was a copy of `before`: only the fields that the
// move can change are copied back, so a whole record need not be copied
// for every move made and dropped. A quiet move that is not the king's
// touches the header, two squares, the mover's file, rank and kingLine and
// the castling bytes; a capture or promotion also the lists and two
// values; a king move every kingLine and, castling, the rook.
template <Colour C> [[gnu::always_inline]] inline void RestoreBeforeMove(Position& p, const Position& before, int32_t move) {
  using S = Side<C>;
  p.enPassantFile = before.enPassantFile;
  p.material = before.material;
  p.lastMove = before.lastMove;
  const int piece = MovePiece(move);
  const int fromFile = before.pieceFile[piece], fromRank = before.pieceRank[piece];
  const int toFile = MoveToFile(move), toRank = MoveToRank(move);
  p.board[toFile][toRank] = before.board[toFile][toRank];
  p.board[fromFile][fromRank] = static_cast<uint8_t>(piece);
  p.pieceFile[piece] = static_cast<uint8_t>(fromFile);
  p.pieceRank[piece] = static_cast<uint8_t>(fromRank);
  p.kingLine[piece] = before.kingLine[piece];
  // The castling rights, castled flags, phase, check and officer count lie
  // side by side.
  static_assert(offsetof(Position, officerCount) - offsetof(Position, whiteLongCastleRight) == 8);
  std::memcpy(&p.whiteLongCastleRight, &before.whiteLongCastleRight, 9);
  if (move > 0xFFFF) {
    p.pieceValue[piece] = before.pieceValue[piece];
    const int c = MoveCaptured(move);
    if (c != 0) {
      p.pieceValue[c] = before.pieceValue[c];
      p.board[before.pieceFile[c]][before.pieceRank[c]] = static_cast<uint8_t>(c);  // en passant: off the target
    }
    // The four piece lists and their counts lie side by side.
    constexpr size_t lists = offsetof(Position, pawnList);
    constexpr size_t listsEnd = offsetof(Position, knightCount) + sizeof(Position::knightCount);
    std::memcpy(reinterpret_cast<unsigned char*>(&p) + lists, reinterpret_cast<const unsigned char*>(&before) + lists,
                listsEnd - lists);
  }
  if (piece == S::ownKing) {
    std::memcpy(p.kingLine, before.kingLine, sizeof p.kingLine);
    constexpr int home = S::homeRank;
    p.pieceFile[S::shortRook] = before.pieceFile[S::shortRook];
    p.pieceFile[S::longRook] = before.pieceFile[S::longRook];
    constexpr int rookFiles[] = {1, 4, 6, 8};  // the corners and the squares beside the king's
    for (const int f : rookFiles) p.board[f][home] = before.board[f][home];
  }
}

// MakeMove for a move of colour C that captures, if anything, a piece of
// the other colour.
template <Colour C> [[gnu::always_inline]] inline void MakeMoveOf(Position& p, int32_t move) {
  makemove_detail::MakeMoveAs<C, true>(p, move, MovePiece(move));
}

}  // namespace ormedan
