// "level" and "time": the worked values and the limits of their arithmetic.
#include <gtest/gtest.h>

#include <climits>

#include "declare/model.h"
#include "support/fakes.h"
#include "winboard/driver.h"

namespace ormedan {
namespace {

using testing::Rig;

struct Level {
  int32_t moves, base, budget;
};

Level AfterLevel(Rig& rig, const char* line) {
  HandleLine(rig.e(), line);
  const DriverState& d = rig.e().driver;
  EXPECT_EQ(d.remainingTime, d.baseTime) << line;
  return {d.movesPerControl, d.baseTime, rig.e().budget.moveCs};
}

void ExpectLevel(const char* line, Level want) {
  Rig rig;
  SetUpNewGame(rig.e());
  HandleLine(rig.e(), "new");
  const Level got = AfterLevel(rig, line);
  EXPECT_EQ(got.moves, want.moves) << line;
  EXPECT_EQ(got.base, want.base) << line;
  EXPECT_EQ(got.budget, want.budget) << line;
}

TEST(Level, WorkedValues) {
  ExpectLevel("level 40 5 0", {40, 30000, 666});
  ExpectLevel("level 0 5 0", {300, 30000, 89});
  ExpectLevel("level 40 0:30 0", {40, 3000, 66});
  ExpectLevel("level 0 2 12", {1, 6000, 6000});
}

TEST(Level, IncrementAndMinutesSecondsForms) {
  // Anything but the text "0" as third word is an increment control.
  ExpectLevel("level 40 5", {1, 15000, 15000});
  ExpectLevel("level 40 5 ", {1, 15000, 15000});
  ExpectLevel("level 40 5 00", {1, 15000, 15000});
  ExpectLevel("level 40 5 0\r", {1, 15000, 15000});
  ExpectLevel("level 40  5 0", {1, 0, 0});  // the doubled blank makes "5" the third word
  ExpectLevel("level 40 0:30 12", {1, 0, 0});  // seconds are ignored with an increment
  ExpectLevel("level 40 1:30 0", {40, 9000, 200});
  ExpectLevel("level 40 :30 0", {40, 3000, 66});
  ExpectLevel("level 40 2: 0", {40, 12000, 266});
  ExpectLevel("level 40 1:2:3 0", {40, 6000, 133});  // "2:3" reads as 0
  ExpectLevel("level 60 90 0", {60, 540000, 8059});
}

TEST(Level, MovesWordThatIsNoNumberCountsAsSuddenDeath) {
  // The moves field keeps 0, and the formula counts it as 300.
  ExpectLevel("level x 5 0", {0, 30000, 89});
  ExpectLevel("level  5 0", {0, 30000, 89});  // the moves word is empty
  ExpectLevel("level -0 5 0", {0, 30000, 89});
  ExpectLevel("level", {1, 0, 0});
}

TEST(Level, ExtremeNumbersNeitherDivideByZeroNorOverflow) {
  ExpectLevel("level 2147483647 5 0", {INT32_MAX, 30000, 0});
  ExpectLevel("level -2147483648 5 0", {INT32_MIN, 30000, 0});
  ExpectLevel("level -8 5 0", {-8, 30000, -3333});
  ExpectLevel("level -7 5 0", {-7, 30000, -4285});  // -7/8 truncates to 0
  ExpectLevel("level -1 5 0", {-1, 30000, -30000});
  // Base times beyond 32 bits are held at the limits.
  ExpectLevel("level 40 2147483647 0", {40, INT32_MAX, INT32_MAX / 45});
  ExpectLevel("level 40 -2147483648 0", {40, INT32_MIN, INT32_MIN / 45});
  ExpectLevel("level 40 2147483647:2147483647 0", {40, INT32_MAX, INT32_MAX / 45});
  ExpectLevel("level 0 2147483647 5", {1, INT32_MAX, INT32_MAX});
  // INT32_MIN / -1 does not fit 32 bits either.
  ExpectLevel("level -1 -2147483648 0", {-1, INT32_MIN, INT32_MAX});
}

int32_t BudgetAfterTime(Rig& rig, const char* line) {
  HandleLine(rig.e(), line);
  return rig.e().budget.moveCs;
}

TEST(Time, WorkedValuesAndTheMovesAlreadyPlayed) {
  Rig rig;
  Engine& e = rig.e();
  SetUpNewGame(e);
  HandleLine(e, "new");
  EXPECT_EQ(BudgetAfterTime(rig, "time 30000"), 745);
  EXPECT_EQ(e.driver.remainingTime, 30000);
  for (int i = 0; i < 10; ++i) e.MoveHistory.Append(0);
  EXPECT_EQ(BudgetAfterTime(rig, "time 30000"), 851);  // done = 5
  // 79 half-moves: done = 40 mod 40 = 0, a new period.
  for (int i = 0; i < 69; ++i) e.MoveHistory.Append(0);
  EXPECT_EQ(BudgetAfterTime(rig, "time 30000"), 745);
  e.MoveHistory.Append(0);  // 80: done = 0 still ((80 + 1) / 2 = 40)
  EXPECT_EQ(BudgetAfterTime(rig, "time 30000"), 745);
  e.MoveHistory.Append(0);  // 81: done = 1
  EXPECT_EQ(BudgetAfterTime(rig, "time 30000"), 764);
}

TEST(Time, SmallValuesIncrementAndUnparsedNumbers) {
  Rig rig;
  Engine& e = rig.e();
  SetUpNewGame(e);
  HandleLine(e, "new");
  EXPECT_EQ(BudgetAfterTime(rig, "time 300"), 1);
  EXPECT_EQ(BudgetAfterTime(rig, "time 301"), 2);  // 101 / 40
  EXPECT_EQ(BudgetAfterTime(rig, "time -5000"), 1);
  EXPECT_EQ(BudgetAfterTime(rig, "time 30000\r"), 1);
  EXPECT_EQ(e.driver.remainingTime, 0);
  HandleLine(e, "level 0 2 12");
  EXPECT_EQ(BudgetAfterTime(rig, "time 5000"), 4800);  // all but 200
  for (int i = 0; i < 7; ++i) e.MoveHistory.Append(0);
  EXPECT_EQ(BudgetAfterTime(rig, "time 5000"), 4800);
  EXPECT_EQ(BudgetAfterTime(rig, "time 2147483647"), 2147483447);
}

TEST(Time, BeforeAnyNewAndWithNegativeMovesPerControl) {
  Rig rig;
  Engine& e = rig.e();
  SetUpNewGame(e);
  // Start-up leaves movesPerControl 0: counted as 300.
  EXPECT_EQ(BudgetAfterTime(rig, "time 30000"), 99);
  for (int i = 0; i < 1001; ++i) e.MoveHistory.Append(0);  // done = 501 mod 300 = 201
  EXPECT_EQ(BudgetAfterTime(rig, "time 30000"), 301);
  e.MoveHistory.Clear();
  HandleLine(e, "level -3 5 0");
  EXPECT_EQ(BudgetAfterTime(rig, "time 1000"), -266);
  for (int i = 0; i < 3; ++i) e.MoveHistory.Append(0);  // done = 2 mod -3 = 2
  EXPECT_EQ(BudgetAfterTime(rig, "time 1000"), -160);
  HandleLine(e, "level -2147483648 5 0");
  EXPECT_EQ(BudgetAfterTime(rig, "time 2147483647"), 0);  // 2147483447 / -2147483650
  HandleLine(e, "level 2147483647 5 0");
  for (int i = 0; i < 5; ++i) e.MoveHistory.Append(0);
  EXPECT_EQ(BudgetAfterTime(rig, "time 2147483647"), 0);  // 2147483447 / 2147483643
  HandleLine(e, "level 1 5 0");
  EXPECT_EQ(BudgetAfterTime(rig, "time 2147483647"), 2147483447);
}

TEST(Time, PreAnalysisLimitKeepsAShareOfTheClockForEveryMoveToPlay) {
  Rig rig;
  Engine& e = rig.e();
  SetUpNewGame(e);
  HandleLine(e, "new");
  EXPECT_EQ(e.budget.preAnalysisCs, -1);
  HandleLine(e, "level 40 0:10 0");
  HandleLine(e, "time 1000");
  EXPECT_EQ(e.budget.preAnalysisCs, 21);  // (1000 - 100) / (40 + 1)
  for (int i = 0; i < 60; ++i) e.MoveHistory.Append(0);  // done = 30: 10 moves to go
  HandleLine(e, "time 320");
  EXPECT_EQ(e.budget.preAnalysisCs, 20);  // 220 / 11
  HandleLine(e, "time 90");
  EXPECT_EQ(e.budget.preAnalysisCs, 10);  // under one second: an eighth, at most 10 cs, for the pre-analysis
  HandleLine(e, "time 40");
  EXPECT_EQ(e.budget.preAnalysisCs, 5);
  HandleLine(e, "level 0 2 12");  // increment: one move per period
  EXPECT_EQ(e.budget.preAnalysisCs, -1);
  HandleLine(e, "time 5000");
  EXPECT_EQ(e.budget.preAnalysisCs, 2450);
  HandleLine(e, "level -3 5 0");  // no count of moves to go
  HandleLine(e, "time 1000");
  EXPECT_EQ(e.budget.preAnalysisCs, -1);
  HandleLine(e, "new");
  EXPECT_EQ(e.budget.preAnalysisCs, -1);
}

TEST(Time, ResetsFixedDepthsAndRestartsTheClock) {
  Rig rig;
  Engine& e = rig.e();
  rig.clock.now = 5'000'000;
  SetUpNewGame(e);
  e.budget.fixedDepth = 6;
  HandleLine(e, "level 40 5 0");
  EXPECT_EQ(e.budget.fixedDepth, 6);  // only "time" touches it
  rig.clock.now = 9'000'000;
  HandleLine(e, "time 200");
  EXPECT_EQ(e.budget.fixedDepth, 0);
  EXPECT_EQ(e.driver.clockStart, 9'000'000);
  HandleLine(e, "new");  // "new" leaves the clock alone
  EXPECT_EQ(e.driver.clockStart, 9'000'000);
}

}  // namespace
}  // namespace ormedan
