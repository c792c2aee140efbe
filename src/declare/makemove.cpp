// MakeMove for either colour; the work is in declare/makemove_impl.h.
#include "declare/makemove_impl.h"
#include "declare/model.h"

namespace ormedan {

void MakeMove(Position& p, int32_t move) {
  if (MovePiece(move) < 17) {
    MakeMoveOf<White>(p, move);
  } else {
    MakeMoveOf<Black>(p, move);
  }
}

}  // namespace ormedan
