// ormedan-tool book (not built yet).
#include <cstdio>

#include "tool.h"

namespace ormedan::tool {

int Book(int, char**) {
  std::fprintf(stderr, "ormedan-tool book: not available yet\n");
  return 2;
}

}  // namespace ormedan::tool
