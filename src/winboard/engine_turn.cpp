// The engine's turn. Until the search and the book are in place it does nothing.
#include "winboard/driver.h"

namespace ormedan {

template <Colour C> void PlayEngineTurn(Engine&) {}

template void PlayEngineTurn<White>(Engine&);
template void PlayEngineTurn<Black>(Engine&);

}  // namespace ormedan
