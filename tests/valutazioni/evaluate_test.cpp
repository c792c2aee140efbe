#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "declare/model.h"
#include "support/builder.h"
#include "support/fakes.h"
#include "support/fen_load.h"
#include "valutazioni/evaluate.h"

namespace ormedan {
namespace {

using testing::LoadFen;
using testing::MirrorFen;

class EvaluateTest : public ::testing::Test {
 protected:
  int ScorePosition(const Position& p, int base = 0) {
    e().GamePosition = p;
    return Evaluate(e(), 0, 0, base);
  }
  int Score(const std::string& fen, int phase, int base = 0) {
    Position p = LoadFen(fen);
    p.gamePhase = static_cast<uint8_t>(phase);
    return ScorePosition(p, base);
  }
  // What a phase adds over the opening (where no phase term applies).
  int PhaseGain(const std::string& fen, int phase) { return Score(fen, phase) - Score(fen, 1); }

  struct Case {
    const char* fen;
    int value;
  };
  // Each position scores `value` in the phase, its mirror image -value.
  void ExpectScores(int phase, std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
      EXPECT_EQ(Score(c.fen, phase), c.value) << c.fen;
      EXPECT_EQ(Score(MirrorFen(c.fen), phase), -c.value) << c.fen << " mirrored";
    }
  }
  // The phase adds `value` to each position and -value to its mirror image.
  void ExpectGains(int phase, std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
      EXPECT_EQ(PhaseGain(c.fen, phase), c.value) << c.fen;
      EXPECT_EQ(PhaseGain(MirrorFen(c.fen), phase), -c.value) << c.fen << " mirrored";
    }
  }
  Engine& e() { return rig.e(); }
  testing::Rig rig;
};

// ---- The elementary endings ------------------------------------------------

TEST_F(EvaluateTest, RookAgainstLoneKingIgnoresTheBase) {
  const std::string fen = "7k/8/8/8/8/8/8/R3K3 w - - 0 1";
  for (int base : {0, 500, -12345}) {
    EXPECT_EQ(Score(fen, 2, base), 10200) << base;
    // Mirrored, the lone king stands on h1, which counts as two edges.
    EXPECT_EQ(Score(MirrorFen(fen), 2, base), -10400) << base;
  }
}

TEST_F(EvaluateTest, LoneOfficerBonuses) {
  // The edge bonus of the lone king is not mirror-symmetric: a8 and h1
  // collect 400, a1 and h8 200; b7 collects 200, b2 100.
  struct LoneCase {
    const char* fen;
    int score, mirrored;
  } cases[] = {
      // rook on the d-file +100, kings two apart +100, lone king on a1 +200
      {"8/8/8/3R4/8/8/8/k1K5 w - - 0 1", 10400, -10600},
      // rook on rank 5 +100, kings three apart +50
      {"8/8/8/7R/8/3k4/8/4K3 w - - 0 1", 10150, -10150},
      // kings four apart +20
      {"8/8/8/4k3/8/8/8/R3K3 w - - 0 1", 10020, -10020},
      // a8 is on file 1 and on rank 8: +400
      {"k7/8/8/8/8/8/8/1R2K3 w - - 0 1", 10400, -10200},
      // a queen is the officer too; b7 is on file 2 and rank 7: +200
      {"8/1k6/8/8/8/8/8/Q3K3 w - - 0 1", 10200, -10100},
      // d2 is on rank 2 only: +100; kings four apart +20
      {"8/8/8/8/5K2/8/3k4/R7 w - - 0 1", 10120, -10120},
  };
  for (const LoneCase& c : cases) {
    EXPECT_EQ(Score(c.fen, 3, 77), c.score) << c.fen;
    EXPECT_EQ(Score(MirrorFen(c.fen), 3, 77), c.mirrored) << c.fen;
  }
}

TEST_F(EvaluateTest, MinorPieceAgainstLoneKingIsZero) {
  for (const char* fen : {"7k/8/8/8/8/8/8/2B1K3 w - - 0 1", "7k/8/8/8/8/8/8/4K1N1 w - - 0 1"}) {
    EXPECT_EQ(Score(fen, 2, 777), 0) << fen;
    EXPECT_EQ(Score(MirrorFen(fen), 2, 777), 0) << fen;
  }
}

TEST_F(EvaluateTest, PawnRaceByTheRuleOfTheSquare) {
  // e6, black king a1: O = 6 with white to move, 5 with black to move.
  EXPECT_EQ(Score("8/8/4P3/8/8/8/8/k3K3 w - - 0 1", 3, 300), 2100);
  EXPECT_EQ(Score("8/8/4P3/8/8/8/8/k3K3 b - - 0 1", 3, 300), 1900);
  // Black king ahead of the pawn but four files away.
  EXPECT_EQ(Score("8/k7/4P3/8/8/8/8/4K3 w - - 0 1", 3), 2100);
  EXPECT_EQ(Score("8/k7/4P3/8/8/8/8/4K3 b - - 0 1", 3), 1900);
  // Black pawn e3: O = 3 with black to move, 2 with white to move; the
  // black rule takes the tempo the other way round from the white one.
  EXPECT_EQ(Score("4k3/8/8/8/8/4p3/8/K7 b - - 0 1", 3), -1900);
  EXPECT_EQ(Score("4k3/8/8/8/8/4p3/8/K7 w - - 0 1", 3), -2100);
  EXPECT_EQ(Score("K7/8/8/8/8/4p3/8/4k3 b - - 0 1", 3), -1900);
}

TEST_F(EvaluateTest, PawnRaceBoundariesAsWritten) {
  // Outside the fixed scores the normal evaluation at phase 1 gives the
  // lone pawn -5 (isolated) for white, +5 for black.
  struct RaceCase {
    const char* fen;
    int value;
  } cases[] = {
      // White e6, white to move, O = 6: the king must stand below rank 6 or
      // more than 2 files away.
      {"8/8/2k1P3/8/8/8/8/4K3 w - - 0 1", -5},    // c6: rank 6, two files
      {"8/8/1k2P3/8/8/8/8/4K3 w - - 0 1", 2100},  // b6: three files
      // Black to move, O = 5: below rank 5 or more than 3 files away.
      {"8/8/4P3/2k5/8/8/8/4K3 b - - 0 1", -5},    // c5: rank 5, two files
      {"8/8/4P3/1k6/8/8/8/4K3 b - - 0 1", -5},    // b5: three files
      {"8/8/4P3/k7/8/8/8/4K3 b - - 0 1", 1900},   // a5: four files
      {"8/8/4P3/8/2k5/8/8/4K3 b - - 0 1", 1900},  // c4: below rank 5
      // Black e3, black to move, O = 3: the white king must stand above
      // rank 3 or more than 3 files away.
      {"4k3/8/8/8/8/1K2p3/8/8 b - - 0 1", 5},      // b3: rank 3, three files
      {"4k3/8/8/8/8/K3p3/8/8 b - - 0 1", -1900},   // a3: four files
      {"4k3/8/8/8/1K6/4p3/8/8 b - - 0 1", -1900},  // b4: above rank 3
      // White to move, O = 2: above rank 2 or more than 2 files away.
      {"4k3/8/8/8/8/4p3/2K5/8 w - - 0 1", 5},      // c2: rank 2, two files
      {"4k3/8/8/8/8/4p3/1K6/8 w - - 0 1", -2100},  // b2: three files
      {"4k3/8/8/8/8/2K1p3/8/8 w - - 0 1", -2100},  // c3: above rank 2
  };
  for (const RaceCase& c : cases) EXPECT_EQ(Score(c.fen, 1), c.value) << c.fen;
}

TEST_F(EvaluateTest, PawnInsideTheSquareGetsTheNormalEvaluation) {
  // f6 catches e6: no fixed score. No material term (no officer, one pawn:
  // divisor 0); the pawn is isolated (-5) and attacked by the king only
  // (-5).
  const std::string fen = "8/8/4Pk2/8/8/8/8/4K3 w - - 0 1";
  EXPECT_EQ(Score(fen, 1, 0), -10);
  EXPECT_EQ(Score(fen, 1, 40), 30);
}

TEST_F(EvaluateTest, SideToMoveComesFromTheLastMove) {
  Position p = LoadFen("8/8/4P3/8/8/8/8/k3K3 w - - 0 1");
  p.gamePhase = 3;
  p.lastMove = MakeMoveCode(17, 1, 1);  // a black king move: white to move
  EXPECT_EQ(ScorePosition(p), 2100);
  p.lastMove = MakeMoveCode(1, 5, 1);  // a white king move: black to move
  EXPECT_EQ(ScorePosition(p), 1900);
  p.lastMove = 0;  // the initial position counts as black to move
  EXPECT_EQ(ScorePosition(p), 1900);
  p.lastMove = MakeMoveCode(16, 5, 6);  // PieceId 16 is white: black to move
  EXPECT_EQ(ScorePosition(p), 1900);
}

// ---- Material and worked values -----------------------------------------------

TEST_F(EvaluateTest, InitialPositionIsMinusThirtyInEveryPhase) {
  SetUpNewGame(e());
  EXPECT_EQ(Evaluate(e(), 0, 0, 0), -30);
  EXPECT_EQ(Evaluate(e(), 0, 0, 100), 70);
  for (int phase = 1; phase <= 3; ++phase)
    EXPECT_EQ(Score("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", phase), -30) << phase;
}

TEST_F(EvaluateTest, MaterialIsScaledByThePiecesLeftAndTruncated) {
  // 495 / (1 div 2 + 2) = 247 (247.5 truncated); the black a-pawn is
  // isolated (+5).
  const std::string fen = "4k3/p7/8/8/8/8/8/2B1K1N1 w - - 0 1";
  EXPECT_EQ(Score(fen, 1), 252);
  // -495 / 2 truncates toward zero to -247.
  EXPECT_EQ(Score(MirrorFen(fen), 1), -252);
  // Two knights: 590 / 2.
  EXPECT_EQ(Score("4k3/8/8/8/8/8/8/2N1K1N1 w - - 0 1", 1), 295);
}

TEST_F(EvaluateTest, DoubledRooksOnAnOpenFile) {
  // Ten pawns: each rook on the open d-file +16, the pair +20; both sides
  // have two heavy pieces, so the king placement gives -15 twice.
  const std::string open = "r5kr/ppp3pp/8/8/8/8/PPPR2PP/3R2K1 w - - 0 1";
  const std::string closed = "r5kr/ppp3pp/8/8/8/8/PPP3PP/R5KR w - - 0 1";
  EXPECT_EQ(Score(open, 1), 22);
  EXPECT_EQ(Score(closed, 1), -30);
  EXPECT_EQ(Score(MirrorFen(open), 1), -82);
  // Doubled on the d-file with a pawn on it: 900 / 2, each rook 1 - 4, no
  // pair bonus; the d7 pawn is isolated (+5) and the king placement -15.
  const std::string halfOpen = "4k3/3p4/8/8/8/8/3R4/3RK3 w - - 0 1";
  EXPECT_EQ(Score(halfOpen, 1), 434);
  EXPECT_EQ(Score(MirrorFen(halfOpen), 1), -464);
}

TEST_F(EvaluateTest, RookFilesAndSeventhRank) {
  ExpectScores(1, {
      // material 500 / 5 = 100; rook on the open h-file: 2*8 - 4
      {"4k3/pppp4/8/8/8/8/PPPP4/4K2R w - - 0 1", 112},
      // on the seventh too, against four black pawns: +40
      {"4k3/pppp3R/8/8/8/8/PPPP4/4K3 w - - 0 1", 152},
      // against three black pawns the seventh rank adds nothing: 600 / 4 + 10
      {"4k3/7R/ppp5/8/8/8/PPPP4/4K3 w - - 0 1", 160},
      // half-open d-file (one pawn): 7 - 4; material 400 / 4
      {"4k3/pppp4/8/8/8/8/PPP5/3RK3 w - - 0 1", 103},
  });
}

// ---- Pawn structure ---------------------------------------------------------

TEST_F(EvaluateTest, PawnSupportIsCountedOnFilesBToGOnly) {
  ExpectScores(1, {
      {"4k3/8/8/8/4P3/3P1P2/8/4K3 w - - 0 1", 304},  // e4 backed twice: +4
      {"4k3/8/8/8/8/P7/1P6/4K3 w - - 0 1", 200},     // a3 behind b2: no support on the a-file
      {"4k3/8/8/8/8/1P6/2P5/4K3 w - - 0 1", 202},    // b3 behind c2: +2
      {"4k3/8/8/8/8/7P/6P1/4K3 w - - 0 1", 200},     // h3: no support on the h-file
      {"4k3/8/8/8/8/6P1/7P/4K3 w - - 0 1", 202},     // g3 behind h2: +2
  });
}

TEST_F(EvaluateTest, IsolatedAndDoubledPawns) {
  ExpectScores(1, {
      {"4k3/8/8/8/8/8/P6P/4K3 w - - 0 1", 190},   // a- and h-pawns both isolated
      {"4k3/8/8/8/8/4P3/4P3/4K3 w - - 0 1", 180},  // two isolated, doubled -10
      {"4k3/8/8/8/4P3/4P3/4P3/4K3 w - - 0 1", 270},  // 300 - 15 isolated - 15 tripled
  });
}

TEST_F(EvaluateTest, WeakPawnNeedsMoreAttackersThanDefendersAndNoSupport) {
  // The f6 knight hits e4; on a8 it does not.
  EXPECT_EQ(Score("4k3/8/5n2/8/4P3/8/8/4K3 w - - 0 1", 1) - Score("n3k3/8/8/8/4P3/8/8/4K3 w - - 0 1", 1), -5);
  // A white knight on c3 evens the count; on a1 it does not.
  EXPECT_EQ(Score("4k3/8/5n2/8/4P3/2N5/8/4K3 w - - 0 1", 1) - Score("4k3/8/5n2/8/4P3/8/8/N3K3 w - - 0 1", 1), 5);
  // A supported pawn is never weak.
  EXPECT_EQ(Score("4k3/8/5n2/8/4P3/3P4/8/4K3 w - - 0 1", 1) - Score("n3k3/8/8/8/4P3/3P4/8/4K3 w - - 0 1", 1), 0);
  // Mirrored.
  EXPECT_EQ(Score(MirrorFen("4k3/8/5n2/8/4P3/8/8/4K3 w - - 0 1"), 1) -
                Score(MirrorFen("n3k3/8/8/8/4P3/8/8/4K3 w - - 0 1"), 1),
            5);
}

TEST_F(EvaluateTest, PassedPawnBonusByPhaseRankAndDefence) {
  // White pawn alone on the e-file; a rook on e1 defends it from behind,
  // one on b1 does not. Only the passed-pawn bonus depends on the phase.
  const int expected[2][2][8] = {
      {{0, 0, 0, 0, 0, 10, 30, 60}, {0, 0, 0, 0, 0, 30, 50, 120}},
      {{0, 0, 0, 0, 15, 30, 70, 100}, {0, 0, 0, 0, 30, 50, 100, 150}},
  };
  for (int defended = 0; defended <= 1; ++defended) {
    for (int rank = 3; rank <= 7; ++rank) {
      std::string fen = "7k/";
      for (int r = 7; r >= 2; --r) fen += r == rank ? "4P3/" : "8/";
      fen += defended ? "K3R3 w - - 0 1" : "KR6 w - - 0 1";
      for (int endgame = 0; endgame <= 1; ++endgame) {
        const int phase = endgame ? 3 : 2;
        const int want = expected[endgame][defended][rank];
        EXPECT_EQ(PhaseGain(fen, phase), want) << fen << " phase " << phase;
        EXPECT_EQ(PhaseGain(MirrorFen(fen), phase), -want) << fen << " mirrored, phase " << phase;
      }
    }
  }
}

TEST_F(EvaluateTest, PassedMeansNoEnemyPawnAheadOnTheThreeFiles) {
  // e5 and f7 stop each other: no bonus.
  EXPECT_EQ(PhaseGain("7k/5p2/8/4P3/8/8/8/K7 w - - 0 1", 3), 0);
  // b7 is two files away: e5 is passed (+30); b7 is passed but too far back.
  EXPECT_EQ(PhaseGain("7k/1p6/8/4P3/8/8/8/K7 w - - 0 1", 3), 30);
  // f5 stands behind e6: e6 is passed (+70); g2 and f5 block each other.
  EXPECT_EQ(PhaseGain("7k/8/4P3/5p2/8/8/6P1/K7 w - - 0 1", 3), 70);
  // d6 and e5 stop each other too: the file on the left counts as well.
  EXPECT_EQ(PhaseGain("7k/8/3p4/4P3/8/8/8/K7 w - - 0 1", 3), 0);
}

TEST_F(EvaluateTest, CentralPawnsAtHomeInTheMiddleGame) {
  // The e2 pawn costs 10 in the middle game; moved to e3 it does not.
  const std::string home = "k7/8/8/8/8/8/4P3/K6R w - - 0 1";
  const std::string moved = "k7/8/8/8/8/4P3/8/K6R w - - 0 1";
  EXPECT_EQ(PhaseGain(home, 2) - PhaseGain(moved, 2), -10);
  EXPECT_EQ(PhaseGain("k7/8/8/8/8/8/3P4/K6R w - - 0 1", 2) - PhaseGain("k7/8/8/8/8/3P4/8/K6R w - - 0 1", 2), -10);
  EXPECT_EQ(PhaseGain(MirrorFen(home), 2) - PhaseGain(MirrorFen(moved), 2), 10);
}

// ---- Bishops and knights ------------------------------------------------------

TEST_F(EvaluateTest, BadBishopCountsPawnsOnItsSquareColour) {
  // a2, c2 and e4 stand on the colour of d3, not of e3.
  const std::string bad = "7k/8/8/8/4P3/3B4/P1P5/7K w - - 0 1";
  const std::string good = "7k/8/8/8/4P3/4B3/P1P5/7K w - - 0 1";
  EXPECT_EQ(Score(bad, 1) - Score(good, 1), -45);
  EXPECT_EQ(Score(MirrorFen(bad), 1) - Score(MirrorFen(good), 1), 45);
  // A lone queen is the only diagonal piece as well.
  EXPECT_EQ(Score("7k/8/8/8/4P3/3Q4/P1P5/7K w - - 0 1", 1) - Score("7k/8/8/8/4P3/4Q3/P1P5/7K w - - 0 1", 1), -45);
  // With two diagonal pieces the term is off: 900 / 3, the pair +15 and
  // three isolated pawns.
  EXPECT_EQ(Score("7k/8/8/8/4P3/3B4/P1P5/1B5K w - - 0 1", 1), 300);
  EXPECT_EQ(Score("7k/8/8/8/4P3/3B4/P1P5/1B5K w - - 0 1", 1) - Score("7k/8/8/8/4P3/4B3/P1P5/1B5K w - - 0 1", 1), 0);
}

TEST_F(EvaluateTest, BishopPairFollowsTheInitialBishops) {
  // 600 / 2 + 15.
  EXPECT_EQ(Score("7k/8/8/8/8/8/8/2B1KB2 w - - 0 1", 1), 315);
  EXPECT_EQ(Score(MirrorFen("7k/8/8/8/8/8/8/2B1KB2 w - - 0 1"), 1), -315);
}

TEST_F(EvaluateTest, UndevelopedBishopsInTheMiddleGame) {
  ExpectGains(2, {
      {"7k/8/8/8/8/8/3N4/2B3K1 w - - 0 1", -12},  // c1 bishop, d2 taken
      {"7k/8/8/8/4N3/8/8/2B3K1 w - - 0 1", -8},   // c1 bishop, d2 free
      {"6k1/8/8/8/8/8/3N4/B5K1 w - - 0 1", -4},   // the c1 bishop on a1, d2 taken
      {"7k/8/8/8/8/8/4N3/5BK1 w - - 0 1", -12},   // f1 bishop, e2 taken
      {"7k/8/8/8/8/3B4/3N4/6K1 w - - 0 1", 0},    // developed
  });
}

TEST_F(EvaluateTest, KnightPlacementInTheMiddleGame) {
  ExpectGains(2, {
      {"1n4nk/8/8/8/8/8/8/K7 w - - 0 1", 20},   // both black knights at home
      {"n6k/8/8/8/8/7n/8/K7 w - - 0 1", 10},    // a8: +10 +5; h3: +5 -10
      {"7k/8/8/8/3n4/8/8/K5n1 w - - 0 1", -3},  // d4: -3; g1: nothing
      {"nn4nk/8/8/8/8/8/8/K7 w - - 0 1", 20},   // the third knight carries a pawn's PieceId
  });
}

TEST_F(EvaluateTest, CentralMinorPiecesInTheEndgame) {
  ExpectGains(3, {
      {"7k/8/8/8/4B3/8/8/N5K1 w - - 0 1", 10},
      {"7k/8/8/4N3/8/8/8/N5K1 w - - 0 1", 10},
      {"7k/8/8/3Q4/8/8/8/N5K1 w - - 0 1", 10},  // a queen is a diagonal piece
      {"7k/8/8/8/2B5/8/8/N5K1 w - - 0 1", 0},
  });
}

// ---- Kings ---------------------------------------------------------------

TEST_F(EvaluateTest, CastledFlagsCountInTheMiddleGameOnly) {
  Position p = LoadFen("r5k1/ppp3pp/8/8/8/8/PPP3PP/R5K1 w - - 0 1");
  for (int phase = 1; phase <= 3; ++phase) {
    p.gamePhase = static_cast<uint8_t>(phase);
    p.whiteCastled = p.blackCastled = 0;
    const int plain = ScorePosition(p);
    p.whiteCastled = 1;
    EXPECT_EQ(ScorePosition(p) - plain, phase == 2 ? 25 : 0) << phase;
    p.whiteCastled = 0;
    p.blackCastled = 1;
    EXPECT_EQ(ScorePosition(p) - plain, phase == 2 ? -25 : 0) << phase;
  }
}

TEST_F(EvaluateTest, SlidersOnTheEnemyKingsLine) {
  Position p = LoadFen("r5k1/ppp3pp/8/8/8/8/PPP3PP/R2Q2K1 w - - 0 1");
  p.gamePhase = 2;
  for (int id = 0; id <= 32; ++id) p.kingLine[id] = 0;
  const int plain = ScorePosition(p);
  p.kingLine[3] = 1;  // the a1 rook
  EXPECT_EQ(ScorePosition(p) - plain, 5);
  p.kingLine[2] = 1;  // the queen is in both slider lists
  EXPECT_EQ(ScorePosition(p) - plain, 15);
  p.kingLine[19] = 1;  // the a8 rook
  EXPECT_EQ(ScorePosition(p) - plain, 10);
  p.gamePhase = 3;
  const int endgame = ScorePosition(p);
  for (int id = 0; id <= 32; ++id) p.kingLine[id] = 0;
  EXPECT_EQ(ScorePosition(p), endgame);
}

TEST_F(EvaluateTest, PawnInFrontOfTheKing) {
  // g2 shields a king on g1, not one on h1.
  EXPECT_EQ(PhaseGain("n5k1/8/8/8/8/8/6P1/6K1 w - - 0 1", 2) - PhaseGain("n5k1/8/8/8/8/8/6P1/7K w - - 0 1", 2), 10);
  EXPECT_EQ(PhaseGain(MirrorFen("n5k1/8/8/8/8/8/6P1/6K1 w - - 0 1"), 2) -
                PhaseGain(MirrorFen("n5k1/8/8/8/8/8/6P1/7K w - - 0 1"), 2),
            -10);
  // The white king on rank 8 and the black king on rank 1 have no square in
  // front of them: -590 / 2, the a1 knight +5.
  EXPECT_EQ(Score("K7/8/8/8/8/8/8/nn5k w - - 0 1", 2), -290);
}

TEST_F(EvaluateTest, KingPlacementWithHeavyPiecesIsNotMirrored) {
  // Two white heavy pieces: -15 per rank of the white king.
  const std::string low = "6k1/8/8/8/8/8/8/R3K2R w - - 0 1";
  const std::string high = "6k1/8/8/8/8/4K3/8/R6R w - - 0 1";
  EXPECT_EQ(Score(high, 1) - Score(low, 1), -30);
  // Two black heavy pieces: 15 * (7 - rank of the black king), so the
  // mirrored pair differs by +30 instead of +30 negated.
  EXPECT_EQ(Score(MirrorFen(high), 1) - Score(MirrorFen(low), 1), 30);
  EXPECT_EQ(Score(low, 1) + Score(MirrorFen(low), 1), -30);
}

TEST_F(EvaluateTest, EndgameKingActivity) {
  // White king in the centre +20; with more than 300 up, +20 each for the
  // black king on an edge file and an edge rank.
  EXPECT_EQ(PhaseGain("7k/8/8/8/4K3/8/8/N5R1 w - - 0 1", 3), 60);
  // Only 295 up, or exactly 300: the centre alone, for either king.
  EXPECT_EQ(PhaseGain("r6k/8/8/8/4K3/8/8/N5R1 w - - 0 1", 3), 20);
  EXPECT_EQ(PhaseGain("r6k/8/8/8/4K3/8/8/1B4R1 w - - 0 1", 3), 20);
  EXPECT_EQ(PhaseGain(MirrorFen("r6k/8/8/8/4K3/8/8/1B4R1 w - - 0 1"), 3), -20);
  // Rank 6 is outside the white king's centre.
  EXPECT_EQ(PhaseGain("7k/8/4K3/8/8/8/8/N5R1 w - - 0 1", 3), 0);
  // The f-file is outside the white king's centre ...
  EXPECT_EQ(PhaseGain("7k/8/8/8/5K2/8/8/N5R1 w - - 0 1", 3), 0);
  // ... but inside the black king's, which reaches files and ranks 4..6.
  EXPECT_EQ(PhaseGain("n5r1/8/5k2/8/8/8/8/K7 w - - 0 1", 3), -60);
  EXPECT_EQ(PhaseGain("7K/8/5k2/8/8/8/r7/1n6 w - - 0 1", 3), -60);  // h8: file 8 and rank 8
  EXPECT_EQ(PhaseGain("n5r1/8/8/8/8/5k2/8/K7 w - - 0 1", 3), 0);
}

// ---- Whole positions ---------------------------------------------------------

TEST_F(EvaluateTest, MirroredPositionsNegateExceptForKingPlacement) {
  // Kings stay out of the squares where the endgame centres of the two
  // kings differ, so only the heavy-piece king placement is asymmetric:
  // -30 for each side with more than one rook or queen.
  const char* fens[] = {
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
      "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
      "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
      "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
      "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
      "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
      "2kr3r/pp3ppp/2n1b3/2bpP3/5B2/2N2N2/PPP2PPP/2KR1B1R b - - 3 12",
      "8/5pk1/6p1/3B4/2P5/1P4K1/8/8 w - - 0 45",
  };
  for (const char* fen : fens) {
    const Position p = LoadFen(fen);
    const int heavySides = (p.orthogonalCount[White] > 1) + (p.orthogonalCount[Black] > 1);
    for (int phase = 1; phase <= 3; ++phase) {
      EXPECT_EQ(Score(fen, phase) + Score(MirrorFen(fen), phase), -30 * heavySides) << fen << " phase " << phase;
    }
  }
}

TEST_F(EvaluateTest, EvaluatesStoredChildrenAndLeavesThemInWorkPosition) {
  const Position p = LoadFen("r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10");
  const int asGame = ScorePosition(p, 13);
  e().ChildPositions[7][3] = p;
  e().GamePosition = Position{};
  EXPECT_EQ(Evaluate(e(), 3, 7, 13), asGame);
  EXPECT_EQ(std::memcmp(&e().WorkPosition, &p, sizeof p), 0);
  // Slots and plies outside the table add nothing and touch nothing.
  e().WorkPosition = Position{};
  EXPECT_EQ(Evaluate(e(), MaxPly + 1, 1, 13), 13);
  EXPECT_EQ(Evaluate(e(), 3, 0, 13), 13);
  EXPECT_EQ(Evaluate(e(), 3, MaxChildren + 1, 13), 13);
  EXPECT_EQ(Evaluate(e(), -1, 1, 13), 13);
  EXPECT_EQ(e().WorkPosition.pieceValue[1], 0);
}

// ---- Attacker counts -------------------------------------------------------

struct Probe {
  Colour side;
  int file, rank, attackers;
};

void ExpectAttackers(const Position& p, std::initializer_list<Probe> probes) {
  for (const Probe& q : probes) {
    const int got = q.side == White ? AttackerCount<White>(p, q.file, q.rank) : AttackerCount<Black>(p, q.file, q.rank);
    EXPECT_EQ(got, q.attackers) << (q.side == White ? "white" : "black") << " on file " << q.file << " rank "
                                << q.rank;
  }
}

TEST(AttackerCount, InitialPosition) {
  const Position p = testing::Initial();
  // e2: king, queen, f1 bishop and g1 knight; e3: the d2 and f2 pawns;
  // f3: e2 and g2 pawns and the g1 knight; c1's diagonal is blocked.
  ExpectAttackers(p, {{White, 5, 2, 4}, {White, 5, 3, 2}, {White, 6, 3, 3}, {White, 5, 4, 0},
                      {Black, 5, 7, 4}, {Black, 5, 6, 2}, {Black, 6, 6, 3}, {Black, 5, 3, 0}});
}

TEST(AttackerCount, PiecesLinesAndBlocks) {
  ExpectAttackers(LoadFen("4k3/8/8/3p4/4P3/2N5/8/B2QK3 w - - 0 1"),
                  {// d5: e4 pawn, c3 knight, d1 queen up the open file.
                   {White, 4, 5, 3}, {Black, 4, 5, 0},
                   // e4: the d5 pawn for black, the c3 knight for white.
                   {Black, 5, 4, 1}, {White, 5, 4, 1},
                   // A pawn attacks forward only: d5 reaches c4, not e6.
                   {Black, 3, 4, 1}, {Black, 5, 6, 0},
                   // e2: king, queen and knight; the a1 bishop is blocked by
                   // c3 on its way to e5.
                   {White, 5, 2, 3}, {White, 5, 5, 0}});
  // A queen on a diagonal counts once; its own square is not attacked.
  ExpectAttackers(LoadFen("4k3/8/8/8/3Q4/8/8/4K3 w - - 0 1"), {{White, 6, 6, 1}, {White, 4, 8, 1}, {White, 4, 4, 0}});
}

TEST(AttackerCount, BoardEdgesAndSquaresOffTheBoard) {
  // Pawns on the edge files and ranks next to the missing squares; nothing
  // behind rank 8 for black.
  ExpectAttackers(LoadFen("k7/7p/8/8/8/8/P7/7K w - - 0 1"),
                  {{White, 2, 3, 1}, {Black, 7, 6, 1}, {Black, 7, 8, 0}, {White, 1, 1, 0}, {White, 0, 3, 0},
                   {White, 9, 3, 0}, {Black, 3, 9, 0}, {Black, 3, 0, 0}});
}

}  // namespace
}  // namespace ormedan
