// UCI: the client sends the whole game with each "position" and asks for a
// move with "go"; the engine answers with "info" lines and "bestmove".
#include <algorithm>
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
  // search with its move, "quit" ends everything, "ponderhit" turns a ponder
  // search into the engine's own; other lines wait.
  Stop Judge(const std::string& line) override {
    const std::string_view command = FirstWord(line);
    if (command == "isready") e_.Reply("readyok");
    else if (command == "stop") return Stop::MoveNow;
    else if (command == "quit") return Stop::Quit;
    else if (command == "ponderhit") return PonderHit();
    else source_.Defer(line);
    return Stop::None;
  }

  Stop PonderHit() {
    if (!pondering_) return Stop::None;
    ponderHit_ = true;
    return Stop::MoveNow;
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
    bool ponder = false;
    for (size_t i = 1; i < words.size(); ++i) {
      const std::string_view w = words[i];
      if (w == "infinite") {
        limits.infinite = true;
        continue;
      }
      if (w == "ponder") {
        ponder = true;
        continue;
      }
      if (w == "searchmoves") {
        // The moves that follow, up to the next word that is not one.
        for (; i + 1 < words.size(); ++i) {
          const int32_t move = LegalMoveFromText(e_, words[i + 1]);
          if (move == 0) break;
          if (limits.searchMoveCount < SearchLimits::MaxSearchMoves) limits.searchMoves[limits.searchMoveCount++] = move;
        }
        continue;
      }
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
      } else if (w == "nodes") {
        limits.nodes = v > 0 ? v : 1;
      } else if (w == "mate") {
        limits.mate = static_cast<int32_t>(v < 1 ? 1 : v > MaxAnalysisDepth ? MaxAnalysisDepth : v);
      }
    }
    if (!HasLegalMove(e_)) return AnswerFinishedPosition(limits.infinite || ponder, ponder);
    if (ponder) return Ponder(limits);
    if (limits.infinite || limits.mate > 0) return Analyse(limits);
    Think(limits);
  }

  int32_t FirstLegalMove(Colour side) {
    e_.WorkPosition = e_.GamePosition;
    const int n = GenerateMovesFor(e_, side, 1, 1, MaterialTest::Skip);
    return n > 0 ? e_.ChildPositions[1][1].lastMove : 0;
  }

  // The engine's own move within the limits.
  void Think(const SearchLimits& limits) {
    const Colour side = SideToMove(e_);
    PlanSearch(e_, limits, 0);
    // The client decides results: a position either side could claim as
    // drawn is searched all the same.
    e_.budget.answersClaimableDraws = false;
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
    SearchResult report = turn.search;
    if (report.depth == 0) report = {};
    if (report.move != turn.move) report.lineLength = 0;
    report.move = turn.move;
    if (report.lineLength == 0) {
      report.line[0] = turn.move;
      report.lineLength = 1;
    }
    WriteInfo(report, turn.before, side);
    WriteBestMove(report, turn.before);
  }

  // Thinks on the opponent's time, deeper and deeper, until "ponderhit"
  // (the expected move was played: the engine moves, at once when the
  // ponder search is already as deep as its own would be, else after its
  // own timed search) or "stop" (it was not: the move found so far).
  void Ponder(const SearchLimits& limits) {
    pondering_ = true;
    ponderHit_ = false;
    SearchLimits analysis;  // no clock: only ponderhit or stop ends it
    std::copy(limits.searchMoves, limits.searchMoves + limits.searchMoveCount, analysis.searchMoves);
    analysis.searchMoveCount = limits.searchMoveCount;
    analysis.infinite = true;
    const SearchResult found = Deepen(analysis, MaxAnalysisDepth);
    const bool waited = stop_ != Stop::None || WaitForStop();
    pondering_ = false;
    if (!waited || quit_) return;
    if (!ponderHit_) return WriteBestMove(found, e_.GamePosition);
    if (PonderedSearchServes(e_, found, limits.depth)) {
      ApplyFound(found);
      return;
    }
    Think(limits);
  }

  // Plays a ponder search's move into the game and answers with it.
  void ApplyFound(const SearchResult& found) {
    TurnOutcome turn;
    turn.before = e_.GamePosition;
    turn.move = found.move;
    turn.search = found;
    ApplyTurn(e_, turn);
    WriteBestMove(found, turn.before);
  }

  // bestmove MOVE [ponder REPLY]
  void WriteBestMove(const SearchResult& r, const Position& before) {
    const int32_t moves[2] = {r.move, r.lineLength > 1 ? r.line[1] : 0};
    const std::string line = LineText(before, moves, moves[1] != 0 ? 2 : 1);
    const size_t blank = line.find(' ');
    if (line.empty()) return e_.Reply("bestmove 0000");
    if (blank == std::string::npos) return ReplyJoined(e_, "bestmove ", line);
    e_.Reply(LineBuilder().Text("bestmove ").Text(line.substr(0, blank)).Text(" ponder ").Text(line.substr(blank + 1)).View());
  }

  // Searches deeper and deeper, one info line (or one for each MultiPV
  // line) a finished depth, until the last depth, a proven mate in
  // limits.mate, or the client's stop; returns the deepest finished depth.
  SearchResult Deepen(const SearchLimits& limits, int lastDepth) {
    e_.driver.clockStart = e_.clock.NowMicroseconds();
    const Colour side = SideToMove(e_);
    const Position before = e_.GamePosition;
    SearchResult best;
    stop_ = Stop::None;
    e_.watch = this;
    analysing_ = limits.infinite;
    if (limits.fixedCs > 0) SetDeadline(e_.clock, e_.driver.clockStart + limits.fixedCs * 10000);
    for (int depth = 1; depth <= lastDepth && stop_ == Stop::None; ++depth) {
      SearchResult report;
      if (!AnalyseAtDepth(e_, depth, report, limits)) break;
      if (stop_ != Stop::None && best.move != 0) break;  // an unfinished depth: the one before stands
      best = report;
      WriteInfo(best, before, side);
      const Score score = ScoreFor(best.value, side);
      if (limits.mate > 0 && score.mate && score.value > 0 && score.value <= limits.mate) break;
      if (DeeperChangesNothing(e_)) break;
    }
    SetDeadline(e_.clock, 0);
    e_.watch = nullptr;
    analysing_ = false;
    return best;
  }

  // "go infinite" and "go mate N": deeper and deeper; "go infinite"
  // answers only after "stop".
  void Analyse(const SearchLimits& limits) {
    const Colour side = SideToMove(e_);
    const Position before = e_.GamePosition;
    int lastDepth = limits.mate > 0 ? std::min(2 * limits.mate - 1, MaxAnalysisDepth) : MaxAnalysisDepth;
    if (limits.depth > 0) lastDepth = std::min(lastDepth, static_cast<int>(limits.depth));
    SearchResult best = Deepen(limits, lastDepth);
    if (stop_ == Stop::Quit) {
      quit_ = true;
      return;
    }
    if (limits.infinite && !WaitForStop()) return;
    if (best.move == 0) {
      best.move = FirstLegalMove(side);
      best.line[0] = best.move;
      best.lineLength = 1;
    }
    WriteBestMove(best, before);
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
      else if (command == "ponderhit") stop_ = PonderHit();
      else if (!line.empty()) {
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
  void AnswerFinishedPosition(bool wait, bool ponder) {
    e_.Reply(e_.GamePosition.checkingPiece != 0 ? "info depth 0 score mate 0" : "info depth 0 score cp 0");
    stop_ = Stop::None;
    pondering_ = ponder;
    const bool answer = !wait || WaitForStop();
    pondering_ = false;
    if (answer) e_.Reply("bestmove 0000");
  }

  // The end of input while the engine thinks: a search with an end of its
  // own goes on to it and answers, an analysis answers at once; then the
  // session ends.
  Stop OnInputEnded() override { return analysing_ ? Stop::MoveNow : Stop::None; }

  // info depth D [multipv I] score cp S|mate N nodes N nps N time MS pv
  // MOVES: one line, or one for each of the MultiPV lines, best first.
  void WriteInfo(const SearchResult& r, const Position& before, Colour side) {
    const int64_t ms = ElapsedMilliseconds(e_);
    const int64_t nodes = r.depth > 0 ? e_.NodeCount : 0;
    const int count = r.rankedCount > 1 ? r.rankedCount : 1;
    for (int i = 0; i < count; ++i) {
      const bool multi = r.rankedCount > 1;
      const int32_t value = multi ? r.ranked[i].value : r.value;
      const int32_t moves[2] = {multi ? r.ranked[i].move : r.line[0], multi ? r.ranked[i].reply : r.line[1]};
      const int length = multi ? (moves[1] != 0 ? 2 : 1) : r.lineLength;
      const Score score = ScoreFor(value, side);
      LineBuilder line;
      line.Text("info depth ").Number(r.depth);
      if (multi) line.Text(" multipv ").Number(i + 1);
      line.Text(score.mate ? " score mate " : " score cp ").Number(score.value);
      line.Text(" nodes ").Number(nodes).Text(" nps ").Number(ms > 0 ? nodes * 1000 / ms : 0);
      line.Text(" time ").Number(ms > 0 ? ms : 0).Text(" pv ").Text(LineText(before, moves, length));
      e_.Reply(line.View());
    }
  }

  Engine& e_;
  std::string startFen_;  // the FEN of the last position command, "" for the initial position
  bool quit_ = false;
  bool analysing_ = false;  // a "go infinite" or "go ponder": only the client ends it
  bool pondering_ = false;  // a "go ponder": "ponderhit" makes it the engine's own search
  bool ponderHit_ = false;
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
