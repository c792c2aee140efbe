// Whole games between two engines in one process: each engine's move line is
// handed to the other as the opponent's move. Both must agree on every
// position, every move must be accepted, and every result must be true.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "declare/model.h"
#include "support/generation_walk.h"
#include "support/turns.h"
#include "generation/generate.h"
#include "winboard/driver.h"

namespace ormedan {
namespace {

using testing::BookOf;
using testing::SourceFile;
using Lines = std::vector<std::string>;

bool StartsWith(const std::string& s, std::string_view prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

struct Books {
  TextList white = BookOf(SourceFile("books/b.dat"));
  TextList black = BookOf(SourceFile("books/n.dat"));
  TextList draws = BookOf(SourceFile("books/x.dat"));
};

const Books& ShippedBooks() {
  static const Books books;
  return books;
}

// Output that also keeps the game position as it stood when the engine
// counted its replies, i.e. right after it took the opponent's move.
class SnapshotOutput : public testing::CaptureOutput {
 public:
  bool WriteLine(std::string_view text) override {
    if (engine != nullptr && text.starts_with("mosse possibili ")) afterIntake = engine->GamePosition;
    return CaptureOutput::WriteLine(text);
  }
  const Engine* engine = nullptr;
  Position afterIntake{};
};

// One engine with the shipped books and a clock that moves 20 ms at every
// reading, so that with "time 300" (a budget of 1 centisecond) each search
// ends soon after its pre-analysis.
struct Player {
  testing::StringInput in;
  SnapshotOutput out;
  testing::FakeClock clock;
  testing::SeededRandom rng;
  std::unique_ptr<Engine> engine;

  explicit Player(uint32_t seed) : rng(seed), engine(std::make_unique<Engine>(in, out, clock, rng)) {
    out.engine = engine.get();
    clock.stepPerRead = 20'000;
    Engine& e = *engine;
    SetUpNewGame(e);
    e.WhiteBook = ShippedBooks().white;
    e.BlackBook = ShippedBooks().black;
    e.DrawBook = ShippedBooks().draws;
  }
  Lines Feed(std::string_view line) {
    const size_t before = out.lines.size();
    HandleLine(*engine, line);
    return {out.lines.begin() + static_cast<std::ptrdiff_t>(before), out.lines.end()};
  }
};

// What the test itself remembers of the game, to check the engines' claims.
struct Record {
  std::vector<std::pair<std::string, int>> keys;  // key and side to move since the last pawn move or capture
  Lines moves;
  std::string result;
  bool book = false;  // at least one book move was played
};

std::string MoveIn(const Lines& out) {
  std::string move;
  int count = 0;
  for (const std::string& l : out)
    if (StartsWith(l, "move ")) move = l.substr(5), ++count;
  EXPECT_LE(count, 1);
  return move;
}

std::string ResultIn(const Lines& out) {
  for (const std::string& l : out)
    if (StartsWith(l, "1-0 ") || StartsWith(l, "0-1 ") || StartsWith(l, "1/2-1/2 ")) return l;
  return {};
}

// Checks a result line against the final position with `toMove` to move.
void ExpectTrueResult(Engine& e, const Record& r, Colour toMove) {
  const std::string& res = r.result;
  const int code = testing::Generate(e, toMove, 1, 1);
  if (StartsWith(res, "1-0 ")) {
    EXPECT_EQ(toMove, Black) << res;
    EXPECT_EQ(code, -2) << res;
  } else if (StartsWith(res, "0-1 ")) {
    EXPECT_EQ(toMove, White) << res;
    EXPECT_EQ(code, -2) << res;
  } else if (res == "1/2-1/2 {Stalemate}") {
    EXPECT_EQ(code, -1);
  } else if (res == "1/2-1/2 {Draw : Insufficent Material}") {
    EXPECT_EQ(code, -4);
  } else if (res == "1/2-1/2 {Draw : 50 moves}") {
    EXPECT_GE(r.keys.size(), 101u);  // 100 half-moves after the last pawn move or capture
  } else if (res == "1/2-1/2 {Draw by repetition}") {
    int seen = 0;
    for (const auto& k : r.keys) seen += k == r.keys.back() ? 1 : 0;
    EXPECT_GE(seen, 3) << "a repetition claimed for a position seen " << seen << " times";
  } else {
    ADD_FAILURE() << "unknown result line " << res;
  }
}

Record PlayGame(uint32_t whiteSeed, uint32_t blackSeed, int maxPlies) {
  Player white(whiteSeed), black(blackSeed);
  Record record;
  for (Player* p : {&white, &black}) {
    p->Feed("new");
    p->Feed("level 40 5 0");
  }
  white.Feed("white");
  white.Feed("time 300");
  Lines out = white.Feed("go");
  Player* mover = &white;
  Player* other = &black;
  Colour toMove = White;
  while (static_cast<int>(record.moves.size()) < maxPlies) {
    const std::string move = MoveIn(out);
    // A book move: the silent first move, or a move right after a lookup that found some.
    const bool firstMove = out.size() == 1 && !move.empty();
    const bool afterLookup = out.size() >= 2 && !move.empty() && StartsWith(out[out.size() - 2], "trovate ") &&
                             out[out.size() - 2] != "trovate 0 mosse";
    record.book |= firstMove || afterLookup;
    record.result = ResultIn(out);
    if (move.empty()) {
      EXPECT_FALSE(record.result.empty()) << "neither a move nor a result after " << record.moves.size() << " plies";
      break;
    }
    record.moves.push_back(move);
    other->Feed("time 300");
    const Lines answer = other->Feed(move);
    for (const std::string& l : answer) EXPECT_FALSE(StartsWith(l, "Illegal move")) << l;
    toMove = Other(toMove);

    // Both engines now know the same game.
    const Position& played = mover->engine->GamePosition;
    // (Each engine keeps its own game phase: it leaves the opening at its own first book miss.)
    Position seen = other->out.afterIntake;
    seen.gamePhase = played.gamePhase;
    EXPECT_EQ(0, std::memcmp(&played, &seen, sizeof(Position))) << "the engines disagree after " << move;
    const int64_t n = mover->engine->MoveHistory.Count();
    EXPECT_EQ(n, static_cast<int64_t>(record.moves.size()));
    for (int64_t i = 0; i < n; ++i) EXPECT_EQ(mover->engine->MoveHistory.At(i), other->engine->MoveHistory.At(i));
    std::string why;
    EXPECT_TRUE(CheckPosition(played, &why)) << why;
    const int32_t last = played.lastMove;
    if (IsCaptureOrPromotion(last) || std::abs(played.pieceValue[MovePiece(last)]) == PawnValue) record.keys.clear();
    record.keys.emplace_back(std::string(PositionKey(played, toMove).View()), toMove);

    if (!record.result.empty()) break;  // the mover announced the end with its move
    out = answer;
    std::swap(mover, other);
    if (::testing::Test::HasFailure()) break;
  }
  if (!record.result.empty()) ExpectTrueResult(*mover->engine, record, toMove);
  return record;
}

// Each search costs a pre-analysis of every root move, several times slower
// under the sanitizers; there the game stops early. With these seeds the
// whole game (book moves, then searches) ended in a mate at ply 89 when this
// was written.
struct GamePlan {
  uint32_t whiteSeed, blackSeed;
  int plies;
};
#if defined(__SANITIZE_ADDRESS__)
constexpr GamePlan Games[] = {{11, 12, 30}};
#else
constexpr GamePlan Games[] = {{11, 12, 100}};
#endif

TEST(WholeGames, TwoEnginesPlayEachOtherToTheEnd) {
  for (const GamePlan& g : Games) {
    const Record r = PlayGame(g.whiteSeed, g.blackSeed, g.plies);
    EXPECT_TRUE(r.book) << "no book move was played";
    EXPECT_TRUE(!r.result.empty() || static_cast<int>(r.moves.size()) == g.plies);
    std::string moves;
    for (const std::string& m : r.moves) moves += m + ' ';
    std::printf("game %u-%u: %zu plies, %s\n%s\n", g.whiteSeed, g.blackSeed, r.moves.size(),
                r.result.empty() ? "move limit" : r.result.c_str(), moves.c_str());
    if (::testing::Test::HasFailure()) break;
  }
}

}  // namespace
}  // namespace ormedan
