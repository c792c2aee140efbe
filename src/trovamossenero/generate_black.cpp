// Black move generation and capture generation.
#include "generation/generators.h"

namespace ormedan {

template int GenerateMoves<Black>(Engine&, int, int, MaterialTest);
template int GenerateCaptures<Black>(Engine&, int, int);
template int GenerateMovesLazily<Black>(Engine&, int, int);
template int GenerateCapturesLazily<Black>(Engine&, int, int);
template const Position& MakePendingChild<Black>(Engine&, int, int);
template void MakePendingChildren<Black>(Engine&, int, int);
template int GenerateLeaves<Black>(Engine&, int, int, uint64_t&);

}  // namespace ormedan
