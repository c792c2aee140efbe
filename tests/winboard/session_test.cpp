// Start-up with its books, whole sessions in-process, and the built program.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <filesystem>

#include "declare/model.h"
#include "support/builder.h"
#include "support/child_process.h"
#include "support/files.h"
#include "support/session.h"
#include "winboard/driver.h"

namespace ormedan {
namespace {

using testing::ChildOptions;
using testing::JoinLines;
using testing::Rig;
using testing::RunChild;
using testing::RunSession;
using testing::StartUpLines;
using testing::TempDir;

// One scripted session: blank lines, commands with arguments, notes, an
// ignored "Quit", moves with blanks and a carriage return around them, an
// illegal move, and "quit now" before further lines.
const std::string kScript =
    "\n   \nxboard\ne2e4\n  e7e5  \ne1e3\ng1f3\r\nnew\r\nlevel 40 5 0\n  \ntime 30000\n# note\nQuit\n"
    "result 1-0 {x}\nd2d4\nquit now\nnew\ne2e4\n";

std::vector<std::string> ScriptLines() {
  std::vector<std::string> lines = StartUpLines();
  for (const char* l : {"mosse possibili 20", "mosse possibili 29", "Illegal move: e1e3", "mosse possibili 29",
                        "mosse possibili 20"})
    lines.push_back(l);
  return lines;
}

std::vector<std::string> FirstLines(size_t n) {
  std::vector<std::string> lines = StartUpLines();
  lines.resize(n);
  return lines;
}

TEST(StartUp, StateAndLinesBeforeTheFirstCommand) {
  TempDir dir;
  dir.WriteEmptyBooks();
  Rig rig;
  rig.clock.now = 123'456'789;
  const auto result = RunSession(rig, dir.path());
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.lines, StartUpLines());
  EXPECT_TRUE(result.errors.empty());
  const Engine& e = rig.e();
  EXPECT_EQ(e.driver.engineIsBlack, 1);
  EXPECT_EQ(e.driver.gameActive, 0);
  EXPECT_EQ(e.driver.movesPerControl, 0);
  EXPECT_EQ(e.driver.baseTime, 0);
  EXPECT_EQ(e.driver.remainingTime, 0);
  EXPECT_EQ(e.budget.moveCs, 0);
  EXPECT_EQ(e.driver.clockStart, 123'456'789);  // the clock runs from start-up
  EXPECT_TRUE(testing::IsInitial(e.GamePosition));
}

TEST(StartUp, BookLinesKeepEveryByteButTheLineEnds) {
  TempDir dir;
  dir.Write("b.dat", "P54O44\r\nP54\n\nlast line");
  dir.Write("n.dat", std::string("a\0b\n\0\n\xE0\r", 8));
  dir.Write("x.dat", "x\r\r\n\r\n \r \n");
  Rig rig("quit\n");
  ASSERT_EQ(RunSession(rig, dir.path()).status, 0);
  // Shutdown frees the books; check them with start-up alone.
  Rig again;
  {
    testing::WorkingDirectory here(dir.path());
    ASSERT_TRUE(StartUp(again.e(), StartUpOptions{}));
  }
  const Engine& e = again.e();
  EXPECT_EQ(e.WhiteBook, (TextList{"P54O44", "P54", "", "last line"}));
  EXPECT_EQ(e.BlackBook, (TextList{std::string("a\0b", 3), std::string(1, '\0'), "\xE0"}));
  EXPECT_EQ(e.DrawBook, (TextList{"x\r", "", " \r "}));
}

TEST(StartUp, SplitTextLinesOnItsOwn) {
  TextList lines{"stale"};
  SplitTextLines("", lines);
  EXPECT_TRUE(lines.empty());
  SplitTextLines("\n", lines);
  EXPECT_EQ(lines, (TextList{""}));
  SplitTextLines("\r", lines);
  EXPECT_EQ(lines, (TextList{""}));
  SplitTextLines("a\n\nb\n", lines);
  EXPECT_EQ(lines, (TextList{"a", "", "b"}));
  SplitTextLines("a\rb\r\n", lines);
  EXPECT_EQ(lines, (TextList{"a\rb"}));
}

TEST(StartUp, AMissingBookStopsAfterTheLoadingLine) {
  TempDir dir;
  dir.Write("b.dat", "");
  dir.Write("x.dat", "");
  Rig rig("new\n#\n");
  const auto result = RunSession(rig, dir.path());
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.lines, FirstLines(5));
  EXPECT_EQ(result.errors, (std::vector<std::string>{"n.dat: No such file or directory"}));
  EXPECT_EQ(rig.in.ReadByte(), 'n');  // no command was read

  TempDir none;
  const auto nothing = RunSession("quit\n", none.path());
  EXPECT_EQ(nothing.status, 1);
  EXPECT_EQ(nothing.errors, (std::vector<std::string>{"b.dat: No such file or directory"}));
}

TEST(StartUp, BooksMissingHereComeFromTheDataFolder) {
  TempDir here, data;
  here.Write("b.dat", "here\n");
  data.Write("b.dat", "data\n");
  data.Write("n.dat", "N\n");
  data.Write("x.dat", "X\n");
  Rig rig;
  {
    testing::WorkingDirectory cd(here.path());
    StartUpOptions options;
    options.dataDir = data.path();
    ASSERT_TRUE(StartUp(rig.e(), options));
  }
  EXPECT_EQ(rig.e().WhiteBook, (TextList{"here"}));  // the working directory comes first
  EXPECT_EQ(rig.e().BlackBook, (TextList{"N"}));
  EXPECT_EQ(rig.e().DrawBook, (TextList{"X"}));
  EXPECT_EQ(rig.out.lines, StartUpLines());

  // Missing in both: the working directory's reason is reported.
  TempDir empty;
  empty.Write("b.dat", "");
  std::filesystem::create_directory(empty.path() + "/n.dat");
  const auto result = RunSession("quit\n", empty.path(), empty.path() + "/nowhere");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.errors, (std::vector<std::string>{"n.dat: Is a directory"}));
}

TEST(Session, ScriptedSessionInProcess) {
  TempDir dir;
  dir.WriteEmptyBooks();
  Rig rig(kScript);
  const auto result = RunSession(rig, dir.path());
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(JoinLines(result.lines), JoinLines(ScriptLines()));
  EXPECT_EQ(rig.e().driver.gameActive, 0);  // "result" was handled, the "new" after quit was not
  EXPECT_EQ(rig.e().budget.moveCs, 745);
  // Shutdown emptied the lists.
  EXPECT_TRUE(rig.e().WhiteBook.empty());
  EXPECT_EQ(rig.e().MoveHistory.Count(), 0);
}

TEST(Session, EndOfInputIsQuit) {
  TempDir dir;
  dir.WriteEmptyBooks();
  for (const char* script : {"", "new\n", "new", "\n\n\n"}) {
    const auto result = RunSession(script, dir.path());
    EXPECT_EQ(result.status, 0) << script;
    EXPECT_EQ(result.lines, StartUpLines()) << script;
  }
}

TEST(Session, FailedOutputEndsTheRunWithStatusOne) {
  TempDir dir;
  dir.WriteEmptyBooks();
  for (int failAt : {0, 3, 5}) {
    Rig rig("new\n");
    rig.out.FailAfter(failAt);
    const auto result = RunSession(rig, dir.path());
    EXPECT_EQ(result.status, 1) << failAt;
    EXPECT_EQ(result.lines.size(), static_cast<size_t>(failAt));
    EXPECT_EQ(rig.in.ReadByte(), 'n') << "the loop must not start";
  }
  // A write that fails inside the loop ends it after that line.
  Rig rig("e2e4\ne7e5\n");
  rig.out.FailAfter(6);
  const auto result = RunSession(rig, dir.path());
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.lines, StartUpLines());
  EXPECT_EQ(rig.in.ReadByte(), 'e');
}

// The built program, run from a folder holding the shipped books.
class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* book : {"b.dat", "n.dat", "x.dat"})
      std::filesystem::copy_file(std::string(ORMEDAN_SOURCE_DIR) + "/books/" + book, dir.path() + "/" + book);
  }
  testing::ChildResult Run(const std::string& input, ChildOptions options = {}) {
    options.workingDirectory = dir.path();
    options.input = input;
    return RunChild({std::string(ORMEDAN_BIN_DIR) + "/ormedan"}, options);
  }
  TempDir dir;
};

TEST_F(Program, SameSessionByteForByte) {
  const auto r = Run(kScript);
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(r.out, JoinLines(ScriptLines()));
  EXPECT_EQ(r.err, "");
  const auto eof = Run("new\n");
  EXPECT_EQ(eof.exitStatus, 0);
  EXPECT_EQ(eof.out, JoinLines(StartUpLines()));
  const auto silent = Run("");
  EXPECT_EQ(silent.exitStatus, 0);
  EXPECT_EQ(silent.out, JoinLines(StartUpLines()));
}

TEST_F(Program, MissingBookFailsWithTheSystemReason) {
  std::filesystem::remove(dir.path() + "/n.dat");
  const auto r = Run("quit\n");
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, JoinLines(FirstLines(5)));
  EXPECT_EQ(r.err, "n.dat: No such file or directory\n");
}

TEST_F(Program, ClosedOutputEndsPromptlyWithoutASignal) {
  ChildOptions options;
  options.closeStdout = true;
  options.timeoutMs = 10000;
  // Input that never ends with "quit" and keeps the engine writing once the
  // move intake answers; the banner alone already hits the closed pipe.
  const auto start = std::chrono::steady_clock::now();
  const auto r = Run(std::string(200000, '\n') + "new\n", options);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_FALSE(r.timedOut);
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_LT(took, std::chrono::seconds(5));
}

TEST_F(Program, IgnoresInterrupts) {
  ChildOptions options;
  options.holdInputUntil = "Book caricati\n";
  options.interruptFirst = true;
  const auto r = Run("new\nquit\n", options);
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(r.out, JoinLines(StartUpLines()));
}

}  // namespace
}  // namespace ormedan
