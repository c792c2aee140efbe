// xboard protocol 2: the engine keeps the side to move, plays whichever side
// the client gives it, takes moves back, sets positions from FEN, answers
// pings, moves at once on "?" and analyses.
#include <string>
#include <string_view>

#include "declare/game_record.h"
#include "declare/model.h"
#include "Alivelli/time_manager.h"
#include "protocol/game.h"
#include "protocol/thinking_watch.h"
#include "protocol/modes.h"
#include "protocol/numbers.h"
#include "protocol/options.h"
#include "protocol/think.h"
#include "generation/generate.h"
#include "utilita/attacks.h"
#include "winboard/output_lines.h"
#include "winboard/results.h"

namespace ormedan {

namespace {

// Commands that end a search without its move: the game changes under it.
bool EndsSearch(std::string_view command) {
  for (const std::string_view c : {"new", "force", "result", "setboard", "undo", "remove", "exit", "white", "black",
                                   "playother", "edit", "analyze", "go"})
    if (command == c) return true;
  return false;
}

// Commands that need no answer and change nothing the engine uses.
bool Accepted(std::string_view command) {
  for (const std::string_view c : {"xboard", "accepted", "rejected", "computer", "random", "name", "rating", "ics",
                                   "draw", "bk", "cores", "memory", "egtpath", "."})
    if (command == c) return true;
  return false;
}

// Four or five characters of the form letter, digit, letter, digit: meant as
// a move, so a refusal is "Illegal move" rather than an unknown command.
bool LooksLikeMove(std::string_view s) {
  auto letter = [](char c) { return c >= 'a' && c <= 'z'; };
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  return (s.size() == 4 || s.size() == 5) && letter(s[0]) && digit(s[1]) && letter(s[2]) && digit(s[3]);
}

class Xboard2 : public ThinkingWatch {
 public:
  Xboard2(Engine& e, LineSource& source) : ThinkingWatch(source), e_(e) {}

  void Run() {
    std::string line;
    while (!quit_ && !e_.outputFailed) {
      if (analysing_ && analysisDepth_ <= MaxAnalysisDepth && !source_.HasDeferred()) {
        AnalyseNextDepth();
        continue;
      }
      if (ponder_.depth <= MaxAnalysisDepth && !source_.HasDeferred()) {
        PonderNextDepth();
        continue;
      }
      if (!source_.Next(line)) return;
      if (!line.empty()) Handle(line);
    }
  }

 private:
  // While the engine thinks: a move-now, quit and the commands that change
  // the game stop the search; every other line waits for its end. During an
  // analysis any line but "." does.
  Stop Judge(const std::string& line) override {
    const std::string_view command = FirstWord(line);
    if (command == "quit") return Stop::Quit;
    if (pondering_) {
      // Any line ends the thinking on the opponent's time; it is handled
      // next.
      source_.Defer(line);
      return Stop::Abort;
    }
    if (analysing_) {
      if (command == "." || command == "?") return Stop::None;
      source_.Defer(line);
      return Stop::Abort;
    }
    if (command == "?") return Stop::MoveNow;
    source_.Defer(line);
    return EndsSearch(command) ? Stop::Abort : Stop::None;
  }

  void Handle(std::string_view line) {
    const std::string_view command = FirstWord(line);
    const std::string_view argument = AfterFirstWord(line);
    // What was pondered serves only the move that it expected, next.
    if (!KeepsPonder(command) && !LooksLikeMove(line)) ponder_ = {};
    if (command == "protover") {
      e_.Reply(kXboardFeatures);
      WriteXboardOptions(e_);
      e_.Reply("feature done=1");
    } else if (command == "new") {
      NewGame();
    } else if (command == "force") {
      force_ = true;
    } else if (command == "go") {
      force_ = false;
      engineSide_ = SideToMove(e_);
      Think();
    } else if (command == "playother") {
      force_ = false;
      engineSide_ = Other(SideToMove(e_));
    } else if (command == "white" || command == "black") {
      // Protocol 1: the named side is to move, the engine plays the other.
      const Colour named = command == "white" ? White : Black;
      SetSideToMove(e_, named);
      engineSide_ = Other(named);
      RestartAnalysis();
    } else if (command == "usermove") {
      UserMove(argument);
    } else if (LooksLikeMove(line)) {
      UserMove(line);
    } else if (command == "?") {
      // Nothing to stop: the engine is not thinking.
    } else if (command == "ping") {
      ReplyJoined(e_, "pong ", argument);
    } else if (command == "setboard") {
      std::string error;
      if (!StartGameFromFen(e_, argument, error)) {
        e_.Reply("tellusererror Illegal position");
        return;
      }
      RestartAnalysis();
    } else if (command == "undo" || command == "remove") {
      const int64_t plies = command == "undo" ? 1 : 2;
      if (e_.MoveHistory.Count() < plies || !ReplayGame(e_, e_.MoveHistory.Count() - plies)) {
        ReplyJoined(e_, "Error (command not legal now): ", line);
        return;
      }
      RestartAnalysis();
    } else if (command == "level") {
      Level(line, argument);
    } else if (command == "st") {
      int64_t cs;
      if (!ParseSecondsAsCs(argument, cs)) return BadArgument(line);
      limits_.fixedCs = cs > 0 ? cs : 1;
    } else if (command == "sd") {
      int64_t depth;
      if (!ParseInteger(argument, depth) || depth < 1) return BadArgument(line);
      limits_.depth = static_cast<int32_t>(depth < MaxAnalysisDepth ? depth : MaxAnalysisDepth);
    } else if (command == "time" || command == "otim") {
      int64_t cs;
      if (!ParseInteger(argument, cs)) return BadArgument(line);
      (command == "time" ? limits_.clockCs : limits_.otherClockCs) = cs > 0 ? cs : 0;
    } else if (command == "post" || command == "nopost") {
      post_ = command == "post";
    } else if (command == "hard" || command == "easy") {
      hard_ = command == "hard";
    } else if (command == "nps") {
      int64_t nps;
      if (!ParseInteger(argument, nps) || nps < 0) return BadArgument(line);
      limits_.nps = nps;
    } else if (command == "hint") {
      if (hint_ != 0) ReplyJoined(e_, "Hint: ", LineText(e_.GamePosition, &hint_, 1));
    } else if (command == "analyze") {
      analysing_ = true;
      RestartAnalysis();
    } else if (command == "exit") {
      analysing_ = false;
    } else if (command == "result") {
      force_ = true;
    } else if (command == "option") {
      Option(line, argument);
    } else if (command == "variant") {
      if (argument != "normal") ReplyJoined(e_, "Error (unsupported variant): ", argument);
    } else if (command == "quit") {
      quit_ = true;
    } else if (!Accepted(command)) {
      ReplyJoined(e_, "Error (unknown command): ", line);
    }
  }

  void BadArgument(std::string_view line) { ReplyJoined(e_, "Error (bad argument): ", line); }

  void NewGame() {
    StartGame(e_);
    force_ = false;
    engineSide_ = Black;
    limits_.depth = 0;
    limits_.clockCs = limits_.otherClockCs = -1;
    RestartAnalysis();
  }

  // level MOVES BASE INCREMENT: BASE in minutes or minutes:seconds, the
  // increment in seconds, perhaps with a fraction. It replaces any "st".
  void Level(std::string_view line, std::string_view argument) {
    const std::string_view moves = FirstWord(argument);
    const std::string_view rest = AfterFirstWord(argument);
    const std::string_view base = FirstWord(rest);
    const std::string_view increment = AfterFirstWord(rest);
    int64_t mps, minutes, seconds = 0, inc;
    const size_t colon = base.find(':');
    bool ok = ParseInteger(moves, mps) && mps >= 0 && ParseSecondsAsCs(increment, inc);
    if (ok && colon == std::string_view::npos) {
      int64_t cs;
      ok = ParseSecondsAsCs(base, cs);
      minutes = 0;
      seconds = cs * 60 / 100;
    } else if (ok) {
      ok = ParseInteger(base.substr(0, colon), minutes) && minutes >= 0 &&
           ParseInteger(base.substr(colon + 1), seconds) && seconds >= 0;
    }
    if (!ok) return BadArgument(line);
    limits_.movesPerControl = static_cast<int32_t>(mps < 100000 ? mps : 100000);
    limits_.baseCs = (minutes * 60 + seconds) * 100;
    limits_.incrementCs = inc;
    limits_.fixedCs = 0;
  }

  void Option(std::string_view line, std::string_view argument) {
    const size_t eq = argument.find('=');
    const std::string_view name = TrimLine(argument.substr(0, eq));
    const std::string_view value = eq == std::string_view::npos ? "" : TrimLine(argument.substr(eq + 1));
    const std::string problem = SetOption(e_, name, value);
    if (!problem.empty()) e_.Reply(LineBuilder().Text("Error (").Text(problem).Text("): ").Text(line).View());
  }

  void UserMove(std::string_view text) {
    const int32_t move = LegalMoveFromText(e_, text);
    if (move == 0) return ReplyJoined(e_, "Illegal move: ", text);
    PlayMove(e_, move);
    if (analysing_) return RestartAnalysis();
    if (!force_ && SideToMove(e_) == engineSide_) Think();
  }

  // The engine's move for the side to move, then the end of the game if the
  // move ends it.
  void Think() {
    if (analysing_) return RestartAnalysis();
    const Colour side = SideToMove(e_);
    PlanSearch(e_, limits_, FullMoveNumber(e_) - 1);
    stop_ = Stop::None;
    e_.watch = this;
    TurnOutcome turn;
    const PonderState pondered = ponder_;
    ponder_ = {};
    if (PonderedMoveServes(pondered)) {
      // The opponent played the move the engine thought about, and that
      // thought went as deep as its own search would: no search now.
      turn.before = e_.GamePosition;
      turn.move = pondered.found.move;
      turn.code = 1;
      turn.search = pondered.found;
      turn.closesOpening = e_.GamePosition.gamePhase == 1;
    } else {
      turn = ChooseMove(e_);
    }
    e_.watch = nullptr;
    if (stop_ == Stop::Abort || stop_ == Stop::Quit) {
      // The client has moved on: the move is not played.
      quit_ = stop_ == Stop::Quit;
      return;
    }
    const auto result = side == White ? EngineResultLine<White> : EngineResultLine<Black>;
    if (turn.code <= 0 || turn.move == 0) {
      const std::string_view claim = result(turn.code, false);
      if (!claim.empty()) e_.Reply(claim);
      force_ = true;
      return;
    }
    char text[8];
    const std::string_view move = MoveText(turn.before, turn.move, text);
    if (post_ && turn.search.depth > 0) WriteThinking(turn.search, side, turn.before);
    hint_ = turn.search.lineLength > 1 && turn.search.line[0] == turn.move ? turn.search.line[1] : 0;
    ApplyTurn(e_, turn);
    ReplyJoined(e_, "move ", move);
    e_.WorkPosition = e_.GamePosition;
    const int replies = GenerateMovesFor(e_, Other(side), 1, 1);
    std::string_view claim = result(replies, true);
    if (claim.empty() && KeySeenThrice(e_, PositionKey(e_.GamePosition, Other(side))))
      claim = kRepetitionLine;
    if (claim.empty() && FiftyMoveRuleReached(e_)) claim = kFiftyMovesLine;
    if (!claim.empty()) e_.Reply(claim);
    // With pondering on, the engine thinks on the opponent's time about
    // the reply it expects.
    if (claim.empty() && hard_ && hint_ != 0 && !force_) StartPondering();
  }

  // The thinking on the opponent's time: the reply it expects, the number
  // of moves of the game before it, the next depth and the deepest result.
  struct PonderState {
    int32_t reply = 0;
    int64_t base = 0;
    int depth = MaxAnalysisDepth + 1;  // beyond the last: not pondering
    SearchResult found;
  };

  void StartPondering() {
    ponder_ = {};
    ponder_.reply = hint_;
    ponder_.base = e_.MoveHistory.Count();
    ponder_.depth = 1;
  }

  // One more depth of the pondering: the expected reply is played, the
  // position after it searched, and the game put back as it was.
  void PonderNextDepth() {
    if (ponder_.depth == 1) e_.driver.clockStart = e_.clock.NowMicroseconds();
    PlayMove(e_, ponder_.reply);
    stop_ = Stop::None;
    pondering_ = true;
    e_.watch = this;
    SearchResult report;
    const bool found = AnalyseAtDepth(e_, ponder_.depth, report);
    e_.watch = nullptr;
    pondering_ = false;
    ReplayGame(e_, ponder_.base);
    if (stop_ == Stop::Quit) quit_ = true;
    if (stop_ != Stop::None) return;  // the line that stopped it decides
    if (!found) {
      ponder_.depth = MaxAnalysisDepth + 1;
      return;
    }
    ponder_.found = report;
    ++ponder_.depth;
    if (DeeperChangesNothing(e_)) ponder_.depth = MaxAnalysisDepth + 1;
  }

  // Whether the pondering found the move for the position now: the
  // opponent played the expected reply, and the search serves.
  bool PonderedMoveServes(const PonderState& p) const {
    if (p.reply == 0 || e_.MoveHistory.Count() != p.base + 1) return false;
    if (e_.MoveHistory.At(e_.MoveHistory.Stored() - 1) != p.reply) return false;
    return PonderedSearchServes(e_, p.found, limits_.depth);
  }

  // Commands after which what was pondered still serves the next move.
  static bool KeepsPonder(std::string_view command) {
    for (const std::string_view c : {"usermove", "time", "otim", "ping", "post", "nopost", "hard", ".", "hint"})
      if (command == c) return true;
    return false;
  }

  void RestartAnalysis() { analysisDepth_ = 1; }

  // One more depth of the analysis, reported as a thinking line; an
  // interrupted depth is searched again after the line that stopped it.
  void AnalyseNextDepth() {
    if (analysisDepth_ == 1) e_.driver.clockStart = e_.clock.NowMicroseconds();
    stop_ = Stop::None;
    e_.watch = this;
    SearchResult report;
    const bool found = AnalyseAtDepth(e_, analysisDepth_, report);
    e_.watch = nullptr;
    if (stop_ == Stop::Quit) quit_ = true;
    if (stop_ != Stop::None) return;
    if (!found) {
      // A finished position says so at once: mated, or a stalemate.
      if (analysisDepth_ == 1 && !HasLegalMove(e_))
        e_.Reply(e_.GamePosition.checkingPiece != 0 ? "0 -100000 0 0" : "0 0 0 0");
      analysisDepth_ = MaxAnalysisDepth + 1;  // nothing to analyse: wait for the next command
      return;
    }
    WriteThinking(report, SideToMove(e_), e_.GamePosition);
    ++analysisDepth_;
    if (DeeperChangesNothing(e_)) analysisDepth_ = MaxAnalysisDepth + 1;  // wait for the next command
  }

  // DEPTH SCORE TIME NODES PV, the score in centipawns for the side that
  // moves, a mate as 100000 + moves, the time in centiseconds.
  void WriteThinking(const SearchResult& r, Colour side, const Position& before) {
    const Score score = ScoreFor(r.value, side);
    const int64_t value = score.mate ? (score.value > 0 ? 100000 + score.value : -100000 + score.value) : score.value;
    LineBuilder line;
    line.Number(r.depth).Text(" ").Number(value).Text(" ").Number(ElapsedCentiseconds(e_)).Text(" ");
    line.Number(e_.NodeCount).Text(" ").Text(LineText(before, r.line, r.lineLength));
    e_.Reply(line.View());
  }

  Engine& e_;
  SearchLimits limits_;
  Colour engineSide_ = Black;
  bool force_ = false;
  bool post_ = false;
  bool analysing_ = false;
  bool hard_ = false;       // pondering on
  bool pondering_ = false;  // thinking on the opponent's time now
  int32_t hint_ = 0;        // the reply the engine expects to its last move
  PonderState ponder_;
  bool quit_ = false;
  int analysisDepth_ = 1;
};

}  // namespace

void Xboard2Loop(Engine& e) {
  LineSource source(e.in);
  Xboard2 session(e, source);
  session.Run();
}

}  // namespace ormedan
