// The values of the options a client can set. Each option is declared once,
// with its name, type, default and range, in protocol/options.cpp; the code
// that uses a value reads it here.
#pragma once

namespace ormedan {

// Full strength's rating on the scale the levels are measured on
// (tools/ladder.sh): the highest rating a client can ask for.
constexpr int FullStrengthElo = 1510;
// The lowest.
constexpr int LowestElo = 400;

struct EngineSettings {
  bool ownBook = true;  // the engine plays from its opening books
  int multiPv = 1;      // root moves reported with an exact score
  bool ponder = false;  // the client lets the engine think on its opponent's time
  bool limitStrength = false;  // play at the rating `elo` instead of full strength
  int elo = FullStrengthElo;   // the rating played at when limitStrength is on
};

}  // namespace ormedan
