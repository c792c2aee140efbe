// The program finds its books in PREFIX/share/ormedan beside PREFIX/bin (or,
// laid out as a Debian game, in PREFIX/share/games/ormedan beside
// PREFIX/games), so an installed copy works from any folder and can be moved
// to another prefix.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/child_process.h"
#include "support/files.h"

namespace ormedan {
namespace {

namespace fs = std::filesystem;

TEST(Installation, BooksFoundBesideTheProgramFromAnyFolder) {
  testing::TempDir prefix;
  fs::create_directories(fs::path(prefix.path()) / "bin");
  fs::create_directories(fs::path(prefix.path()) / "share" / "ormedan");
  fs::copy_file(fs::path(ORMEDAN_BIN_DIR) / "ormedan", fs::path(prefix.path()) / "bin" / "ormedan");
  testing::TempDir elsewhere;  // no books here

  testing::ChildOptions options;
  options.workingDirectory = elsewhere.path();
  options.input = "quit\n";
  const std::string program = (fs::path(prefix.path()) / "bin" / "ormedan").string();

  // Without the data folder the start fails on the first book.
  testing::ChildResult missing = testing::RunChild({program}, options);
  EXPECT_EQ(missing.exitStatus, 1);
  EXPECT_EQ(missing.err, "b.dat: No such file or directory\n");
  EXPECT_EQ(missing.out.find("Book caricati"), std::string::npos);

  for (const char* book : {"b.dat", "n.dat", "x.dat"})
    fs::copy_file(fs::path(ORMEDAN_SOURCE_DIR) / "books" / book,
                  fs::path(prefix.path()) / "share" / "ormedan" / book);
  testing::ChildResult found = testing::RunChild({program}, options);
  EXPECT_EQ(found.exitStatus, 0);
  EXPECT_EQ(found.err, "");
  EXPECT_NE(found.out.find("Carico i book delle aperture\nBook caricati\n"), std::string::npos);
}

// The Debian layout, book by book; the plain folder, when it holds a book too,
// comes first.
TEST(Installation, GamesLayoutBooksComeAfterThePlainFolder) {
  testing::TempDir prefix;
  const fs::path root(prefix.path());
  fs::create_directories(root / "games");
  fs::create_directories(root / "share" / "games" / "ormedan");
  fs::create_directories(root / "share" / "ormedan");
  fs::copy_file(fs::path(ORMEDAN_BIN_DIR) / "ormedan", root / "games" / "ormedan");
  for (const char* book : {"b.dat", "n.dat", "x.dat"})
    fs::copy_file(fs::path(ORMEDAN_SOURCE_DIR) / "books" / book, root / "share" / "games" / "ormedan" / book);
  testing::TempDir elsewhere;  // no books here
  testing::ChildOptions options;
  options.workingDirectory = elsewhere.path();
  options.input = "new\ne2e4\nquit\n";
  const std::string program = (root / "games" / "ormedan").string();

  testing::ChildResult games = testing::RunChild({program}, options);
  EXPECT_EQ(games.exitStatus, 0);
  EXPECT_EQ(games.err, "");
  EXPECT_NE(games.out.find("Book caricati\nmosse possibili 20\n"), std::string::npos);
  EXPECT_EQ(games.out.find("trovate 1 mosse"), std::string::npos);

  // A one-line black book in the plain folder is the one read.
  std::ofstream(root / "share" / "ormedan" / "n.dat") << "P54]55\n";
  testing::ChildResult plain = testing::RunChild({program}, options);
  EXPECT_EQ(plain.exitStatus, 0);
  EXPECT_NE(plain.out.find("trovate 1 mosse\nmove e7e5\n"), std::string::npos);
}

}  // namespace
}  // namespace ormedan
