// MakeMove for either colour; the work is in declare/makemove_impl.h.
#include "declare/makemove_impl.h"
#include "declare/model.h"

namespace ormedan {

void MakeMove(Position& p, int32_t move) {
  const int piece = MovePiece(move);
  if (piece < 17) {
    makemove_detail::MakeMoveAs<White, false>(p, move, piece);
  } else {
    makemove_detail::MakeMoveAs<Black, false>(p, move, piece);
  }
}

}  // namespace ormedan
