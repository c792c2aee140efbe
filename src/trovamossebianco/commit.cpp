// Makes the chosen root child the game's position, with its key in the
// repetition history, and fills the move line's squares.
#include "declare/game_record.h"
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
  JoinGame(e, child, IsWhitePiece(piece) ? White : Black, JoinPosition | JoinKeys);
  // For castling these are the king's squares.
  out.toFile = e.GamePosition.pieceFile[piece];
  out.toRank = e.GamePosition.pieceRank[piece];
  out.promotion = MovePromotion(move);
}

}  // namespace ormedan
