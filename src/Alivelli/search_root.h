// The root of the search, written once for both colours: the pre-analysis
// of each root move, the main search's root loop with its depth lowering,
// and the driver that chooses the depth and reports the result.
#pragma once

#include <algorithm>

#include "Alivelli/search_impl.h"

namespace ormedan {

namespace search_detail {

// ---------------------------------------------------------------- pre-analysis

template <Colour S> int32_t Searcher<S>::PreRoot(int rootSlot) {
  Engine& e = e_;
  slot_[1] = rootSlot;
  const bool repeats = KeySeenTwice(e, PositionKey(e.ChildPositions[rootSlot][1], O));
  int count = GenerateMoves<O>(e, 2, rootSlot);
  if (count > 0 && e.budget.level.limited) count = KeepSeen(2, e.ChildPositions[rootSlot][1], count);
  ReplyEntry& entry = e.ReplyTable[rootSlot];
  entry.replyCount = count;
  entry.rootMove = e.ChildPositions[rootSlot][1].lastMove;
  if (repeats) return count == -2 ? MatedAt<O>(2) : 0;
  if (count > 0) {
    e.NodeCount += count;
    v_[1] = MatedAt<O>(2);
    for (int j = 1; j <= count; ++j) {
      // A node limit is looked at before each reply: a root move's
      // pre-analysis is too large a step for small limits.
      if (nodeLimit_ > 0 && e.NodeCount >= nodeLimit_) {
        entry.replyCount = j - 1;
        preCut_ = true;
        break;
      }
      slot_[2] = j;
      v_[1] = Improve<O>(v_[1], PreNode<2>());
      entry.replies[j] = Traits::ReplyItem(v_[1], e.ChildPositions[j][2].lastMove);
    }
    if (entry.replyCount == 0) v_[1] = e.ChildPositions[rootSlot][1].material;  // cut before any reply
  } else {
    v_[1] = count == 0 ? e.ChildPositions[rootSlot][1].material : count == -2 ? MatedAt<O>(2) : 0;
  }
  return v_[1];
}

// ---------------------------------------------------------------- main search root

// The depth is lowered when root move 1 takes too long, at most once at a
// fifth and once at half of the budget.
template <Colour S> void Searcher<S>::LowerDepth() {
  Engine& e = e_;
  if (!loweredAtFifth_ && n_ > 5 && (!Traits::firstLoweringNeedsDepthAbove4 || e.SearchDepth > 4) &&
      PastShare(5)) {
    loweredAtFifth_ = true;
    e.SearchDepth -= 1;
    WriteLine(e, Traits::firstLoweringText, e.SearchDepth);
  }
  if (!loweredAtHalf_ && e.SearchDepth > 4 && PastShare(2)) {
    loweredAtHalf_ = true;
    e.SearchDepth -= 1;
    WriteLine(e, "regolata profondit\xE0 a ", e.SearchDepth);
  }
}

template <Colour S> int32_t Searcher<S>::MainRoot(int rootSlot) {
  Engine& e = e_;
  slot_[1] = rootSlot;
  const int count = ReplayStoredReplies<O>(e, rootSlot);
  if (count > 0) {
    e.NodeCount += count;
    int32_t v = MatedAt<O>(2);
    v_[1] = v;
    reply_[rootSlot] = 0;
    cutAtRoot_ = false;
    for (int j = 1; j <= count; ++j) {
      if (rootSlot == 1) LowerDepth();
      slot_[2] = j;
      const int32_t child = MainNode<2>();
      if (Passes<O>(child, v) || reply_[rootSlot] == 0) reply_[rootSlot] = e.ChildPositions[j][2].lastMove;
      v = Improve<O>(v, child);
      v_[1] = v;
      if (Passes<O>(v, bound_)) {
        cutAtRoot_ = true;
        break;
      }
    }
  } else {
    v_[1] = count == 0 ? e.ChildPositions[rootSlot][1].material : count == -2 ? MatedAt<O>(2) : 0;
  }
  return v_[1];
}

// ---------------------------------------------------------------- driver

template <Colour S> SearchResult Searcher<S>::Run() {
  Engine& e = e_;
  e.BranchingFactor = e.GamePosition.gamePhase == 3 ? 5.0f : 5.5f;
  ResetSearchTables(e);
  e.NodeCount = 0;
  e.SearchDepth = 4;
  e.HorizonPly = 8;
  root_ = RootTally<S>();
  const SearchBudget& budget = e.budget;
  budget_ = budget.moveCs;
  timed_ = budget.timed;
  moveLimit_ = timed_ ? budget_ : NoLimit;
  nodeLimit_ = budget.nodeLimit;

  SearchResult result;
  int n = 0;
  if (budget.answersClaimableDraws) {
    if (KeySeenThrice(e, PositionKey(e.GamePosition, S))) n = -3;
    if (FiftyMoveRuleReached(e)) n = -5;
  }
  if (n == 0) {
    n = GenerateMoves<S>(e, 1, 1);
    if (n > 0 && budget.searchMoveCount > 0) n = KeepSearchMoves(n);
    if (n > 0 && budget.level.limited) n = KeepSeen(1, e.GamePosition, n);
    if (n > 0) e.NodeCount += n;
  }

  if (n > 0) {
    const int analysed = PreAnalyse(n);
    const int depth = ChooseDepth(n);
    if (analysed < n || !budget.level.mainSearch) n = 1;

    const Position& g = e.GamePosition;
    const int material = (g.pawnCount[White] + g.pawnCount[Black]) / 2 + g.knightCount[White] +
                         g.knightCount[Black] + g.diagonalCount[White] + g.diagonalCount[Black] +
                         g.orthogonalCount[White] + g.orthogonalCount[Black];
    if (n > 10) n = (n / 5) * 4;
    e.SearchDepth = depth;
    e.HorizonPly = HorizonFor(material, depth);
    WriteLine(e, "profondit\xE0 ", depth);

    SearchRootMoves(n);
    Report(result, n);
    WriteLine(e, "punteggio mossa  ", root_.best);
  }

  WriteLine(e, "totale millisecondi ", int64_t{ElapsedCentiseconds(e)} * 10);
  WriteLine(e, "scelta mossa  ", root_.bestIndex);
  result.code = n;
  return result;
}

// Pre-analysis of every root move, then the root moves sorted by it, best
// first. When the clock cannot pay for all of it (the time manager's
// pre-analysis limit), it stops after the root move that passes the limit;
// the moves not analysed rank last, and the best move analysed so far is
// played without a main search. Returns the number analysed.
template <Colour S> int Searcher<S>::PreAnalyse(int n) {
  Engine& e = e_;
  const SearchBudget& budget = e.budget;
  const int64_t limit = timed_ && budget.preAnalysisCs >= 0 ? budget.preAnalysisCs : NoLimit;
  int analysed = n;
  for (int i = 1; i <= n; ++i) {
    entryOf_[i] = i;
    if (i > analysed) {
      // Not analysed: last, unless it mates at once, which one generation
      // of the replies shows. No reply of it is known.
      rootValue_[i] = GenerateMoves<O>(e, 2, i) == -2 ? MatedAt<O>(2) : WorstFor<S>();
      e.ReplyTable[i].replyCount = 0;
      continue;
    }
    rootValue_[i] = Blurred(budget.level, e.ChildPositions[i][1].lastMove, PreRoot(i));
    if (preCut_ && i > 1) {
      // Cut before all its replies were seen: its value is not known.
      rootValue_[i] = WorstFor<S>();
      analysed = i - 1;
    } else if (i < n && (preCut_ || ShouldStop(limit))) {
      analysed = i;
    }
  }
  // Stable bubble sort, best for the root side first.
  for (int pass = 1; pass <= n; ++pass) {
    for (int j = 1; j < n; ++j) {
      if (Passes<S>(rootValue_[j + 1], rootValue_[j])) {
        const Position t = e.ChildPositions[j][1];
        e.ChildPositions[j][1] = e.ChildPositions[j + 1][1];
        e.ChildPositions[j + 1][1] = t;
        const int32_t tv = rootValue_[j];
        rootValue_[j] = rootValue_[j + 1];
        rootValue_[j + 1] = tv;
        const int te = entryOf_[j];
        entryOf_[j] = entryOf_[j + 1];
        entryOf_[j + 1] = te;
      }
    }
  }
  ResetMemo(e);
  root_ = RootTally<S>();
  bound_ = root_.second;
  WriteLine(e, "preanalisi millisecondi ", int64_t{ElapsedCentiseconds(e)} * 10);
  return analysed;
}

// The depth of the main search: the fixed depth of an untimed search, else
// predicted from the budget against the time the pre-analysis took (when
// the root side is in check) or carried from the last prediction. A ratio
// of less than 1.5 leaves only root move 1 (n becomes 1).
template <Colour S> int Searcher<S>::ChooseDepth(int& n) {
  Engine& e = e_;
  const SearchBudget& budget = e.budget;
  int64_t t = ElapsedMilliseconds(e);
  if (t == 0) t = 30;
  // Without a clock, a node limit stands in for it: the nodes it allows
  // against those the pre-analysis took.
  const int64_t ratio = timed_ ? budget_ * 10 / t : nodeLimit_ / (e.NodeCount > 0 ? e.NodeCount : 1);
  int depth;
  if (!timed_ && !budget.predictDepth) {
    depth = budget.fixedDepth;
  } else if (e.GamePosition.checkingPiece != 0) {
    depth = 5;
    long double power = e.BranchingFactor;
    for (int k = 2; k <= 8; ++k) {
      power *= static_cast<long double>(e.BranchingFactor);
      if (ratio > static_cast<int64_t>(std::llround(power))) depth = k + 4;
    }
    if (ratio < 4) depth = 4;
    if (ratio < 2) n = 1;  // ratio < 1.5 on an integer ratio
    e.LastPredictedDepth = depth;
  } else {
    depth = e.LastPredictedDepth + 1;
  }
  if (budget.depthLimit > 0 && depth > budget.depthLimit) depth = budget.depthLimit;
  return depth;
}

// The main search over the first n root moves, in pre-analysis order.
template <Colour S> void Searcher<S>::SearchRootMoves(int n) {
  Engine& e = e_;
  n_ = n;
  multiPv_ = std::min({e.budget.multiPv, n, SearchResult::MaxRanked});
  timedOut_ = loweredAtFifth_ = loweredAtHalf_ = false;
  if (n < 2) {
    root_.bestIndex = 1;
    return;
  }
  for (int i = 1; i <= n; ++i) {
    int32_t v;
    cutAtRoot_ = false;
    reply_[i] = 0;
    if (KeySeenTwice(e, PositionKey(e.ChildPositions[i][1], O))) {
      slot_[1] = i;
      v = e.ReplyTable[entryOf_[i]].replyCount == -2 ? MatedAt<O>(2) : 0;
    } else {
      v = Blurred(e.budget.level, e.ChildPositions[i][1].lastMove, MainRoot(i));
    }
    const bool exact = !timedOut_ && !cutAtRoot_;
    if (timedOut_) v = WorstFor<S>();
    root_.Update(i, v);
    UpdateBound(i, v, exact);
    if (timedOut_ || RootLoopShouldStop(n)) {
      WriteCutLine(e, i, n);
      break;
    }
  }
}

// The choice among the first n root moves, its value, depth and line, and
// the ranked lines of a MultiPV search.
template <Colour S> void Searcher<S>::Report(SearchResult& result, int n) {
  int play = root_.Choose(e_.rng, n);
  if (play == 0) play = 1;  // no root move valued: the first stands
  // Without a finished main search the pre-analysis value stands.
  const bool searched = root_.bestIndex > 0 && root_.best != WorstFor<S>();
  result.slot = play;
  result.move = e_.ChildPositions[play][1].lastMove;
  result.value = searched ? root_.best : rootValue_[1];
  result.depth = e_.SearchDepth;
  result.line[0] = result.move;
  result.lineLength = 1;
  if (const int32_t reply = ExpectedReply(play)) result.line[result.lineLength++] = reply;
  RankLines(result, n);
}
template <Colour S> int Searcher<S>::KeepSearchMoves(int n) {
  Engine& e = e_;
  const SearchBudget& b = e.budget;
  int kept = 0;
  for (int i = 1; i <= n; ++i) {
    bool wanted = false;
    for (int k = 0; k < b.searchMoveCount && !wanted; ++k) wanted = b.searchMoves[k] == e.ChildPositions[i][1].lastMove;
    if (!wanted) continue;
    ++kept;
    if (kept != i) e.ChildPositions[kept][1] = e.ChildPositions[i][1];
  }
  if (kept > 0) return kept;
  // None of them is legal here: every move is searched. The children are
  // listed again, since the loop above may have moved some.
  return GenerateMoves<S>(e, 1, 1);
}

template <Colour S> int Searcher<S>::KeepSeen(int ply, const Position& parent, int count) {
  Engine& e = e_;
  const int lastTo = TargetSquare(parent.lastMove);
  const auto seen = [&](int j) { return !Overlooks(e.budget.level, parent, e.ChildPositions[j][ply], lastTo); };
  int kept = 0;
  for (int j = 1; j <= count; ++j) kept += seen(j) ? 1 : 0;
  if (kept == 0) return count;
  kept = 0;
  for (int j = 1; j <= count; ++j) {
    if (!seen(j)) continue;
    ++kept;
    if (kept != j) e.ChildPositions[kept][ply] = e.ChildPositions[j][ply];
  }
  return kept;
}

template <Colour S> void Searcher<S>::UpdateBound(int i, int32_t v, bool exact) {
  mainValue_[i] = v;
  exact_[i] = exact;
  if (multiPv_ <= 1) {
    bound_ = root_.second;
    return;
  }
  // The k-th best exact value so far; until there are k, every move counts.
  int32_t top[SearchResult::MaxRanked];
  int count = 0;
  for (int j = 1; j <= i; ++j) {
    if (!exact_[j]) continue;
    int at;
    if (count < multiPv_) at = count++;
    else if (Passes<S>(mainValue_[j], top[multiPv_ - 1])) at = multiPv_ - 1;
    else continue;
    top[at] = mainValue_[j];
    for (; at > 0 && Passes<S>(top[at], top[at - 1]); --at) {
      const int32_t t = top[at];
      top[at] = top[at - 1];
      top[at - 1] = t;
    }
  }
  bound_ = count < multiPv_ ? WorstFor<S>() : top[multiPv_ - 1];
}

template <Colour S> int32_t Searcher<S>::ExpectedReply(int i) const {
  if (reply_[i] != 0) return reply_[i];
  const ReplyEntry& entry = e_.ReplyTable[entryOf_[i]];
  int64_t best = 0;
  for (int64_t j = 1; j <= entry.replyCount && j <= MaxChildren; ++j)
    if (best == 0 || entry.replies[j] > best) best = entry.replies[j];
  return static_cast<int32_t>(static_cast<uint32_t>(best));
}

template <Colour S> void Searcher<S>::RankLines(SearchResult& result, int n) const {
  result.rankedCount = 0;
  if (multiPv_ <= 1 || n < 2) {
    result.ranked[0] = {result.move, result.value, result.lineLength > 1 ? result.line[1] : 0};
    result.rankedCount = 1;
    return;
  }
  // The exact root values, best first; ties keep the search's order.
  for (int i = 1; i <= n; ++i) {
    if (!exact_[i]) continue;
    int at = result.rankedCount;
    if (at == multiPv_) {
      if (!Passes<S>(mainValue_[i], result.ranked[at - 1].value)) continue;
      --at;
    } else {
      ++result.rankedCount;
    }
    result.ranked[at] = {e_.ChildPositions[i][1].lastMove, mainValue_[i], ExpectedReply(i)};
    // Among equal values the move played comes first.
    const auto before = [&](const SearchResult::Ranked& a, const SearchResult::Ranked& b) {
      return Passes<S>(a.value, b.value) || (a.value == b.value && a.move == result.move);
    };
    for (; at > 0 && before(result.ranked[at], result.ranked[at - 1]); --at) {
      const SearchResult::Ranked t = result.ranked[at];
      result.ranked[at] = result.ranked[at - 1];
      result.ranked[at - 1] = t;
    }
  }
}

}  // namespace search_detail

template <Colour C> SearchResult Search(Engine& e) {
  search_detail::Searcher<C> searcher(e);
  return searcher.Run();
}

}  // namespace ormedan
