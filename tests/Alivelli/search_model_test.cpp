// The search tree against a plain recursive model of the same rules: one
// function per node, colours and plies as run-time values, no templates.
// Both walk the same positions at a fixed depth; every trace the tree leaves
// behind (node count, memo lines, killer flags, reply items, root order,
// best value and index) must be identical.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "Alivelli/tables.h"
#include "support/search_setup.h"
#include "valutazioni/evaluate.h"

namespace ormedan::testing {
namespace {

constexpr int32_t Mate(int ply) { return 32000 - 10 * ((ply - 1) / 2); }

struct Model {
  Engine& e;
  Colour root;
  bool preAnalysis = true;
  int depth = 4;
  int lastPly = 0;
  int32_t bound = 0;  // the second bound of the root
  int32_t v[MaxPly + 1] = {};
  int slot[MaxPly + 1] = {};

  Colour MoverAt(int k) const { return k % 2 == 1 ? Other(root) : root; }
  int32_t MatedAt(int k) const { return MoverAt(k) == White ? -Mate(k + 1) : Mate(k + 1); }
  bool Reaches(int k, int32_t x) const { return MoverAt(k) == White ? v[k] >= x : v[k] <= x; }
  bool Passes(int k, int32_t x) const { return MoverAt(k) == White ? v[k] > x : v[k] < x; }
  void Take(int k, int32_t child) {
    v[k] = MoverAt(k) == White ? std::max(v[k], child) : std::min(v[k], child);
  }
  int Full(Colour c, int ply, int s) {
    return c == White ? GenerateMoves<White>(e, ply, s) : GenerateMoves<Black>(e, ply, s);
  }
  int Captures(Colour c, int ply, int s) {
    return c == White ? GenerateCaptures<White>(e, ply, s) : GenerateCaptures<Black>(e, ply, s);
  }

  bool Cut(int k) const {
    const int D = depth;
    if (preAnalysis) return Reaches(k, v[k - 1]);
    switch (k) {
      case 1: return Passes(1, bound);
      case 2: return Reaches(2, v[1]);
      case 3: return Reaches(3, v[2]) || Reaches(3, bound);
      case 4: return Reaches(4, v[3]) || (D > 4 && Reaches(4, v[1]));
      case 5: return Reaches(5, v[4]) || (D > 5 && Reaches(5, bound));
      case 6: return Reaches(6, v[5]) || (D > 6 && Reaches(6, v[1]));
      case 7: return Reaches(7, v[6]) || (D < 5 && Reaches(7, v[4]));
      case 8: return Reaches(8, v[7]) || (D < 6 && Reaches(8, v[5]));
      case 9: return Reaches(9, v[8]) || (D < 7 && Reaches(9, v[6])) || (D < 5 && Reaches(9, v[4]));
      case 10: return Reaches(10, v[9]) || (D < 8 && Reaches(10, v[7])) || (D < 6 && Reaches(10, v[5]));
      case 11:
        return Reaches(11, v[10]) || (D < 9 && Reaches(11, v[8])) || (D < 7 && Reaches(11, v[6])) ||
               (D < 5 && Reaches(11, v[4]));
      case 12:
        return Reaches(12, v[11]) || (D < 10 && Reaches(12, v[9])) || (D < 8 && Reaches(12, v[7])) ||
               (D < 6 && Reaches(12, v[5]));
      case 13:
        return Reaches(13, v[12]) || (D < 11 && Passes(13, v[10])) || (D < 9 && Passes(13, v[8])) ||
               (D < 7 && Passes(13, v[6]));
      default: return Reaches(k, v[k - 1]);
    }
  }

  void Flag(uint8_t* table, int32_t move) {
    if (root == White) table[move & 0xFFFF] = 1;
    else if (move < 60000) table[move] = 1;
  }

  // N_3 through the memo.
  int32_t Third() {
    if (slot[1] > 1) {
      const int32_t seen = TranspositionLookup(e, slot[1], slot[2], slot[3]);
      if (seen != MemoNotFound) return seen;
    }
    const int32_t value = Node(3);
    TranspositionStore(e, slot[1], slot[2], slot[3], value);
    return value;
  }

  // Value of N_k, k >= 1, expanded at ply k + 1.
  int32_t Node(int k) {
    const int ply = k + 1, s = slot[k];
    const Colour mover = MoverAt(k);
    const Position& node = e.ChildPositions[s][k];
    const bool repeats = k == 1 && KeySeenTwice(e, PositionKey(node, MoverAt(k)));
    if (repeats && !preAnalysis) return 0;  // the mate case is settled by the caller
    int count = 0;
    int32_t start = node.material;
    if (k == 1 && preAnalysis) {
      count = Full(mover, ply, s);
      e.ReplyTable[s].replyCount = count;
      e.ReplyTable[s].rootMove = node.lastMove;
      if (repeats) return count == -2 ? MatedAt(1) : 0;
      start = MatedAt(1);
    } else if (k == 1) {
      count = mover == White ? ReplayStoredReplies<White>(e, s) : ReplayStoredReplies<Black>(e, s);
      start = MatedAt(1);
    } else if (preAnalysis ? ply <= 4 || node.checkingPiece != 0
                           : ply == 3 || node.checkingPiece != 0 ||
                                 (depth >= ply && (root == White || ply <= 12))) {
      count = Full(mover, ply, s);
      start = MatedAt(k);
    } else if (preAnalysis || ply <= 5 || e.HorizonPly >= ply) {
      count = Captures(mover, ply, s);
    }
    if (count <= 0) return v[k] = count == 0 ? node.material : count == -2 ? MatedAt(k) : 0;

    e.NodeCount += count;
    v[k] = start;
    for (int j = 1; j <= count; ++j) {
      slot[ply] = j;
      Take(k, ply == lastPly ? e.ChildPositions[j][ply].material : ply == 3 ? Third() : Node(ply));
      if (k == 1 && preAnalysis) {
        const int64_t high = root == White ? 35000 - v[1] : 35000 + v[1];
        e.ReplyTable[s].replies[j] = high * 4294967296LL + e.ChildPositions[j][2].lastMove;
        continue;
      }
      if (Cut(k)) {
        if (preAnalysis && k == 2) Flag(e.OddPlyKillers, e.ChildPositions[j][3].lastMove);
        if (preAnalysis && k == 3) Flag(e.EvenPlyKillers, e.ChildPositions[j][4].lastMove);
        break;
      }
    }
    if (preAnalysis ? k == 3 : k == depth && depth >= 3 && depth <= 9) v[k] = Evaluate(e, k, s, v[k]);
    return v[k];
  }

  // A whole driver call at a fixed depth. Returns n; best value and index
  // are left in the members below.
  int32_t best = 0;
  int bestIndex = 0;
  int Run(int fixedDepth) {
    const int32_t worst = root == White ? -32000 : 32000;
    ResetSearchTables(e);
    e.NodeCount = 0;
    e.HorizonPly = 8;
    int n = Full(root, 1, 1);
    if (n <= 0) return n;
    e.NodeCount += n;
    lastPly = root == White ? 7 : 8;
    std::vector<std::pair<int32_t, Position>> rootMoves;
    for (int i = 1; i <= n; ++i) {
      slot[1] = i;
      rootMoves.emplace_back(Node(1), e.ChildPositions[i][1]);
    }
    std::stable_sort(rootMoves.begin(), rootMoves.end(), [&](const auto& a, const auto& b) {
      return root == White ? a.first > b.first : a.first < b.first;
    });
    for (int i = 1; i <= n; ++i) e.ChildPositions[i][1] = rootMoves[i - 1].second;

    ResetMemo(e);
    preAnalysis = false;
    depth = e.SearchDepth = fixedDepth;
    lastPly = 15;
    const Position& g = e.GamePosition;
    const int material = (g.pawnCount[White] + g.pawnCount[Black]) / 2 + g.knightCount[White] +
                         g.knightCount[Black] + g.diagonalCount[White] + g.diagonalCount[Black] +
                         g.orthogonalCount[White] + g.orthogonalCount[Black];
    if (n > 10) n = n / 5 * 4;
    e.HorizonPly = material / 3 + fixedDepth + 1;
    best = bound = worst;
    bestIndex = 0;
    if (n < 2) {
      bestIndex = 1;
      return n;
    }
    for (int i = 1; i <= n; ++i) {
      slot[1] = i;
      int32_t value = Node(1);
      if (KeySeenTwice(e, PositionKey(e.ChildPositions[i][1], Other(root)))) {
        for (int t = 1; t <= MaxChildren; ++t)
          if (e.ReplyTable[t].rootMove == e.ChildPositions[i][1].lastMove && e.ReplyTable[t].replyCount == -2)
            value = MatedAt(1);
      }
      const bool better = root == White ? value > best : value < best;
      if (root == White ? value > bound : value < bound) bound = value;
      if (better) {
        const int32_t gain = root == White ? value - best : best - value;
        bound = gain < 2 ? best : root == White ? value - 2 : value + 2;
        best = value;
        bestIndex = i;
      }
    }
    return n;
  }
};

// Everything a search leaves in the tables, for comparison.
struct Traces {
  int result = 0;
  int64_t nodes = 0;
  std::vector<int64_t> memo, replies;
  std::vector<int> oddKillers, evenKillers;
  std::vector<int32_t> rootOrder;

  Traces(Engine& e, int n) : result(n), nodes(e.NodeCount) {
    for (int b = 1; b <= MemoBuckets; ++b)
      for (int k = 1; k <= e.MemoFill[b]; ++k) {
        const MemoEntry& m = e.TranspositionMemo[b][k];
        memo.insert(memo.end(), {b, m.first, m.second, m.third, m.value});
      }
    for (int i = 1; i <= MaxChildren; ++i) {
      const ReplyEntry& r = e.ReplyTable[i];
      replies.insert(replies.end(), {r.replyCount, r.rootMove});
      for (int j = 1; j <= MaxChildren && r.replies[j] != 0; ++j) replies.push_back(r.replies[j]);
    }
    for (int k = 0; k < 65536; ++k) {
      if (e.OddPlyKillers[k] != 0) oddKillers.push_back(k);
      if (e.EvenPlyKillers[k] != 0) evenKillers.push_back(k);
    }
    for (int i = 1; i <= n; ++i) rootOrder.push_back(e.ChildPositions[i][1].lastMove);
  }
};

TEST(SearchModel, TreeLeavesTheSameTracesAsAPlainRecursiveWalk) {
  const struct {
    const char* fen;
    int phase;
    int depth;
    const char* seenTwice = nullptr;  // a root move into a position seen twice
  } cases[] = {
      // Full material: captures followed far below the depth.
      {"rnbqkbnr/pp1ppppp/8/2p5/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 2", 1, 3},
      {"rnbqkbnr/pp1ppppp/8/2p5/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 2", 2, 4},
      {"rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2", 2, 3},
      {"rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2", 1, 4},
      // Endings with checks deep in the tree, at the depths of the later cut tests.
      {"8/8/3k4/8/3Q4/8/4K3/7q b - - 0 1", 3, 5},
      {"8/8/2k5/8/3Q4/8/4K3/7q w - - 0 1", 3, 6},
      {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 3, 7},
      {"8/8/1R6/5pk1/8/6K1/6P1/1r6 b - - 0 1", 3, 8},
      // Little material: the horizon sits above ply 5, where captures still count.
      {"8/8/1R6/6k1/8/6K1/8/1r6 b - - 0 1", 3, 2},
      // A pawn on the second rank against a queen: stalemates inside the tree.
      {"8/8/8/8/2K5/8/p1Q5/1k6 b - - 0 1", 3, 3},
      // A root move into a position seen twice.
      {"4k3/8/8/8/8/q7/8/7K w - - 0 1", 3, 4, "h1g2"},
      {"7k/8/8/8/8/Q7/8/4K3 b - - 0 1", 3, 5, "h8g7"},
  };
  for (const auto& c : cases) {
    SearchRig engine(c.fen), model(c.fen);
    engine.position.gamePhase = model.position.gamePhase = static_cast<uint8_t>(c.phase);
    model.e().GamePosition = model.position;
    if (c.seenTwice != nullptr) {
      engine.RememberPositionAfter(c.seenTwice, 2);
      model.RememberPositionAfter(c.seenTwice, 2);
    }
    const Traces t(engine.e(), engine.RunFixed(c.depth));
    Model m{model.e(), model.toMove};
    const Traces u(model.e(), m.Run(c.depth));
    const std::string where = std::string(c.fen) + " depth " + std::to_string(c.depth);
    ASSERT_EQ(t.result, u.result) << where;
    EXPECT_EQ(t.nodes, u.nodes) << where;
    EXPECT_EQ(t.rootOrder, u.rootOrder) << where;
    EXPECT_EQ(t.replies, u.replies) << where;
    EXPECT_EQ(t.oddKillers, u.oddKillers) << where;
    EXPECT_EQ(t.evenKillers, u.evenKillers) << where;
    EXPECT_EQ(t.memo, u.memo) << where;
    EXPECT_EQ(engine.Number("scelta mossa  "), m.bestIndex) << where;
    if (t.result > 1) {
      EXPECT_EQ(engine.Number("punteggio mossa  "), m.best) << where;
    }
    EXPECT_EQ(engine.e().HorizonPly, model.e().HorizonPly) << where;
  }
}

}  // namespace
}  // namespace ormedan::testing
