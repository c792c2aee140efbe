// The opponent's moves: legality, recording, en passant, promotions,
// castling, hostile lines, and the announced results.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "declare/model.h"
#include "support/builder.h"
#include "support/referee.h"

namespace ormedan {
namespace {

using testing::GameSnapshot;
using testing::PositionBuilder;
using testing::Referee;
using Lines = std::vector<std::string>;

Lines Counted(int n) { return {"mosse possibili " + std::to_string(n)}; }

void ExpectConsistent(const Engine& e, const std::string& after) {
  std::string why;
  EXPECT_TRUE(CheckPosition(e.GamePosition, &why)) << "after " << after << ": " << why;
}

// Plays opponent moves that must each be taken (one line of output).
void Play(Referee& r, std::initializer_list<const char*> moves) {
  for (const char* m : moves) ASSERT_EQ(r.Send(m).size(), 1u) << m;
}

// The line is refused, after the lines in `first`, and changes nothing.
void ExpectRefused(Referee& r, const std::string& line, Lines first = {}) {
  const GameSnapshot before(r.e());
  first.push_back("Illegal move: " + line);
  EXPECT_EQ(r.Send(line), first) << line;
  EXPECT_TRUE(before.Same(r.e())) << line;
}

TEST(TakeOpponentMove, OpeningMoveIsAppliedRecordedAndCounted) {
  Referee r;
  EXPECT_EQ(r.Send("e2e4"), Counted(20));
  Engine& e = r.e();
  EXPECT_EQ(e.GamePosition.board[5][2], 0);
  EXPECT_EQ(e.GamePosition.board[5][4], 16);
  EXPECT_EQ(e.GamePosition.enPassantFile, 5);
  ASSERT_EQ(e.MoveHistory.Count(), 1);
  EXPECT_EQ(e.MoveHistory.At(0), 17680);
  EXPECT_EQ(e.PositionHistory.Count(), 0);  // a pawn move empties it
  ExpectConsistent(e, "e2e4");
  EXPECT_EQ(r.Send("  e7e5  "), Counted(29));
  EXPECT_EQ(r.Send("g1f3\r"), Counted(29));  // a carriage return is no promotion letter
  EXPECT_EQ(e.PositionHistory.Count(), 1);   // a quiet piece move is kept
  EXPECT_EQ(e.MoveHistory.At(2), MakeMoveCode(8, 6, 3));
  EXPECT_EQ(r.Send("e1e3"), Lines{"Illegal move: e1e3"});
  r.Send("b8c6");
  EXPECT_EQ(e.PositionHistory.Count(), 2);
  r.Send("f3e5");  // a capture by a piece empties it as well
  EXPECT_EQ(e.PositionHistory.Count(), 0);
  r.Send("c6b8");
  EXPECT_EQ(e.PositionHistory.Count(), 1);
}

TEST(TakeOpponentMove, CountsTheEngineColourWhicheverSideMoved) {
  Referee r;
  r.Send("white");
  EXPECT_EQ(r.Send("e2e4"), Counted(30));  // white's own moves after 1. e4
  EXPECT_EQ(r.Send("e7e5"), Counted(29));
  Referee black;
  EXPECT_EQ(black.Send("e7e5"), Counted(30));  // black may move first: the piece decides
  EXPECT_EQ(black.e().MoveHistory.At(0), MakeMoveCode(29, 5, 5));
}

TEST(TakeOpponentMove, IllegalLinesOfEveryKindChangeNothing) {
  Referee r;
  r.Send("e2e4");
  r.Send("e7e5");
  // Blocked, empty origin, own piece taken, promotion letter on a move that
  // does not promote, castling through pieces, impossible piece moves,
  // malformed squares, a null move.
  const std::vector<std::string> lines = {"e4e5", "e3e4", "d1d2",  "a1a3",  "f1b5q", "f1b5n", "e1g1", "g1g3",
                                          "e2",   "e2 e4", "e2-e4", "h2h5", "b1b3",  "a2a2"};
  for (const std::string& line : lines) ExpectRefused(r, line);
  // Characters beyond the fifth, and upper-case letters, are ignored.
  EXPECT_EQ(r.Send("f1b5Q"), Counted(26));  // d7 is pinned, b5 is taken
  Referee s;
  EXPECT_EQ(s.Send("e2e4whatever"), Counted(20));
  Referee t;
  EXPECT_EQ(t.Send("i2i4"), Counted(20));  // unknown file letters read as file a: a2a4
  EXPECT_EQ(t.e().GamePosition.board[1][4], 9);
}

TEST(TakeOpponentMove, RanksOffTheBoardAreRejectedWithoutReading) {
  Referee r;
  const GameSnapshot before(r.e());
  // Lines the command table never passes on, given to the intake directly:
  // no rank digit 1 to 8 in second or fourth place.
  const std::vector<std::string> lines = {"e9e4", "e0e4", "e2e9", "e2e0", "e2e+", "e2e-", "e-e4", "",
                                          "e",    "e2e",  "\xFF\xFF\xFF\xFF", std::string("e2e4", 2) + std::string(2, '\0')};
  for (const std::string& line : lines) {
    EXPECT_EQ(r.Take(line), Lines{"Illegal move: " + line});
    EXPECT_TRUE(before.Same(r.e()));
  }
}

TEST(TakeOpponentMove, HostileBytesAndLongLines) {
  Referee r;
  ExpectRefused(r, std::string("e2\0\0", 4));
  ExpectRefused(r, "\xE5" "2\xE5" "5");  // reads as a2a5
  ExpectRefused(r, "e2e5" + std::string(100000, 'z'));
  EXPECT_EQ(r.Send("e2e4" + std::string(100000, '\0')), Counted(20));
  Referee a;
  EXPECT_EQ(a.Send("\xE5" "2\xE5" "4"), Counted(20));  // a2a4
  EXPECT_EQ(a.e().GamePosition.board[1][4], 9);
}

TEST(TakeOpponentMove, EnPassantAcceptedOnlyRightAfterTheDoubleStep) {
  Referee r;
  for (const char* m : {"e2e4", "a7a6", "e4e5", "d7d5"}) r.Send(m);
  EXPECT_EQ(r.Send("e5d6"), (Lines{"en passant", "mosse possibili 28"}));
  const Position& p = r.e().GamePosition;
  EXPECT_EQ(p.board[4][5], 0);
  EXPECT_EQ(p.board[4][6], 16);
  EXPECT_EQ(p.pieceValue[28], 0);
  EXPECT_EQ(r.e().MoveHistory.At(4), MakeMoveCode(16, 4, 6, 28));
  ExpectConsistent(r.e(), "e5d6");

  // No pawn passed: "en passant" is written, then the move is refused.
  Referee late;
  for (const char* m : {"e2e4", "d7d5", "e4e5", "d5d4", "h2h3", "h7h6", "a2a3"}) late.Send(m);
  ExpectRefused(late, "e5d6", {"en passant"});
  ExpectRefused(late, "e5f6", {"en passant"});

  // One move too late: the right has passed.
  Referee gone;
  for (const char* m : {"e2e4", "a7a6", "e4e5", "d7d5", "h2h3", "h7h6"}) gone.Send(m);
  EXPECT_EQ(gone.Send("e5d6"), (Lines{"en passant", "Illegal move: e5d6"}));

  // Black takes en passant.
  Referee b;
  for (const char* m : {"a2a3", "d7d5", "a3a4", "d5d4", "e2e4"}) b.Send(m);
  const Lines out = b.Send("d4e3");
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0], "en passant");
  EXPECT_EQ(b.e().GamePosition.board[5][4], 0);
  EXPECT_EQ(b.e().GamePosition.board[5][3], 28);
  EXPECT_EQ(b.e().GamePosition.pieceValue[16], 0);
  ExpectConsistent(b.e(), "d4e3");
}

TEST(TakeOpponentMove, DiagonalPawnStepTowardsTheEdgeRank) {
  // A pawn stepping diagonally onto its own back rank would probe beyond the
  // board for the pawn taken en passant: refused at once.
  Referee r;
  r.e().GamePosition = PositionBuilder()
                           .Put(1, 'e', 1, KingValue)
                           .Put(17, 'e', 8, -KingValue)
                           .Put(16, 'e', 2, PawnValue)
                           .Put(29, 'd', 7, -PawnValue)
                           .Done();
  for (const char* line : {"e2d1", "d7e8", "d7c8"}) ExpectRefused(r, line);
  // On the board, the probe is made and "en passant" written as usual.
  for (const char* line : {"e2f3", "d7c6"}) ExpectRefused(r, line, {"en passant"});
}

Position PromotionPosition() {
  return PositionBuilder()
      .Put(1, 'e', 1, KingValue)
      .Put(17, 'e', 6, -KingValue)
      .Put(10, 'b', 7, PawnValue)
      .Put(19, 'a', 8, -RookValue)
      .Put(26, 'g', 2, -PawnValue)
      .Put(4, 'h', 1, RookValue)
      .Done();
}

TEST(TakeOpponentMove, PromotionsFollowTheEngineColour) {
  struct Case {
    bool engineWhite;
    const char* line;
    int value;  // of the pawn afterwards, 0 = refused
  };
  // Engine black: the opponent's promotion codes are white's. Engine white:
  // the codes are black's, so a black pawn promotes and a white one typed
  // the same way does not.
  const Case cases[] = {
      {false, "b7b8q", QueenValue}, {false, "b7b8r", RookValue}, {false, "b7b8b", BishopValue},
      {false, "b7a8n", KnightValue}, {false, "b7b8", 0},         {false, "b7b8Q", 0},
      {false, "b7b8k", 0},           {false, "b7b8p", 0},        {false, "g2h1q", 0},
      {true, "g2g1q", -QueenValue},  {true, "g2h1n", -KnightValue}, {true, "g2g1", 0},
      {true, "b7b8q", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.line) + (c.engineWhite ? " (engine white)" : " (engine black)"));
    Referee r;
    if (c.engineWhite) r.Send("white");
    r.e().GamePosition = PromotionPosition();
    const GameSnapshot before(r.e());
    const Lines out = r.Send(c.line);
    if (c.value == 0) {
      EXPECT_EQ(out, Lines{std::string("Illegal move: ") + c.line});
      EXPECT_TRUE(before.Same(r.e()));
      continue;
    }
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(r.e().GamePosition.pieceValue[c.engineWhite ? 26 : 10], c.value);
    EXPECT_EQ(r.e().PositionHistory.Count(), 0);
    ExpectConsistent(r.e(), c.line);
  }
}

Position CastlingPosition() {
  Position p = PositionBuilder()
                   .Put(1, 'e', 1, KingValue)
                   .Put(3, 'a', 1, RookValue)
                   .Put(4, 'h', 1, RookValue)
                   .Put(17, 'e', 8, -KingValue)
                   .Put(19, 'a', 8, -RookValue)
                   .Put(20, 'h', 8, -RookValue)
                   .Done();
  p.whiteShortCastleRight = p.whiteLongCastleRight = 1;
  p.blackShortCastleRight = p.blackLongCastleRight = 1;
  return p;
}

TEST(TakeOpponentMove, CastlingAsTheKingsTwoSquareMove) {
  {
    Referee r;
    r.e().GamePosition = CastlingPosition();
    ASSERT_EQ(r.Send("e1g1").size(), 1u);
    EXPECT_EQ(r.e().GamePosition.board[7][1], 1);
    EXPECT_EQ(r.e().GamePosition.board[6][1], 4);
    ASSERT_EQ(r.Send("e8c8").size(), 1u);
    EXPECT_EQ(r.e().GamePosition.board[3][8], 17);
    EXPECT_EQ(r.e().GamePosition.board[4][8], 19);
    ExpectConsistent(r.e(), "e8c8");
    EXPECT_EQ(r.e().GamePosition.whiteShortCastleRight + r.e().GamePosition.blackLongCastleRight, 0);
  }
  {
    // A black bishop on a6 covers f1: no short castling. The one on h7
    // covers b1, which long castling does not need.
    Referee r;
    Position p = PositionBuilder()
                     .Put(1, 'e', 1, KingValue)
                     .Put(3, 'a', 1, RookValue)
                     .Put(4, 'h', 1, RookValue)
                     .Put(17, 'e', 8, -KingValue)
                     .Put(21, 'a', 6, -BishopValue)
                     .Put(22, 'h', 7, -BishopValue)
                     .Done();
    p.whiteShortCastleRight = p.whiteLongCastleRight = 1;
    r.e().GamePosition = p;
    ExpectRefused(r, "e1g1");
    EXPECT_EQ(r.Send("e1c1").size(), 1u);
    EXPECT_EQ(r.e().GamePosition.board[3][1], 1);
  }
  {
    // Through moves from the start, for both colours.
    Referee r;
    Play(r, {"e2e4", "e7e5", "g1f3", "b8c6", "f1c4", "g8f6", "e1g1", "f8c5", "d2d3", "e8g8"});
    EXPECT_EQ(r.e().GamePosition.board[7][1], 1);
    EXPECT_EQ(r.e().GamePosition.board[7][8], 17);
    EXPECT_EQ(r.e().GamePosition.board[6][8], 20);
    ExpectConsistent(r.e(), "both castled");
  }
  {
    // The bishop on a6 covers f1 once e2 and f1 are empty.
    Referee r;
    Play(r, {"e2e4", "b7b6", "g2g3", "c8a6", "f1h3", "a7a5", "g1f3", "a5a4"});
    ExpectRefused(r, "e1g1");
  }
  {
    // In check from b4: no castling, but the king may step to f1.
    Referee r;
    Play(r, {"e2e4", "e7e5", "g1f3", "b8c6", "f1c4", "g8f6", "d2d3", "f8b4"});
    EXPECT_NE(r.e().GamePosition.checkingPiece, 0);
    ExpectRefused(r, "e1g1");
    EXPECT_EQ(r.Send("e1f1").size(), 1u);
  }
}

TEST(TakeOpponentMove, MateAnnouncedForEachEngineColour) {
  // Fool's mate mates white: the engine playing white is mated.
  Referee white;
  white.Send("white");
  const Lines out = white.SendAll({"f2f3", "e7e5", "g2g4", "d8h4"});
  ASSERT_GE(out.size(), 2u);
  EXPECT_EQ(Lines(out.end() - 2, out.end()), (Lines{"mosse possibili -2", "0-1 {Black win}"}));
  EXPECT_NE(white.e().GamePosition.checkingPiece, 0);
  // The same mate against black, the engine's colour by default.
  Referee black;
  const Lines out2 = black.SendAll({"e2e4", "f7f6", "d2d4", "g7g5", "d1h5"});
  EXPECT_EQ(Lines(out2.end() - 2, out2.end()), (Lines{"mosse possibili -2", "1-0 {white win}"}));
  EXPECT_EQ(black.e().GamePosition.checkingPiece, 2);
  // Nothing is reset: the position stays and further lines are refereed.
  EXPECT_EQ(black.e().MoveHistory.Count(), 5);
  EXPECT_EQ(black.Send("e8f7"), Lines{"Illegal move: e8f7"});
}

TEST(TakeOpponentMove, StalemateAndInsufficientMaterial) {
  Referee r;
  const Lines out = r.SendAll({"e2e3", "a7a5", "d1h5", "a8a6", "h5a5", "h7h5", "h2h4", "a6h6", "a5c7", "f7f6",
                               "c7d7", "e8f7", "d7b7", "d8d3", "b7b8", "d3h7", "b8c8", "f7g6", "c8e6"});
  ASSERT_EQ(out.size(), 20u);
  EXPECT_EQ(out[18], "mosse possibili -1");
  EXPECT_EQ(out[19], "1/2-1/2 {Stalemate}");

  // A capture that leaves king and knight against king: no result here,
  // the engine's turn reports it.
  Referee k;
  k.e().GamePosition = PositionBuilder()
                           .Put(1, 'e', 1, KingValue)
                           .Put(17, 'e', 8, -KingValue)
                           .Put(7, 'b', 1, KnightValue)
                           .Put(27, 'c', 3, -PawnValue)
                           .Done();
  EXPECT_EQ(k.Send("b1c3"), Counted(-4));
  // The game is drawn, yet the moves are still legal and still refereed.
  EXPECT_EQ(k.Send("e8e7"), Counted(-4));
  EXPECT_EQ(k.Send("e1e2"), Counted(-4));
  ExpectRefused(k, "e2e4");
}

TEST(TakeOpponentMove, LegalMovesAreTakenAfterBareKingsForBothMovers) {
  // A whole game down to bare kings: the kings still walk, either colour.
  Referee r;
  Play(r, {"b2b4", "a7a5", "b4a5", "a8a5", "b1a3", "a5a3", "c1a3", "c7c5", "a3c5", "d7d6", "c5d6", "e7d6",
           "h2h3", "c8h3", "h1h3", "h7h6", "h3h6", "g7h6", "g2g4", "f7f5", "g4f5", "d8b6", "e2e3", "b6e3",
           "f2e3", "b8a6", "f1a6", "b7a6", "f5f6", "g8f6", "e3e4", "f6e4", "c2c3", "e4c3", "d2c3", "h6h5",
           "d1d6", "f8d6", "a2a3", "d6a3", "a1a3", "a6a5", "a3a5", "e8d8", "a5h5", "h8h5", "g1h3", "h5h3",
           "e1f1", "h3c3", "f1g2", "c3f3", "g2f3"});
  EXPECT_EQ(r.Send("f3e3"), Counted(-4));
  EXPECT_EQ(r.Send("d8e7"), Counted(-4));
  ExpectRefused(r, "e3e5");
  ExpectConsistent(r.e(), "the bare kings' moves");
  // The engine playing white counts its own moves the same way.
  r.Send("white");
  EXPECT_EQ(r.Send("e3d3"), Counted(-4));
}

// Every move of `moves` is taken with no result line; then `last` brings
// the draw by repetition.
void ExpectRepetitionOnlyAt(const std::vector<const char*>& moves, const char* last) {
  Referee r;
  for (const char* m : moves) ASSERT_EQ(r.Send(m).size(), 1u) << "after " << m;
  const Lines out = r.Send(last);
  ASSERT_EQ(out.size(), 2u) << last;
  EXPECT_EQ(out[1], "1/2-1/2 {Draw by repetition}");
}

TEST(TakeOpponentMove, RepetitionCountsOnlyTheSameSideToMove) {
  // A queen's triangle against a knight's shuffle: the board comes back
  // every six half-moves, with the other side to move every other time. The
  // third occurrence with the same side to move is the 27th half-move.
  std::vector<const char*> white = {"e2e4", "e7e5"};
  std::vector<const char*> black = {"e2e4", "e7e5"};
  for (int round = 0; round < 2; ++round) {
    for (const char* m : {"d1f3", "g8f6", "f3g4", "f6g8", "g4d1", "g8f6", "d1f3", "f6g8", "f3g4", "g8f6", "g4d1",
                          "f6g8"})
      white.push_back(m);
    for (const char* m : {"g1f3", "d8f6", "f3g1", "f6g5", "g1f3", "g5d8", "f3g1", "d8f6", "g1f3", "f6g5", "f3g1",
                          "g5d8"})
      black.push_back(m);
  }
  ExpectRepetitionOnlyAt(white, "d1f3");
  ExpectRepetitionOnlyAt(black, "g1f3");
}

TEST(TakeOpponentMove, RepetitionCountsOnlyTheSameCastlingRights) {
  // A rook goes out and back: the board is the one of move 2, 6 and 10, but
  // the rights of move 2 are gone. The third equal position is move 14.
  ExpectRepetitionOnlyAt({"g1f3", "g8f6", "h1g1", "h8g8", "g1h1", "g8h8", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1",
                          "f6g8", "g1f3"},
                         "g8f6");
  ExpectRepetitionOnlyAt({"g1f3", "g8f6", "f3g1", "h8g8", "g1f3", "g8h8", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1",
                          "f6g8", "g1f3"},
                         "g8f6");
}


TEST(TakeOpponentMove, ThreefoldRepetitionByKnightMoves) {
  Referee r;
  for (int round = 0; round < 2; ++round) Play(r, {"g1f3", "g8f6", "f3g1", "f6g8"});
  // The ninth move brings the position after g1f3 for the third time.
  EXPECT_EQ(r.Send("g1f3"), (Lines{"mosse possibili 20", "1/2-1/2 {Draw by repetition}"}));
  EXPECT_EQ(r.e().PositionHistory.Count(), 9);

  // A pawn move in between starts the count again.
  Referee p;
  Play(p, {"g1f3", "g8f6", "f3g1", "f6g8", "a2a3", "g1f3", "g8f6", "f3g1", "f6g8"});
  EXPECT_EQ(p.Send("g1f3").size(), 1u);
}

TEST(TakeOpponentMove, MateOrStalemateOutranksARepetition) {
  // White alone moves, back and forth, so that the final position is both
  // on the board for the third time and mate (or stalemate) for the engine.
  struct Case {
    Position start;
    std::vector<std::string> shuffle;
    Lines last;
  };
  const Case cases[] = {
      {PositionBuilder()
           .Put(1, 'g', 6, KingValue)
           .Put(3, 'a', 1, RookValue)
           .Put(17, 'h', 8, -KingValue)
           .Done(),
       {"a1a8", "a8a1", "a1a8", "a8a1", "a1a8"},
       {"mosse possibili -2", "1-0 {white win}"}},
      {PositionBuilder()
           .Put(1, 'a', 1, KingValue)
           .Put(2, 'e', 6, QueenValue)
           .Put(17, 'h', 8, -KingValue)
           .Done(),
       {"e6f7", "f7e6", "e6f7", "f7e6", "e6f7"},
       {"mosse possibili -1", "1/2-1/2 {Stalemate}"}},
  };
  for (const Case& c : cases) {
    Referee r;
    r.e().GamePosition = c.start;
    for (size_t i = 0; i + 1 < c.shuffle.size(); ++i) r.Send(c.shuffle[i]);
    EXPECT_EQ(r.Send(c.shuffle.back()), c.last) << c.last.back();
    // The position is indeed there for the third time.
    EXPECT_TRUE(KeySeenThrice(r.e(), PositionKey(r.e().GamePosition, Black))) << c.last.back();
    // The first time it was reached gave the same announcement.
    Referee once;
    once.e().GamePosition = c.start;
    EXPECT_EQ(once.Send(c.shuffle.front()), c.last) << c.last.back();
  }
}

TEST(TakeOpponentMove, AfterResultMovesAreRefereedButNotAnswered) {
  Referee r;
  r.Send("new");
  r.Send("result 0-1 {Black resigns}");
  EXPECT_EQ(r.e().driver.gameActive, 0);
  EXPECT_EQ(r.SendAll({"e2e4", "e7e5", "e1e3"}), (Lines{"mosse possibili 20", "mosse possibili 29",
                                                         "Illegal move: e1e3"}));
  EXPECT_EQ(r.e().MoveHistory.Count(), 2);
  // "new" after a game: initial position, both histories empty.
  r.Send("new");
  EXPECT_TRUE(testing::IsInitial(r.e().GamePosition));
  EXPECT_EQ(r.e().MoveHistory.Count(), 0);
  EXPECT_EQ(r.e().PositionHistory.Count(), 0);
}

}  // namespace
}  // namespace ormedan
