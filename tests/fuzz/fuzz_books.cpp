// Fuzz target: the bytes are three book files and a game. Layout:
//   GAME 0xFF b.dat 0xFF n.dat 0xFF x.dat
// (a missing part is an empty file). The books are written to files and
// loaded by the engine's start-up; the game lines (format in
// session_driver.h) then run through the command loop, until both books miss
// (the search that would follow is the session target's business). The
// engine must not crash, and every move it plays must be legal.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "declare/model.h"
#include "fuzz/fuzz_engine.h"
#include "fuzz/session_driver.h"
#include "support/fakes.h"
#include "support/files.h"
#include "winboard/driver.h"

namespace {

using namespace ormedan;

const testing::TempDir& BooksFolder() {
  static const testing::TempDir dir;
  return dir;
}

// Splits off the part up to the next 0xFF byte.
std::string_view TakePart(std::string_view& rest) {
  const size_t end = rest.find('\xFF');
  const std::string_view part = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const std::string_view game = TakePart(rest);
  const testing::TempDir& folder = BooksFolder();
  folder.Write("b.dat", TakePart(rest));
  folder.Write("n.dat", TakePart(rest));
  folder.Write("x.dat", TakePart(rest));

  fuzz::FuzzEngine run(game, data, size);
  if (!run.StartUpIn(folder.path())) fuzz::Fault("start-up failed: " + run.errors.Joined());
  run.in.searchesAllowed = false;
  run.Run();
  run.in.Finish();
  return 0;
}
