// White replies to a black root move.
#include "trovamossebianco/replay_impl.h"

namespace ormedan {

template int ReplayStoredReplies<White>(Engine&, int);

}  // namespace ormedan
