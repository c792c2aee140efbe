// ormedan-tool eval (not built yet).
#include <cstdio>

#include "tool.h"

namespace ormedan::tool {

int Eval(int, char**) {
  std::fprintf(stderr, "ormedan-tool eval: not available yet\n");
  return 2;
}

}  // namespace ormedan::tool
