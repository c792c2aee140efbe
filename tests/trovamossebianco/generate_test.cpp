// Legal move generation: order, ordering rules, castling, en passant, pins
// and result codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "declare/model.h"
#include "support/fakes.h"
#include "support/generation_walk.h"
#include "support/movetext.h"
#include "generation/generate.h"

namespace ormedan {
namespace {

using testing::ChildMoves;
using testing::LoadFen;
using testing::MoveFromText;
using testing::MoveText;
using Moves = std::vector<std::string>;

// The pseudo-legal list of the last generation, as move texts.
Moves ListedMoves(const Engine& e, const Position& from) {
  Moves out;
  for (int i = 0; i < e.MoveCount; ++i) out.push_back(MoveText(from, e.MoveList[i]));
  return out;
}

bool Contains(const Moves& moves, const std::string& m) { return std::find(moves.begin(), moves.end(), m) != moves.end(); }

// Generation at ply 1 from a FEN position put into GamePosition.
struct AtRoot {
  explicit AtRoot(const char* fen) {
    position = LoadFen(fen, &side);
    rig.e().GamePosition = position;
  }
  int Generate() { return testing::Generate(rig.e(), side, 1, 1); }
  Moves Children(int n) { return ChildMoves(rig.e(), position, 1, n); }
  Moves Listed() { return ListedMoves(rig.e(), position); }
  testing::Rig rig;
  Position position{};
  Colour side = White;
};

TEST(GenerateMoves, InitialPositionChildrenComeInReverseGenerationOrder) {
  testing::Rig rig;
  Engine& e = rig.e();
  SetUpNewGame(e);
  const Position start = e.GamePosition;
  ASSERT_EQ(GenerateMoves<White>(e, 1, 1), 20);
  EXPECT_EQ(e.MoveCount, 20);
  const Moves expected = {"g1f3", "g1h3", "b1a3", "b1c3", "e2e4", "e2e3", "d2d4", "d2d3", "f2f4", "f2f3",
                          "c2c4", "c2c3", "g2g4", "g2g3", "b2b4", "b2b3", "h2h4", "h2h3", "a2a4", "a2a3"};
  EXPECT_EQ(ChildMoves(e, start, 1, 20), expected);
  EXPECT_EQ(ListedMoves(e, start), expected);
  EXPECT_EQ(e.ChildPositions[20][1].lastMove, 0x3109);  // a2-a3 by PieceId 9
  EXPECT_TRUE(testing::SamePosition(e.WorkPosition, start));
  EXPECT_TRUE(testing::SamePosition(e.SavedPosition, start));

  // Black's replies to 1. Nf3, from the first child.
  const Position afterNf3 = e.ChildPositions[1][1];
  ASSERT_EQ(GenerateMoves<Black>(e, 2, 1), 20);
  const Moves replies = ChildMoves(e, afterNf3, 2, 20);
  EXPECT_EQ(replies.front(), "g8f6");
  EXPECT_EQ(replies.back(), "a7a6");
  EXPECT_TRUE(testing::SamePosition(e.ChildPositions[1][1], afterNf3)) << "ply 1 must stay untouched";
}

TEST(GenerateMoves, KillerFlagsOfThePlyParityBringQuietMovesForwardInGenerationOrder) {
  testing::Rig rig;
  Engine& e = rig.e();
  SetUpNewGame(e);
  const Position start = e.GamePosition;
  const int32_t b1c3 = MoveFromText(start, "b1c3"), e2e4 = MoveFromText(start, "e2e4");
  const int32_t a2a3 = MoveFromText(start, "a2a3");
  e.OddPlyKillers[b1c3 & 0xFFFF] = 1;
  e.OddPlyKillers[e2e4 & 0xFFFF] = 1;
  e.EvenPlyKillers[a2a3 & 0xFFFF] = 1;

  ASSERT_EQ(GenerateMoves<White>(e, 1, 1), 20);
  Moves children = ChildMoves(e, start, 1, 20);
  EXPECT_EQ(children[0], "e2e4");  // pawns are generated before knights
  EXPECT_EQ(children[1], "b1c3");
  EXPECT_EQ(children[2], "g1f3");
  EXPECT_EQ(children[3], "g1h3");
  EXPECT_EQ(children[4], "b1a3");
  EXPECT_EQ(children[5], "e2e3");
  EXPECT_EQ(children[19], "a2a3");  // an even-ply flag means nothing at ply 1

  // The same position at ply 2 reads the even-ply flags only.
  e.ChildPositions[1][1] = start;
  ASSERT_EQ(GenerateMoves<White>(e, 2, 1), 20);
  children = ChildMoves(e, start, 2, 20);
  EXPECT_EQ(children[0], "a2a3");
  EXPECT_EQ(children[1], "g1f3");
  EXPECT_EQ(children[19], "a2a4");
}

TEST(GenerateMoves, PieceCapturesThenPawnCapturesAndPromotionsReversedThenQuietMovesReversed) {
  // King, knight and rook captures; the b7 pawn promotes by push and by
  // capture on both sides; the e4 pawn captures.
  AtRoot t("r1r3k1/1P5b/8/5n2/3NP3/8/5n1R/6K1 w - - 0 1");
  const int n = t.Generate();
  const Moves listed = t.Listed();
  const Moves front(listed.begin(), listed.begin() + 17);
  const Moves expectedFront = {"g1f2", "d4f5", "h2h7", "h2f2",                                  // pieces
                               "e4f5",                                                          // last pawn
                               "b7a8q", "b7a8r", "b7a8b", "b7a8n", "b7c8q", "b7c8r", "b7c8b", "b7c8n",
                               "b7b8q", "b7b8r", "b7b8b", "b7b8n"};
  EXPECT_EQ(front, expectedFront);
  // Quiet moves: the last one generated (rook to g2) first, the king's
  // first step last.
  EXPECT_EQ(listed[17], "h2g2");
  EXPECT_EQ(listed.back(), "g1g2");
  // h1 is covered by the f2 knight: listed, but not a child.
  EXPECT_TRUE(Contains(listed, "g1h1"));
  EXPECT_FALSE(Contains(t.Children(n), "g1h1"));
  EXPECT_EQ(n, t.rig.e().MoveCount - 1);
  // The children keep the list order.
  const Moves children = t.Children(n);
  EXPECT_EQ(Moves(children.begin(), children.begin() + 17), expectedFront);
}

TEST(GenerateMoves, CastlingNeedsRightsEmptySquaresSafePassageAndTheOriginalRook) {
  struct Case {
    const char* fen;
    bool shortCastle, longCastle;
  };
  const Case cases[] = {
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", true, true},
      {"r3k2r/8/8/8/8/8/4r3/R3K2R w KQkq - 0 1", false, false},  // in check
      {"r3kr2/8/8/8/8/8/8/R3K2R w KQq - 0 1", false, true},      // f1 attacked
      {"r3k1r1/8/8/8/8/8/8/R3K2R w KQq - 0 1", false, true},     // g1 attacked
      {"r2rk3/8/8/8/8/8/8/R3K2R w KQk - 0 1", true, false},      // d1 attacked
      {"r1r1k3/8/8/8/8/8/8/R3K2R w KQk - 0 1", true, false},     // c1 attacked
      {"rr2k3/8/8/8/8/8/8/R3K2R w KQk - 0 1", true, true},       // b1 attacked does not matter
      {"r3k2r/8/8/8/8/8/8/RN2K1NR w KQkq - 0 1", false, false},  // pieces in between
      {"r3k2r/8/8/8/8/8/8/R3K2R w - - 0 1", false, false},       // no rights
      {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", true, true},      // black, both sides
      {"r3k2r/8/8/8/8/8/8/R3KR2 b kq - 0 1", false, true},       // f8 attacked
      {"r3k2r/8/8/8/8/8/8/1R2K2R b kq - 0 1", true, true},       // b8 attacked
      {"r3k2r/8/8/8/8/8/8/2R1K2R b kq - 0 1", true, false},      // c8 attacked
  };
  for (const Case& c : cases) {
    AtRoot t(c.fen);
    const int n = t.Generate();
    ASSERT_GT(n, 0) << c.fen;
    const Moves children = t.Children(n);
    const bool white = t.side == White;
    const Moves listed = t.Listed();
    EXPECT_EQ(Contains(children, white ? "e1g1" : "e8g8"), c.shortCastle) << c.fen;
    EXPECT_EQ(Contains(children, white ? "e1c1" : "e8c8"), c.longCastle) << c.fen;
    EXPECT_EQ(Contains(listed, white ? "e1g1" : "e8g8"), c.shortCastle) << c.fen;
    EXPECT_EQ(Contains(listed, white ? "e1c1" : "e8c8"), c.longCastle) << c.fen;
    if (c.shortCastle) {
      const int32_t code = white ? WhiteShortCastle : BlackShortCastle;
      bool found = false;
      for (int i = 1; i <= n; ++i) found |= t.rig.e().ChildPositions[i][1].lastMove == code;
      EXPECT_TRUE(found) << c.fen;
    }
  }
}

TEST(GenerateMoves, NoCastlingWhenTheCornerHoldsAnotherRook) {
  // Rook 4 gone, a promoted rook (PieceId 9) on h1, the right still set.
  Position p = LoadFen("4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1");
  ASSERT_EQ(p.board[8][1], 4);
  p.pieceValue[4] = 0;
  p.pieceValue[9] = RookValue;
  p.pieceFile[9] = 8;
  p.pieceRank[9] = 1;
  p.board[8][1] = 9;
  for (int k = 1; k <= p.orthogonalCount[White]; ++k)
    if (p.orthogonalList[White][k] == 4) p.orthogonalList[White][k] = 9;
  p.whiteShortCastleRight = 1;
  ASSERT_TRUE(CheckPosition(p));
  testing::Rig rig;
  Engine& e = rig.e();
  e.GamePosition = p;
  const int n = GenerateMoves<White>(e, 1, 1);
  const Moves listed = ListedMoves(e, p);
  EXPECT_FALSE(Contains(listed, "e1g1"));
  EXPECT_TRUE(Contains(ChildMoves(e, p, 1, n), "e1c1"));
}

TEST(GenerateMoves, EnPassantOnlyBesideTheDoubleStepAndNotThroughAPin) {
  {
    AtRoot t("4k3/8/8/1PpP1P2/8/8/8/4K3 w - c6 0 1");
    const int n = t.Generate();
    const Moves children = t.Children(n);
    EXPECT_TRUE(Contains(children, "b5c6"));
    EXPECT_TRUE(Contains(children, "d5c6"));
    int diagonal = 0;
    for (const std::string& m : children) diagonal += m[0] != m[2] && m[1] == '5';
    EXPECT_EQ(diagonal, 2) << "only the pawns beside c5 capture";
    const int32_t code = MoveFromText(t.position, "d5c6");
    EXPECT_EQ(MoveCaptured(code), t.position.board[3][5]);
    bool found = false;
    for (int i = 1; i <= n; ++i) {
      const Position& c = t.rig.e().ChildPositions[i][1];
      if (c.lastMove != code) continue;
      found = true;
      EXPECT_EQ(c.board[3][5], 0);
      EXPECT_EQ(c.board[3][6], t.position.board[4][5]);
    }
    EXPECT_TRUE(found);
  }
  {
    // A pawn off the fifth rank does not take en passant, even beside a pawn.
    AtRoot t("4k3/8/8/2p5/8/2pP4/8/4K3 w - c6 0 1");
    t.Generate();
    EXPECT_FALSE(Contains(t.Listed(), "d3c4"));
  }
  {
    // Black takes en passant from the fourth rank.
    AtRoot t("4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1");
    EXPECT_TRUE(Contains(t.Children(t.Generate()), "d4e3"));
  }
  {
    // Taking en passant would empty the fifth rank between king and rook.
    AtRoot t("8/8/8/K1pP3r/8/8/8/4k3 w - c6 0 1");
    const int n = t.Generate();
    EXPECT_TRUE(Contains(t.Listed(), "d5c6"));
    EXPECT_FALSE(Contains(t.Children(n), "d5c6"));
  }
}

TEST(GenerateMoves, PinnedPiecesStayListedButOnlyMovesAlongThePinAreChildren) {
  {
    AtRoot t("4k3/4r3/8/8/8/8/4N3/4K3 w - - 0 1");
    const int n = t.Generate();
    const Moves children = t.Children(n);
    EXPECT_EQ(t.rig.e().MoveCount, n + 6) << "six knight moves listed, none legal";
    for (const std::string& m : children) EXPECT_EQ(m.substr(0, 2), "e1");
  }
  {
    AtRoot t("4k3/4r3/8/8/8/8/4R3/4K3 w - - 0 1");
    const Moves children = t.Children(t.Generate());
    EXPECT_TRUE(Contains(children, "e2e7"));
    EXPECT_TRUE(Contains(children, "e2e3"));
    EXPECT_FALSE(Contains(children, "e2d2"));
    EXPECT_FALSE(Contains(children, "e2h2"));
  }
}

TEST(GenerateMoves, CheckingPieceIsTheMoversCheckElseTheLastSliderCheck) {
  // Direct rook checks, the castled rook giving check, and a quiet move.
  AtRoot t("5k2/8/8/8/8/8/6B1/R3K2R w KQ - 0 1");
  const int n = t.Generate();
  int found = 0;
  for (int i = 1; i <= n; ++i) {
    const Position& c = t.rig.e().ChildPositions[i][1];
    const std::string m = MoveText(t.position, c.lastMove);
    const int expected = m == "a1a8" ? 3 : m == "e1g1" || m == "h1f1" ? 4 : m == "g2f3" ? 0 : -1;
    if (expected < 0) continue;
    ++found;
    EXPECT_EQ(c.checkingPiece, expected) << m;
  }
  EXPECT_EQ(found, 4);
  // The bishop uncovers the rook on f1; from c5 it checks by itself.
  AtRoot d("5k2/8/8/8/8/8/5B2/5RK1 w - - 0 1");
  const int m = d.Generate();
  int bishopMoves = 0;
  for (int i = 1; i <= m; ++i) {
    const Position& c = d.rig.e().ChildPositions[i][1];
    const std::string text = MoveText(d.position, c.lastMove);
    if (text.substr(0, 2) != "f2") continue;
    ++bishopMoves;
    EXPECT_EQ(c.checkingPiece, text == "f2c5" ? d.position.board[6][2] : d.position.board[6][1]) << text;
  }
  EXPECT_EQ(bishopMoves, 8);
}

// Only after one side has moved twice (the driver keeps no turns) can the
// mover attack the enemy king; taking it is no move.
TEST(GenerateMoves, AKingIsNeverTaken) {
  AtRoot root("4k3/8/8/8/8/8/8/4RK2 b - - 0 1");  // black in check by the rook
  root.side = White;                               // and white moves again
  const int n = root.Generate();
  ASSERT_EQ(n, 14);  // king f1: 4 squares; rook e1: e2..e7 and d1..a1
  EXPECT_TRUE(Contains(root.Listed(), "e1e8"));
  EXPECT_FALSE(Contains(root.Children(n), "e1e8"));
}

TEST(GenerateMoves, ResultCodesForMateStalemateAndDeadMaterial) {
  {
    AtRoot t("7k/6Q1/6K1/8/8/8/8/8 b - - 0 1");
    EXPECT_EQ(t.Generate(), -2);
    EXPECT_GT(t.rig.e().MoveCount, 0);
  }
  {
    AtRoot t("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
    EXPECT_EQ(t.Generate(), -1);
  }
  // Dead material at ply 1, for either side to move, before any generation:
  // bare kings, one minor piece, bishops on squares of one colour.
  for (const char* fen : {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", "4k3/8/8/8/8/8/8/4K3 b - - 0 1",
                          "4k3/8/8/8/8/8/8/2B1K3 b - - 0 1", "4k3/8/8/8/8/8/8/2N1K3 w - - 0 1",
                          "4kn2/8/8/8/8/8/8/4K3 w - - 0 1", "2b1k3/8/8/8/8/8/8/4K3 b - - 0 1",
                          "4kb2/8/8/8/8/8/8/2B1K3 b - - 0 1", "2b1k3/8/8/8/8/8/8/3BK3 w - - 0 1"}) {
    AtRoot t(fen);
    t.rig.e().MoveCount = 77;
    EXPECT_EQ(t.Generate(), -4) << fen;
    EXPECT_EQ(t.rig.e().MoveCount, 0) << fen;
    EXPECT_TRUE(testing::SamePosition(t.rig.e().WorkPosition, t.position)) << fen;
  }
  // Enough to play on: mate is still possible, if only with help. Knight
  // against knight or bishop, and bishops on unlike squares, either colour.
  for (const char* fen : {"4k3/8/8/8/8/8/8/1NN1K3 w - - 0 1", "4k3/8/8/8/8/8/8/R3K3 w - - 0 1",
                          "4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", "4k3/8/8/8/8/8/8/3QK3 b - - 0 1",
                          "4k3/8/8/8/8/8/8/1BB1K3 w - - 0 1", "8/8/3n4/8/8/3N4/8/K6k w - - 0 1",
                          "8/8/3n4/8/8/3N4/8/K6k b - - 0 1", "8/8/3n4/8/8/3B4/8/K6k w - - 0 1",
                          "8/8/3b4/8/8/3N4/8/K6k b - - 0 1", "2b5/8/8/8/8/8/8/K1B4k w - - 0 1",
                          "2B5/8/8/8/8/8/8/K1b4k b - - 0 1"}) {
    AtRoot t(fen);
    EXPECT_GT(t.Generate(), 0) << fen;
  }
  // The referee's test of a typed move lists the moves whatever the material.
  {
    AtRoot t("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
    EXPECT_EQ(GenerateMoves<White>(t.rig.e(), 1, 1, MaterialTest::Skip), 5);
  }
  // The same bare kings below the root generate their king moves.
  testing::Rig rig;
  Engine& e = rig.e();
  e.ChildPositions[1][1] = LoadFen("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
  EXPECT_EQ(GenerateMoves<White>(e, 2, 1), 5);
  EXPECT_EQ(e.MoveCount, 5);
  e.ChildPositions[3][2] = LoadFen("8/8/8/8/8/8/8/k6K b - - 0 1");
  EXPECT_EQ(GenerateMoves<Black>(e, 3, 3), 3);
}

TEST(GenerateMoves, RichPositionsFitTheBuffers) {
  // 218 legal moves, the most any position has; and a side with nine queens
  // and pawns ready to promote.
  struct Case {
    const char* fen;
    int moves;
  };
  const Case cases[] = {
      {"R6R/3Q4/1Q4Q1/4Q3/2Q4Q/Q4Q2/pp1Q4/kBNN1KB1 w - - 0 1", 218},
      {"3Q4/1Q4Q1/4Q3/2Q4R/Q4Q2/3Q4/1Q4Rp/1K1BBNNk w - - 0 1", 218},
  };
  for (const Case& c : cases) {
    AtRoot t(c.fen);
    EXPECT_EQ(t.Generate(), c.moves) << c.fen;
    EXPECT_LE(t.rig.e().MoveCount, MaxPseudoMoves);
  }
}

}  // namespace
}  // namespace ormedan
