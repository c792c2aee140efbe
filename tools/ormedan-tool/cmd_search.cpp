// ormedan-tool search (not built yet).
#include <cstdio>

#include "tool.h"

namespace ormedan::tool {

int SearchCmd(int, char**) {
  std::fprintf(stderr, "ormedan-tool search: not available yet\n");
  return 2;
}

}  // namespace ormedan::tool
