// Sessions that the fuzz targets found to break the engine, reduced to their
// core, each with what must happen instead.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "declare/model.h"
#include "support/referee.h"
#include "winboard/driver.h"

namespace ormedan {
namespace {

using testing::GameSnapshot;
using testing::Referee;
using Lines = std::vector<std::string>;

// The driver keeps no turns, so one side may move twice in a row and then
// attack the enemy king. Taking it was accepted and left a game without a
// black king.
TEST(HostileSessions, ASideMovingTwiceCannotTakeTheKing) {
  Referee r;
  r.Send("new");
  r.Send("result *");
  EXPECT_EQ(r.SendAll({"e2e4", "d1h5", "h5f7"}),
            (Lines{"mosse possibili 20", "mosse possibili 17", "mosse possibili 1"}));
  const GameSnapshot before(r.e());
  EXPECT_EQ(r.Send("f7e8"), (Lines{"Illegal move: f7e8"}));
  EXPECT_TRUE(before.Same(r.e()));
  std::string why;
  EXPECT_TRUE(CheckPosition(r.e().GamePosition, &why)) << why;
}

}  // namespace
}  // namespace ormedan
