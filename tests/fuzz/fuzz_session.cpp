// Fuzz target: the bytes are a whole session of lines for the engine's own
// start-up and the loop of one of its modes (format in session_driver.h),
// with the shipped books. The game position must stay consistent after every line and every
// move the engine plays must be legal. Searches run only in sessions that
// ask for them ("@s"), and within a node allowance.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "declare/model.h"
#include "fuzz/fuzz_engine.h"
#include "fuzz/session_driver.h"
#include "support/fakes.h"
#include "support/files.h"
#include "winboard/driver.h"

namespace {

using namespace ormedan;

struct Books {
  TextList white, black, draws;
};

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) fuzz::Fault("cannot read " + path);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// The shipped books, read once. Start-up reads three empty files (file
// loading is the books target's business); the shipped lists are then
// swapped in, which costs nothing per input.
Books& ShippedBooks() {
  static Books books = [] {
    Books b;
    SplitTextLines(ReadFile(ORMEDAN_SOURCE_DIR "/books/b.dat"), b.white);
    SplitTextLines(ReadFile(ORMEDAN_SOURCE_DIR "/books/n.dat"), b.black);
    SplitTextLines(ReadFile(ORMEDAN_SOURCE_DIR "/books/x.dat"), b.draws);
    return b;
  }();
  return books;
}

const testing::TempDir& EmptyBooksFolder() {
  static const testing::TempDir dir;
  static const bool written = (dir.WriteEmptyBooks(), true);
  (void)written;
  return dir;
}

void SwapBooks(Engine& e, Books& b) {
  e.WhiteBook.swap(b.white);
  e.BlackBook.swap(b.black);
  e.DrawBook.swap(b.draws);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view lines(reinterpret_cast<const char*>(data), size);
  Mode mode = Mode::Plain;
  if (lines.starts_with("@2\n") || lines.starts_with("@u\n")) {
    mode = lines[1] == '2' ? Mode::Xboard2 : Mode::Uci;
    lines.remove_prefix(3);
  }
  fuzz::FuzzEngine run(lines, data, size);
  if (!run.StartUpIn(EmptyBooksFolder().path())) fuzz::Fault("start-up failed with empty books");
  Books& books = ShippedBooks();
  SwapBooks(run.e(), books);
  run.Run(mode);
  SwapBooks(run.e(), books);
  run.in.Finish();
  return 0;
}
