// Black move generation and capture generation.
#include "trovamossebianco/generation_impl.h"

namespace ormedan {

template int GenerateMoves<Black>(Engine&, int, int, MaterialTest);
template int GenerateCaptures<Black>(Engine&, int, int);

}  // namespace ormedan
