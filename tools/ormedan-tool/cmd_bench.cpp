// ormedan-tool bench (not built yet).
#include <cstdio>

#include "tool.h"

namespace ormedan::tool {

int Bench(int, char**) {
  std::fprintf(stderr, "ormedan-tool bench: not available yet\n");
  return 2;
}

}  // namespace ormedan::tool
