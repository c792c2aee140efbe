// The generators against the plain forms: GenerateMoves against the plain
// form of tests/support, the capture generator against the plain captures
// below; then the search's lazy generators against them: the same count or
// result code, the same moves in the same order, the same material and check
// mark without making the child, and each child, made late and out of
// order, the very record the plain form stores.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "declare/model.h"
#include "support/fakes.h"
#include "support/generation_walk.h"
#include "support/plain_generation.h"
#include "generation/generate.h"
#include "generation/board_tables.h"

namespace ormedan {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kWalkDepth = 2;
#else
constexpr int kWalkDepth = 3;
#endif

enum class Kind { Moves, Captures, HorizonCaptures };

// The capture generator's children the plain way, from its move list: each
// move made; a king capture legal when its square is not attacked, any other
// move when no enemy slider is flagged on a line with the king or no slider
// attacks the king after it; check marks by the rule of the capture plies.
template <Colour C> std::vector<Position> PlainCaptureChildren(const Position& source, const std::vector<int32_t>& list,
                                                                bool markChecks) {
  using S = Side<C>;
  const auto aligned = [&source](int side) {
    int a = 0;
    for (int k = 1; k <= source.orthogonalCount[side]; ++k) a += source.kingLine[source.orthogonalList[side][k]];
    for (int k = 1; k <= source.diagonalCount[side]; ++k) a += source.kingLine[source.diagonalList[side][k]];
    return a;
  };
  const int kf = source.pieceFile[S::ownKing], kr = source.pieceRank[S::ownKing];
  const int ef = source.pieceFile[S::enemyKing], er = source.pieceRank[S::enemyKing];
  std::vector<Position> out;
  for (const int32_t code : list) {
    Position q = source;
    MakeMove(q, code);
    const int mover = MovePiece(code);
    const bool legal = mover == S::ownKing ? SquareAttacked(q, q.pieceFile[mover], q.pieceRank[mover], C) == 0
                                           : aligned(S::enemy) == 0 || SliderAttacksSquare(q, kf, kr, C) == 0;
    if (!legal) continue;
    if (markChecks) {
      const int v = source.pieceValue[mover] * S::sign;
      bool candidate = v == RookValue || v == QueenValue;
      if (C == White && v == KnightValue)
        candidate = ((source.pieceFile[mover] + source.pieceRank[mover]) & 1) == ((ef + er) & 1);
      int checker = candidate ? PieceAttacksSquare(q, ef, er, mover, S::enemy) : 0;
      if (checker == 0 && aligned(C) > 0)
        checker = C == White ? SliderAttacksSquare(q, ef, er, S::enemy) : OrthogonalAttacksSquare(q, ef, er, S::enemy);
      q.checkingPiece = static_cast<uint8_t>(checker);
    }
    out.push_back(q);
  }
  return out;
}

// Runs one eager and one lazy generation from ChildPositions[slot][ply - 1]
// and reports the first difference.
template <Colour C> std::string CompareOne(Engine& e, int ply, int slot, Kind kind) {
  const Position source = e.ChildPositions[slot][ply - 1];
  if (kind != Kind::Moves) e.HorizonPly = kind == Kind::HorizonCaptures ? ply : ply + 1;
  const int eager =
      kind == Kind::Moves ? testing::PlainGenerateMoves<C>(e, ply, slot) : GenerateCaptures<C>(e, ply, slot);
  std::vector<Position> children;
  for (int j = 1; j <= eager; ++j) children.push_back(e.ChildPositions[j][ply]);
  const std::vector<int32_t> listed(e.MoveList, e.MoveList + e.MoveCount);
  if (kind == Kind::Moves) {
    if (GenerateMoves<C>(e, ply, slot) != eager) return "GenerateMoves: another count than the plain form";
    if (std::vector<int32_t>(e.MoveList, e.MoveList + e.MoveCount) != listed) return "GenerateMoves: another list";
    for (int j = 1; j <= eager; ++j)
      if (!testing::SamePosition(e.ChildPositions[j][ply], children[j - 1]))
        return "GenerateMoves: child " + std::to_string(j) + " not the plain one";
  } else {
    const std::vector<Position> plain = PlainCaptureChildren<C>(source, listed, kind == Kind::Captures);
    if (plain.size() != children.size()) return "not the plain captures";
    for (size_t k = 0; k < plain.size(); ++k)
      if (!testing::SamePosition(plain[k], children[k])) return "capture child " + std::to_string(k + 1) + " not plain";
  }

  const int lazy = kind == Kind::Moves ? GenerateMovesLazily<C>(e, ply, slot) : GenerateCapturesLazily<C>(e, ply, slot);
  if (lazy != eager) return "count " + std::to_string(lazy) + " instead of " + std::to_string(eager);
  if (std::vector<int32_t>(e.MoveList, e.MoveList + e.MoveCount) != listed) return "another move list";
  for (int j = 1; j <= eager; ++j) {
    const Position& want = children[j - 1];
    if (PendingChildMove(e, ply, j) != want.lastMove) return "move of child " + std::to_string(j);
    if (PendingChildMaterial(e, ply, j) != want.material) return "material of child " + std::to_string(j);
    if (PendingChildCheck<C>(e, ply, j) != want.checkingPiece) return "check of child " + std::to_string(j);
  }
  // Made in a scrambled order: odd slots upwards, then even slots downwards.
  std::vector<int> order;
  for (int j = 1; j <= eager; j += 2) order.push_back(j);
  for (int j = eager - (eager % 2); j >= 2; j -= 2) order.push_back(j);
  for (const int j : order) {
    if (!testing::SamePosition(PendingChild<C>(e, ply, j), children[j - 1]))
      return "child " + std::to_string(j) + " made late differs";
    if (PendingChildMaterial(e, ply, j) != children[j - 1].material) return "material of made child";
  }
  if (!testing::SamePosition(e.ChildPositions[slot][ply - 1], source)) return "source changed";
  return {};
}

// The capture generator's squares as bits against a plain scan of the board.
std::string CompareBoardBits(const Position& p) {
  uint64_t occupied = 0, black = 0;
  for (int f = 1; f <= 8; ++f)
    for (int r = 1; r <= 8; ++r) {
      const uint64_t bit = uint64_t{1} << ((f - 1) * 8 + r - 1);
      if (p.board[f][r] != 0) occupied |= bit;
      if (p.board[f][r] >= 17) black |= bit;
    }
  const generation::BoardBits bits(p);
  if (bits.occupied != occupied || bits.black != black) return "board bits differ";
  return {};
}

// Every node of the tree to `remaining` plies, compared for the three
// generator kinds before its children are walked.
template <Colour C> void Walk(Engine& e, int ply, int slot, int remaining, const std::string& path, std::string& fault) {
  if (!fault.empty()) return;
  if (const std::string what = CompareBoardBits(e.ChildPositions[slot][ply - 1]); !what.empty()) {
    fault = (path.empty() ? std::string("root") : path) + ": " + what;
    return;
  }
  for (const Kind kind : {Kind::Moves, Kind::Captures, Kind::HorizonCaptures}) {
    const std::string what = CompareOne<C>(e, ply, slot, kind);
    if (!what.empty()) {
      fault = (path.empty() ? std::string("root") : path) + " kind " + std::to_string(static_cast<int>(kind)) +
              ": " + what;
      return;
    }
  }
  if (remaining == 0) return;
  const Position source = e.ChildPositions[slot][ply - 1];
  const int n = GenerateMoves<C>(e, ply, slot);
  for (int i = 1; i <= n; ++i) {
    // Deeper walks overwrite this ply: generate again before each child.
    if (i > 1) GenerateMoves<C>(e, ply, slot);
    const std::string step = testing::MoveText(source, e.ChildPositions[i][ply].lastMove);
    Walk<Other(C)>(e, ply + 1, i, remaining - 1, path.empty() ? step : path + " " + step, fault);
  }
}

TEST(LazyChildren, SameChildrenAsTheEagerGeneratorsOverShallowTrees) {
  const char* const fens[] = {
      // Castling both ways, pins, promotions, en passant.
      "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
      // En passant along a rank with the king: the captured pawn was the shield.
      "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
      "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
      "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1",
      "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
      // Sliders aimed at both kings through one or two pieces; checks.
      "4k3/4r3/8/1b6/8/3P4/4N3/r3K2Q w - - 0 1",
      "3qk3/8/2n5/1B6/Q6b/8/5N2/R3K2R b KQ - 0 1",
  };
  testing::Rig rig;
  Engine& e = rig.e();
  for (const char* fen : fens) {
    Colour side = White;
    e.ChildPositions[1][1] = testing::LoadFen(fen, &side);
    std::string fault;
    if (side == White)
      Walk<White>(e, 2, 1, kWalkDepth - 1, "", fault);
    else
      Walk<Black>(e, 2, 1, kWalkDepth - 1, "", fault);
    EXPECT_EQ(fault, "") << fen;
  }
}

}  // namespace
}  // namespace ormedan
