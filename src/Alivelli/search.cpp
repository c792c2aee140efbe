// The two search drivers: one template, instantiated for each colour.
#include "Alivelli/search_impl.h"
#include "Alivelli/tables.h"
#include "generation/generate.h"

namespace ormedan {

template SearchResult Search<White>(Engine&);
template SearchResult Search<Black>(Engine&);

void CommitSearchResult(Engine& e, const SearchResult& r) {
  if (r.code <= 0) return;
  CommitRootMove(e, r.slot);
  RecordChosenMove(e, r.slot);
}

}  // namespace ormedan
