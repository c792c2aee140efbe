#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "declare/model.h"
#include "support/fen_load.h"
#include "support/movetext.h"
#include "utilita/attacks.h"
#include "utilita/fen.h"

namespace ormedan {
namespace {

// A FEN that must load into a consistent record.
Position FromFen(const std::string& fen, Colour* side = nullptr) {
  const Position p = testing::LoadFen(fen, side);
  std::string why;
  EXPECT_TRUE(CheckPosition(p, &why)) << fen << ": " << why;
  return p;
}

int At(const Position& p, const char* square) { return p.board[square[0] - 'a' + 1][square[1] - '0']; }

TEST(PositionFromFen, InitialPositionMatchesTheNewGameRecord) {
  Colour side = Black;
  Position p = FromFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", &side);
  EXPECT_EQ(side, White);
  Position q{};
  InitialPosition(q);
  EXPECT_EQ(p.gamePhase, 2);
  EXPECT_EQ(p.lastMove, MakeMoveCode(17, 5, 8));  // black's king standing still
  p.gamePhase = q.gamePhase;
  p.lastMove = q.lastMove;
  EXPECT_EQ(0, std::memcmp(&p, &q, sizeof(Position)));

  // After 1. e4 the FEN gives exactly the record that make move produces.
  Position e4 = FromFen("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", &side);
  EXPECT_EQ(side, Black);
  Position made{};
  InitialPosition(made);
  MakeMove(made, 0x4510);
  made.gamePhase = 2;
  EXPECT_EQ(0, std::memcmp(&e4, &made, sizeof(Position)));
  // Without the e.p. square only enPassantFile and lastMove differ.
  Position plain = FromFen("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1");
  EXPECT_EQ(plain.enPassantFile, 0);
  EXPECT_EQ(plain.lastMove, MakeMoveCode(1, 5, 1));
  Position d5 = FromFen("rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 2");
  EXPECT_EQ(d5.enPassantFile, 4);
  EXPECT_EQ(d5.lastMove, MakeMoveCode(28, 4, 5));
}

TEST(PositionFromFen, PieceIdRule) {
  // Kiwipete: home squares first, then pawns by file, then the lowest free
  // PieceId of the kind, squares taken a1..a8, b1..h8.
  Position p = FromFen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
  const std::vector<std::pair<const char*, int>> kiwi = {
      {"e1", 1},  {"a1", 3},  {"h1", 4},  {"f3", 2},  {"d2", 5},  {"e2", 6},  {"c3", 7},  {"e5", 8},
      {"a2", 9},  {"b2", 11}, {"c2", 13}, {"d5", 15}, {"e4", 16}, {"f2", 14}, {"g2", 12}, {"h2", 10},
      {"e8", 17}, {"e7", 18}, {"a8", 19}, {"h8", 20}, {"a6", 21}, {"g7", 22}, {"b6", 23}, {"f6", 24},
      {"a7", 25}, {"b4", 26}, {"c7", 27}, {"d7", 28}, {"e6", 29}, {"f7", 30}, {"g6", 31}, {"h3", 32}};
  for (const auto& [square, id] : kiwi) EXPECT_EQ(At(p, square), id) << square;
  EXPECT_EQ(p.whiteShortCastleRight + p.whiteLongCastleRight + p.blackShortCastleRight + p.blackLongCastleRight, 4);

  // Position 4: pawns off their files take the lowest free pawn PieceId.
  p = FromFen("r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1");
  const std::vector<std::pair<const char*, int>> four = {
      {"g1", 1},  {"d1", 2},  {"a1", 3},  {"f1", 4},  {"a4", 5},  {"b4", 6},  {"f3", 7},  {"h6", 8},
      {"a2", 9},  {"h2", 10}, {"a7", 11}, {"g2", 12}, {"b5", 13}, {"c4", 14}, {"d2", 15}, {"e4", 16},
      {"a3", 18}, {"b6", 21}, {"g6", 22}, {"a5", 23}, {"f6", 24}, {"b2", 25}};
  for (const auto& [square, id] : four) EXPECT_EQ(At(p, square), id) << square;
  EXPECT_EQ(p.checkingPiece, 21);  // white starts in check from b6
  EXPECT_EQ(p.whiteShortCastleRight + p.whiteLongCastleRight, 0);
  EXPECT_EQ(p.blackShortCastleRight + p.blackLongCastleRight, 2);

  // Doubled pawns: the home square wins, then the own-file PieceId in square
  // order, then the lowest free one.
  p = FromFen("4k3/8/8/8/4P3/4P3/4P3/4K3 w - - 0 1");
  EXPECT_EQ(At(p, "e2"), 16);
  EXPECT_EQ(At(p, "e3"), 9);
  EXPECT_EQ(At(p, "e4"), 10);
  p = FromFen("4k3/4p3/4p3/8/8/4P3/P7/4K3 w - - 0 1");
  EXPECT_EQ(At(p, "e3"), 16);
  EXPECT_EQ(At(p, "a2"), 9);
  EXPECT_EQ(At(p, "e7"), 29);
  EXPECT_EQ(At(p, "e6"), 25);

  // Extra pieces of a kind take pawn PieceIds, as promoted pawns.
  p = FromFen("1k6/8/8/8/8/8/P7/Q2QK2Q w - - 0 1");
  EXPECT_EQ(At(p, "d1"), 2);
  EXPECT_EQ(At(p, "a2"), 9);
  EXPECT_EQ(At(p, "a1"), 10);
  EXPECT_EQ(At(p, "h1"), 11);
  EXPECT_EQ(p.diagonalCount[White], 3);
  EXPECT_EQ(p.orthogonalCount[White], 3);
  p = FromFen("1r2k1r1/8/8/8/8/8/8/nn2K2n b - - 0 1");
  EXPECT_EQ(At(p, "b8"), 19);
  EXPECT_EQ(At(p, "g8"), 20);
  EXPECT_EQ(At(p, "a1"), 23);
  EXPECT_EQ(At(p, "b1"), 24);
  EXPECT_EQ(At(p, "h1"), 25);
  EXPECT_EQ(p.knightCount[Black], 3);
}

int Rights(const Position& p) {
  return p.whiteShortCastleRight * 1000 + p.whiteLongCastleRight * 100 + p.blackShortCastleRight * 10 +
         p.blackLongCastleRight;
}

TEST(PositionFromFen, CastlingRightsNeedKingAndRookAtHome) {
  EXPECT_EQ(Rights(FromFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1")), 1111);
  EXPECT_EQ(Rights(FromFen("r3k2r/8/8/8/8/8/8/R3K2R w Kq - 0 1")), 1001);
  EXPECT_EQ(Rights(FromFen("r3k2r/8/8/8/8/8/8/R3K2R w - - 0 1")), 0);
  // Granted but impossible: a rook away from its corner, the king away from e1.
  EXPECT_EQ(Rights(FromFen("1r2k2r/8/8/8/8/8/8/R4K1R w KQkq - 0 1")), 10);
}

TEST(PositionFromFen, PhaseCheckKingLineAndSideToMove) {
  EXPECT_EQ(FromFen("4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1").gamePhase, 3);
  EXPECT_EQ(FromFen("r3k3/8/8/8/8/8/8/R3K2R w KQ - 0 1").gamePhase, 2);

  Colour side = Black;
  Position p = FromFen("4k3/8/8/8/8/8/4r3/4K3 w - - 0 1", &side);
  EXPECT_EQ(side, White);
  EXPECT_EQ(p.checkingPiece, 19);
  EXPECT_GE(MovePiece(p.lastMove), 17);  // black made the last move
  EXPECT_FALSE(IsCaptureOrPromotion(p.lastMove));
  p = FromFen("4k3/8/3N4/8/8/8/8/4K3 b - - 0 1", &side);
  EXPECT_EQ(side, Black);
  EXPECT_EQ(p.checkingPiece, 7);
  EXPECT_LT(MovePiece(p.lastMove), 17);

  p = FromFen("4k3/8/8/1B6/8/8/8/R3KBq1 b - - 0 1");
  EXPECT_EQ(p.kingLine[At(p, "b5")], 1);
  EXPECT_EQ(p.kingLine[At(p, "a1")], 0);
  EXPECT_EQ(p.kingLine[At(p, "g1")], 1);  // geometry only: f1 blocks the queen
}

TEST(PositionFromFen, RefusesBadInput) {
  const std::vector<std::pair<std::string, std::string>> bad = {
      {"", "fields"},
      {"   ", "fields"},
      {"8/8/8/8/8/8/8/8 w - -", "kings"},
      {"4k3/8/8/8/8/8/8/8 w - -", "white has 0 kings"},
      {"4k3/8/8/8/8/8/8/3KK3 w - -", "white has 2 kings"},
      {"4k3/8/8/8/8/8/8/P3K3 w - -", "pawn on a1"},
      {"3Pk3/8/8/8/8/8/8/4K3 w - -", "pawn on d8"},
      {"4k3/8/8/8/8/PPPPPPPP/4P3/4K3 w - -", "more than 8 pawns"},
      {"QQQQk3/8/8/8/8/8/PPPPPPPP/RNBQKBNR w - -", "16 pieces"},
      {"Q3k3/8/8/8/8/8/PPPPPPPP/Q3K3 w - -", "promotions"},
      {"4k3/8/8/8/8/8/PPPPPPPP/NNN1K3 w - -", "promotions"},
      {"4k3/8/8/8/8/8/8/4K3 x - -", "side"},
      {"4k3/8/8/8/8/8/8/4K3 white - -", "side"},
      {"4k3/8/8/8/8/8/8/4K3 w KK -", "castling"},
      {"4k3/8/8/8/8/8/8/4K3 w KQkqK -", "castling"},
      {"4k3/8/8/8/8/8/8/4K3 w X -", "castling"},
      {"4k3/8/8/8/8/8/8/4K3 w - e4", "en passant"},
      {"4k3/8/8/8/8/8/8/4K3 w - e6", "en passant"},
      {"4k3/8/8/8/4P3/8/8/4K3 w - e3", "en passant"},
      {"4k3/8/8/4p3/8/8/8/4K3 b - e6", "en passant"},
      {"4k3/4p3/8/4p3/8/8/8/4K3 w - e6", "en passant"},
      {"4k3/8/8/8/8/8/8/4K3 w - - x 1", "halfmove"},
      {"4k3/8/8/8/8/8/8/4K3 w - - 0 -1", "move number"},
      {"4k3/8/8/8/8/8/8/4K3 w - - 0 1 extra", "6 fields"},
      {"4k3/8/8/8/8/8/8/4K3 w", "fields"},
      {"4k3/8/8/8/8/8/8/4K4 w - -", "more than 8 squares"},
      {"4k3/8/8/8/8/8/8/4K2 w - -", "8 squares"},
      {"4k3/8/8/8/8/8/8/4K3/8 w - -", "more than 8 ranks"},
      {"4k3/8/8/8/8/8/4K3 w - -", "fewer than 8 ranks"},
      {"4k3/8/8/8/8/8/8/4K3/ w - -", "more than 8 ranks"},
      {"4k3/8/8/8/8/8/8/4K0003 w - -", "unexpected character"},
      {"4k3/8/8/8/8/8/8/4X3 w - -", "unexpected character"},
      {"4k3/8/8/8/8/8/8/4K3 b - -", ""},  // a legal control among the refusals
      {"4k3/8/8/8/8/8/8/4R1K1 w - -", "black is in check"},
      {"4k3/4r3/8/8/8/8/8/4K3 b - -", "white is in check"},
      {"8/8/8/8/8/8/3kK3/8 w - -", "in check"},
  };
  for (const auto& [fen, want] : bad) {
    Position p{};
    Colour side = White;
    std::string error;
    const bool ok = PositionFromFen(fen, p, side, error);
    if (want.empty()) {
      EXPECT_TRUE(ok) << fen << ": " << error;
      continue;
    }
    EXPECT_FALSE(ok) << fen;
    EXPECT_NE(error.find(want), std::string::npos) << fen << " -> " << error;
  }
}

TEST(PositionFromFen, ConsistentAfterMovesFromFen) {
  // En passant, castling both ways, promotions with and without capture.
  Position p = FromFen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
  std::istringstream in("a2a4 b4a3 e1g1 e8c8 d5e6 a3b2 e6f7 b2a1q f7g8n h8g8");
  std::string m;
  while (in >> m) {
    const int32_t code = testing::MoveFromText(p, m);
    ASSERT_NE(code, 0) << m;
    MakeMove(p, code);
    std::string why;
    EXPECT_TRUE(CheckPosition(p, &why)) << m << ": " << why;
  }
  EXPECT_EQ(At(p, "a1"), 26);
  EXPECT_EQ(p.pieceValue[26], -QueenValue);
  EXPECT_EQ(p.pieceValue[9], 0);  // taken en passant
}

// Random and mutated inputs never crash; whatever is accepted is a
// consistent record in which the side not to move is not in check.
TEST(PositionFromFen, FuzzNeverCrashesAndAcceptsOnlyConsistentRecords) {
  std::mt19937 gen(12345);
  const std::string alphabet = "KQRBNPkqrbnp12345678/ wb-acdefgh0 \t";
  const std::vector<std::string> seeds = {
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
      "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
      "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
      "rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 2",
  };
  int accepted = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string s;
    if (round % 4 == 0) {
      const int len = static_cast<int>(gen() % 90);
      for (int i = 0; i < len; ++i) s += static_cast<char>(gen() % 256);
    } else {
      s = seeds[gen() % seeds.size()];
      const int edits = 1 + static_cast<int>(gen() % 3);
      for (int k = 0; k < edits && !s.empty(); ++k) {
        const size_t at = gen() % s.size();
        const char c = alphabet[gen() % alphabet.size()];
        switch (gen() % 3) {
          case 0: s[at] = c; break;
          case 1: s.insert(s.begin() + static_cast<std::ptrdiff_t>(at), c); break;
          default: s.erase(at, 1); break;
        }
      }
    }
    Position p{};
    Colour side = White;
    std::string error;
    if (PositionFromFen(s, p, side, error)) {
      ++accepted;
      std::string why;
      ASSERT_TRUE(CheckPosition(p, &why)) << s << ": " << why;
      const int other = side == White ? 17 : 1;
      ASSERT_EQ(SquareAttacked(p, p.pieceFile[other], p.pieceRank[other], Other(side)), 0) << s;
      ASSERT_TRUE(error.empty());
    } else {
      ASSERT_FALSE(error.empty()) << s;
    }
  }
  EXPECT_GT(accepted, 100);  // the mutations do reach the accepting paths
}

}  // namespace
}  // namespace ormedan
