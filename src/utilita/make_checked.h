// Making a move as the game does it: the move, then the check it gives.
#pragma once

#include "declare/model.h"
#include "utilita/attacks.h"

namespace ormedan {

// Makes the move on p and sets checkingPiece to the piece that now attacks
// the other side's king (0 for none).
inline void MakeMoveMarkingCheck(Position& p, int32_t move) {
  MakeMove(p, move);
  const bool whiteMoved = IsWhitePiece(MovePiece(move));
  const int king = whiteMoved ? Side<White>::enemyKing : Side<Black>::enemyKing;
  p.checkingPiece =
      static_cast<uint8_t>(SquareAttacked(p, p.pieceFile[king], p.pieceRank[king], whiteMoved ? Black : White));
}

}  // namespace ormedan
