// White replies to a black root move.
#include "generation/replay.h"

namespace ormedan {

template int ReplayStoredReplies<White>(Engine&, int);

}  // namespace ormedan
