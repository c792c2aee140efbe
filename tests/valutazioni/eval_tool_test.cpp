#include <gtest/gtest.h>

#include <string>

#include "support/tool_run.h"

namespace {

using ormedan::testing::ToolRun;
ToolRun Tool(const std::string& args) { return ormedan::testing::RunTool(args); }

std::string LastLine(const std::string& s) {
  std::string t = s;
  while (!t.empty() && t.back() == '\n') t.pop_back();
  const size_t nl = t.rfind('\n');
  return nl == std::string::npos ? t : t.substr(nl + 1);
}

TEST(EvalTool, PrintsTheScoreLast) {
  ToolRun r = Tool("eval --phase 1 \"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1\"");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(LastLine(r.out), "-30");
  r = Tool("eval \"7k/8/8/8/8/8/8/R3K3 w - - 0 1\"");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(LastLine(r.out), "10200");
  // An unquoted FEN arrives in pieces and is joined again.
  r = Tool("eval --phase 1 rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
  EXPECT_EQ(LastLine(r.out), "-30");
}

TEST(EvalTool, RefusesBadInput) {
  EXPECT_NE(Tool("eval \"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP w KQkq - 0 1\"").status, 0);
  EXPECT_NE(Tool("eval \"8/8/8/8/8/8/8/8 w - - 0 1\"").status, 0);  // no kings
  EXPECT_NE(Tool("eval --phase 4 \"7k/8/8/8/8/8/8/R3K3 w - - 0 1\"").status, 0);
  EXPECT_NE(Tool("eval --phase").status, 0);
  EXPECT_NE(Tool("eval").status, 0);
}

}  // namespace
