// The perft command of ormedan-tool, run as a program.
#include <gtest/gtest.h>

#include <string>

#include "support/tool_run.h"

namespace {

using ormedan::testing::ToolRun;
ToolRun Tool(const std::string& args) { return ormedan::testing::RunTool("perft " + args); }

const char* const kKiwipete = "\"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1\"";

TEST(PerftTool, CountsFromTheNewGameAndReportsTimeAndSpeed) {
  const ToolRun r = Tool("3");
  ASSERT_EQ(r.status, 0) << r.errors;
  ASSERT_EQ(r.lines.size(), 3u);
  EXPECT_EQ(r.lines[0].rfind("time ", 0), 0u) << r.lines[0];
  EXPECT_EQ(r.lines[1].rfind("leaves per second ", 0), 0u) << r.lines[1];
  EXPECT_EQ(r.lines.back(), "nodes 8902");
}

TEST(PerftTool, FenAsOneArgumentOrAsWordsAndDivide) {
  const ToolRun quoted = Tool(std::string("2 ") + kKiwipete + " --divide");
  ASSERT_EQ(quoted.status, 0) << quoted.errors;
  EXPECT_EQ(quoted.lines.back(), "nodes 2039");
  ASSERT_EQ(quoted.lines.size(), 48u + 3u);
  long sum = 0;
  bool castles = false;
  for (size_t i = 0; i < 48; ++i) {
    const std::string& l = quoted.lines[i];
    const size_t colon = l.find(": ");
    ASSERT_NE(colon, std::string::npos) << l;
    sum += std::stol(l.substr(colon + 2));
    castles |= l.rfind("e1g1: ", 0) == 0;
  }
  EXPECT_EQ(sum, 2039);
  EXPECT_TRUE(castles);

  const ToolRun words = Tool("--divide 1 rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8");
  ASSERT_EQ(words.status, 0) << words.errors;
  EXPECT_EQ(words.lines.back(), "nodes 44");
  bool promotion = false;
  for (const std::string& l : words.lines) promotion |= l == "d7c8q: 1";
  EXPECT_TRUE(promotion);
}

TEST(PerftTool, RefusesBadFenAndBadDepth) {
  for (const char* fen : {"\"8/8/8/8/8/8/8/8 w - - 0 1\"", "\"P3k3/8/8/8/8/8/8/4K3 w - - 0 1\""}) {
    const ToolRun r = Tool(std::string("2 ") + fen);
    EXPECT_NE(r.status, 0) << fen;
    EXPECT_FALSE(r.errors.empty()) << fen;
    for (const std::string& l : r.lines) EXPECT_EQ(l.rfind("nodes", 0), std::string::npos) << fen;
  }
  for (const char* depth : {"", "0", "16", "x", "3x"}) {
    const ToolRun r = Tool(depth);
    EXPECT_EQ(r.status, 2) << "depth '" << depth << "'";
    EXPECT_NE(r.errors.find("usage"), std::string::npos) << depth;
  }
}

}  // namespace
