#include <gtest/gtest.h>

#include <string>

#include "declare/model.h"
#include "support/fakes.h"

namespace ormedan {
namespace {

std::string Text(const std::array<char, 3>& a) { return std::string(a.begin(), a.end()); }

TEST(PositionKey, InitialPositionAndAfterE4) {
  Position p{};
  InitialPosition(p);
  const PositionKeyText k0 = PositionKey(p, White);
  const std::string s0(k0.View());
  EXPECT_EQ(s0.size(), 92u);  // 87 board digits, the side to move, four rights
  EXPECT_EQ(s0.substr(0, 10), "3900002519");
  EXPECT_EQ(s0.substr(87), "w1111");
  MakeMove(p, 0x4510);
  const std::string s1(PositionKey(p, Black).View());
  EXPECT_EQ(s1.size(), 92u);
  EXPECT_EQ(s1.substr(87), "b1111");
  // Files a..d are 4 * 8 squares; the e-file follows.
  const std::string before = s0.substr(0, s0.find("1160000"));
  EXPECT_EQ(s1.substr(0, before.size()), before);
  EXPECT_EQ(s0.substr(before.size(), 12), "116000029176");
  EXPECT_EQ(s1.substr(before.size(), 12), "100160029176");
  EXPECT_EQ(s1.substr(before.size() + 12, 87 - before.size() - 12), s0.substr(before.size() + 12, 87 - before.size() - 12));
}

TEST(PositionKey, SideToMoveCastlingRightsTwinPiecesAndLengthBounds) {
  Position p{};
  InitialPosition(p);
  EXPECT_FALSE(PositionKey(p, White) == PositionKey(p, Black));
  // Each right on its own changes the key: white short, white long, black short, black long.
  uint8_t Position::*rights[] = {&Position::whiteShortCastleRight, &Position::whiteLongCastleRight,
                                 &Position::blackShortCastleRight, &Position::blackLongCastleRight};
  for (int i = 0; i < 4; ++i) {
    Position q = p;
    q.*rights[i] = 0;
    std::string expected = "1111";
    expected[static_cast<size_t>(i)] = '0';
    EXPECT_EQ(std::string(PositionKey(q, White).View()).substr(88), expected);
  }
  Position q = p;
  q.board[2][1] = 8;  // the two white knights exchanged
  q.board[7][1] = 7;
  EXPECT_FALSE(PositionKey(p, White) == PositionKey(q, White));
  Position empty{};
  EXPECT_EQ(std::string(PositionKey(empty, Black).View()), std::string(64, '0') + "b0000");
  for (int f = 1; f <= 8; ++f)
    for (int r = 1; r <= 8; ++r) empty.board[f][r] = 32;
  EXPECT_EQ(PositionKey(empty, White).length, 133);
}

TEST(KeySeen, CountsWholeKeys) {
  testing::Rig rig;
  Engine& e = rig.e();
  SetUpNewGame(e);
  Position p = e.GamePosition;
  const PositionKeyText k = PositionKey(p, White);
  MakeMove(p, 0x4510);
  const PositionKeyText other = PositionKey(p, Black);
  EXPECT_FALSE(KeySeenTwice(e, k));
  EXPECT_FALSE(KeySeenThrice(e, k));
  e.PositionHistory.Append(k);
  e.PositionHistory.Append(other);
  EXPECT_FALSE(KeySeenTwice(e, k));
  EXPECT_FALSE(KeySeenThrice(e, k));
  e.PositionHistory.Append(other);
  e.PositionHistory.Append(k);
  EXPECT_TRUE(KeySeenTwice(e, k));
  EXPECT_FALSE(KeySeenThrice(e, k));
  e.PositionHistory.Append(k);
  EXPECT_TRUE(KeySeenTwice(e, k));
  EXPECT_TRUE(KeySeenThrice(e, k));
  // A key that is a prefix of a stored key is not equal to it.
  PositionKeyText prefix = k;
  prefix.length = static_cast<uint8_t>(k.length - 1);
  EXPECT_FALSE(KeySeenTwice(e, prefix));
  SetUpNewGame(e);
  EXPECT_FALSE(KeySeenTwice(e, k));
}

TEST(BookMoveText, Codes) {
  EXPECT_EQ(Text(BookMoveText(0x4510)), "P54");
  EXPECT_EQ(Text(BookMoveText(MakeMoveCode(15, 4, 4))), "O44");
  EXPECT_EQ(Text(BookMoveText(MakeMoveCode(32, 8, 1))), "`81");
  EXPECT_EQ(Text(BookMoveText(MakeMoveCode(1, 7, 1))), "A71");
  EXPECT_EQ(Text(BookMoveText(MakeMoveCode(27, 1, 8))), "[18");
  EXPECT_EQ(Text(BookMoveText(MakeMoveCode(31, 3, 5))), "_35");
  // Captured piece and promotion do not appear.
  EXPECT_EQ(Text(BookMoveText(0x05178209)), "I28");
}

TEST(Elapsed, UnitsAndTruncation) {
  testing::Rig rig;
  Engine& e = rig.e();
  e.driver.clockStart = rig.clock.now;
  EXPECT_EQ(ElapsedCentiseconds(e), 0);
  EXPECT_EQ(ElapsedMilliseconds(e), 0);
  rig.clock.now += 9999;
  EXPECT_EQ(ElapsedCentiseconds(e), 0);
  EXPECT_EQ(ElapsedMilliseconds(e), 9);
  rig.clock.now += 1234567 - 9999;
  EXPECT_EQ(ElapsedCentiseconds(e), 123);
  EXPECT_EQ(ElapsedMilliseconds(e), 1234);
  // A start in the future truncates toward zero as well.
  e.driver.clockStart = rig.clock.now + 1234567;
  EXPECT_EQ(ElapsedCentiseconds(e), -123);
  EXPECT_EQ(ElapsedMilliseconds(e), -1234);
  // Far beyond 32 bits of milliseconds the results saturate.
  e.driver.clockStart = rig.clock.now - (int64_t{1} << 50);
  EXPECT_EQ(ElapsedMilliseconds(e), INT32_MAX);
}

}  // namespace
}  // namespace ormedan
