#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace {

struct ToolRun {
  std::string out;
  int status = -1;
};

// Runs ormedan-tool with the given arguments (already quoted for the shell).
ToolRun Tool(const std::string& args) {
  ToolRun r;
  const std::string cmd = std::string("\"") + ORMEDAN_BIN_DIR + "/ormedan-tool\" " + args + " 2>/dev/null";
  FILE* f = popen(cmd.c_str(), "r");
  if (f == nullptr) return r;
  char buf[256];
  while (fgets(buf, sizeof buf, f) != nullptr) r.out += buf;
  const int st = pclose(f);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

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
