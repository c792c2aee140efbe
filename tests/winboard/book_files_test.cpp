// The shipped books and the tool that builds them: every line replays
// legally from the initial position, the books answer the common openings,
// and the converter keeps good moves, weights them by master games and cuts
// lines before moves that a book code cannot express.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "declare/model.h"
#include "support/child_process.h"
#include "support/files.h"
#include "support/generation_walk.h"
#include "support/turns.h"
#include "generation/generate.h"

namespace ormedan {
namespace {

using testing::BookOf;
using testing::ChildOptions;
using testing::Rig;
using testing::RunChild;
using testing::SourceFile;
using testing::TempDir;

// Replays one book line; returns "" when every code is a legal move of the
// side to move, else a description of the first fault.
std::string ReplayLine(Engine& e, const std::string& line) {
  if (line.empty() || line.size() % 3 != 0) return "length " + std::to_string(line.size());
  SetUpNewGame(e);
  for (size_t i = 0; i < line.size(); i += 3) {
    const bool white = (i / 3) % 2 == 0;
    const int piece = static_cast<unsigned char>(line[i]) - 64;
    const int file = line[i + 1] - '0', rank = line[i + 2] - '0';
    if (piece < 1 || piece > 32 || IsWhitePiece(piece) != white || file < 1 || file > 8 || rank < 1 || rank > 8)
      return "malformed code at " + std::to_string(i);
    const int32_t code = MakeMoveCode(piece, file, rank, e.GamePosition.board[file][rank]);
    const int n = testing::Generate(e, white ? White : Black, 1, 1);
    int matches = 0;
    for (int slot = 1; slot <= n; ++slot) matches += e.ChildPositions[slot][1].lastMove == code ? 1 : 0;
    if (matches != 1) return "not a legal move at " + std::to_string(i);
    e.WorkPosition = e.GamePosition;
    MakeMove(e.WorkPosition, code);
    e.GamePosition = e.WorkPosition;
  }
  return {};
}

// How many lines of the book continue `key`, by next code.
std::map<std::string, int> Continuations(const TextList& book, const std::string& key) {
  std::map<std::string, int> next;
  for (const std::string& line : book)
    if (line.size() >= key.size() + 3 && line.compare(0, key.size(), key) == 0) ++next[line.substr(key.size(), 3)];
  return next;
}

TEST(ShippedBooks, EveryLineReplaysLegally) {
  Rig rig;
  for (const char* name : {"books/b.dat", "books/n.dat", "books/x.dat"}) {
    const std::string text = SourceFile(name);
    ASSERT_FALSE(text.empty()) << name;
    EXPECT_EQ(text.find('\r'), std::string::npos) << name << " has carriage returns";
    const TextList book = BookOf(text);
    const std::set<std::string> distinct(book.begin(), book.end());
    EXPECT_GT(book.size(), 1000u) << name;
    for (const std::string& line : distinct) {
      const std::string fault = ReplayLine(rig.e(), line);
      EXPECT_EQ(fault, "") << name << ": " << line;
      if (!fault.empty()) break;
    }
  }
}

TEST(ShippedBooks, TheyAnswerTheCommonOpenings) {
  const TextList white = BookOf(SourceFile("books/b.dat"));
  const TextList black = BookOf(SourceFile("books/n.dat"));
  const TextList draws = BookOf(SourceFile("books/x.dat"));
  // The white engine opens with d4 or e4 without the book; every line of its
  // book starts so.
  for (const std::string& line : white) EXPECT_TRUE(line.starts_with("O44") || line.starts_with("P54")) << line;
  // Its book answers the main black replies (c5, e5, e6, c6 to 1. e4; Nf6, d5 to 1. d4).
  for (const char* key : {"P54[35", "P54]55", "P54]56", "P54[36", "O44X66", "O44\\45"})
    EXPECT_FALSE(Continuations(white, key).empty()) << key;
  // The black book answers the main first moves: e4, d4, c4, Nf3, g3, b3, f4.
  for (const char* key : {"P54", "O44", "M34", "H63", "L73", "K23", "N64"})
    EXPECT_FALSE(Continuations(black, key).empty()) << key;
  EXPECT_FALSE(Continuations(draws, "P54").empty());
  EXPECT_FALSE(Continuations(draws, "O44").empty());
  // Popular moves weigh more: masters answer 1. e4 with c5 more often than
  // with e5, and so does the book.
  const auto replies = Continuations(black, "P54");
  ASSERT_TRUE(replies.count("[35") && replies.count("]55"));
  EXPECT_GT(replies.at("[35"), replies.at("]55"));
}

// ------------------------------------------------------------ the converter

std::string Tool() { return std::string(ORMEDAN_BIN_DIR) + "/ormedan-tool"; }

// A tiny tree: after 1. e4 e5 white has a good popular move (Nf3, 45
// games), a good rarer one (Bc4, 15) and a losing one (Qh5); 1. e4 c5 ends
// the tree with white to move; 1. e4 Nf6, which scored badly for black,
// goes on with 2. e5 d5 3. exd6, an en-passant capture.
const char* kTree =
    "moves\twhite_wins\tdraws\tblack_wins\n"
    "e2e4\t50\t35\t25\n"
    "e2e4 c7c5\t20\t12\t8\n"
    "e2e4 e7e5\t30\t18\t12\n"
    "e2e4 e7e5 d1h5\t2\t2\t8\n"
    "e2e4 e7e5 f1c4\t8\t4\t3\n"
    "e2e4 e7e5 g1f3\t25\t12\t8\n"
    "e2e4 g8f6\t6\t4\t0\n"
    "e2e4 g8f6 e4e5\t6\t4\t0\n"
    "e2e4 g8f6 e4e5 d7d5\t6\t4\t0\n"
    "e2e4 g8f6 e4e5 d7d5 e5d6\t6\t4\t0\n";
const char* kEvals =
    "moves\teval_cp\tbestmove\n"
    "e2e4 c7c5\t30\tg1f3\n"
    "e2e4 e7e5 d1h5\t-50\tb8c6\n"
    "e2e4 e7e5 f1c4\t30\tg8f6\n"
    "e2e4 e7e5 g1f3\t40\tb8c6\n"
    "e2e4 g8f6 e4e5 d7d5 e5d6\t20\te7d6\n";

TEST(BookTool, KeepsGoodMovesInProportionAndCutsBeforeEnPassant) {
  TempDir data, out;
  data.Write("gm_tree.tsv", kTree);
  data.Write("gm_leaf_eval.tsv", kEvals);
  const auto run = RunChild({Tool(), "book", data.path(), out.path()}, ChildOptions{});
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_NE(run.out.find("books written: b.dat 6 lines"), std::string::npos) << run.out;

  const auto read = [&](const char* name) {
    std::ifstream in(out.path() + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  // White: Nf3 three times as often as Bc4 (45 to 15 games), never Qh5; the
  // engine's best move where the tree stops with white to move; the
  // en-passant line cut before the capture.
  EXPECT_EQ(read("b.dat"),
            "P54X66P55\\45\n"
            "P54[35H63\n"
            "P54]55F34\n"
            "P54]55H63\n"
            "P54]55H63\n"
            "P54]55H63\n");
  // Black answers every white move of the tree, with the engine's best move
  // at its leaves, and chooses e5 or c5 as the masters did (60 to 40).
  const TextList black = BookOf(read("n.dat"));
  const auto first = Continuations(black, "P54");
  EXPECT_EQ(first.at("]55") * 2, first.at("[35") * 3) << read("n.dat");
  for (const char* key : {"P54]55H63", "P54]55F34", "P54]55B85"}) EXPECT_EQ(Continuations(black, key).size(), 1u) << key;
  // Every line of all three books replays.
  Rig rig;
  for (const char* name : {"b.dat", "n.dat", "x.dat"})
    for (const std::string& line : BookOf(read(name))) EXPECT_EQ(ReplayLine(rig.e(), line), "") << name << ": " << line;
}

TEST(BookTool, RefusesBadData) {
  TempDir out;
  const auto fails = [&](const std::string& tree, const std::string& evals, const char* why) {
    TempDir data;
    data.Write("gm_tree.tsv", tree);
    data.Write("gm_leaf_eval.tsv", evals);
    const auto run = RunChild({Tool(), "book", data.path(), out.path()}, ChildOptions{});
    EXPECT_EQ(run.exitStatus, 1) << why;
    EXPECT_FALSE(run.err.empty()) << why;
  };
  const std::string header = "moves\twhite_wins\tdraws\tblack_wins\n";
  const std::string evalHeader = "moves\teval_cp\tbestmove\n";
  fails(header + "e2e5\t1\t1\t1\n", evalHeader + "e2e5\t0\te7e5\n", "an illegal move");
  fails(header + "e2e4\t1\tx\t1\n", evalHeader + "e2e4\t0\te7e5\n", "a count that is no number");
  fails(header + "e2e4 e7e5\t1\t1\t1\n", evalHeader + "e2e4 e7e5\t0\tg1f3\n", "a row without its prefix");
  fails(header + "e2e4\t1\t1\t1\n", evalHeader, "a leaf without a score");
  fails(header + "e2e4\t1\t1\t1\n", evalHeader + "e2e4\t0\te7e5\n" + "d2d4\t0\td7d5\n", "a score for no row");
  const auto missing = RunChild({Tool(), "book", out.path() + "/nothing", out.path()}, ChildOptions{});
  EXPECT_EQ(missing.exitStatus, 1);
}

}  // namespace
}  // namespace ormedan
