// The command table, "new" and the command loop's line handling.
#include <gtest/gtest.h>

#include <cstring>

#include "declare/model.h"
#include "support/builder.h"
#include "support/fakes.h"
#include "winboard/driver.h"

namespace ormedan {
namespace {

using testing::IsInitial;
using testing::Rig;

// Feeds lines through the command loop (no start-up).
void Loop(Rig& rig, const std::string& input) {
  rig.in.Append(input);
  CommandLoop(rig.e());
}

TEST(CommandTable, NewStartsAFreshGameWithDefaults) {
  Rig rig;
  Engine& e = rig.e();
  SetUpNewGame(e);
  e.GamePosition.board[5][2] = 0;  // something a game would have changed
  e.MoveHistory.Append(17680);
  e.PositionHistory.Append(PositionKeyText{});
  e.driver = DriverState{};
  e.driver.engineIsBlack = 0;
  e.driver.opponentIsComputer = 1;
  e.driver.markFlag = 1;
  e.LastPredictedDepth = 11;
  HandleLine(e, "new");
  EXPECT_TRUE(IsInitial(e.GamePosition));
  EXPECT_EQ(e.MoveHistory.Count(), 0);
  EXPECT_EQ(e.PositionHistory.Count(), 0);
  EXPECT_EQ(e.LastPredictedDepth, 4);
  EXPECT_EQ(e.driver.engineIsBlack, 1);
  EXPECT_EQ(e.driver.gameActive, 1);
  EXPECT_EQ(e.driver.opponentIsComputer, 0);
  EXPECT_EQ(e.driver.markFlag, 0);
  EXPECT_EQ(e.budget.moveCs, 5);
  EXPECT_EQ(e.driver.movesPerControl, 40);
  EXPECT_EQ(e.driver.remainingTime, 12000);
  EXPECT_EQ(e.driver.baseTime, 12000);
  EXPECT_TRUE(rig.out.lines.empty());
}

TEST(CommandTable, PrefixesAndWholeLineLiterals) {
  Rig rig;
  Engine& e = rig.e();
  SetUpNewGame(e);
  // The four flags after each line, in the order given.
  struct Step {
    const char* line;
    int gameActive, engineIsBlack, markFlag, opponentIsComputer;
  };
  const Step steps[] = {
      {"newgame", 1, 1, 0, 0},  // three-character prefix
      {"whitespace", 1, 0, 0, 0},
      {"blackboard", 1, 1, 0, 0},
      {"White", 1, 1, 0, 0},  // case-sensitive
      {"whit", 1, 1, 0, 0},
      {"# note", 1, 1, 0, 0},  // "#" and "." compare the whole line
      {"#", 1, 1, 1, 0},
      {". ", 1, 1, 1, 0},
      {"..", 1, 1, 1, 0},
      {".", 1, 1, 0, 0},
      {"compute", 1, 1, 0, 0},
      {"computers", 1, 1, 0, 1},
      {"Result 1-0", 1, 1, 0, 1},
      {"result 1-0 {White mates}", 0, 1, 0, 1},
      {"new", 1, 1, 0, 0},  // a second "new" clears what "computer" set
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.line);
    HandleLine(e, s.line);
    EXPECT_EQ(e.driver.gameActive, s.gameActive);
    EXPECT_EQ(e.driver.engineIsBlack, s.engineIsBlack);
    EXPECT_EQ(e.driver.markFlag, s.markFlag);
    EXPECT_EQ(e.driver.opponentIsComputer, s.opponentIsComputer);
  }
  EXPECT_TRUE(rig.out.lines.empty());
}

TEST(CommandTable, ColourCommandsChangeOnlyTheColour) {
  Rig rig;
  Engine& e = rig.e();
  SetUpNewGame(e);
  HandleLine(e, "new");
  HandleLine(e, "level 40 5 0");
  const DriverState before = e.driver;
  const int32_t budgetBefore = e.budget.moveCs;
  const Position game = e.GamePosition;
  HandleLine(e, "white");
  EXPECT_EQ(e.driver.engineIsBlack, 0);
  HandleLine(e, "black");
  EXPECT_EQ(e.driver.engineIsBlack, 1);
  EXPECT_EQ(0, std::memcmp(&game, &e.GamePosition, sizeof(Position)));
  EXPECT_EQ(e.budget.moveCs, budgetBefore);
  EXPECT_EQ(e.driver.movesPerControl, before.movesPerControl);
  EXPECT_EQ(e.driver.gameActive, 1);
  EXPECT_TRUE(rig.out.lines.empty());
}

TEST(CommandTable, LevelAndTimeRowsCutTheirArguments) {
  Rig rig;
  Engine& e = rig.e();
  SetUpNewGame(e);
  // "level" compares five characters and then drops six.
  HandleLine(e, "levelX40 5 0");
  EXPECT_EQ(e.driver.movesPerControl, 40);
  EXPECT_EQ(e.budget.moveCs, 666);
  HandleLine(e, "timer30000");
  EXPECT_EQ(e.driver.remainingTime, 30000);
  HandleLine(e, "Level 0 5 0");
  EXPECT_EQ(e.driver.movesPerControl, 40);
  HandleLine(e, "time");  // no argument: 0
  EXPECT_EQ(e.driver.remainingTime, 0);
  EXPECT_EQ(e.budget.moveCs, 1);
}

TEST(CommandTable, OnlyADigitOneToEightSecondMakesAMove) {
  Rig rig;
  Engine& e = rig.e();
  SetUpNewGame(e);
  const Position game = e.GamePosition;
  // None of these reaches the move intake: no output, nothing changes.
  for (const char* line : {"e9e4", "e0e4", "ee2e4", "e", "1", "go", "E-2", "quit"}) HandleLine(e, line);
  EXPECT_TRUE(rig.out.lines.empty());
  EXPECT_EQ(0, std::memcmp(&game, &e.GamePosition, sizeof(Position)));
  EXPECT_EQ(e.MoveHistory.Count(), 0);
}

TEST(CommandLoop, BlankLinesCarriageReturnsAndQuit) {
  Rig rig;
  Engine& e = rig.e();
  SetUpNewGame(e);
  // Blank lines are skipped; "Quit" is no quit; CR stays in the line, so
  // "#\r" is no mark but "new\r" is still "new"; "quit now" ends the loop.
  Loop(rig, "\n     \n\r\nQuit\n#\r\nnew\r\n  white  \nlevel 40 5 0\r\nquit now\n#\n");
  EXPECT_EQ(e.driver.gameActive, 1);
  EXPECT_EQ(e.driver.engineIsBlack, 0);
  EXPECT_EQ(e.driver.markFlag, 0);  // the "#" after quit is never read
  // "0\r" is not the text "0": an increment control.
  EXPECT_EQ(e.driver.movesPerControl, 1);
  EXPECT_EQ(e.driver.baseTime, 15000);
  EXPECT_EQ(rig.in.ReadByte(), '#');
  EXPECT_TRUE(rig.out.lines.empty());
}

TEST(CommandLoop, QuitIsAPrefixAndTheLineIsTrimmedFirst) {
  struct Case {
    const char* line;
    bool quits;
  };
  for (const Case& c : {Case{"quit", true}, Case{"   quit", true}, Case{"quit\r", true}, Case{"quitter", true},
                        Case{"quit now", true}, Case{"qui", false}, Case{"QUIT", false}, Case{"\tquit", false},
                        Case{"q uit", false}}) {
    Rig rig;
    SetUpNewGame(rig.e());
    Loop(rig, std::string(c.line) + "\n#\n");
    // Past a quit the "#" is never read.
    EXPECT_EQ(rig.e().driver.markFlag, c.quits ? 0 : 1) << c.line;
    if (c.quits) {
      EXPECT_EQ(rig.in.ReadByte(), '#') << c.line;
    }
  }
}

TEST(CommandLoop, EndOfInputEndsTheLoopAfterALastUnterminatedLine) {
  Rig rig;
  SetUpNewGame(rig.e());
  Loop(rig, "new\n#");
  EXPECT_EQ(rig.e().driver.gameActive, 1);
  EXPECT_EQ(rig.e().driver.markFlag, 1);
  EXPECT_EQ(rig.in.ReadByte(), -1);

  Rig empty;
  SetUpNewGame(empty.e());
  Loop(empty, "");
  EXPECT_EQ(empty.e().driver.gameActive, 0);
}

TEST(CommandLoop, HostileBytesAndLongLinesAreJustText) {
  Rig rig;
  SetUpNewGame(rig.e());
  std::string input;
  input += std::string("\0\0\0\n", 4);
  input += std::string("#\0\n", 3);  // not the line "#"
  input += std::string(1 << 20, 'x') + "\n";
  input += "\xFF\xFE\x80\n";
  input += "new" + std::string(100000, ' ') + "\n";
  input += "computer" + std::string(1 << 20, '\0') + "\n";
  Loop(rig, input);
  EXPECT_EQ(rig.e().driver.markFlag, 0);
  EXPECT_EQ(rig.e().driver.gameActive, 1);
  EXPECT_EQ(rig.e().driver.opponentIsComputer, 1);
  EXPECT_TRUE(rig.out.lines.empty());
}

TEST(CommandLoop, AnOverlongLineIsIgnoredWhole) {
  Rig rig;
  SetUpNewGame(rig.e());
  // A line beyond the loop's limit (16 MiB) cannot be a command, even when
  // it begins like one; the next line is read normally.
  Loop(rig, "new" + std::string((size_t{16} << 20) + 10, ' ') + "x\n#\n");
  EXPECT_EQ(rig.e().driver.gameActive, 0);
  EXPECT_EQ(rig.e().driver.markFlag, 1);
}

}  // namespace
}  // namespace ormedan
