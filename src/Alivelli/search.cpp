// The two search drivers: one template, instantiated for each colour.
#include "Alivelli/search_impl.h"

namespace ormedan {

template int Search<White>(Engine&);
template int Search<Black>(Engine&);

}  // namespace ormedan
