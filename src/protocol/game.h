// The game as the protocol-2 and UCI modes keep it: a start (the initial
// position or a FEN) and the moves since, in MoveHistory. Every change goes
// through the game record; a takeback replays the game from its start, so
// the position, the repetition history and the move count are exactly what
// they were.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "declare/engine.h"

namespace ormedan {

// A new game from the initial position, White to move.
void StartGame(Engine& e);

// The game starts from a FEN: its side to move, castling rights, en-passant
// square and halfmove clock. False (and nothing changes) for a malformed or
// illegal FEN, with the reason in `error`.
bool StartGameFromFen(Engine& e, std::string_view fen, std::string& error);

// Replays the game from its start up to its first `moves` moves; false when
// it has fewer (or more than are stored), and then nothing changes.
bool ReplayGame(Engine& e, int64_t moves);

// The MoveCode of a move in coordinates ("e2e4", "e7e8q", castling as the
// king's move) when it is a legal move of the side to move; 0 otherwise.
int32_t LegalMoveFromText(Engine& e, std::string_view text);

// Plays a legal move of the side to move.
void PlayMove(Engine& e, int32_t move);

// The move in coordinates, from the position before it. Writes into buf (at
// least 6 bytes).
std::string_view MoveText(const Position& before, int32_t move, char* buf);

// A line of moves in coordinates, separated by blanks, played from
// `before`; it ends at the first move that is not one of that position.
std::string LineText(const Position& before, const int32_t* moves, int count);

// Makes `side` the side to move without a move: the game starts again from
// the position as it stands (protocol 1's "white" and "black").
void SetSideToMove(Engine& e, Colour side);

// Whether the side to move has a legal move.
bool HasLegalMove(Engine& e);

// Moves played in the game counted as the FEN counts them: the full move
// number of the position now.
int64_t FullMoveNumber(const Engine& e);

}  // namespace ormedan
