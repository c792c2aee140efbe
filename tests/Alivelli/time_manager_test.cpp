// The time manager: the protocol modes' plan under every control, and the
// budget each kind of limit gives the search.
#include "Alivelli/time_manager.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace ormedan {
namespace {

// No move may take more than a fifth of the clock left: the plan stays
// within a sixth, under every control, and a fixed time per move is kept.
TEST(TimeManager, TheClockPlanNeverTakesMoreThanASixth) {
  for (const int mps : {0, 1, 40}) {
    for (const int64_t inc : {0, 10, 200}) {
      for (int64_t left = 1; left < 400000; left = left * 3 + 1) {
        for (const int64_t done : {0, 12, 39, 80}) {
          SearchLimits c;
          c.movesPerControl = mps;
          c.incrementCs = inc;
          c.clockCs = left;
          const int64_t plan = PlanMoveTime(c, done);
          EXPECT_GE(plan, 1);
          if (left > 60) {
            EXPECT_LE(plan, left / 6) << mps << " " << inc << " " << left << " " << done;
          }
        }
      }
    }
  }
  SearchLimits st;
  st.fixedCs = 50;
  EXPECT_LT(PlanMoveTime(st, 0), 50);
}

struct BudgetRig {
  testing::Rig rig;
  SearchBudget Plan(const SearchLimits& limits, int64_t movesDone = 0) {
    PlanSearch(rig.e(), limits, movesDone);
    return rig.e().budget;
  }
};

// Each kind of limit reaches the search as its own field: "no clock" is
// not a budget value, and whatever the last search was told is forgotten.
TEST(TimeManager, EachLimitBecomesItsOwnBudgetField) {
  BudgetRig rig;
  SearchLimits depthOnly;
  depthOnly.depth = 6;
  SearchBudget b = rig.Plan(depthOnly);
  EXPECT_FALSE(b.timed);
  EXPECT_EQ(b.fixedDepth, 6);
  EXPECT_EQ(b.preAnalysisCs, -1);

  SearchLimits clockAndDepth;  // a depth under a clock only caps the depth
  clockAndDepth.clockCs = 6000;
  clockAndDepth.depth = 5;
  b = rig.Plan(clockAndDepth);
  EXPECT_TRUE(b.timed);
  EXPECT_EQ(b.depthLimit, 5);
  EXPECT_EQ(b.moveCs, 193);  // (6000 - 5) / (30 assumed moves + 1)
  EXPECT_EQ(b.preAnalysisCs, b.moveCs);

  b = rig.Plan(SearchLimits{});  // nothing said at all
  EXPECT_TRUE(b.timed);
  EXPECT_EQ(b.moveCs, PlanMoveTime(SearchLimits{.fixedCs = DefaultMoveCs}, 0));
  EXPECT_EQ(b.depthLimit, 0);

  SearchLimits theirsOnly;  // the opponent's clock alone: ours is empty
  theirsOnly.otherClockCs = 6000;
  EXPECT_EQ(rig.Plan(theirsOnly).moveCs, 1);

  SearchLimits nodes;
  nodes.clockCs = 6000;
  nodes.nodes = 20000;
  EXPECT_EQ(rig.Plan(nodes).nodeLimit, 20000);
  EXPECT_EQ(rig.Plan(clockAndDepth).nodeLimit, 0);
}

}  // namespace
}  // namespace ormedan
