// xboard protocol 2 (--features): whole sessions in-process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "declare/game_record.h"
#include "declare/model.h"
#include "protocol/game.h"
#include "protocol/modes.h"
#include "support/files.h"
#include "support/session.h"

namespace ormedan {
namespace {

using testing::PatientRig;
using testing::Rig;
using testing::RunModeSession;
using testing::TempDir;

const TempDir& RealBooks() { return testing::ShippedBooksFolder(); }

// The lines a client reads: everything but the "# " comments.
std::vector<std::string> Replies(const std::vector<std::string>& lines) {
  std::vector<std::string> r;
  for (const std::string& l : lines)
    if (l.rfind("# ", 0) != 0) r.push_back(l);
  return r;
}

std::vector<std::string> Session(Engine& e, const testing::CaptureOutput& out, Mode mode = Mode::Xboard2) {
  const auto result = RunModeSession(e, out, RealBooks().path(), mode);
  EXPECT_EQ(result.status, 0);
  return Replies(result.lines);
}

// A client that waits for each move before it writes again.
constexpr int64_t Never = int64_t{1} << 62;

std::vector<std::string> Session(const std::string& input) {
  PatientRig rig(input, Never);
  return Session(rig.e(), rig.out);
}

// The move of a "move X" line, "" for any other line.
std::string MoveOf(const std::string& line) { return line.rfind("move ", 0) == 0 ? line.substr(5) : ""; }

// Whether `move` is legal for the side to move after the FEN.
bool LegalAfter(const std::string& fen, const std::string& move) {
  Rig rig;
  std::string error;
  if (!StartGameFromFen(rig.e(), fen, error)) return false;
  return LegalMoveFromText(rig.e(), move) != 0;
}

TEST(Xboard2, HandshakeDeclaresWhatTheModeDoesAndEveryOtherLineIsAComment) {
  Rig rig("xboard\nprotover 2\naccepted ping\nrejected sigint\nfoo bar\nvariant normal\nvariant suicide\nquit\n");
  const auto result = RunModeSession(rig.e(), rig.out, RealBooks().path(), Mode::Xboard2);
  const std::vector<std::string> expected = {
      "feature ping=1 setboard=1 usermove=1 colors=0 time=1 reuse=1 sigint=0 sigterm=1 san=0 analyze=1 draw=0 "
      "pause=0 nps=1 myname=\"ORMEDAN 1.0\"",
      "feature option=\"OwnBook -check 1\"",
      "feature option=\"UCI_LimitStrength -check 0\"",
      "feature option=\"UCI_Elo -spin 1510 400 1510\"",
      "feature done=1",
      "Error (unknown command): foo bar",
      "Error (unsupported variant): suicide",
  };
  EXPECT_EQ(Replies(result.lines), expected);
  EXPECT_EQ(result.lines.front(), "# ORMEDAN! 1500 ver 1.0");
}

// The engine plays the side to move, never the other: cutechess's "go"
// without "white", force mode, and an opponent moving the engine's pieces.
TEST(Xboard2, TheEnginePlaysTheSideToMoveAndRefusesTheOtherSidesMoves) {
  const auto asWhite = Session("new\nforce\nlevel 40 0:20 0\npost\neasy\ntime 2000\notim 2000\ngo\nquit\n");
  ASSERT_EQ(asWhite.size(), 1u);
  EXPECT_TRUE(asWhite[0] == "move d2d4" || asWhite[0] == "move e2e4") << asWhite[0];

  const auto forced = Session("new\nforce\ne2e4\ne7e5\nusermove g1f3\nping 1\nquit\n");
  EXPECT_EQ(forced, std::vector<std::string>{"pong 1"});

  const auto replies = Session("new\ne2e4\ng8f6\nc7c5\nb1c3e\nz9z9\nquit\n");
  ASSERT_EQ(replies.size(), 5u);
  EXPECT_TRUE(LegalAfter("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", MoveOf(replies[0])));
  EXPECT_EQ(replies[1], "Illegal move: g8f6");
  EXPECT_EQ(replies[2], "Illegal move: c7c5");
  EXPECT_EQ(replies[3], "Illegal move: b1c3e");
  EXPECT_EQ(replies[4], "Illegal move: z9z9");
}

TEST(Xboard2, SetboardPlaysFromTheFenAndABadFenChangesNothing) {
  const std::string fen = "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R b KQkq - 3 3";
  const auto replies = Session("new\nforce\nsetboard " + fen + "\nst 0.05\ngo\nquit\n");
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_TRUE(LegalAfter(fen, MoveOf(replies[0]))) << replies[0];

  const auto refused = Session("new\nforce\nsetboard junk\nsetboard 8/8/8/8/8/8/8/8 w - - 0 1\ne2e4\nping 2\nquit\n");
  EXPECT_EQ(refused, (std::vector<std::string>{"tellusererror Illegal position", "tellusererror Illegal position",
                                               "pong 2"}));
}

// Takebacks replay the game: position, repetition history and move count
// are exactly those before the moves, also from a FEN with a halfmove clock.
TEST(Xboard2, TakebacksRestoreTheGameExactly) {
  Rig rig;
  Engine& e = rig.e();
  std::string error;
  ASSERT_TRUE(StartGameFromFen(e, "r3k2r/ppp2ppp/8/3pP3/8/8/PPP2PPP/R3K2R w KQkq d6 40 20", error)) << error;
  EXPECT_EQ(e.PositionHistory.Count(), 41);  // the halfmove clock, then the start
  EXPECT_EQ(HalfmoveClock(e), 40);
  auto play = [&](const char* m) {
    const int32_t move = LegalMoveFromText(e, m);
    EXPECT_NE(move, 0) << m;
    if (move != 0) PlayMove(e, move);
  };
  for (const char* m : {"e1g1", "e8c8", "g1h1", "d8e8"}) play(m);
  const Position saved = e.GamePosition;
  const KeyHistory keys = e.PositionHistory;
  const int64_t moves = e.MoveHistory.Count();
  for (const char* m : {"f1g1", "e8d8", "e5e6", "f7e6"}) play(m);
  EXPECT_EQ(e.PositionHistory.Count(), 0);
  ASSERT_TRUE(ReplayGame(e, moves));
  EXPECT_EQ(std::memcmp(&e.GamePosition, &saved, sizeof saved), 0);
  EXPECT_EQ(e.PositionHistory.Count(), keys.Count());
  EXPECT_EQ(HalfmoveClock(e), 44);
  EXPECT_EQ(e.PositionHistory.Occurrences(PositionKey(saved, White)), keys.Occurrences(PositionKey(saved, White)));
  EXPECT_EQ(e.MoveHistory.Count(), moves);
  EXPECT_EQ(SideToMove(e), White);
  EXPECT_FALSE(ReplayGame(e, moves + 1));

  // The same through the protocol: after "remove" White is to move again.
  const auto replies = Session("new\nforce\ne2e4\ne7e5\nremove\ne7e5\ne2e4\nundo\nundo\nundo\nping 3\nquit\n");
  EXPECT_EQ(replies, (std::vector<std::string>{"Illegal move: e7e5", "Error (command not legal now): undo",
                                               "Error (command not legal now): undo", "pong 3"}));
}

// A ping is answered once everything before it is done, so one that
// arrives while the engine thinks follows its move; "?" makes it move now.
TEST(Xboard2, PingFollowsTheMoveAndMoveNowStopsTheSearch) {
  int64_t fullNodes = 0;
  for (const bool moveNow : {false, true}) {
    PatientRig rig(std::string("new\noption OwnBook=0\nst 1000\nusermove e2e4\n") + (moveNow ? "?\n" : "") +
                       "ping 7\n",
                   40);
    const auto replies = Session(rig.e(), rig.out);
    ASSERT_EQ(replies.size(), 2u) << moveNow;
    EXPECT_TRUE(LegalAfter("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", MoveOf(replies[0])));
    EXPECT_EQ(replies[1], "pong 7");
    if (!moveNow) fullNodes = rig.e().NodeCount;
    if (moveNow) {
      EXPECT_LT(rig.e().NodeCount * 2, fullNodes);
    }
  }
}

TEST(Xboard2, AnalysisDeepensUntilExitAndFollowsTheMoves) {
  PatientRig rig("new\nforce\npost\nanalyze\nusermove e2e4\nexit\nping 1\nquit\n", 3000);
  const auto replies = Session(rig.e(), rig.out);
  ASSERT_GE(replies.size(), 3u);
  EXPECT_EQ(replies.back(), "pong 1");
  // Thinking lines DEPTH SCORE TIME NODES PV; the depth starts again at 1
  // after the move, and the PV moves are White's, then Black's.
  int last = 0, restarts = 0;
  for (size_t i = 0; i + 1 < replies.size(); ++i) {
    int depth = 0;
    char pv[8] = {};
    ASSERT_EQ(std::sscanf(replies[i].c_str(), "%d %*d %*d %*d %7s", &depth, pv), 2) << replies[i];
    if (depth <= last) ++restarts;
    EXPECT_TRUE(depth == last + 1 || depth == 1) << replies[i];
    const std::string fen = restarts == 0 ? "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"
                                          : "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1";
    EXPECT_TRUE(LegalAfter(fen, pv)) << replies[i];
    last = depth;
  }
  EXPECT_EQ(restarts, 1);
}

TEST(Xboard2, OwnBookOffSearchesFromTheFirstMove) {
  for (const bool book : {true, false}) {
    PatientRig rig(std::string("new\noption OwnBook=") + (book ? "1" : "0") + "\nst 0.05\ne2e4\nquit\n", Never);
    const auto result = RunModeSession(rig.e(), rig.out, RealBooks().path(), Mode::Xboard2);
    const bool looked = std::count(result.lines.begin(), result.lines.end(), "# cerco in libreria nero") > 0;
    const bool searched = std::count(result.lines.begin(), result.lines.end(), "# profondit\xC3\xA0 5") > 0;
    EXPECT_EQ(looked, book);
    EXPECT_EQ(searched, !book);
  }
}

// White's king has two squares, a1 and a2, and Black shuttles its rook: the
// third occurrence of a position (the start counts) is claimed by the side
// to move when the opponent's move makes it, and right after the engine's
// own move when that move makes it.
TEST(Xboard2, RepetitionsAreClaimedWhenTheyHappen) {
  const std::string board = "setboard 1r6/8/8/2b5/8/8/K7/2k5 ";
  const std::string shuttle = "b8b7\nb7b8\nb8b7\nb7b8\nquit\n";
  const std::vector<std::string> claimed = {"move a2a1", "move a1a2", "move a2a1", "move a1a2",
                                            "1/2-1/2 {Draw by repetition}"};
  EXPECT_EQ(Session("new\nforce\n" + board + "w - - 0 1\nst 0.05\ngo\n" + shuttle), claimed);
  EXPECT_EQ(Session("new\nforce\n" + board + "b - - 0 1\nst 0.05\nplayother\n" + shuttle), claimed);
}

// One options table answers both modes: a bad name or value gets the same
// reason in each, in the mode's own form, and a good value is kept.
TEST(Xboard2, OptionsAnswerAsInUciFromTheSameTable) {
  PatientRig xb(
      "option Nope=3\noption OwnBook=maybe\noption OwnBook=false\noption UCI_Elo=399\noption UCI_Elo=1511\n"
      "option UCI_LimitStrength=yes\noption UCI_LimitStrength=1\noption UCI_Elo=800\noption UCI_Elo=9x\nquit\n",
      Never);
  const std::vector<std::string> xboard = Session(xb.e(), xb.out);
  EXPECT_EQ(xboard,
            (std::vector<std::string>{"Error (unknown option: Nope): option Nope=3",
                                      "Error (OwnBook takes true or false, not maybe): option OwnBook=maybe",
                                      "Error (UCI_Elo takes a whole number from 400 to 1510, not 399): option UCI_Elo=399",
                                      "Error (UCI_Elo takes a whole number from 400 to 1510, not 1511): option UCI_Elo=1511",
                                      "Error (UCI_LimitStrength takes true or false, not yes): option UCI_LimitStrength=yes",
                                      "Error (UCI_Elo takes a whole number from 400 to 1510, not 9x): option UCI_Elo=9x"}));
  EXPECT_FALSE(xb.e().settings.ownBook);
  EXPECT_TRUE(xb.e().settings.limitStrength);
  EXPECT_EQ(xb.e().settings.elo, 800);

  PatientRig uci(
      "setoption name Nope value 3\nsetoption name OWNBOOK value maybe\nsetoption name ownbook value 0\n"
      "setoption name uci_elo value 399\nsetoption name UCI_LimitStrength value true\nsetoption name UCI_Elo value 600\n"
      "setoption name UCI_Elo value -600\nquit\n",
      Never);
  const std::vector<std::string> lines = Session(uci.e(), uci.out, Mode::Uci);
  EXPECT_EQ(lines, (std::vector<std::string>{"info string unknown option: Nope",
                                             "info string OwnBook takes true or false, not maybe",
                                             "info string UCI_Elo takes a whole number from 400 to 1510, not 399",
                                             "info string UCI_Elo takes a whole number from 400 to 1510, not -600"}));
  EXPECT_FALSE(uci.e().settings.ownBook);
  EXPECT_TRUE(uci.e().settings.limitStrength);
  EXPECT_EQ(uci.e().settings.elo, 600);
}

// Every byte a protocol-2 client reads is UTF-8: the engine's Italian
// comments and the echo of a hostile line alike. The plain mode keeps its
// own bytes.
TEST(Xboard2, EveryLineIsUtf8) {
  PatientRig rig(std::string("new\noption OwnBook=0\nst 0.05\npost\ne2e4\nfoo\xE0\xFF\xC3\n\xF0\x9F\x98\x80\nquit\n"), Never);
  const auto result = RunModeSession(rig.e(), rig.out, RealBooks().path(), Mode::Xboard2);
  bool sawDepth = false;
  for (const std::string& l : result.lines) {
    EXPECT_TRUE(Engine::IsUtf8(l)) << l;
    sawDepth = sawDepth || l.rfind("# profondit\xC3\xA0 ", 0) == 0;
  }
  EXPECT_TRUE(sawDepth);
  EXPECT_NE(std::find(result.lines.begin(), result.lines.end(), "Error (unknown command): foo\xC3\xA0\xC3\xBF\xC3\x83"),
            result.lines.end());
  EXPECT_NE(std::find(result.lines.begin(), result.lines.end(), "Error (unknown command): \xF0\x9F\x98\x80"),
            result.lines.end());
}

// Analysis of a finished position says so at once.
TEST(Xboard2, AnalysisOfAFinishedPositionSaysSo) {
  EXPECT_EQ(Session("new\nforce\nsetboard 7k/6Q1/6K1/8/8/8/8/8 b - - 0 1\npost\nanalyze\nexit\nquit\n"),
            (std::vector<std::string>{"0 -100000 0 0"}));
  EXPECT_EQ(Session("new\nforce\nsetboard 7k/8/6Q1/8/8/8/8/K7 b - - 0 1\npost\nanalyze\nexit\nquit\n"),
            (std::vector<std::string>{"0 0 0 0"}));
}

// nps N with st T: T x N nodes, in either order of the two commands (the
// thinking line's fourth number is the nodes).
TEST(Xboard2, NpsWithAFixedTimeSearchesThatManyNodes) {
  for (const char* limits : {"nps 40000\nst 1\n", "st 1\nnps 40000\n"}) {
    const auto lines =
        Session(std::string("new\noption OwnBook=0\npost\n") + limits + "e2e4\nquit\n");
    ASSERT_GE(lines.size(), 2u) << limits;
    int64_t depth, score, time, nodes;
    ASSERT_EQ(std::sscanf(lines[0].c_str(), "%ld %ld %ld %ld", &depth, &score, &time, &nodes), 4) << lines[0];
    EXPECT_NEAR(nodes, 40000, 4000) << lines[0];
    EXPECT_EQ(lines[1].rfind("move ", 0), 0u);
  }
}

// With "hard" the engine thinks on the opponent's time about the reply it
// expects, which "hint" names; any line ends that thinking, and the game
// is as it was before it.
TEST(Xboard2, PonderingLeavesTheGameAsItWas) {
  PatientRig rig("new\nhard\noption OwnBook=0\nst 0.05\ne2e4\nhint\nping 7\nforce\nundo\nundo\nquit\n", 20000);
  const auto lines = Session(rig.e(), rig.out);
  ASSERT_EQ(lines.size(), 3u);
  const std::string move = MoveOf(lines[0]);
  EXPECT_TRUE(LegalAfter("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1", move)) << lines[0];
  ASSERT_EQ(lines[1].rfind("Hint: ", 0), 0u) << lines[1];
  EXPECT_EQ(lines[2], "pong 7");
  EXPECT_EQ(rig.e().MoveHistory.Count(), 0);
  Rig fresh;
  StartGame(fresh.e());
  EXPECT_EQ(0, std::memcmp(&fresh.e().GamePosition, &rig.e().GamePosition, sizeof(Position)));
}

}  // namespace
}  // namespace ormedan
