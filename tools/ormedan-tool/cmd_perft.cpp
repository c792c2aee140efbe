// ormedan-tool perft (not built yet).
#include <cstdio>

#include "tool.h"

namespace ormedan::tool {

int Perft(int, char**) {
  std::fprintf(stderr, "ormedan-tool perft: not available yet\n");
  return 2;
}

}  // namespace ormedan::tool
