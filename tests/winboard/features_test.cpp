// The command line: the plain mode, --features and --uci.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/files.h"
#include "support/session.h"
#include "protocol/modes.h"

namespace ormedan {
namespace {

using testing::JoinLines;
using testing::Rig;
using testing::RunSession;
using testing::StartUpLines;
using testing::TempDir;

// xboard's opening lines, near misses of "protover ", a blank-padded one and
// a "protover" after "new".
const std::string kOpening = "xboard\nprotover 2\nprotover\nProtover 2\nprotoverx 2\n  protover 3  \nnew\nprotover 2\n";

// The plain mode ignores "protover" like any line it does not know.
TEST(Features, ThePlainModeIgnoresProtover) {
  TempDir dir;
  dir.WriteEmptyBooks();
  Rig rig(kOpening);
  const auto result = RunSession(rig, dir.path());
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(JoinLines(result.lines), JoinLines(StartUpLines()));
}

// The built program: --features starts protocol 2 (the banner as comments,
// then the features), --uci starts UCI with no banner, and any other
// argument is refused before the banner with exit status 2.
TEST(Features, ProgramArguments) {
  TempDir dir;
  for (const char* book : {"b.dat", "n.dat", "x.dat"})
    std::filesystem::copy_file(std::string(ORMEDAN_SOURCE_DIR) + "/books/" + book, dir.path() + "/" + book);
  testing::ChildOptions options;
  options.workingDirectory = dir.path();
  options.input = "xboard\nprotover 2\nquit\n";
  const std::string program = std::string(ORMEDAN_BIN_DIR) + "/ormedan";

  const auto on = testing::RunChild({program, "--features"}, options);
  EXPECT_EQ(on.exitStatus, 0);
  EXPECT_EQ(on.err, "");
  std::string expected;
  for (const std::string& line : StartUpLines()) expected += "# " + line + "\n";
  // The feature lines, written from the options table, byte for byte.
  expected += std::string(kXboardFeatures) + "\n";
  expected += "feature option=\"OwnBook -check 1\"\nfeature option=\"UCI_LimitStrength -check 0\"\n"
              "feature option=\"UCI_Elo -spin 1510 400 1510\"\nfeature done=1\n";
  EXPECT_EQ(on.out, expected);

  const auto off = testing::RunChild({program}, options);
  EXPECT_EQ(off.exitStatus, 0);
  EXPECT_EQ(off.out, JoinLines(StartUpLines()));

  options.input = "uci\nquit\n";
  const auto uci = testing::RunChild({program, "--uci"}, options);
  EXPECT_EQ(uci.exitStatus, 0);
  EXPECT_EQ(uci.out.rfind("id name ORMEDAN 1.0\n", 0), 0u) << uci.out;

  for (const std::vector<std::string>& args :
       {std::vector<std::string>{program, "--feature"}, {program, "--features", "-x"}, {program, ""}}) {
    const auto bad = testing::RunChild(args, options);
    EXPECT_EQ(bad.exitStatus, 2) << args.back();
    EXPECT_EQ(bad.out, "") << args.back();
    EXPECT_EQ(bad.err, "ormedan: unknown option: " + args.back() + "\nusage: ormedan [--features | --uci | bench [DEPTH]]\n");
  }
}

}  // namespace
}  // namespace ormedan
