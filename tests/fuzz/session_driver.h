// Sessions for the fuzz targets: the input bytes become the lines an
// interface would send, read by the engine's own command loop, while the
// target watches every line handled and every move the engine plays.
//
// Input format: lines separated by line feeds. A line that begins with '@'
// followed by one of the letters below is built from the game position at
// the moment the engine reads it (the bytes after the letter choose):
//   @m<i>        legal move number i of the side to move
//   @M<i>        legal move number i of the other side
//   @x<i><j>     legal move number i, spoilt in way j (no or upper-case
//                promotion letter, a promotion letter on a plain move, a
//                rank 0 or 9, origin and destination exchanged, junk after it)
//   @l<a><b><c><d>  "level" with moves 0..60, 0..5 minutes, perhaps :SS, increment 0..2
//   @t<a><b>     "time" with -100..3899 centiseconds ("otim" when a is odd)
//   @r<n><c>     16..1024 lines (16 x (n % 64 + 1)) of legal moves of the side
//                to move, chosen by a sequence seeded with c: long games
//   @s           (sent as an empty line) lets the engine search from here on
//   @f<i>        a position from a fixed list of FENs (good and bad ones):
//                "setboard FEN" in protocol 2, "position fen FEN" in UCI
// Every other line is sent as it is. A session whose first line is "@2"
// runs in protocol 2 (--features), one whose first line is "@u" in UCI;
// there the side to move is the game record's, moves are checked against
// it, and lines also arrive while the engine thinks (a move-now, a stop).
//
// A search costs far more than anything else a session does, so a session
// ends before the search when both books miss, unless an "@s" line came
// before and a "time" line (as xboard sends before every engine move) has
// set the pre-analysis limit that the clock can cut; out of the opening, it
// ends before any line while that limit is unset; and it ends once its
// searches have visited MaxSearchNodes nodes.
//
// After every line: GamePosition passes CheckPosition. Every "move" line of
// the engine names a legal move of the position before it (by a plain board
// written apart from the engine) and leads to the position the engine keeps.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "declare/model.h"
#include "declare/game_record.h"
#include "fuzz/reference_board.h"
#include "protocol/modes.h"
#include "utilita/make_checked.h"

namespace ormedan::fuzz {

[[noreturn]] inline void Fault(const std::string& what) {
  std::fprintf(stderr, "fuzz fault: %s\n", what.c_str());
  std::abort();
}

// Every reading is later than the one before: by 100 ms at the first
// reading of a line, then by twice the last step (up to about 19 hours), so
// the time checks of a search, the pre-analysis's included, end it after a
// few readings whatever the budget.
class SteppingClock : public Clock {
 public:
  int64_t NowMicroseconds() override {
    const int64_t t = now_;
    now_ += step_;
    if (step_ < MaxStep) step_ *= 2;
    return t;
  }
  void NewLine() { step_ = 100'000; }

 private:
  static constexpr int64_t MaxStep = int64_t{1} << 36;
  int64_t now_ = 1'000'000;
  int64_t step_ = 100'000;
};

// A session stops (as at the end of input) before a line once its searches
// have visited this many nodes, or when the move budget has grown beyond
// what the stepping clock cuts short: the parsing of any "level" or "time"
// is still exercised, only the searches that would follow are skipped.
constexpr int64_t MaxSearchNodes = 200'000;
constexpr int32_t MaxBudget = 3000;

// Whether a line asks for a search the stepping clock does not cut short:
// a depth beyond 4 (UCI "depth", protocol 2's "sd"), a mate beyond 2 moves,
// more nodes than a session may visit, or a clock of nodes (nps) that may
// count that many. The session ends before it.
inline bool AsksForADeepSearch(std::string_view line) {
  const auto numberAfter = [&](std::string_view word) -> int64_t {
    const size_t at = line.find(word);
    if (at == std::string_view::npos) return 0;
    return std::strtoll(std::string(line.substr(at + word.size())).c_str(), nullptr, 10);
  };
  return numberAfter("depth ") > 4 || numberAfter("sd ") > 4 || numberAfter("mate ") > 2 ||
         numberAfter("nodes ") > MaxSearchNodes || numberAfter("nps ") > 200;
}

// The colour whose turn it is by the last move of the record (white before
// any move); the protocol modes keep the side to move in the game record.
inline Colour TurnOf(const Engine& e, Mode mode) {
  if (mode != Mode::Plain) return SideToMove(e);
  const int mover = MovePiece(e.GamePosition.lastMove);
  return mover >= 1 && mover <= 16 ? Black : White;
}

// Positions for "@f": ordinary ones, both sides to move, castling and en
// passant, a promotion ahead, and FENs that must be refused.
inline constexpr std::string_view kFuzzFens[] = {
    "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2",
    "r3k2r/pppq1ppp/2n2n2/3pp3/3PP3/2N2N2/PPPQ1PPP/R3K2R b KQkq - 4 8",
    "8/P6k/8/8/8/8/6Kp/8 w - - 0 60",
    "7k/5Q2/6K1/8/8/8/8/8 b - - 0 1",
    "1r6/8/8/2b5/8/8/K7/2k5 w - - 99 80",
    "4k3/8/8/8/8/8/8/4K3 w - - 0 1",
    "8/8/8/8/8/8/8/8 w - - 0 1",
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq - 0 1",
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq e3 0 1",
    "junk",
};

class SessionWatch;

// Thrown by the watch to end a session at once (see stopAtBookMiss).
struct SessionEnd {};

// The engine's input: the session lines, produced one at a time.
class SessionInput : public Input {
 public:
  SessionInput(std::string_view data, SessionWatch& watch, SteppingClock& clock)
      : data_(data), watch_(watch), clock_(clock) {}
  // Whether "@s" lines are obeyed.
  bool searchesAllowed = true;
  void Attach(Engine& e) { e_ = &e; }
  int ReadByte() override;

  // Called once the loop has returned, to check the last line handled.
  void Finish();

 private:
  bool NextLine();
  std::string Structured(std::string_view request);

  std::string_view data_;
  size_t pos_ = 0;
  std::string line_;
  size_t at_ = 0;
  bool ended_ = false;
  int repeat_ = 0;  // moves still to send for an "@r" line
  uint32_t choice_ = 0;
  SessionWatch& watch_;
  SteppingClock& clock_;
  Engine* e_ = nullptr;
};

// The engine's output: nothing is kept; the lines are inspected.
class SessionWatch : public Output {
 public:
  void Attach(Engine& e) { e_ = &e; }
  void Snapshot() {
    before_ = e_->GamePosition;
    beforeSide_ = TurnOf(*e_, mode);
  }
  Mode mode = Mode::Plain;
  int64_t searchNodes = 0;
  // When set, the session ends as soon as both books have missed, before
  // the search that would follow. (Without a book move a running game
  // leaves the opening phase only through such a search.)
  bool stopAtBookMiss = true;

  bool WriteLine(std::string_view text) override {
    if (std::getenv("FUZZ_ECHO") != nullptr) std::fprintf(stderr, "< %.*s\n", static_cast<int>(text.size()), text.data());
    if (text.starts_with("bestmove ")) CheckBestMove(text.substr(9, text.find(' ', 9) - 9));
    // The engine's own lines come as comments or info strings in the
    // protocol modes.
    for (const std::string_view prefix : {"# ", "info string "})
      if (mode != Mode::Plain && text.starts_with(prefix)) text.remove_prefix(prefix.size());
    if (text.starts_with("mosse possibili ")) Snapshot();
    if (text.starts_with("analizzati ")) searchNodes += std::strtoll(std::string(text.substr(11)).c_str(), nullptr, 10);
    if (text.starts_with("move ")) CheckEngineMove(text.substr(5));
    if (drawBookAsked_ && text == "trovate 0 mosse" && (stopAtBookMiss || e_->budget.preAnalysisCs < 0))
      throw SessionEnd{};
    drawBookAsked_ = text == "cerco in libreria patte";
    return true;
  }

 private:
  // A UCI answer: a legal move of the side to move, or 0000 when it has none.
  void CheckBestMove(std::string_view move) {
    const std::vector<RefMove> legal = RefBoard::From(before_, beforeSide_).LegalMoves();
    if (move == "0000" && legal.empty()) return;
    for (const RefMove& m : legal)
      if (RefBoard::Text(m) == move) return;
    Fault("bestmove " + std::string(move) + " is not a legal move of the side to move");
  }

  void CheckEngineMove(std::string_view move) {
    Colour mover = mode == Mode::Plain ? (e_->driver.engineIsBlack ? Black : White) : beforeSide_;
    Position before = before_;
    if (mode != Mode::Plain && e_->MoveHistory.Count() >= 1 && e_->MoveHistory.Count() <= e_->MoveHistory.Stored()) {
      // The engine's move has joined the game; the client's move that it
      // answers may have joined it in the same line. The position before
      // it is the game replayed without it.
      before = e_->Record.start;
      const int64_t n = e_->MoveHistory.Count() - 1;
      for (int64_t i = 0; i < n; ++i) MakeMoveMarkingCheck(before, e_->MoveHistory.At(i));
      mover = n % 2 == 0 ? e_->Record.startSide : Other(e_->Record.startSide);
    }
    RefBoard board = RefBoard::From(before, mover);
    for (const RefMove& m : board.LegalMoves()) {
      if (RefBoard::Text(m) != move) continue;
      board.Make(m);
      const RefBoard kept = RefBoard::From(e_->GamePosition, Other(mover));
      if (!board.SameSquares(kept)) Fault("the engine's move " + std::string(move) + " left another board");
      return;
    }
    Fault("the engine played " + std::string(move) + ", not a legal move of " +
          (mover == White ? "white" : "black"));
  }

  Engine* e_ = nullptr;
  Position before_{};
  Colour beforeSide_ = White;
  bool drawBookAsked_ = false;
};

inline int SessionInput::ReadByte() {
  if (at_ >= line_.size() && !NextLine()) return -1;
  return static_cast<unsigned char>(line_[at_++]);
}

inline void SessionInput::Finish() {
  std::string why;
  if (!CheckPosition(e_->GamePosition, &why)) Fault("GamePosition inconsistent after the last line: " + why);
}

// The previous line has been handled completely when the loop asks for the
// first byte of the next one.
inline bool SessionInput::NextLine() {
  if (ended_) return false;
  std::string why;
  if (!CheckPosition(e_->GamePosition, &why)) Fault("GamePosition inconsistent after a line: " + why);
  const bool unlimitedSearch = e_->GamePosition.gamePhase != 1 && e_->budget.preAnalysisCs < 0;
  if ((pos_ >= data_.size() && repeat_ == 0) || watch_.searchNodes >= MaxSearchNodes ||
      e_->budget.moveCs > MaxBudget || unlimitedSearch) {
    ended_ = true;
    return false;
  }
  if (repeat_ > 0) {
    --repeat_;
    choice_ = choice_ * 1103515245u + 12345u;
    const char request[3] = {'@', 'm', static_cast<char>(choice_ >> 16)};
    line_ = Structured(std::string_view(request, 3));
  } else {
    size_t end = data_.find('\n', pos_);
    if (end == std::string_view::npos) end = data_.size();
    const std::string_view raw = data_.substr(pos_, end - pos_);
    pos_ = end + 1;
    line_ = raw.size() >= 2 && raw[0] == '@' ? Structured(raw) : std::string(raw);
  }
  if (AsksForADeepSearch(line_)) {
    ended_ = true;
    return false;
  }
  line_ += '\n';
  at_ = 0;
  if (std::getenv("FUZZ_ECHO") != nullptr) std::fprintf(stderr, "> %s", line_.c_str());
  watch_.Snapshot();
  clock_.NewLine();
  return true;
}

inline std::string SessionInput::Structured(std::string_view request) {
  const auto arg = [&](size_t i) -> unsigned { return i + 2 < request.size() ? static_cast<unsigned char>(request[i + 2]) : 0; };
  const Position& game = e_->GamePosition;
  const Colour turn = TurnOf(*e_, watch_.mode);
  const auto move = [&](Colour side, unsigned choice) -> std::string {
    const std::vector<RefMove> legal = RefBoard::From(game, side).LegalMoves();
    if (legal.empty()) return "a1a1";
    return RefBoard::Text(legal[choice % legal.size()]);
  };
  switch (request[1]) {
    case 'm': return move(turn, arg(0));
    case 'M': return move(Other(turn), arg(0));
    case 'f': {
      const std::string_view fen = kFuzzFens[arg(0) % std::size(kFuzzFens)];
      return std::string(watch_.mode == Mode::Uci ? "position fen " : "setboard ") + std::string(fen);
    }
    case 'x': {
      std::string m = move(arg(1) & 0x80 ? Other(turn) : turn, arg(0));
      switch (arg(1) % 8) {
        case 0: if (m.size() == 5) m.pop_back(); break;
        case 1: if (m.size() == 5) m[4] = static_cast<char>(m[4] - 32); else m += 'Q'; break;
        case 2: if (m.size() == 4) m += "qrbn"[arg(1) / 8 % 4]; break;
        case 3: m[3] = '9'; break;
        case 4: m[1] = '0'; break;
        case 5: std::swap(m[0], m[2]); std::swap(m[1], m[3]); break;
        case 6: m += " +#"[arg(1) / 8 % 3]; break;
        default: m[0] = static_cast<char>(m[0] - 32); break;
      }
      return m;
    }
    case 'l': {
      std::string s = "level " + std::to_string(arg(0) % 61) + ' ' + std::to_string(arg(1) % 6);
      if (arg(2) & 1) {
        const unsigned seconds = arg(2) / 2 % 60;
        s += ':';
        s += static_cast<char>('0' + seconds / 10);
        s += static_cast<char>('0' + seconds % 10);
      }
      return s + ' ' + std::to_string(arg(3) % 3);
    }
    case 'r':
      repeat_ = 16 * static_cast<int>(arg(0) % 64 + 1);
      choice_ = arg(1);
      return {};
    case 's':
      if (searchesAllowed) watch_.stopAtBookMiss = false;
      return {};
    case 't': {
      const int t = static_cast<int>((arg(0) * 256 + arg(1)) % 4000) - 100;
      return std::string(arg(0) & 1 ? "otim " : "time ") + std::to_string(t);
    }
    default: return std::string(request);
  }
}

// A stable seed for the engine's random source from the input bytes.
inline uint32_t SeedOf(const uint8_t* data, size_t size) {
  uint32_t h = 2166136261u;
  for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
  return h;
}

}  // namespace ormedan::fuzz
