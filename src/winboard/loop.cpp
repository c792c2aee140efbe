// Start-up, the command loop with its command table, "new" and shutdown.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <utility>

#include "Alivelli/time_manager.h"
#include "Textrout/line_source.h"
#include "Textrout/textrout.h"
#include "declare/model.h"
#include "winboard/driver.h"

namespace ormedan {

namespace {

// A command line longer than this cannot be a command or a move; it is read
// up to its line feed and ignored, so that endless input cannot exhaust memory.
constexpr size_t MaxLineBytes = size_t{16} << 20;
// Larger book files are refused as too large.
constexpr size_t MaxBookBytes = size_t{256} << 20;

void ReportError(const StartUpOptions& options, std::string_view text) {
  if (options.errors != nullptr) {
    options.errors->WriteLine(text);
    return;
  }
  std::cerr << text << '\n' << std::flush;
}

// Reads a whole file. On failure returns the errno value, else 0.
int ReadWholeFile(const std::string& path, std::string& data) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return errno;
  data.clear();
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      return err;
    }
    if (n == 0) break;
    if (data.size() + static_cast<size_t>(n) > MaxBookBytes) {
      ::close(fd);
      return EFBIG;
    }
    data.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return 0;
}

// Reads a book from a data folder ("" = no folder: fails).
bool ReadFromFolder(std::string_view folder, const char* name, std::string& data) {
  if (folder.empty()) return false;
  std::string path(folder);
  if (path.back() != '/') path += '/';
  path += name;
  return ReadWholeFile(path, data) == 0;
}

// Loads one book: from the working directory, else from the data folders in
// turn. Reports the working directory's error when none can be read.
bool LoadBook(const char* name, TextList& book, const StartUpOptions& options) {
  std::string data;
  const int err = ReadWholeFile(name, data);
  if (err != 0) {
    const bool found =
        ReadFromFolder(options.dataDir, name, data) || ReadFromFolder(options.secondDataDir, name, data);
    if (!found) {
      std::string report = name;
      report += ": ";
      report += std::strerror(err);
      ReportError(options, report);
      return false;
    }
  }
  SplitTextLines(data, book);
  return true;
}

bool Starts(std::string_view line, std::string_view literal, int k) { return TakeFirst(line, k) == literal; }

void OnNew(Engine& e, std::string_view) {
  NewGame(e);
  e.driver.engineIsBlack = 1;
}
void OnBlack(Engine& e, std::string_view) { e.driver.engineIsBlack = 1; }
void OnWhite(Engine& e, std::string_view) { e.driver.engineIsBlack = 0; }
void OnLevel(Engine& e, std::string_view line) { LevelCommand(e, DropFirst(line, 6)); }
void OnTime(Engine& e, std::string_view line) { TimeCommand(e, DropFirst(line, 5)); }
void OnGo(Engine& e, std::string_view) {
  if (e.driver.engineIsBlack == 0) PlayEngineTurn<White>(e);
}
void OnResult(Engine& e, std::string_view) { e.driver.gameActive = 0; }
void OnComputer(Engine& e, std::string_view) { e.driver.opponentIsComputer = 1; }
void OnMark(Engine& e, std::string_view) { e.driver.markFlag = 1; }
void OnUnmark(Engine& e, std::string_view) { e.driver.markFlag = 0; }

struct CommandRow {
  std::string_view literal;
  int k;  // characters compared; more than the literal's length means the whole line
  void (*run)(Engine&, std::string_view line);
};

// Every row is tested, in this order, independently of the others.
constexpr CommandRow kCommands[] = {
    {"new", 3, OnNew},           {"black", 5, OnBlack},   {"white", 5, OnWhite},
    {"level", 5, OnLevel},       {"time", 4, OnTime},     {"go", 2, OnGo},
    {"result", 6, OnResult},     {"computer", 8, OnComputer}, {"#", 8, OnMark},
    {".", 8, OnUnmark},
};

}  // namespace

void SplitTextLines(std::string_view data, TextList& lines) {
  lines.clear();
  size_t start = 0;
  while (start < data.size()) {
    size_t end = data.find('\n', start);
    const size_t next = end == std::string_view::npos ? data.size() : end + 1;
    if (end == std::string_view::npos) end = data.size();
    size_t length = end - start;
    if (length > 0 && data[start + length - 1] == '\r') --length;
    lines.emplace_back(data.substr(start, length));
    start = next;
  }
}

bool StartUp(Engine& e, const StartUpOptions& options) {
  e.driver.engineIsBlack = 1;
  e.PositionHistory.Clear();
  SetUpNewGame(e);
  // Until the first "time" the clock runs from start-up.
  e.driver.clockStart = e.clock.NowMicroseconds();
  e.Write("ORMEDAN! 1500 ver 1.0");
  e.Write("by the ORMEDAN team");
  e.Write("Winboard Engine");
  e.Write("Type 'quit' for exit");
  e.Write("Carico i book delle aperture");
  for (auto [name, book] : {std::pair{"b.dat", &e.WhiteBook}, {"n.dat", &e.BlackBook}, {"x.dat", &e.DrawBook}}) {
    if (LoadBook(name, *book, options)) continue;
    if (!options.booksOptional) return false;
    book->clear();
  }
  e.Write("Book caricati");
  e.MoveHistory.Clear();
  // The random source arrives already seeded from the clock (see main).
  return true;
}

void HandleLine(Engine& e, std::string_view line) {
  for (const CommandRow& row : kCommands)
    if (Starts(line, row.literal, row.k)) row.run(e, line);
  if (line.size() >= 2 && line[1] >= '1' && line[1] <= '8') TakeOpponentMove(e, line);
}

void NewGame(Engine& e) {
  e.driver.markFlag = 0;
  SetUpNewGame(e);
  e.driver.gameActive = 1;
  e.driver.opponentIsComputer = 0;
  e.driver.engineIsBlack = 1;
  e.MoveHistory.Clear();
  e.driver.movesPerControl = 40;
  e.driver.remainingTime = 12000;
  e.driver.baseTime = 12000;
  PlainBudgetAfterNew(e);
}

bool CommandLoop(Engine& e) {
  // The plain protocol takes each line as it comes (it trims blanks
  // itself) and passes over lines of 16 MiB or more.
  LineSource source(e.in, LineRules{MaxLineBytes, false});
  std::string line;
  line.reserve(4096);
  bool first = true;
  // The end of input counts as "quit"; a last line without a line feed is
  // still handled first.
  while (source.Next(line)) {
    const std::string_view command = TrimBlanks(line);
    if (!command.empty()) {
      // A UCI client opens with "uci": the rest of the session is UCI.
      if (first && (command == "uci" || command == "uci\r")) return true;
      first = false;
      const bool last = TakeFirst(command, 4) == "quit";
      HandleLine(e, command);
      if (last) return false;
    }
    if (e.outputFailed) return false;
  }
  return false;
}

void Shutdown(Engine& e) {
  e.MoveHistory.Clear();
  TextList().swap(e.WhiteBook);
  TextList().swap(e.BlackBook);
  TextList().swap(e.DrawBook);
  e.PositionHistory.Clear();
}

}  // namespace ormedan
