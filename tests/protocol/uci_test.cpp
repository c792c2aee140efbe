// UCI: whole sessions in-process.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "declare/game_record.h"
#include "declare/model.h"
#include "protocol/game.h"
#include "protocol/modes.h"
#include "support/fakes.h"
#include "support/files.h"
#include "support/session.h"

namespace ormedan {
namespace {

using testing::PatientRig;
using testing::RunModeSession;
using testing::TempDir;

constexpr int64_t Never = int64_t{1} << 62;

const TempDir& Books() { return testing::ShippedBooksFolder(); }

std::vector<std::string> Uci(PatientRig& rig) {
  const auto result = RunModeSession(rig.e(), rig.out, Books().path(), Mode::Uci);
  EXPECT_EQ(result.status, 0);
  return result.lines;
}

std::vector<std::string> Uci(const std::string& input) {
  PatientRig rig(input, Never);
  return Uci(rig);
}

// The move of the last "bestmove" line.
std::string BestMove(const std::vector<std::string>& lines) {
  for (auto it = lines.rbegin(); it != lines.rend(); ++it)
    if (it->rfind("bestmove ", 0) == 0) return it->substr(9, it->find(' ', 9) - 9);
  return "";
}

bool LegalAfter(const std::string& fen, const std::string& move) {
  PatientRig rig("", Never);
  std::string error;
  return StartGameFromFen(rig.e(), fen, error) && LegalMoveFromText(rig.e(), move) != 0;
}

TEST(Uci, HandshakeOptionsAndNoOtherLines) {
  const auto lines = Uci(
      "uci\nisready\nsetoption name OwnBook value false\nsetoption name Hash value 16\nsetoption name hash value 1\n"
      "setoption name Nope value 3\nsetoption name OwnBook value maybe\nfoo\nquit\n");
  const std::vector<std::string> expected = {
      "id name ORMEDAN 1.0",
      "id author the ORMEDAN team",
      "option name OwnBook type check default true",
      "option name MultiPV type spin default 1 min 1 max 32",
      "option name Ponder type check default false",
      "option name UCI_LimitStrength type check default false",
      "option name UCI_Elo type spin default 1510 min 400 max 1510",
      "option name Hash type spin default 1 min 1 max 1",
      "option name Threads type spin default 1 min 1 max 1",
      "uciok",
      "readyok",
      "info string Hash takes a whole number from 1 to 1, not 16",
      "info string unknown option: Nope",
      "info string OwnBook takes true or false, not maybe",
      "info string unknown command: foo",
  };
  EXPECT_EQ(lines, expected);
}

// The plain mode switches to UCI when the client opens with "uci".
TEST(Uci, UciAsTheFirstLineOfThePlainMode) {
  testing::Rig rig("  \nuci\nisready\nquit\n");
  const auto result = testing::RunSession(rig, Books().path());
  std::vector<std::string> expected = testing::StartUpLines();
  for (const char* l : {"id name ORMEDAN 1.0", "id author the ORMEDAN team",
                        "option name OwnBook type check default true",
                        "option name MultiPV type spin default 1 min 1 max 32",
                        "option name Ponder type check default false",
                        "option name UCI_LimitStrength type check default false",
                        "option name UCI_Elo type spin default 1510 min 400 max 1510",
                        "option name Hash type spin default 1 min 1 max 1",
                        "option name Threads type spin default 1 min 1 max 1", "uciok", "readyok"})
    expected.push_back(l);
  EXPECT_EQ(result.lines, expected);
  // Any other first line keeps the plain mode for good.
  testing::Rig plain("new\nuci\nquit\n");
  EXPECT_EQ(testing::RunSession(plain, Books().path()).lines, testing::StartUpLines());
}

// The game is rebuilt from each position line, with its repetitions; an
// illegal move keeps the position before it; "go" answers for that one.
TEST(Uci, PositionRebuildsTheGameAndStopsAtAnIllegalMove) {
  PatientRig rig("", Never);
  std::string fen, problem;
  ApplyUciPosition(rig.e(), "position startpos moves g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8", fen, problem);
  EXPECT_EQ(problem, "");
  EXPECT_EQ(rig.e().MoveHistory.Count(), 8);
  EXPECT_TRUE(KeySeenThrice(rig.e(), PositionKey(rig.e().GamePosition, White)));
  // The same from a FEN, with its halfmove clock counting towards fifty.
  ApplyUciPosition(rig.e(), "position fen 4k3/8/8/8/8/8/8/R3K3 w - - 97 60 moves a1a2 e8d8 a2a1", fen, problem);
  EXPECT_EQ(problem, "");
  EXPECT_EQ(HalfmoveClock(rig.e()), 100);
  EXPECT_EQ(SideToMove(rig.e()), Black);

  const auto lines = Uci("position startpos moves e2e4 e7e5 e1e3 d7d5\ngo depth 3\nquit\n");
  EXPECT_EQ(lines.front(), "info string illegal move, the position before it is kept: e1e3");
  EXPECT_TRUE(LegalAfter("rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2", BestMove(lines)))
      << BestMove(lines);

  // A draw the client does not claim is played on; no move at all is 0000.
  const auto drawn = Uci("position startpos moves g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8\ngo movetime 50\nquit\n");
  EXPECT_TRUE(LegalAfter("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", BestMove(drawn)));
  EXPECT_EQ(BestMove(Uci("position fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1\ngo wtime 1000 btime 1000\nquit\n")), "0000");
}

// Before its bestmove the engine reports depth, score (a mate in moves),
// nodes, nps, time and the move; every line of a search is one of the two.
TEST(Uci, InfoLinesAndMateScores) {
  const auto lines = Uci("position fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1\ngo movetime 200\nquit\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], "bestmove a1a8");
  EXPECT_EQ(lines[0].rfind("info depth ", 0), 0u);
  EXPECT_NE(lines[0].find(" score mate 1 nodes "), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find(" pv a1a8"), std::string::npos) << lines[0];
}

// "go infinite" deepens until "stop"; "isready" is answered meanwhile.
TEST(Uci, InfiniteUntilStopWithReadyokMeanwhile) {
  PatientRig rig("position startpos moves e2e4\ngo infinite\nisready\nstop\nquit\n", 3000);
  const auto lines = Uci(rig);
  ASSERT_GE(lines.size(), 3u);
  int readyAt = -1, depth = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == "readyok") readyAt = static_cast<int>(i);
    int d = 0;
    if (std::sscanf(lines[i].c_str(), "info depth %d", &d) == 1) {
      EXPECT_EQ(d, ++depth) << lines[i];
    }
  }
  EXPECT_GE(readyAt, 0);
  EXPECT_EQ(lines.back().rfind("bestmove ", 0), 0u);
  EXPECT_TRUE(LegalAfter("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", BestMove(lines)));
}

// A script that writes its commands and closes its input still gets the
// answer of its search; an analysis answers at once.
TEST(Uci, TheEndOfInputStillGetsTheSearchesMove) {
  for (const char* go : {"go depth 3", "go infinite"}) {
    testing::Rig rig(std::string("position startpos moves e2e4\n") + go + "\n");
    const auto result = RunModeSession(rig.e(), rig.out, Books().path(), Mode::Uci);
    EXPECT_EQ(result.status, 0);
    const std::string move = BestMove(result.lines);
    EXPECT_TRUE(LegalAfter("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1", move)) << go << ": " << move;
  }
}

// No legal move: the client still reads a score (mated, or a stalemate)
// before "bestmove 0000"; "go infinite" says so at once and waits for stop.
TEST(Uci, AFinishedPositionGivesItsScore) {
  const std::string mated = "position fen 7k/6Q1/6K1/8/8/8/8/8 b - - 0 1\n";
  const std::string stalemate = "position fen 7k/8/6Q1/8/8/8/8/K7 b - - 0 1\n";
  EXPECT_EQ(Uci(mated + "go depth 3\nquit\n"), (std::vector<std::string>{"info depth 0 score mate 0", "bestmove 0000"}));
  EXPECT_EQ(Uci(stalemate + "go\nquit\n"), (std::vector<std::string>{"info depth 0 score cp 0", "bestmove 0000"}));
  EXPECT_EQ(Uci(mated + "go infinite\nisready\nstop\nquit\n"),
            (std::vector<std::string>{"info depth 0 score mate 0", "readyok", "bestmove 0000"}));
}

// The info lines of one depth.
std::vector<std::string> InfoAtDepth(const std::vector<std::string>& lines, int depth) {
  std::vector<std::string> r;
  const std::string prefix = "info depth " + std::to_string(depth) + " ";
  for (const std::string& l : lines)
    if (l.rfind(prefix, 0) == 0) r.push_back(l);
  return r;
}

int64_t NumberAfter(const std::string& line, const std::string& word) {
  const size_t at = line.find(" " + word + " ");
  return at == std::string::npos ? INT64_MIN : std::stoll(line.substr(at + word.size() + 2));
}

std::string PvFirst(const std::string& line) {
  const size_t at = line.find(" pv ");
  return at == std::string::npos ? "" : line.substr(at + 4, line.find(' ', at + 4) - at - 4);
}

// MultiPV k: k lines at each finished depth, numbered 1..k, distinct legal
// first moves, scores best first; the best line is the move played, and
// MultiPV 1 gives the very search of before (same nodes, same move).
TEST(Uci, MultiPvGivesTheBestLinesInOrder) {
  const std::string fen = "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4";
  const auto multi = Uci("setoption name OwnBook value false\nsetoption name MultiPV value 4\nposition fen " + fen +
                         "\ngo depth 4\nquit\n");
  const auto lines = InfoAtDepth(multi, 4);
  ASSERT_EQ(lines.size(), 4u);
  std::vector<std::string> firsts;
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(NumberAfter(lines[i], "multipv"), static_cast<int64_t>(i + 1)) << lines[i];
    if (i > 0) {
      EXPECT_LE(NumberAfter(lines[i], "cp"), NumberAfter(lines[i - 1], "cp")) << lines[i];
    }
    firsts.push_back(PvFirst(lines[i]));
    EXPECT_TRUE(LegalAfter(fen, firsts.back())) << lines[i];
  }
  std::sort(firsts.begin(), firsts.end());
  EXPECT_EQ(std::unique(firsts.begin(), firsts.end()), firsts.end());
  EXPECT_EQ(PvFirst(lines[0]), BestMove(multi));

  const auto one = Uci("setoption name OwnBook value false\nposition fen " + fen + "\ngo depth 4\nquit\n");
  const auto single = InfoAtDepth(one, 4);
  ASSERT_EQ(single.size(), 1u);
  EXPECT_EQ(single[0].find(" multipv "), std::string::npos);
  const auto plain = Uci("setoption name OwnBook value false\nsetoption name MultiPV value 1\nposition fen " + fen +
                         "\ngo depth 4\nquit\n");
  EXPECT_EQ(InfoAtDepth(plain, 4), single);
}

// searchmoves restricts the root; go mate N stops once the mate is proven.
TEST(Uci, SearchMovesAndMate) {
  const auto restricted =
      Uci("setoption name OwnBook value false\nposition startpos\ngo depth 3 searchmoves a2a3 h2h4\nquit\n");
  const std::string move = BestMove(restricted);
  EXPECT_TRUE(move == "a2a3" || move == "h2h4") << move;
  const auto mate = Uci("position fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1\ngo mate 2\nquit\n");
  EXPECT_EQ(BestMove(mate), "a1a8");
  ASSERT_FALSE(mate.empty());
  EXPECT_NE(mate[mate.size() - 2].find(" score mate 1 "), std::string::npos) << mate[mate.size() - 2];
}

// go ponder thinks until the client says: ponderhit makes it the engine's
// own move (a legal one, with the ponder move after it), stop gives the
// move found so far; neither comes before the client asks.
TEST(Uci, PonderHitAndMiss) {
  const std::string after = "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 2";
  const std::string go = "setoption name OwnBook value false\nposition startpos moves e2e4 e7e5 g1f3\n"
                         "go ponder wtime 10000 btime 10000\n";
  for (const char* ending : {"ponderhit\n", "stop\n"}) {
    PatientRig rig(go + ending + "quit\n", 300000);
    const auto lines = Uci(rig);
    ASSERT_FALSE(lines.empty());
    const std::string& last = lines.back();
    ASSERT_EQ(last.rfind("bestmove ", 0), 0u) << ending;
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("bestmove", 0) == 0; }), 1);
    EXPECT_TRUE(LegalAfter(after, BestMove(lines))) << last;
    EXPECT_NE(last.find(" ponder "), std::string::npos) << last;
  }
}

}  // namespace
}  // namespace ormedan
