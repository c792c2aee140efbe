// Playing below full strength. A level is tied to what the engine sees, not
// to the clock: it overlooks some moves, its own and its opponent's, the way
// a weaker player does (quiet, long and backward moves first, a piece
// hanging in plain sight last), it judges the root moves it sees with some
// blur, and the weaker levels trust the pre-analysis without a main search.
// None of it depends on the score, so a level plays as carefully when it is
// behind as when the game is level. What is overlooked follows from a seed
// drawn once from the engine's random source and from the position, so a
// fixed source gives the same moves.
#pragma once

#include <cstdint>

#include "declare/engine.h"

namespace ormedan {

// The level played at a rating (LowestElo to FullStrengthElo; outside that,
// the nearest end). FullStrengthElo is full strength.
StrengthLevel LevelForElo(int elo);

// Sets e.budget.level from the client's settings. Its seed follows from
// the engine's strength seed and the game position.
void PlanStrength(Engine& e);

// Whether the side to move in `before` overlooks `move`, which leads to
// `after`. `lastTo` is the square (file * 16 + rank) the previous move went
// to, 0 for none. A move overlooked in one line of a search is overlooked in
// all of them, as a threat a player does not see.
bool Overlooks(const StrengthLevel& level, const Position& before, const Position& after, int lastTo);

// A root move's value as the level judges it: `value` (white-positive)
// blurred by up to blurCp either way, the same for the same move and seed.
// Mate values are seen as they are.
int32_t Blurred(const StrengthLevel& level, int32_t move, int32_t value);

// The square a move code goes to, as Overlooks takes it.
constexpr int TargetSquare(int32_t move) { return move == 0 ? 0 : MoveToFile(move) * 16 + MoveToRank(move); }

}  // namespace ormedan
