#include "Alivelli/strength.h"

#include <algorithm>
#include <cstdlib>

#include "declare/game_record.h"
#include "declare/model.h"

namespace ormedan {

namespace {

// The levels, placed by the matches of tools/ladder.sh: 400 to 1200 and
// full strength are measured, 1290 and 1340 bridge the step from the
// pre-analysis alone to the main search. A rating between two rows plays
// the straight line between them. Rows run from the lowest rating up.
struct LevelRow {
  int elo;
  int overlookPermille;
  int blurCp;
  bool mainSearch;
};

constexpr LevelRow kLevels[] = {
    {LowestElo, 1066, 354, false},
    {600, 841, 251, false},
    {800, 637, 171, false},
    {1000, 432, 104, false},
    {1200, 278, 68, false},
    {1290, 160, 42, false},
    {1340, 75, 24, true},
    {FullStrengthElo, 0, 0, true},
};

// How easily a move is overlooked, in thousandths of the level's chance:
// 0 never, 1000 the level's chance itself, more for the moves a weak player
// misses first.
int OverlookWeight(const Position& before, const Position& after, int lastTo) {
  const int32_t move = after.lastMove;
  const int piece = MovePiece(move);
  const int toFile = MoveToFile(move), toRank = MoveToRank(move);
  // Taking the piece that has just moved, or answering a check: seen.
  if (lastTo != 0 && toFile * 16 + toRank == lastTo) return 0;
  if (before.checkingPiece != 0) return 0;
  const int mover = std::abs(before.pieceValue[piece]);
  if (MoveCaptured(move) != 0) {
    const int victim = std::abs(before.pieceValue[MoveCaptured(move)]);
    // A king only ever takes a piece nobody guards: that is in plain sight.
    return victim >= mover || mover == KingValue ? 150 : 350;
  }
  if (MovePromotion(move) != 0) return 200;
  if (after.checkingPiece != 0) return 500;
  const int df = toFile - before.pieceFile[piece];
  const int dr = toRank - before.pieceRank[piece];
  const int distance = std::max(std::abs(df), std::abs(dr));
  // Forward is up the board for white (positive values), down for black.
  const bool backward = before.pieceValue[piece] > 0 ? dr < 0 : dr > 0;
  int weight = 600 + 150 * (std::min(distance, 5) - 1);
  if (backward) weight += 400;
  return weight;
}

// Material (centipawns) down at which a level counts itself behind.
constexpr int32_t BehindMaterial = 300;

uint32_t Mix(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

}  // namespace

StrengthLevel LevelForElo(int elo) {
  StrengthLevel level;
  if (elo >= FullStrengthElo) return level;
  elo = std::max(elo, LowestElo);
  const LevelRow* high = kLevels + 1;
  while (high->elo < elo) ++high;
  const LevelRow& low = high[-1];
  const int span = high->elo - low.elo, along = elo - low.elo;
  level.limited = true;
  level.overlookPermille = low.overlookPermille + (high->overlookPermille - low.overlookPermille) * along / span;
  level.blurCp = low.blurCp + (high->blurCp - low.blurCp) * along / span;
  level.mainSearch = along * 2 >= span ? high->mainSearch : low.mainSearch;
  return level;
}

void PlanStrength(Engine& e) {
  e.budget.level = e.settings.limitStrength ? LevelForElo(e.settings.elo) : StrengthLevel{};
  if (!e.budget.level.limited) return;
  // A player who is a piece down looks harder at every move: losing
  // should not make the level careless.
  const int32_t own = SideToMove(e) == White ? e.GamePosition.material : -e.GamePosition.material;
  if (own <= -BehindMaterial) e.budget.level.overlookPermille = e.budget.level.overlookPermille * 6 / 10;
  if (e.strengthSeed == 0) e.strengthSeed = 1 + e.rng.Below(0x7FFFFFFE);
  // The same position gives the same blind spots, at every depth of an
  // analysis and whenever the game comes back to it.
  uint32_t h = 2166136261U;
  const PositionKeyText key = PositionKey(e.GamePosition, White);
  for (const char c : key.View()) h = (h ^ static_cast<uint8_t>(c)) * 16777619U;
  e.budget.level.seed = Mix(e.strengthSeed ^ h);
}

bool Overlooks(const StrengthLevel& level, const Position& before, const Position& after, int lastTo) {
  if (!level.limited || level.overlookPermille == 0) return false;
  const int chance = std::min(950, level.overlookPermille * OverlookWeight(before, after, lastTo) / 1000);
  const uint32_t h = Mix(level.seed ^ Mix(static_cast<uint32_t>(after.lastMove)));
  return static_cast<int>(h % 1000) < chance;
}

int32_t Blurred(const StrengthLevel& level, int32_t move, int32_t value) {
  if (!level.limited || level.blurCp == 0 || value > 30000 || value < -30000) return value;
  const uint32_t h = Mix(level.seed ^ Mix(static_cast<uint32_t>(move) + 0x9E3779B9U));
  // The sum of two even draws: small errors are more common than large.
  const int span = level.blurCp + 1;
  const int a = static_cast<int>(h % static_cast<uint32_t>(span));
  const int b = static_cast<int>((h >> 16) % static_cast<uint32_t>(span));
  return value + a + b - level.blurCp;
}

}  // namespace ormedan
