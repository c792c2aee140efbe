// The engine state: every table of the program in one fixed-size object,
// created once per engine and never resized during a game or a search.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "declare/io.h"
#include "declare/limits.h"
#include "declare/settings.h"
#include "declare/position.h"

namespace ormedan {

// A position key: the decimal PieceIds of the 64 squares, a1..a8, b1..h8,
// then the side to move ('w' or 'b') and the four castling rights as digits
// (white short, white long, black short, black long).
struct PositionKeyText {
  static constexpr int MaxLength = 128 + 5;
  uint8_t length = 0;
  char text[MaxLength] = {};
  std::string_view View() const { return {text, length}; }
  bool operator==(const PositionKeyText& o) const { return View() == o.View(); }
};

// Keys of the positions reached since the last capture, promotion or pawn
// move. Fixed capacity: when full, the oldest key is dropped while Count()
// keeps counting, so the fifty-move test still sees the true length.
class KeyHistory {
 public:
  static constexpr int Capacity = 1024;
  void Clear() { count_ = 0; }
  void Append(const PositionKeyText& k) {
    keys_[count_ % Capacity] = k;
    ++count_;
  }
  int64_t Count() const { return count_; }
  // Occurrences of the key among the stored entries.
  int Occurrences(const PositionKeyText& k) const {
    const int64_t stored = count_ < Capacity ? count_ : Capacity;
    int n = 0;
    for (int64_t i = 0; i < stored; ++i) n += keys_[i] == k ? 1 : 0;
    return n;
  }

 private:
  PositionKeyText keys_[Capacity];
  int64_t count_ = 0;
};

// The moves of the game, one MoveCode per half-move, in order of play.
class MoveHistoryList {
 public:
  static constexpr int Capacity = 32768;
  void Clear() { count_ = 0; }
  void Append(int32_t code) {
    if (count_ < Capacity) codes_[count_] = code;
    ++count_;
  }
  int64_t Count() const { return count_; }
  int64_t Stored() const { return count_ < Capacity ? count_ : Capacity; }
  int32_t At(int64_t i) const { return codes_[i]; }  // 0 <= i < Stored()

 private:
  int32_t codes_[Capacity];
  int64_t count_ = 0;
};

// A book: its lines, loaded once at start-up.
using TextList = std::vector<std::string>;

struct DriverState {
  int32_t engineIsBlack = 1;
  uint8_t gameActive = 0;
  uint8_t opponentIsComputer = 0;
  uint8_t markFlag = 0;
  // the plain mode's time control, centiseconds
  int32_t movesPerControl = 0;
  int32_t baseTime = 0;
  int32_t remainingTime = 0;
  int64_t clockStart = 0;  // microseconds of the engine's clock: the move's time runs from here
};

// Where the game started: the initial position after "new", or a position
// set from FEN. The moves since then are MoveHistory, so the game can be
// rebuilt from here at any length (taking moves back replays it).
struct GameRecord {
  Position start{};
  Colour startSide = White;
  int32_t startHalfmoves = 0;  // the FEN's halfmove clock
  int32_t startFullmove = 1;   // the FEN's move number
  uint8_t fromFen = 0;         // the books are keyed from the initial position only
  // In the protocol-2 and UCI modes a book move enters the repetition
  // history like any other move; the plain mode leaves it out.
  uint8_t keysBookMoves = 0;
  // The number of moves after which the opening phase ended (the first book
  // miss), so that a replay ends it at the same move; -1 while it lasts.
  int64_t openingClosedAt = -1;
  // The protocol modes key the start position too, as the rules count it;
  // while its key is in PositionHistory the history holds one key more
  // than the halfmoves played without a capture or pawn move.
  uint8_t startKeyed = 0;
  // Halfmoves without a capture or pawn move that make the fifty-move
  // draw. The rule's number is 100; the plain mode, which counts the keys
  // of its history and does not key its start, has always seen the draw
  // one halfmove later, when more than 100 are recorded.
  int32_t fiftyMoveHalfmoves = 101;
};

// How the engine's own lines (search and book diagnostics) reach the client.
enum class DiagnosticStyle : uint8_t {
  Plain,       // as they are
  Comment,     // "# " first, which xboard clients ignore
  InfoString,  // "info string " first, as UCI has it
  Dropped,
};

// Asked by the search where it reads its clock: whether the client wants
// the search to end now (a move-now, a stop, quit).
class StopWatch {
 public:
  virtual ~StopWatch() = default;
  virtual bool StopNow() = 0;
};

// What a search found. The search leaves the game as it was; the caller
// plays the move (CommitSearchResult in the plain mode, the game record in
// the protocol modes).
struct SearchResult {
  static constexpr int MaxLine = 2;
  int code = 0;        // > 0: root moves searched; otherwise the result code
  int slot = 0;        // the chosen root child, ChildPositions[slot][1]
  int32_t move = 0;    // its MoveCode, 0 for none
  int32_t value = 0;   // white-positive
  int32_t depth = 0;   // the depth of the main search, 0 for none
  // The line the search expects: the move, then the reply it was valued
  // against where the search knows it.
  int32_t line[MaxLine] = {};
  int lineLength = 0;
  // With more than one line asked for (MultiPV), the best root moves with
  // their exact values, best first.
  struct Ranked {
    int32_t move = 0, value = 0, reply = 0;
  };
  static constexpr int MaxRanked = 32;
  Ranked ranked[MaxRanked];
  int rankedCount = 0;
};

struct EngineMoveRecord {
  int32_t fromFile = 0, fromRank = 0, toFile = 0, toRank = 0, promotion = 0;
};

// Pre-analysis scores of the replies to one root move.
struct ReplyEntry {
  int64_t replyCount;
  int64_t replies[MaxChildren + 1];  // items 1..MaxChildren
  int64_t rootMove;
};

// The children that the search's generators list at one ply. A child's
// position is made in ChildPositions only when the search first needs it;
// until then the move, the source and the rule for its checkingPiece are
// enough to make it exactly as an eager generator would have.
struct PendingPly {
  int32_t sourceSlot = 0;  // source: ChildPositions[sourceSlot][ply - 1]
  uint8_t checkRule = 0;   // how a child made later gets its checkingPiece
  uint8_t inheritedCheck = 0;     // checkingPiece of every child under the inherit rule
  uint8_t enemyKingAttacked = 0;  // full rule: a slider of ours already attacks the enemy king
  uint32_t uncovering = 0;        // full rule: pieces whose move can uncover a check
  uint8_t pawnBesideKing = 1;     // full rule: a pawn of ours already attacks the enemy king's square
  int32_t moves[MaxChildren + 1]{};
  uint8_t made[MaxChildren + 1]{};  // 1 when ChildPositions[j][ply] holds child j
};

// ChildPositions, read and written as [slot][ply] but stored ply by ply, so
// that the children of one ply lie side by side: the generators write them
// one after the other and the search walks them in order.
class ChildTable {
  // One slot's positions, indexed by ply; T is Position or const Position.
  template <class T, class Table> class SlotOf {
   public:
    SlotOf(Table& table, int slot) : table_(table), slot_(slot) {}
    T& operator[](int ply) const { return table_.At(ply, slot_); }

   private:
    Table& table_;
    int slot_;
  };

 public:
  SlotOf<Position, ChildTable> operator[](int slot) { return {*this, slot}; }
  SlotOf<const Position, const ChildTable> operator[](int slot) const { return {*this, slot}; }

 private:
  Position& At(int ply, int slot) { return byPly_[ply][slot]; }
  const Position& At(int ply, int slot) const { return byPly_[ply][slot]; }

  Position byPly_[MaxPly + 1][MaxChildren + 1]{};  // [ply][slot]
};

struct MemoEntry {
  int32_t first, second, third, value;
};
constexpr int MemoBuckets = 16;
constexpr int MemoBucketSize = 5000;

struct Engine {
  Engine(Input& in, Output& out, Clock& clock, Random& rng) : in(in), out(out), clock(clock), rng(rng) {}
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  Input& in;
  Output& out;
  Clock& clock;
  Random& rng;
  // Drawn from rng once, at the first search below full strength: with the
  // position, it decides what a level overlooks (Alivelli/strength.h).
  uint32_t strengthSeed = 0;
  bool outputFailed = false;
  DiagnosticStyle diagnostics = DiagnosticStyle::Plain;
  StopWatch* watch = nullptr;  // none: the search runs to its own end

  // Positions
  Position GamePosition{};
  Position WorkPosition{};
  Position SavedPosition{};
  ChildTable ChildPositions;  // [slot][ply]
  PendingPly Pending[MaxPly + 1]{};  // [ply]
  int32_t MoveList[MaxPseudoMoves]{};
  int32_t MoveCount = 0;

  // Text lists
  MoveHistoryList MoveHistory;
  KeyHistory PositionHistory;
  TextList WhiteBook, BlackBook, DrawBook;

  DriverState driver;
  EngineMoveRecord EngineMove;
  GameRecord Record;

  // Search tables
  ReplyEntry ReplyTable[MaxChildren + 1]{};  // entries 1..MaxChildren
  uint8_t OddPlyKillers[65536]{};
  uint8_t EvenPlyKillers[65536]{};
  MemoEntry TranspositionMemo[MemoBuckets + 1][MemoBucketSize + 1]{};  // [bucket 1..16][entry 1..5000]
  int32_t MemoFill[MemoBuckets + 1]{};

  // Search globals
  int32_t SearchDepth = 0;
  int32_t HorizonPly = 0;
  int32_t LastPredictedDepth = 4;
  float BranchingFactor = 5.5f;
  int64_t NodeCount = 0;
  EngineSettings settings;
  SearchBudget budget;  // what the next search may spend (Alivelli/time_manager.h)

  bool StopRequested() { return watch != nullptr && watch->StopNow(); }

  // Writes one line of the engine's own (diagnostic) output in the style of
  // the mode; in the plain mode every line goes out this way.
  void Write(std::string_view text) {
    if (diagnostics == DiagnosticStyle::Plain) return Reply(text);
    WriteStyled(text);
  }
  // Writes one protocol line; remembers a failed write. The plain mode
  // writes its bytes as they are; the other modes write UTF-8 only.
  void Reply(std::string_view text) {
    if (outputFailed) return;
    if (diagnostics != DiagnosticStyle::Plain && !IsUtf8(text)) return WriteAsUtf8(text);
    if (!out.WriteLine(text)) outputFailed = true;
  }

  // Whether the bytes are well-formed UTF-8.
  static bool IsUtf8(std::string_view text);

 private:
  void WriteStyled(std::string_view text);
  // Writes the line with every byte that is not part of a well-formed UTF-8
  // character read as Windows-1252 (the engine's own Italian lines use it
  // for "profondità"), so that the line is UTF-8.
  void WriteAsUtf8(std::string_view text);
};

}  // namespace ormedan
