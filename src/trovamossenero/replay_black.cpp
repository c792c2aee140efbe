// Black replies to a white root move.
#include "trovamossebianco/replay_impl.h"

namespace ormedan {

template int ReplayStoredReplies<Black>(Engine&, int);

}  // namespace ormedan
