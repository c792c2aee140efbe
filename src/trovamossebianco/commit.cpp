// Makes the chosen root child the game's position and keeps the repetition
// history: emptied after captures, promotions and pawn moves.
#include "declare/model.h"
#include "generation/generate.h"

namespace ormedan {

void CommitRootMove(Engine& e, int slot) {
  if (slot <= 0) slot = 1;
  if (slot > MaxChildren) return;
  const Position& child = e.ChildPositions[slot][1];
  const int32_t move = child.lastMove;
  const int piece = MovePiece(move);
  if (piece < 1 || piece > 32) return;  // not a child the generator stored

  EngineMoveRecord& out = e.EngineMove;
  out.fromFile = e.GamePosition.pieceFile[piece];
  out.fromRank = e.GamePosition.pieceRank[piece];
  e.GamePosition = child;
  // For castling these are the king's squares.
  out.toFile = e.GamePosition.pieceFile[piece];
  out.toRank = e.GamePosition.pieceRank[piece];
  out.promotion = MovePromotion(move);

  // After a white move black is to move, and the other way round.
  e.PositionHistory.Append(PositionKey(e.GamePosition, IsWhitePiece(piece) ? Black : White));
  if (IsCaptureOrPromotion(e.GamePosition.lastMove)) e.PositionHistory.Clear();
  const int value = e.GamePosition.pieceValue[piece];
  if (value == PawnValue || value == -PawnValue) e.PositionHistory.Clear();
}

}  // namespace ormedan
