#include "declare/game_record.h"

#include "declare/model.h"

namespace ormedan {

void JoinGame(Engine& e, const Position& after, Colour mover, unsigned parts) {
  if (parts & JoinPosition) e.GamePosition = after;
  if (parts & JoinMoveList) e.MoveHistory.Append(after.lastMove);
  if (parts & JoinKeys) {
    e.PositionHistory.Append(PositionKey(after, Other(mover)));
    // A capture, a promotion or a pawn move cannot be undone: no earlier
    // position can come back.
    const int value = after.pieceValue[MovePiece(after.lastMove)];
    if (IsCaptureOrPromotion(after.lastMove) || value == PawnValue || value == -PawnValue) {
      e.PositionHistory.Clear();
      e.Record.startKeyed = 0;
    }
  }
}

Colour SideToMove(const Engine& e) {
  return e.MoveHistory.Count() % 2 == 0 ? e.Record.startSide : Other(e.Record.startSide);
}

void StartRecordFromInitial(Engine& e) {
  InitialPosition(e.Record.start);
  e.Record.startSide = White;
  e.Record.startHalfmoves = 0;
  e.Record.startFullmove = 1;
  e.Record.fromFen = 0;
  e.Record.openingClosedAt = -1;
  e.Record.startKeyed = 0;
}

int64_t HalfmoveClock(const Engine& e) { return e.PositionHistory.Count() - e.Record.startKeyed; }

}  // namespace ormedan
