// UCI: the client sends the whole game with each "position" and asks for a
// move with "go"; the engine answers with "info" lines and "bestmove".
#include <string>
#include <string_view>
#include <vector>

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
#include "winboard/output_lines.h"

namespace ormedan {

namespace {

// The words of a line, in order.
std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  for (line = TrimLine(line); !line.empty(); line = AfterFirstWord(line)) words.push_back(FirstWord(line));
  return words;
}

class Uci : public ThinkingWatch {
 public:
  Uci(Engine& e, LineSource& source) : ThinkingWatch(source), e_(e) {}

  void Run(std::string_view firstLine) {
    if (!firstLine.empty()) Handle(firstLine);
    std::string line;
    while (!quit_ && !e_.outputFailed && source_.Next(line))
      if (!line.empty()) Handle(line);
  }

 private:
  // While the engine thinks: "isready" is answered at once, "stop" ends the
  // search with its move, "quit" ends everything; other lines wait.
  Stop Judge(const std::string& line) override {
    const std::string_view command = FirstWord(line);
    if (command == "isready") e_.Reply("readyok");
    else if (command == "stop") return Stop::MoveNow;
    else if (command == "quit") return Stop::Quit;
    else if (command != "ponderhit") source_.Defer(line);
    return Stop::None;
  }

  void Handle(std::string_view line) {
    const std::string_view command = FirstWord(line);
    if (command == "uci") {
      e_.Reply("id name ORMEDAN 1.0");
      e_.Reply("id author the ORMEDAN team");
      WriteUciOptions(e_);
      e_.Reply("uciok");
    } else if (command == "isready") {
      e_.Reply("readyok");
    } else if (command == "setoption") {
      SetOptionLine(line);
    } else if (command == "ucinewgame") {
      StartGame(e_);
      startFen_.clear();
    } else if (command == "position") {
      SetPosition(line);
    } else if (command == "go") {
      Go(line);
    } else if (command == "quit") {
      quit_ = true;
    } else if (command == "stop" || command == "ponderhit" || command == "debug" || command == "register") {
      // Nothing to stop or to change.
    } else {
      ReplyJoined(e_, "info string unknown command: ", line);
    }
  }

  // setoption name NAME [value VALUE]
  void SetOptionLine(std::string_view line) {
    std::string_view rest = AfterFirstWord(line);
    if (FirstWord(rest) != "name") return ReplyJoined(e_, "info string setoption needs a name: ", line);
    rest = AfterFirstWord(rest);
    const size_t at = rest.find(" value ");
    const std::string_view name = TrimLine(rest.substr(0, at));
    const std::string_view value = at == std::string_view::npos ? "" : TrimLine(rest.substr(at + 7));
    const std::string problem = SetOption(e_, name, value);
    if (!problem.empty()) ReplyJoined(e_, "info string ", problem);
  }

  void SetPosition(std::string_view line) {
    std::string problem;
    ApplyUciPosition(e_, line, startFen_, problem);
    if (!problem.empty()) ReplyJoined(e_, "info string ", problem);
  }

  void Go(std::string_view line) {
    const std::vector<std::string_view> words = Words(line);
    const Colour side = SideToMove(e_);
    SearchLimits limits;
    for (size_t i = 1; i < words.size(); ++i) {
      const std::string_view w = words[i];
      if (w == "infinite") {
        limits.infinite = true;
        continue;
      }
      if (w == "ponder") continue;
      int64_t v = 0;
      const bool number = i + 1 < words.size() && ParseInteger(words[i + 1], v);
      if (!number) continue;
      ++i;
      // UCI gives times in milliseconds, the engine counts centiseconds.
      const int64_t cs = v > 0 ? v / 10 : 0;
      const bool own = (w[0] == 'w') == (side == White);
      if (w == "wtime" || w == "btime") {
        (own ? limits.clockCs : limits.otherClockCs) = cs;
      } else if (w == "winc" || w == "binc") {
        if (own) limits.incrementCs = cs;
      } else if (w == "movestogo") {
        limits.movesToGo = v > 0 && v < 100000 ? static_cast<int32_t>(v) : 0;
      } else if (w == "movetime") {
        limits.fixedCs = cs > 0 ? cs : 1;
      } else if (w == "depth") {
        limits.depth = static_cast<int32_t>(v < 1 ? 1 : v > MaxAnalysisDepth ? MaxAnalysisDepth : v);
      }
    }
    if (!HasLegalMove(e_)) return AnswerFinishedPosition(limits.infinite);
    if (limits.infinite) return Analyse(limits.depth > 0 ? limits.depth : MaxAnalysisDepth, true);
    PlanSearch(e_, limits, 0);
    // The client decides results: a position either side could claim as
    // drawn is searched all the same.
    e_.budget.answersClaimableDraws = false;
    Think(side);
  }

  int32_t FirstLegalMove(Colour side) {
    e_.WorkPosition = e_.GamePosition;
    const int n = GenerateMovesFor(e_, side, 1, 1, MaterialTest::Skip);
    return n > 0 ? e_.ChildPositions[1][1].lastMove : 0;
  }

  void Think(Colour side) {
    stop_ = Stop::None;
    e_.watch = this;
    TurnOutcome turn = ChooseMove(e_);
    e_.watch = nullptr;
    if (stop_ == Stop::Quit) {
      quit_ = true;
      return;
    }
    if (turn.move == 0) {
      // Too little material to search: any legal move will do.
      turn = {};
      turn.before = e_.GamePosition;
      turn.move = FirstLegalMove(side);
      if (turn.move == 0) return e_.Reply("bestmove 0000");
    }
    // The game goes on from here when the next position continues it.
    ApplyTurn(e_, turn);
    char text[8];
    const std::string_view moveText = MoveText(turn.before, turn.move, text);
    SearchResult report = turn.search;
    if (report.depth == 0) report = {};
    report.move = turn.move;
    WriteInfo(report, side, moveText);
    ReplyJoined(e_, "bestmove ", moveText);
  }

  // Searches deeper and deeper until "stop" (or the last depth, when not
  // told to wait), then answers with the move of the deepest finished depth.
  void Analyse(int lastDepth, bool waitForStop) {
    e_.driver.clockStart = e_.clock.NowMicroseconds();
    const Colour side = SideToMove(e_);
    const Position before = e_.GamePosition;
    SearchResult best;
    stop_ = Stop::None;
    e_.watch = this;
    analysing_ = waitForStop;
    for (int depth = 1; depth <= lastDepth && stop_ == Stop::None; ++depth) {
      SearchResult report;
      if (!AnalyseAtDepth(e_, depth, report)) break;
      if (stop_ != Stop::None && best.move != 0) break;  // an unfinished depth: the one before stands
      best = report;
      char text[8];
      WriteInfo(best, side, MoveText(before, best.move, text));
    }
    e_.watch = nullptr;
    analysing_ = false;
    // "go infinite" answers only after "stop".
    if (waitForStop && !WaitForStop()) return;
    if (best.move == 0) best.move = FirstLegalMove(side);
    char text[8];
    ReplyJoined(e_, "bestmove ", MoveText(before, best.move, text));
  }

  // Waits for the "stop" of a "go infinite", answering "isready"; a line
  // of another kind, or the end of input, counts as the stop. False on
  // "quit".
  bool WaitForStop() {
    std::string line;
    while (stop_ == Stop::None) {
      if (!source_.Next(line)) {
        stop_ = Stop::MoveNow;
        break;
      }
      const std::string_view command = FirstWord(line);
      if (command == "stop") stop_ = Stop::MoveNow;
      else if (command == "quit") stop_ = Stop::Quit;
      else if (command == "isready") e_.Reply("readyok");
      else if (command != "ponderhit" && !line.empty()) {
        // The client has moved on without a stop: answer, then take the line.
        source_.Defer(line);
        stop_ = Stop::MoveNow;
      }
    }
    if (stop_ == Stop::Quit) quit_ = true;
    return stop_ != Stop::Quit;
  }

  // A position without a legal move: mated (score mate 0) or stalemate
  // (score cp 0), said at once; "go infinite" still waits for its stop.
  void AnswerFinishedPosition(bool infinite) {
    e_.Reply(e_.GamePosition.checkingPiece != 0 ? "info depth 0 score mate 0" : "info depth 0 score cp 0");
    stop_ = Stop::None;
    if (infinite && !WaitForStop()) return;
    e_.Reply("bestmove 0000");
  }

  // The end of input while the engine thinks: a search with an end of its
  // own goes on to it and answers, an analysis answers at once; then the
  // session ends.
  Stop OnInputEnded() override { return analysing_ ? Stop::MoveNow : Stop::None; }

  // info depth D score cp S|mate N nodes N nps N time MS pv MOVE
  void WriteInfo(const SearchResult& r, Colour side, std::string_view pv) {
    const Score score = ScoreFor(r.value, side);
    const int64_t ms = ElapsedMilliseconds(e_);
    const int64_t nodes = r.depth > 0 ? e_.NodeCount : 0;
    LineBuilder line;
    line.Text("info depth ").Number(r.depth).Text(score.mate ? " score mate " : " score cp ").Number(score.value);
    line.Text(" nodes ").Number(nodes).Text(" nps ").Number(ms > 0 ? nodes * 1000 / ms : 0);
    line.Text(" time ").Number(ms > 0 ? ms : 0).Text(" pv ").Text(pv);
    e_.Reply(line.View());
  }

  Engine& e_;
  std::string startFen_;  // the FEN of the last position command, "" for the initial position
  bool quit_ = false;
  bool analysing_ = false;  // a "go infinite": only a stop ends it
};

}  // namespace

// The game is played again from its start. When the new game continues the
// one before, the opening phase and the depth the search carries stay as
// they were.
void ApplyUciPosition(Engine& e, std::string_view line, std::string& startFen, std::string& problem) {
  problem.clear();
  const std::vector<std::string_view> words = Words(line);
  size_t i = 1;
  std::string fen;
  if (i < words.size() && words[i] == "startpos") {
    ++i;
  } else if (i < words.size() && words[i] == "fen") {
    for (++i; i < words.size() && words[i] != "moves"; ++i) {
      if (!fen.empty()) fen += ' ';
      fen.append(words[i]);
    }
  } else {
    problem = "position needs startpos or fen: " + std::string(line);
    return;
  }

  const bool sameStart = fen == startFen;
  std::vector<int32_t> before;
  for (int64_t k = 0; k < e.MoveHistory.Stored(); ++k) before.push_back(e.MoveHistory.At(k));
  const int64_t closedAt = e.Record.openingClosedAt;
  const int32_t carriedDepth = e.LastPredictedDepth;

  std::string error;
  if (fen.empty()) {
    StartGame(e);
  } else if (!StartGameFromFen(e, fen, error)) {
    problem = "illegal position, the initial one is set: " + error;
    StartGame(e);
    fen.clear();
  }
  startFen = fen;
  e.LastPredictedDepth = carriedDepth;

  if (i < words.size() && words[i] == "moves") {
    for (++i; i < words.size(); ++i) {
      const int32_t move = LegalMoveFromText(e, words[i]);
      if (move == 0) {
        problem = "illegal move, the position before it is kept: " + std::string(words[i]);
        break;
      }
      PlayMove(e, move);
    }
  }
  // The earlier game is a beginning of this one: its opening ended where
  // it did.
  bool continues = sameStart && closedAt >= 0 && static_cast<int64_t>(before.size()) <= e.MoveHistory.Count();
  for (size_t k = 0; continues && k < before.size(); ++k) continues = before[k] == e.MoveHistory.At(static_cast<int64_t>(k));
  if (continues && closedAt <= e.MoveHistory.Count()) {
    e.Record.openingClosedAt = closedAt;
    ReplayGame(e, e.MoveHistory.Count());
  }
}

void UciLoop(Engine& e, std::string_view firstLine) {
  LineSource source(e.in);
  Uci session(e, source);
  session.Run(firstLine);
}

}  // namespace ormedan
