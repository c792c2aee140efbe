// White move generation and capture generation.
#include "generation/generators.h"

namespace ormedan {

template int GenerateMoves<White>(Engine&, int, int, MaterialTest);
template int GenerateCaptures<White>(Engine&, int, int);
template int GenerateMovesLazily<White>(Engine&, int, int);
template int GenerateCapturesLazily<White>(Engine&, int, int);
template const Position& MakePendingChild<White>(Engine&, int, int);
template void MakePendingChildren<White>(Engine&, int, int);
template int GenerateLeaves<White>(Engine&, int, int, uint64_t&);

}  // namespace ormedan
