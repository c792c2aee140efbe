// Black replies to a white root move.
#include "generation/replay.h"

namespace ormedan {

template int ReplayStoredReplies<Black>(Engine&, int);

}  // namespace ormedan
