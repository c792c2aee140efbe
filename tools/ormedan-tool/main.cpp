// ormedan-tool: developer commands on the engine's own library.
// Each subcommand prints its key figure on its last line.
#include <cstdio>
#include <cstring>

#include "tool.h"

namespace {

struct Command {
  const char* name;
  int (*run)(int argc, char** argv);
  const char* usage;
};

const Command kCommands[] = {
    {"perft", ormedan::tool::Perft, "perft DEPTH [FEN] [--divide]"},
    {"eval", ormedan::tool::Eval, "eval [--phase P] FEN"},
    {"search", ormedan::tool::SearchCmd, "search [--phase P] FEN DEPTH"},
    {"bench", ormedan::tool::Bench, "bench [DEPTH]"},
    {"book", ormedan::tool::Book, "book DATA_DIR OUT_DIR"},
};

void Usage() {
  std::fprintf(stderr, "usage: ormedan-tool COMMAND ...\n");
  for (const Command& c : kCommands) std::fprintf(stderr, "  %s\n", c.usage);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    Usage();
    return 2;
  }
  for (const Command& c : kCommands)
    if (std::strcmp(argv[1], c.name) == 0) return c.run(argc - 2, argv + 2);
  Usage();
  return 2;
}
