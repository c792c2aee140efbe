// The one place where a move joins the game: the game position, the list of
// moves and the repetition history change together here, whoever plays the
// move (the opponent, the book, the search, a replay after a takeback).
#pragma once

#include "declare/engine.h"

namespace ormedan {

// The parts of the game that a move changes.
enum JoinPart : unsigned {
  JoinPosition = 1,  // GamePosition becomes the position after the move
  JoinKeys = 2,      // its key enters PositionHistory, which restarts after captures, promotions and pawn moves
  JoinMoveList = 4,  // the move is appended to MoveHistory
  JoinAll = 7,
};

// `after` is the position once `mover` has played its lastMove.
void JoinGame(Engine& e, const Position& after, Colour mover, unsigned parts);

// The side to move: the record's start side, turned once per move played.
Colour SideToMove(const Engine& e);

// Halfmoves since the last capture or pawn move.
int64_t HalfmoveClock(const Engine& e);

// The fifty-move rule: enough halfmoves without a capture or pawn move
// (GameRecord::fiftyMoveHalfmoves) for a draw.
inline bool FiftyMoveRuleReached(const Engine& e) { return HalfmoveClock(e) >= e.Record.fiftyMoveHalfmoves; }

// Makes the record start from the initial position, White to move.
void StartRecordFromInitial(Engine& e);

}  // namespace ormedan
