// The root of the search, written once for both colours: the pre-analysis
// of each root move, the main search's root loop with its depth lowering,
// and the driver that chooses the depth and reports the result.
#pragma once

#include "Alivelli/search_impl.h"

namespace ormedan {

namespace search_detail {

// ---------------------------------------------------------------- pre-analysis

template <Colour S> int32_t Searcher<S>::PreRoot(int rootSlot) {
  Engine& e = e_;
  slot_[1] = rootSlot;
  const bool repeats = KeySeenTwice(e, PositionKey(e.ChildPositions[rootSlot][1], O));
  const int count = GenerateMoves<O>(e, 2, rootSlot);
  ReplyEntry& entry = e.ReplyTable[rootSlot];
  entry.replyCount = count;
  entry.rootMove = e.ChildPositions[rootSlot][1].lastMove;
  if (repeats) return count == -2 ? MatedAt<O>(2) : 0;
  if (count > 0) {
    e.NodeCount += count;
    v_[1] = MatedAt<O>(2);
    for (int j = 1; j <= count; ++j) {
      slot_[2] = j;
      v_[1] = Improve<O>(v_[1], PreNode<2>());
      entry.replies[j] = Traits::ReplyItem(v_[1], e.ChildPositions[j][2].lastMove);
    }
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
  if (!loweredAtFifth_ && n_ > 5 && (!Traits::firstLoweringNeedsDepthAbove4 || e.SearchDepth > 4) && timed_ &&
      ElapsedCentiseconds(e) > BudgetShare(5)) {
    loweredAtFifth_ = true;
    e.SearchDepth -= 1;
    WriteLine(e, Traits::firstLoweringText, e.SearchDepth);
  }
  if (!loweredAtHalf_ && e.SearchDepth > 4 && timed_ && ElapsedCentiseconds(e) > BudgetShare(2)) {
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
    for (int j = 1; j <= count; ++j) {
      if (rootSlot == 1) LowerDepth();
      slot_[2] = j;
      const int32_t child = MainNode<2>();
      if (Passes<O>(child, v) || reply_[rootSlot] == 0) reply_[rootSlot] = e.ChildPositions[j][2].lastMove;
      v = Improve<O>(v, child);
      v_[1] = v;
      if (Passes<O>(v, root_.second)) break;
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

  SearchResult result;
  int n = 0;
  if (budget.answersClaimableDraws) {
    if (KeySeenThrice(e, PositionKey(e.GamePosition, S))) n = -3;
    if (FiftyMoveRuleReached(e)) n = -5;
  }
  if (n == 0) {
    n = GenerateMoves<S>(e, 1, 1);
    if (n > 0) e.NodeCount += n;
  }

  if (n > 0) {
    // Pre-analysis of every root move. When the clock cannot pay for all of
    // it (the time manager's pre-analysis limit), it stops after the root
    // move that passes the limit; the moves not analysed rank last, and the
    // best move analysed so far is played without a main search.
    const int64_t limit = timed_ && budget.preAnalysisCs >= 0 ? budget.preAnalysisCs : NoLimit;
    int analysed = n;
    for (int i = 1; i <= n; ++i) {
      entryOf_[i] = i;
      if (i > analysed) {
        rootValue_[i] = WorstFor<S>();
        continue;
      }
      rootValue_[i] = PreRoot(i);
      if (i < n && ShouldStop(limit)) analysed = i;
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
    WriteLine(e, "preanalisi millisecondi ", int64_t{ElapsedCentiseconds(e)} * 10);

    // Depth selection.
    int64_t t = ElapsedMilliseconds(e);
    if (t == 0) t = 30;
    const int64_t ratio = budget_ * 10 / t;
    int depth;
    if (!timed_) {
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

    if (analysed < n) n = 1;
    if (budget.depthLimit > 0 && depth > budget.depthLimit) depth = budget.depthLimit;

    const Position& g = e.GamePosition;
    const int material = (g.pawnCount[White] + g.pawnCount[Black]) / 2 + g.knightCount[White] +
                         g.knightCount[Black] + g.diagonalCount[White] + g.diagonalCount[Black] +
                         g.orthogonalCount[White] + g.orthogonalCount[Black];
    if (n > 10) n = (n / 5) * 4;
    e.SearchDepth = depth;
    e.HorizonPly = HorizonFor(material, depth);
    WriteLine(e, "profondit\xE0 ", depth);

    // Main search over the root moves.
    n_ = n;
    timedOut_ = loweredAtFifth_ = loweredAtHalf_ = false;
    if (n < 2) {
      root_.bestIndex = 1;
    } else {
      for (int i = 1; i <= n; ++i) {
        int32_t v;
        if (KeySeenTwice(e, PositionKey(e.ChildPositions[i][1], O))) {
          slot_[1] = i;
          v = e.ReplyTable[entryOf_[i]].replyCount == -2 ? MatedAt<O>(2) : 0;
        } else {
          v = MainRoot(i);
        }
        if (timedOut_) v = WorstFor<S>();
        root_.Update(i, v);
        // Stop when less than one root move's share of the budget is left.
        if (timedOut_ || ShouldStop(timed_ ? budget_ - budget_ / n : NoLimit)) {
          WriteCutLine(e, i, n);
          break;
        }
      }
    }

    int play = root_.Choose(e.rng, n);
    if (play == 0) play = 1;  // no root move valued: the first stands
    // Without a finished main search the pre-analysis value stands.
    const bool searched = root_.bestIndex > 0 && root_.best != WorstFor<S>();
    result.slot = play;
    result.move = e.ChildPositions[play][1].lastMove;
    result.value = searched ? root_.best : rootValue_[1];
    result.depth = e.SearchDepth;
    result.line[0] = result.move;
    result.lineLength = 1;
    if (n >= 2 && reply_[play] != 0) result.line[result.lineLength++] = reply_[play];
    WriteLine(e, "punteggio mossa  ", root_.best);
  }

  WriteLine(e, "totale millisecondi ", int64_t{ElapsedCentiseconds(e)} * 10);
  WriteLine(e, "scelta mossa  ", root_.bestIndex);
  result.code = n;
  return result;
}
}  // namespace search_detail

template <Colour C> SearchResult Search(Engine& e) {
  search_detail::Searcher<C> searcher(e);
  return searcher.Run();
}

}  // namespace ormedan
