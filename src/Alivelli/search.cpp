// The two search drivers: one template, instantiated for each colour.
#include "Alivelli/search_root.h"
#include "Alivelli/tables.h"
#include "generation/generate.h"

namespace ormedan {

template SearchResult Search<White>(Engine&);
template SearchResult Search<Black>(Engine&);

void CommitSearchResult(Engine& e, const SearchResult& r) {
  if (r.code <= 0) return;
  int slot = r.slot;
  if (slot < 1 || slot > MaxChildren || e.ChildPositions[slot][1].lastMove != r.move) {
    // The root children have been listed again since the search: the
    // move is found among them anew.
    const Colour mover = IsWhitePiece(MovePiece(r.move)) ? White : Black;
    e.WorkPosition = e.GamePosition;
    const int n = GenerateMovesFor(e, mover, 1, 1, MaterialTest::Skip);
    slot = 0;
    for (int s = 1; s <= n && s <= MaxChildren && slot == 0; ++s)
      if (e.ChildPositions[s][1].lastMove == r.move) slot = s;
    if (slot == 0) return;  // not a move of this position
  }
  CommitRootMove(e, slot);
  RecordChosenMove(e, slot);
}

}  // namespace ormedan
