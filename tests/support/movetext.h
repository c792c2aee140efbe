// Builds MoveCodes from coordinate text ("e2e4", "e7e8q") against a
// position, the way the driver reads the opponent's moves: the moving piece
// from the origin square, the captured piece from the destination or, for a
// pawn moving diagonally to an empty square, from beside it.
#pragma once

#include <string_view>

#include "declare/position.h"

namespace ormedan::testing {

inline int32_t MoveFromText(const Position& p, std::string_view text) {
  if (text.size() < 4) return 0;
  const int ff = text[0] - 'a' + 1, fr = text[1] - '0';
  const int tf = text[2] - 'a' + 1, tr = text[3] - '0';
  if (ff < 1 || ff > 8 || fr < 1 || fr > 8 || tf < 1 || tf > 8 || tr < 1 || tr > 8) return 0;
  const int piece = p.board[ff][fr];
  if (piece == 0) return 0;
  int captured = p.board[tf][tr];
  const int v = p.pieceValue[piece];
  if ((v == PawnValue || v == -PawnValue) && ff != tf && captured == 0) captured = p.board[tf][fr];
  int promotion = 0;
  if (text.size() >= 5) {
    promotion = PromotionCodeOf(text[4], IsWhitePiece(piece) ? White : Black);
    if (promotion == 0) return 0;
  }
  return MakeMoveCode(piece, tf, tr, captured, promotion);
}

}  // namespace ormedan::testing
