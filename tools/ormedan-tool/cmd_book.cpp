// ormedan-tool book DATA_DIR OUT_DIR
//
// Builds the three opening books from the master-game opening tree in
// DATA_DIR (gm_tree.tsv: move prefixes with white wins, draws and black wins;
// gm_leaf_eval.tsv: an engine score and best move for every leaf of the
// tree) and writes OUT_DIR/b.dat, n.dat and x.dat.
//
// Choice of lines. The tree is walked from the root. Where the book's own
// side is to move, only good moves are kept: moves that masters play often
// (a share of the games at that node), whose result score (shrunk towards the
// node's score, so that small samples count less) is close to the best such
// move, and whose mean engine score over the leaves below is close to the best
// and not below a floor. Where the other side is to move, every reply of the
// tree is kept, so that the book answers whatever the opponent plays. At a
// leaf where the own side is to move, the engine's best move is added.
//  - b.dat (white): lines that begin with 1. e4 or 1. d4, good for white.
//  - n.dat (black): lines from every first move of the tree, good for black.
//  - x.dat (draws): for both sides, solid moves: close to the best score,
//    with a draw rate close to the best and a balanced engine score.
//
// Weights. The engine draws uniformly among the lines that continue the
// game, so a move's chance is the number of lines through it. At every node
// where the book chooses, the lines through each kept move are topped up
// (with extra copies of the line that ends with that move) until their
// numbers stand in the proportion of the master games that chose the moves.
//
// Every line is replayed through the engine's own position model: each move
// must be one of the legal moves, and its code carries the PieceId of the
// moving piece. A code cannot express an en-passant capture or a promotion,
// so a line is cut before such a move.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "declare/model.h"
#include "declare/quiet_io.h"
#include "tool.h"
#include "generation/generate.h"

namespace ormedan::tool {

namespace {

// ---------------------------------------------------------------- the tree

struct Node {
  std::string moves;  // UCI moves from the initial position, space-separated
  int64_t whiteWins = 0, draws = 0, blackWins = 0;
  int parent = -1;
  int ply = 0;
  std::vector<int> kids;
  bool hasEval = false;
  std::string bestMove;     // engine's best move at a leaf
  double meanEval = 0;      // mean leaf score below, weighted by games; white's view
  int64_t Games() const { return whiteWins + draws + blackWins; }
};

struct Tree {
  std::vector<Node> nodes;  // nodes[0] is the initial position
  std::unordered_map<std::string, int> index;
};

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, '\t')) fields.push_back(field);
  return fields;
}

bool ParseCount(const std::string& text, int64_t& value) {
  if (text.empty() || text.size() > 12) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

bool ParseEval(const std::string& text, double& value) {
  int64_t magnitude = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!ParseCount(negative ? text.substr(1) : text, magnitude)) return false;
  value = static_cast<double>(negative ? -magnitude : magnitude);
  return true;
}

// Reads a tab-separated file with a header row: calls row(fields, why) for
// every other non-empty row, which returns false (and says why) to stop.
template <typename RowFunction>
bool ReadTable(const std::string& path, size_t columns, std::string& error, RowFunction row) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot open " + path;
    return false;
  }
  std::string line;
  std::getline(in, line);  // header
  for (int lineNo = 2; std::getline(in, line); ++lineNo) {
    if (line.empty()) continue;
    const std::vector<std::string> fields = SplitTabs(line);
    std::string why = "malformed";
    if (fields.size() != columns || !row(fields, why)) {
      error = path + " line " + std::to_string(lineNo) + ": " + why;
      return false;
    }
  }
  return true;
}

bool LoadTree(const std::string& dir, Tree& tree, std::string& error) {
  tree.nodes.assign(1, Node{});
  const bool read = ReadTable(dir + "/gm_tree.tsv", 4, error, [&](const std::vector<std::string>& f, std::string& why) {
    Node node;
    if (f[0].empty() || !ParseCount(f[1], node.whiteWins) || !ParseCount(f[2], node.draws) ||
        !ParseCount(f[3], node.blackWins))
      return false;
    node.moves = f[0];
    node.ply = static_cast<int>(std::count(node.moves.begin(), node.moves.end(), ' ')) + 1;
    if (!tree.index.emplace(node.moves, static_cast<int>(tree.nodes.size())).second) {
      why = "repeated prefix";
      return false;
    }
    tree.nodes.push_back(std::move(node));
    return true;
  });
  if (!read) return false;
  // Link every node to its parent; the file's byte order does not matter.
  for (size_t i = 1; i < tree.nodes.size(); ++i) {
    Node& node = tree.nodes[i];
    const size_t cut = node.moves.rfind(' ');
    int parent = 0;
    if (cut != std::string::npos) {
      const auto it = tree.index.find(node.moves.substr(0, cut));
      if (it == tree.index.end()) {
        error = "gm_tree.tsv: the prefix of \"" + node.moves + "\" is missing";
        return false;
      }
      parent = it->second;
    }
    node.parent = parent;
    tree.nodes[static_cast<size_t>(parent)].kids.push_back(static_cast<int>(i));
  }
  Node& root = tree.nodes[0];
  for (int k : root.kids) {
    root.whiteWins += tree.nodes[static_cast<size_t>(k)].whiteWins;
    root.draws += tree.nodes[static_cast<size_t>(k)].draws;
    root.blackWins += tree.nodes[static_cast<size_t>(k)].blackWins;
  }
  return true;
}

bool LoadEvals(const std::string& dir, Tree& tree, std::string& error) {
  const bool read = ReadTable(dir + "/gm_leaf_eval.tsv", 3, error, [&](const std::vector<std::string>& f, std::string& why) {
    double eval = 0;
    const auto it = tree.index.find(f[0]);
    if (it == tree.index.end()) why = "not a node of the tree";
    if (it == tree.index.end() || !ParseEval(f[1], eval)) return false;
    Node& node = tree.nodes[static_cast<size_t>(it->second)];
    node.hasEval = true;
    node.meanEval = eval;
    node.bestMove = f[2];
    return true;
  });
  if (!read) return false;
  // Mean leaf score of every subtree, children before parents.
  std::vector<int> order(tree.nodes.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::sort(order.begin(), order.end(), [&](int a, int b) { return tree.nodes[a].ply > tree.nodes[b].ply; });
  std::vector<double> sum(tree.nodes.size(), 0.0);
  std::vector<double> weight(tree.nodes.size(), 0.0);
  for (int i : order) {
    Node& node = tree.nodes[static_cast<size_t>(i)];
    if (node.kids.empty()) {
      if (!node.hasEval) {
        error = "no engine score for the leaf \"" + node.moves + "\"";
        return false;
      }
      sum[i] = node.meanEval * static_cast<double>(node.Games());
      weight[i] = static_cast<double>(node.Games());
    } else {
      node.meanEval = weight[i] > 0 ? sum[i] / weight[i] : 0.0;
    }
    if (node.parent >= 0) {
      sum[node.parent] += sum[i];
      weight[node.parent] += weight[i];
    }
  }
  return true;
}

// ---------------------------------------------------------------- choosing

struct Choice {
  double minShare;        // share of the node's games a kept move needs
  double scoreDrop;       // how far below the best shrunk score a kept move may be
  double evalDrop;        // how far below the best mean engine score (own view)
  double evalFloor;       // the lowest mean engine score kept (own view)
  double lastResortFloor; // when nothing passes, the most promising move is kept above this
};

struct DrawChoice {
  double minShare, scoreDrop, drawDrop, evalLow, evalHigh;  // eval window in white's view
};

struct Plan {
  bool choosesWhite, choosesBlack;
  std::vector<std::string> firstMoves;  // empty: every first move of the tree
  Choice choice;                        // the colour books
  bool drawish;
  DrawChoice draw;                      // the draws book
};

// Shrinking towards the node's own figure makes a sample of 10 games count
// for a quarter of one of 30 and leaves large samples as they are.
constexpr double ShrinkGames = 30.0;

bool WhiteToMove(const Node& node) { return node.ply % 2 == 0; }

double MoverScore(const Node& node, bool white) {
  const double points = static_cast<double>(white ? node.whiteWins : node.blackWins) + 0.5 * static_cast<double>(node.draws);
  return points / static_cast<double>(std::max<int64_t>(node.Games(), 1));
}

double Shrunk(const Node& node, bool white, double prior) {
  const double points = static_cast<double>(white ? node.whiteWins : node.blackWins) + 0.5 * static_cast<double>(node.draws);
  return (points + ShrinkGames * prior) / (static_cast<double>(node.Games()) + ShrinkGames);
}

double ShrunkDraws(const Node& node, double prior) {
  return (static_cast<double>(node.draws) + ShrinkGames * prior) / (static_cast<double>(node.Games()) + ShrinkGames);
}

struct Line {
  int node;           // the line's last tree node
  std::string extra;  // an engine move added after it, or empty
  int64_t weight;
};

class Builder {
 public:
  Builder(const Tree& tree, const Plan& plan) : tree_(tree), plan_(plan) {}

  std::vector<Line> Build() {
    std::vector<Line> lines;
    for (int k : tree_.nodes[0].kids) {
      const Node& kid = tree_.nodes[static_cast<size_t>(k)];
      if (!plan_.firstMoves.empty() &&
          std::find(plan_.firstMoves.begin(), plan_.firstMoves.end(), kid.moves) == plan_.firstMoves.end())
        continue;
      const std::vector<Line> sub = Walk(k);
      lines.insert(lines.end(), sub.begin(), sub.end());
    }
    return lines;
  }

 private:
  const Node& At(int i) const { return tree_.nodes[static_cast<size_t>(i)]; }

  std::vector<int> Chosen(int i) const {
    const Node& node = At(i);
    const bool white = WhiteToMove(node);
    int64_t total = 0;
    for (int k : node.kids) total += At(k).Games();
    std::vector<int> popular;
    const double minShare = plan_.drawish ? plan_.draw.minShare : plan_.choice.minShare;
    for (int k : node.kids)
      if (static_cast<double>(At(k).Games()) >= minShare * static_cast<double>(total)) popular.push_back(k);
    if (popular.empty()) return {};

    const double prior = MoverScore(node, white);
    const double drawPrior = static_cast<double>(node.draws) / static_cast<double>(std::max<int64_t>(node.Games(), 1));
    const auto own = [&](int k) { return white ? At(k).meanEval : -At(k).meanEval; };
    double bestScore = -1e9, bestEval = -1e9, bestDraws = -1e9;
    for (int k : popular) {
      bestScore = std::max(bestScore, Shrunk(At(k), white, prior));
      bestEval = std::max(bestEval, own(k));
      bestDraws = std::max(bestDraws, ShrunkDraws(At(k), drawPrior));
    }
    std::vector<int> kept;
    if (plan_.drawish) {
      const DrawChoice& c = plan_.draw;
      for (int k : popular)
        if (Shrunk(At(k), white, prior) >= bestScore - c.scoreDrop && ShrunkDraws(At(k), drawPrior) >= bestDraws - c.drawDrop &&
            At(k).meanEval >= c.evalLow && At(k).meanEval <= c.evalHigh)
          kept.push_back(k);
      return kept;
    }
    const Choice& c = plan_.choice;
    for (int k : popular)
      if (Shrunk(At(k), white, prior) >= bestScore - c.scoreDrop && own(k) >= bestEval - c.evalDrop && own(k) >= c.evalFloor)
        kept.push_back(k);
    if (kept.empty()) {
      // No move is good enough by every measure: play the most promising
      // popular move rather than leave the book, unless it is plainly bad.
      int pick = popular[0];
      double pickValue = -1e9;
      for (int k : popular) {
        const double value = Shrunk(At(k), white, prior) + own(k) / 1000.0;
        if (value > pickValue) pickValue = value, pick = k;
      }
      if (own(pick) >= c.lastResortFloor) kept.push_back(pick);
    }
    return kept;
  }

  // The lines below node i (which has been reached), weighted.
  std::vector<Line> Walk(int i) {
    const Node& node = At(i);
    const bool ownTurn = WhiteToMove(node) ? plan_.choosesWhite : plan_.choosesBlack;
    std::vector<Line> lines;
    if (node.kids.empty()) {
      if (ownTurn && !node.bestMove.empty()) lines.push_back({i, node.bestMove, 1});
      return lines;
    }
    if (!ownTurn) {
      for (int k : node.kids) {
        const std::vector<Line> sub = Walk(k);
        lines.insert(lines.end(), sub.begin(), sub.end());
      }
      return lines;
    }
    const std::vector<int> kept = Chosen(i);
    int64_t keptGames = 0;
    for (int k : kept) keptGames += At(k).Games();
    std::vector<std::vector<Line>> parts;
    std::vector<int64_t> sums;
    double total = 0;  // the smallest total that gives every move its share
    for (int k : kept) {
      std::vector<Line> sub = Walk(k);
      if (sub.empty()) sub.push_back({k, {}, 1});
      int64_t sum = 0;
      for (const Line& l : sub) sum += l.weight;
      const double share = static_cast<double>(At(k).Games()) / static_cast<double>(keptGames);
      total = std::max(total, static_cast<double>(sum) / share);
      parts.push_back(std::move(sub));
      sums.push_back(sum);
    }
    for (size_t j = 0; j < kept.size(); ++j) {
      const double share = static_cast<double>(At(kept[j]).Games()) / static_cast<double>(keptGames);
      const int64_t target = std::max<int64_t>(sums[j], std::llround(share * total));
      lines.insert(lines.end(), parts[j].begin(), parts[j].end());
      if (target > sums[j]) lines.push_back({kept[j], {}, target - sums[j]});
    }
    return lines;
  }

  const Tree& tree_;
  const Plan& plan_;
};

// ---------------------------------------------------------------- replaying

struct Replayer {
  NoInput in;
  NoOutput out;
  StillClock clock;
  FirstRandom rng;
  std::unique_ptr<Engine> engine = std::make_unique<Engine>(in, out, clock, rng);

  // Book codes of the UCI moves, up to the first move a code cannot express.
  // False when a move is not legal (error says which).
  bool Codes(const std::vector<std::string>& moves, std::string& codes, std::string& error) {
    Engine& e = *engine;
    SetUpNewGame(e);
    codes.clear();
    for (size_t ply = 0; ply < moves.size(); ++ply) {
      const std::string& m = moves[ply];
      const bool white = ply % 2 == 0;
      const bool squares = m.size() >= 4 && m[0] >= 'a' && m[0] <= 'h' && m[1] >= '1' && m[1] <= '8' &&
                           m[2] >= 'a' && m[2] <= 'h' && m[3] >= '1' && m[3] <= '8';
      if (!squares || m.size() > 5 || (m.size() == 5 && PromotionCodeOf(m[4], White) == 0)) {
        error = "malformed move " + m;
        return false;
      }
      const Position& g = e.GamePosition;
      const int32_t code = MoveCodeFromText(g, m);  // 0 for an empty origin
      const int piece = MovePiece(code);
      // A code cannot express a promotion or an en-passant capture (a
      // capture of a piece that is not on the destination).
      const bool expressible = m.size() == 4 && (code == 0 || MoveCaptured(code) == g.board[MoveToFile(code)][MoveToRank(code)]);
      const int n = GenerateMovesFor(e, white ? White : Black, 1, 1);
      bool legal = false;
      for (int slot = 1; slot <= n && !legal; ++slot) legal = e.ChildPositions[slot][1].lastMove == code;
      if (!legal || piece == 0 || IsWhitePiece(piece) != white) {
        error = "illegal move " + m + " at ply " + std::to_string(ply + 1);
        return false;
      }
      if (!expressible) return true;
      const std::array<char, 3> text = BookMoveText(code);
      codes.append(text.data(), 3);
      e.WorkPosition = e.GamePosition;
      MakeMove(e.WorkPosition, code);
      e.GamePosition = e.WorkPosition;
    }
    return true;
  }
};

std::vector<std::string> SplitSpaces(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  std::string word;
  while (in >> word) words.push_back(word);
  return words;
}

struct BookFile {
  const char* name;
  Plan plan;
};

bool WriteBook(const Tree& tree, const BookFile& book, const std::string& outDir, Replayer& replayer, std::string& summary,
               std::string& error) {
  const std::vector<Line> lines = Builder(tree, book.plan).Build();
  std::map<std::string, int64_t> weights;  // sorted, so the files diff well
  for (const Line& line : lines) {
    std::vector<std::string> moves = SplitSpaces(tree.nodes[static_cast<size_t>(line.node)].moves);
    if (!line.extra.empty()) moves.push_back(line.extra);
    std::string codes;
    if (!replayer.Codes(moves, codes, error)) {
      error = std::string(book.name) + ": " + error;
      return false;
    }
    if (!codes.empty()) weights[codes] += line.weight;
  }
  const std::string path = outDir + "/" + book.name;
  std::ofstream out(path, std::ios::binary);
  int64_t written = 0;
  for (const auto& [codes, weight] : weights)
    for (int64_t k = 0; k < weight; ++k, ++written) out << codes << '\n';
  out.close();
  if (!out) {
    error = "cannot write " + path;
    return false;
  }
  summary += std::string(book.name) + " " + std::to_string(written) + " lines (" + std::to_string(weights.size()) + " distinct)";
  return true;
}

}  // namespace

int Book(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: ormedan-tool book DATA_DIR OUT_DIR\n");
    return 2;
  }
  const std::string dataDir = argv[0], outDir = argv[1];
  Tree tree;
  std::string error;
  if (!LoadTree(dataDir, tree, error) || !LoadEvals(dataDir, tree, error)) {
    std::fprintf(stderr, "ormedan-tool book: %s\n", error.c_str());
    return 1;
  }

  const Choice whiteChoice{0.05, 0.04, 25.0, 10.0, -20.0};
  const Choice blackChoice{0.05, 0.04, 25.0, -45.0, -70.0};
  const DrawChoice drawChoice{0.05, 0.06, 0.10, -35.0, 50.0};
  const BookFile books[3] = {
      {"b.dat", Plan{true, false, {"e2e4", "d2d4"}, whiteChoice, false, drawChoice}},
      {"n.dat", Plan{false, true, {}, blackChoice, false, drawChoice}},
      {"x.dat", Plan{true, true, {}, whiteChoice, true, drawChoice}},
  };
  Replayer replayer;
  std::string summary;
  for (const BookFile& book : books) {
    if (!summary.empty()) summary += ", ";
    if (!WriteBook(tree, book, outDir, replayer, summary, error)) {
      std::fprintf(stderr, "ormedan-tool book: %s\n", error.c_str());
      return 1;
    }
  }
  std::printf("%zu tree nodes read\n", tree.nodes.size() - 1);
  std::printf("books written: %s\n", summary.c_str());
  return 0;
}

}  // namespace ormedan::tool
