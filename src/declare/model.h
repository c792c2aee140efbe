// Position-model routines: set-up, make move, keys, repetition and time.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "declare/engine.h"

namespace ormedan {

// Puts GamePosition in the initial position, empties PositionHistory and sets
// LastPredictedDepth to 4.
void SetUpNewGame(Engine& e);

// Writes the initial position into p (the board part of SetUpNewGame).
void InitialPosition(Position& p);

// Applies one MoveCode in place. Callers pass WorkPosition.
void MakeMove(Position& p, int32_t move);

// The repetition key of p with `toMove` to move: a position counts again
// only with the same board, side to move and castling rights.
PositionKeyText PositionKey(const Position& p, Colour toMove);
bool KeySeenTwice(const Engine& e, const PositionKeyText& key);
bool KeySeenThrice(const Engine& e, const PositionKeyText& key);

// The three-character book code of a move.
std::array<char, 3> BookMoveText(int32_t move);

int32_t ElapsedCentiseconds(Engine& e);
int32_t ElapsedMilliseconds(Engine& e);

// Checks every invariant of the record (board and piece list agree, lists
// and counts, material, officerCount, empty border files, kings alive).
// Returns true when consistent; otherwise describes the first fault in *why.
bool CheckPosition(const Position& p, std::string* why = nullptr);

}  // namespace ormedan
