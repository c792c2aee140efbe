// Random legal games typed move by move: after every move the referee's
// "mosse possibili " count must equal the legal-move count of the same
// position rebuilt from FEN in a separate engine, every independently legal
// move must be accepted, and every other line refused without a trace.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "Textrout/textrout.h"
#include "declare/model.h"
#include "support/fen_writer.h"
#include "support/generation_walk.h"
#include "support/referee.h"
#include "generation/generate.h"
#include "generation/perft.h"
#include "utilita/fen.h"

namespace ormedan {
namespace {

using testing::GameSnapshot;
using testing::PositionToFen;
using testing::Referee;
using Lines = std::vector<std::string>;

// The legal moves of the side to move of a FEN, counted by a separate engine,
// as coordinate texts ("e2e4", "e7e8q").
struct LegalMoves {
  int count = 0;  // as GenerateMoves answers at ply 1: n, or -1, -2, -4
  std::set<std::string> texts;  // every legal move, whatever the material
};

bool Rebuild(Engine& other, const std::string& fen, LegalMoves& out) {
  Position p{};
  Colour toMove = White;
  std::string error;
  if (!PositionFromFen(fen, p, toMove, error)) {
    ADD_FAILURE() << "FEN refused: " << fen << ": " << error;
    return false;
  }
  other.GamePosition = p;
  out.count = testing::Generate(other, toMove, 1, 1);
  out.texts.clear();
  // The moves themselves stay legal when the material can no longer mate.
  const int n = toMove == White ? GenerateMoves<White>(other, 1, 1, MaterialTest::Skip)
                                : GenerateMoves<Black>(other, 1, 1, MaterialTest::Skip);
  for (int s = 1; s <= n; ++s) {
    out.texts.insert(MoveCoordinates(p, other.ChildPositions[s][1].lastMove));
  }
  return true;
}

// How the referee reads a line: unknown file letters are file a, ranks must
// be digits 1 to 8, only a lower-case q, r, b or n promotes.
std::optional<std::string> Normalise(std::string_view line) {
  const int fromRank = TextToInt(TakeFirst(DropFirst(line, 1), 1));
  const int toRank = TextToInt(TakeFirst(DropFirst(line, 3), 1));
  if (fromRank < 1 || fromRank > 8 || toRank < 1 || toRank > 8) return std::nullopt;
  std::string t;
  t += static_cast<char>('a' + FileLetterToNumber(line) - 1);
  t += static_cast<char>('0' + fromRank);
  t += static_cast<char>('a' + FileLetterToNumber(DropFirst(line, 2)) - 1);
  t += static_cast<char>('0' + toRank);
  if (line.size() >= 5 && std::string_view("qrbn").find(line[4]) != std::string_view::npos) t += line[4];
  return t;
}

// Whether the referee announces "en passant" for this (normalised) move.
bool ProbesEnPassant(const Position& p, const std::string& t) {
  const int ff = t[0] - 'a' + 1, fr = t[1] - '0', tf = t[2] - 'a' + 1, tr = t[3] - '0';
  const int value = p.pieceValue[p.board[ff][fr]];
  if (value != PawnValue && value != -PawnValue) return false;
  if (ff == tf || p.board[tf][tr] != 0) return false;
  const int behind = value > 0 ? tr - 1 : tr + 1;
  return behind >= 1 && behind <= 8;
}

bool OwnedBy(const Position& p, const std::string& t, Colour c) {
  const int id = p.board[t[0] - 'a' + 1][t[1] - '0'];
  return id != 0 && (c == White ? id <= 16 : id >= 17);
}

std::string RandomSquare(std::mt19937& rng) {
  std::string s;
  s += static_cast<char>('a' + rng() % 8);
  s += static_cast<char>('1' + rng() % 8);
  return s;
}

std::string RandomBytes(std::mt19937& rng) {
  static const char alphabet[] = {'a', 'e', 'h', 'i', 'A', '1', '2', '7', '8', '9', '0', 'q', 'n', 'Q',
                                  ' ', '\r', '\t', '\0', '\x7F', '\x80', '\xE0', '\xFF', '-', '+'};
  std::string s;
  const int length = static_cast<int>(rng() % 9);
  for (int i = 0; i < length; ++i) s += alphabet[rng() % sizeof alphabet];
  return s;
}

class RandomGames : public ::testing::Test {
 protected:
  void PlayGame(uint32_t seed, int maxPlies);

  testing::Rig other_;  // the independent engine
};

void RandomGames::PlayGame(uint32_t seed, int maxPlies) {
  std::mt19937 rng(seed);
  Referee r;
  Engine& e = r.e();
  Colour toMove = White;
  LegalMoves legal;
  ASSERT_TRUE(Rebuild(other_.e(), PositionToFen(e.GamePosition, toMove), legal));
  for (int ply = 0; ply < maxPlies && !legal.texts.empty(); ++ply) {
    // The engine plays the side that does not move now, so the count that
    // follows each move is that of the side to move next.
    r.Send(toMove == White ? "black" : "white");

    // Illegal lines: random squares, wrong promotion letters, hostile bytes.
    std::vector<std::string> tries;
    for (int i = 0; i < 3; ++i) {
      static const char* suffixes[] = {"", "", "q", "n", "Q", "x", "\r"};
      tries.push_back(RandomSquare(rng) + RandomSquare(rng) + suffixes[rng() % 7]);
    }
    auto pick = legal.texts.begin();
    std::advance(pick, static_cast<long>(rng() % legal.texts.size()));
    tries.push_back(pick->size() == 5 ? pick->substr(0, 4) : *pick + "q");
    tries.push_back(RandomBytes(rng));
    for (const std::string& line : tries) {
      const std::optional<std::string> t = Normalise(line);
      if (t && legal.texts.count(*t)) continue;  // happens to be legal
      // The referee does not keep turns: a piece of the other side may move
      // too, by that side's legal moves. Only the side to move is tried here.
      if (t && OwnedBy(e.GamePosition, *t, Other(toMove))) continue;
      const GameSnapshot before(e);
      const Lines out = r.Take(line);
      Lines want;
      if (t && ProbesEnPassant(e.GamePosition, *t)) want.push_back("en passant");
      want.push_back("Illegal move: " + line);
      ASSERT_EQ(out, want) << "seed " << seed << " ply " << ply;
      ASSERT_TRUE(before.Same(e)) << "seed " << seed << " ply " << ply << " line " << line;
    }

    // A legal move, chosen among the independently generated ones.
    auto chosen = legal.texts.begin();
    std::advance(chosen, static_cast<long>(rng() % legal.texts.size()));
    const std::string move = *chosen;
    const bool enPassant = ProbesEnPassant(e.GamePosition, move);
    const Lines out = r.Send(move);
    toMove = Other(toMove);
    const std::string fen = PositionToFen(e.GamePosition, toMove);
    ASSERT_TRUE(Rebuild(other_.e(), fen, legal));
    std::string why;
    ASSERT_TRUE(CheckPosition(e.GamePosition, &why)) << "seed " << seed << " after " << move << ": " << why;

    size_t at = 0;
    if (enPassant) {
      ASSERT_GE(out.size(), 1u);
      ASSERT_EQ(out[at++], "en passant");
    }
    ASSERT_LT(at, out.size()) << "seed " << seed << " move " << move << " refused";
    ASSERT_EQ(out[at++], "mosse possibili " + std::to_string(legal.count))
        << "seed " << seed << " ply " << ply << " move " << move << " position " << fen;
    std::string result;
    if (at < out.size()) result = out[at++];
    ASSERT_EQ(at, out.size());
    if (legal.count == -2) {
      ASSERT_EQ(result, toMove == Black ? "1-0 {white win}" : "0-1 {Black win}");
    } else if (legal.count == -1) {
      ASSERT_EQ(result, "1/2-1/2 {Stalemate}");
    } else if (!result.empty()) {
      ASSERT_EQ(result, "1/2-1/2 {Draw by repetition}");
    }
    if (!result.empty()) return;
  }
}

TEST_F(RandomGames, CountsMatchAnIndependentRebuildAndIllegalLinesChangeNothing) {
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    PlayGame(seed, 250);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace ormedan
