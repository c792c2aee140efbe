// UCI: the client sends the whole game with each "position" and asks for a
// move with "go"; the engine answers with "info" lines and "bestmove".
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "declare/game_record.h"
#include "declare/model.h"
#include "protocol/clock.h"
#include "protocol/game.h"
#include "protocol/line_source.h"
#include "protocol/modes.h"
#include "protocol/numbers.h"
#include "protocol/think.h"
#include "generation/generate.h"
#include "winboard/output_lines.h"

namespace ormedan {

namespace {

// The memo and the search are of one fixed size and one thread: the only
// values these options take.
constexpr std::string_view kUciHeader[] = {
    "id name ORMEDAN 1.0",
    "id author the ORMEDAN team",
    "option name OwnBook type check default true",
    "option name Hash type spin default 1 min 1 max 1",
    "option name Threads type spin default 1 min 1 max 1",
    "uciok",
};

// A bare "go" thinks this long.
constexpr int64_t PlainGoCs = 500;

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
    const char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
    if (x != y) return false;
  }
  return true;
}

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
      for (const std::string_view l : kUciHeader) e_.Reply(l);
    } else if (command == "isready") {
      e_.Reply("readyok");
    } else if (command == "setoption") {
      SetOption(line);
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
  void SetOption(std::string_view line) {
    std::string_view rest = AfterFirstWord(line);
    if (FirstWord(rest) != "name") return ReplyJoined(e_, "info string setoption needs a name: ", line);
    rest = AfterFirstWord(rest);
    const size_t at = rest.find(" value ");
    const std::string_view name = TrimLine(rest.substr(0, at));
    const std::string_view value = at == std::string_view::npos ? "" : TrimLine(rest.substr(at + 7));
    if (SameText(name, "OwnBook")) {
      if (value != "true" && value != "false") return ReplyJoined(e_, "info string OwnBook takes true or false: ", line);
      booksOn_ = value == "true";
    } else if (SameText(name, "Hash") || SameText(name, "Threads")) {
      if (value != "1") return ReplyJoined(e_, "info string this value cannot be set (the only one is 1): ", line);
    } else {
      ReplyJoined(e_, "info string unknown option: ", name);
    }
  }

  void SetPosition(std::string_view line) {
    std::string problem;
    ApplyUciPosition(e_, line, startFen_, problem);
    if (!problem.empty()) ReplyJoined(e_, "info string ", problem);
  }

  void Go(std::string_view line) {
    const std::vector<std::string_view> words = Words(line);
    const Colour side = SideToMove(e_);
    ClockControl clock;
    bool infinite = false, timed = false;
    for (size_t i = 1; i < words.size(); ++i) {
      const std::string_view w = words[i];
      if (w == "infinite") {
        infinite = true;
        continue;
      }
      if (w == "ponder") continue;
      int64_t v = 0;
      const bool number = i + 1 < words.size() && ParseInteger(words[i + 1], v);
      if (!number) continue;
      ++i;
      const int64_t cs = v > 0 ? v / 10 : 0;
      if (w == "wtime" || w == "btime") {
        if ((w == "wtime") == (side == White)) clock.ownCs = cs;
        timed = true;
      } else if (w == "winc" || w == "binc") {
        if ((w == "winc") == (side == White)) clock.incrementCs = cs;
      } else if (w == "movestogo") {
        clock.movesPerControl = v > 0 && v < 100000 ? static_cast<int32_t>(v) : 0;
      } else if (w == "movetime") {
        clock.fixedCs = cs > 0 ? cs : 1;
        timed = true;
      } else if (w == "depth") {
        clock.depth = static_cast<int32_t>(v < 1 ? 1 : v > MaxAnalysisDepth ? MaxAnalysisDepth : v);
      }
    }
    // A clock for one side only (the other's time left out) still counts.
    if (timed && clock.ownCs < 0 && clock.fixedCs == 0) clock.ownCs = 0;
    if (!timed && clock.depth == 0 && !infinite) clock.fixedCs = PlainGoCs;

    if (!HasLegalMove(e_)) {
      e_.Reply("bestmove 0000");
      return;
    }
    if (infinite) return Analyse(clock.depth > 0 ? clock.depth : MaxAnalysisDepth, true);
    PrepareSearch(e_, clock, 0);
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
    TurnOutcome turn = PlayEngineMove(e_, booksOn_);
    if (turn.move == 0 && (turn.code == -3 || turn.code == -5) && stop_ != Stop::Quit) {
      // A draw the rules would let either side claim; the client plays on,
      // so the search looks past the repetitions.
      const auto keys = std::make_unique<KeyHistory>(e_.PositionHistory);
      e_.PositionHistory.Clear();
      turn = PlayEngineMove(e_, false);
      e_.PositionHistory = *keys;
      ReplayGame(e_, e_.MoveHistory.Count());
    }
    e_.watch = nullptr;
    if (stop_ == Stop::Quit) {
      quit_ = true;
      return;
    }
    int32_t move = turn.move;
    Position before = turn.before;
    if (move == 0) {
      // Too little material to search: any legal move will do.
      before = e_.GamePosition;
      move = FirstLegalMove(side);
      if (move == 0) return e_.Reply("bestmove 0000");
      PlayMove(e_, move);
    }
    char text[8];
    const std::string_view moveText = MoveText(before, move, text);
    SearchReport report = e_.LastSearch;
    if (!turn.searched) report = {0, 0, move};
    WriteInfo(report, side, moveText);
    ReplyJoined(e_, "bestmove ", moveText);
  }

  // Searches deeper and deeper until "stop" (or the last depth, when not
  // told to wait), then answers with the move of the deepest finished depth.
  void Analyse(int lastDepth, bool waitForStop) {
    e_.driver.clockStart = e_.clock.NowMicroseconds();
    const Colour side = SideToMove(e_);
    const Position before = e_.GamePosition;
    SearchReport best;
    stop_ = Stop::None;
    e_.watch = this;
    for (int depth = 1; depth <= lastDepth && stop_ == Stop::None; ++depth) {
      SearchReport report;
      if (!AnalyseAtDepth(e_, depth, report)) break;
      if (stop_ != Stop::None && best.played != 0) break;  // an unfinished depth: the one before stands
      best = report;
      char text[8];
      WriteInfo(best, side, MoveText(before, best.played, text));
    }
    e_.watch = nullptr;
    // "go infinite" answers only after "stop".
    std::string line;
    while (waitForStop && stop_ == Stop::None) {
      if (!source_.Next(line)) {
        stop_ = Stop::Quit;
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
    if (stop_ == Stop::Quit) {
      quit_ = true;
      return;
    }
    if (best.played == 0) best.played = FirstLegalMove(side);
    char text[8];
    ReplyJoined(e_, "bestmove ", MoveText(before, best.played, text));
  }

  // info depth D score cp S|mate N nodes N nps N time MS pv MOVE
  void WriteInfo(const SearchReport& r, Colour side, std::string_view pv) {
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
  bool booksOn_ = true;
  bool quit_ = false;
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
