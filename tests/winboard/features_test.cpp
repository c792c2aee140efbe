// The opt-in "protover" answer and the program's command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/files.h"
#include "support/session.h"
#include "winboard/driver.h"

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

TEST(Features, ProtoverIsAnsweredOnlyWhenAnnounced) {
  TempDir dir;
  dir.WriteEmptyBooks();
  for (const bool announce : {false, true}) {
    Rig rig(kOpening);
    rig.e().driver.announceFeatures = announce ? 1 : 0;
    const auto result = RunSession(rig, dir.path());
    EXPECT_EQ(result.status, 0);
    std::vector<std::string> expected = StartUpLines();
    if (announce) expected.insert(expected.end(), 3, std::string(kFeatureLine));
    EXPECT_EQ(JoinLines(result.lines), JoinLines(expected)) << announce;
  }
  EXPECT_EQ(kFeatureLine,
            "feature myname=\"ORMEDAN 1.0\" sigint=0 sigterm=1 reuse=1 analyze=0 draw=0 pause=0 done=1");
}

// The built program: --features switches the answer on, any other argument is
// refused before the banner with exit status 2.
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
  EXPECT_EQ(on.out, JoinLines(StartUpLines()) + std::string(kFeatureLine) + "\n");

  const auto off = testing::RunChild({program}, options);
  EXPECT_EQ(off.exitStatus, 0);
  EXPECT_EQ(off.out, JoinLines(StartUpLines()));

  for (const std::vector<std::string>& args :
       {std::vector<std::string>{program, "--feature"}, {program, "--features", "-x"}, {program, ""}}) {
    const auto bad = testing::RunChild(args, options);
    EXPECT_EQ(bad.exitStatus, 2) << args.back();
    EXPECT_EQ(bad.out, "") << args.back();
    EXPECT_EQ(bad.err, "ormedan: unknown option: " + args.back() + "\nusage: ormedan [--features]\n");
  }
}

}  // namespace
}  // namespace ormedan
