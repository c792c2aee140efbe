// The search driver and its tree, written once for both colours.
//
// The tree is a fixed nest of per-ply loops over ChildPositions. The nest is
// produced at compile time from one template over the ply: the node of ply K
// is handled by its own function Node<K>, which calls Node<K + 1> for its
// children, so there is no runtime recursion and no allocation.
//
// Value convention: white-positive, white maximises, black minimises. The
// root side S moves at the even nodes N_0, N_2, ...; the opponent at the odd
// ones. The generation at ply p expands the node N_(p-1).
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "Alivelli/fixed_depth.h"
#include "Alivelli/search.h"
#include "Alivelli/search_values.h"
#include "Alivelli/strength.h"
#include "Alivelli/tables.h"
#include "declare/game_record.h"
#include "declare/line_builder.h"
#include "declare/model.h"
#include "generation/generate.h"
#include "valutazioni/evaluate.h"

namespace ormedan {

namespace search_detail {

// One diagnostic line: a text and a number.
inline void WriteLine(Engine& e, std::string_view text, int64_t value) {
  e.Write(LineBuilder().Text(text).Number(value).View());
}

inline void WriteCutLine(Engine& e, int64_t index, int64_t count) {
  e.Write(LineBuilder().Text("tagliato a mossa  ").Number(index).Text(" su ").Number(count).View());
}

template <Colour S> class Searcher {
 public:
  using Traits = SearchSide<S>;
  static constexpr Colour O = Other(S);

  explicit Searcher(Engine& e) : e_(e) {}

  SearchResult Run();

 private:
  // ---- the driver's steps (search_root.h) ----
  int PreAnalyse(int n);
  int ChooseDepth(int& n);
  void SearchRootMoves(int n);
  void Report(SearchResult& result, int n);

  // ---- pre-analysis ----
  int32_t PreRoot(int rootSlot);
  template <int K> int32_t PreNode();

  // ---- main search ----
  int32_t MainRoot(int rootSlot);
  template <int K> int32_t MainNode();
  template <int K> bool MainCut() const;
  // The rules of MainCut.
  template <int K> bool ParentCut() const;
  template <int K> bool RootBoundCut(int D) const;
  template <int K> bool FirstReplyCut(int D) const;
  template <int K, int A> bool CaptureAncestorCut(int D) const;
  void LowerDepth();

  // N_3 with the memo: a line already seen with first and third moves
  // exchanged takes its remembered value.
  template <bool Main> int32_t ValueOfThirdNode();

  // The value of child j of N_K in the pre-analysis or the main search: its
  // material at the last ply, else the value of its own node.
  template <bool Main, int K> [[gnu::always_inline]] int32_t ChildValue(int j) {
    constexpr int p = K + 1;
    constexpr int last = Main ? LastMainPly : Traits::lastPreAnalysisPly;
    if constexpr (p == last) {
      return PendingChildMaterial(e_, p, j);
    } else {
      slot_[p] = j;
      if constexpr (p == 3) return ValueOfThirdNode<Main>();
      else if constexpr (Main) return MainNode<p>();
      else return PreNode<p>();
    }
  }

  // The node N_K of slot s, its check mark and its material. From ply 3 on
  // the children come from the lazy generators: a node is made only when
  // its check mark is not known without it or when it is expanded; a node
  // valued by its material alone is never made.
  template <int K> const Position& NodeAt(int s) {
    if constexpr (K == 2) return e_.ChildPositions[s][2];
    else return PendingChild<MoverAt<S, K - 1>>(e_, K, s);
  }
  template <int K> int CheckAt(int s) {
    if constexpr (K == 2) return e_.ChildPositions[s][2].checkingPiece;
    else return PendingChildCheck<MoverAt<S, K - 1>>(e_, K, s);
  }
  template <int K> int32_t MaterialAt(int s) const {
    if constexpr (K == 2) return e_.ChildPositions[s][2].material;
    else return PendingChildMaterial(e_, K, s);
  }

  // The one question the search asks at its check points: whether to stop
  // now. The clock has passed `limitCs` (NoLimit: the clock ends nothing),
  // the node limit is reached, or the client wants the move now.
  bool ShouldStop(int64_t limitCs) {
    if (limitCs != NoLimit && ElapsedCentiseconds(e_) > limitCs) return true;
    if (e_.budget.nodeLimit > 0 && e_.NodeCount >= e_.budget.nodeLimit) return true;
    return e_.StopRequested();
  }
  static constexpr int64_t NoLimit = INT64_MAX;
  // Whether the search has spent more than the share 1/divisor of its
  // budget: of the clock, or of the node limit.
  bool PastShare(int64_t divisor) {
    if (timed_ && ElapsedCentiseconds(e_) > budget_ / divisor) return true;
    return nodeLimit_ > 0 && e_.NodeCount > nodeLimit_ / divisor;
  }
  // The root loop stops when less than one root move's share of the budget
  // (of n) is left, or anything else ends the search.
  bool RootLoopShouldStop(int n) {
    if (ShouldStop(timed_ ? budget_ - budget_ / n : NoLimit)) return true;
    return nodeLimit_ > 0 && nodeLimit_ - e_.NodeCount < nodeLimit_ / n;
  }
  // Keeps only the root moves of budget.searchMoves (all of them when none
  // of those is legal); returns the new count.
  int KeepSearchMoves(int n);
  // The root bound after root move i has its main value v: the value a root
  // move must reach to be one of those kept (with one line, the tally's).
  void UpdateBound(int i, int32_t v, bool exact);
  // The reply root move i was valued against: from the main search, else
  // the pre-analysis's best.
  int32_t ExpectedReply(int i) const;
  void RankLines(SearchResult& result, int n) const;
  // Below full strength: drops the children at `ply` of `parent` that the
  // level overlooks, keeping the order of the rest (all of them stay when
  // it would overlook every one); returns the new count.
  int KeepSeen(int ply, const Position& parent, int count);

  void FlagKiller(uint8_t* table, int32_t move) {
    const int index = Traits::KillerIndex(move);
    if (index >= 0) table[index] = 1;
  }

  Engine& e_;
  int32_t v_[MaxPly + 1] = {};  // running value of N_k
  int slot_[MaxPly + 1] = {};   // i_k: slot of N_k among its parent's children

  // Driver state of one call.
  int n_ = 0;
  int64_t budget_ = 0;
  bool timed_ = true;
  int64_t moveLimit_ = NoLimit;
  int64_t nodeLimit_ = 0;
  int multiPv_ = 1;
  int32_t bound_ = 0;       // the root bound the tree prunes against
  bool cutAtRoot_ = false;  // the last MainRoot stopped at the root bound
  bool preCut_ = false;     // the node limit cut the pre-analysis
  int32_t mainValue_[MaxChildren + 1] = {};
  bool exact_[MaxChildren + 1] = {};
  int32_t reply_[MaxChildren + 1] = {};  // the reply each root move was valued against
  RootTally<S> root_;
  bool timedOut_ = false, loweredAtFifth_ = false, loweredAtHalf_ = false;
  int32_t rootValue_[MaxChildren + 1] = {};
  int entryOf_[MaxChildren + 1] = {};  // reply table entry of each sorted root move
};

// ---------------------------------------------------------------- pre-analysis

template <Colour S> template <int K> int32_t Searcher<S>::PreNode() {
  constexpr int p = K + 1;
  constexpr Colour M = MoverAt<S, K>;
  constexpr int last = Traits::lastPreAnalysisPly;
  static_assert(K >= 2 && p <= last);
  Engine& e = e_;
  const int s = slot_[K];
  int count;
  int32_t start;
  if (p <= 4 || CheckAt<K>(s) != 0) {
    NodeAt<K>(s);
    count = GenerateMovesLazily<M>(e, p, s);
    start = MatedAt<M>(p);
  } else {
    start = NodeAt<K>(s).material;
    count = GenerateCapturesLazily<M>(e, p, s);
  }
  if (count > 0) {
    e.NodeCount += count;
    int32_t v = start;
    v_[K] = v;
    for (int j = 1; j <= count; ++j) {
      v = Improve<M>(v, ChildValue<false, K>(j));
      v_[K] = v;
      if (Reaches<M>(v, v_[K - 1])) {
        if constexpr (K == 2) FlagKiller(e.OddPlyKillers, PendingChildMove(e, 3, j));
        if constexpr (K == 3) FlagKiller(e.EvenPlyKillers, PendingChildMove(e, 4, j));
        break;
      }
    }
    if constexpr (K == 3) v_[K] = Evaluate(e, 3, s, v_[K]);
  } else {
    v_[K] = count == 0 ? MaterialAt<K>(s) : count == -2 ? MatedAt<M>(p) : 0;
  }
  return v_[K];
}

template <Colour S> template <bool Main> int32_t Searcher<S>::ValueOfThirdNode() {
  const int third = slot_[3];
  NodeAt<3>(third);  // the memo reads its move from ChildPositions
  if (slot_[1] > 1) {
    const int32_t seen = TranspositionLookup(e_, slot_[1], slot_[2], third);
    if (seen != MemoNotFound) return seen;
  }
  int32_t v;
  if constexpr (Main) v = MainNode<3>();
  else v = PreNode<3>();
  TranspositionStore(e_, slot_[1], slot_[2], third, v);
  return v;
}

// ---------------------------------------------------------------- main search

// The cut tests of N_K, made after its running value has taken a child:
// any rule that holds ends the loop over N_K's remaining children. Each rule
// compares N_K's value with a value that the other side already holds
// higher up; N_K's side to move is M.
template <Colour S> template <int K> bool Searcher<S>::MainCut() const {
  const int D = e_.SearchDepth;
  return ParentCut<K>() || RootBoundCut<K>(D) || FirstReplyCut<K>(D) || CaptureAncestorCut<K, K - 3>(D) ||
         CaptureAncestorCut<K, K - 5>(D) || CaptureAncestorCut<K, K - 7>(D);
}

// The parent, at every node: the parent's side will not choose a child that
// is already at least as good for us as what it has elsewhere.
template <Colour S> template <int K> bool Searcher<S>::ParentCut() const {
  return Reaches<MoverAt<S, K>>(v_[K], v_[K - 1]);
}

// The root bound, at N_3 and, when the depth goes beyond it, at N_5: the
// opponent already holds this root move to the value that the root's
// better moves have set, so it cannot become one of them.
template <Colour S> template <int K> bool Searcher<S>::RootBoundCut(int D) const {
  if constexpr (K == 3 || K == 5) return (K == 3 || D > K) && Reaches<MoverAt<S, K>>(v_[K], bound_);
  else return false;
}

// The opponent's reply at N_1, at N_4 and N_6 when the depth goes beyond
// them: the root side already does as well here as against the reply
// that the opponent has found best so far.
template <Colour S> template <int K> bool Searcher<S>::FirstReplyCut(int D) const {
  if constexpr (K == 4 || K == 6) return D > K && Reaches<MoverAt<S, K>>(v_[K], v_[1]);
  else return false;
}

// Older ancestors in the capture part of the tree, from N_7 to N_13:
// against the other side's ancestor A, three, five or seven plies up, when
// A is at ply 4 or deeper and at or beyond the depth, so that it was
// expanded with captures only. At N_13 only a strict gain cuts.
template <Colour S> template <int K, int A> bool Searcher<S>::CaptureAncestorCut(int D) const {
  constexpr Colour M = MoverAt<S, K>;
  if constexpr (K >= 7 && K <= 13 && A >= 4) {
    if constexpr (K == 13) return D <= A && Passes<M>(v_[K], v_[A]);
    else return D <= A && Reaches<M>(v_[K], v_[A]);
  } else {
    return false;
  }
}

template <Colour S> template <int K> int32_t Searcher<S>::MainNode() {
  constexpr int p = K + 1;
  constexpr Colour M = MoverAt<S, K>;
  static_assert(K >= 2 && p <= LastMainPly);
  Engine& e = e_;
  const int s = slot_[K];
  const int D = e.SearchDepth;
  int count;
  int32_t start = 0;
  if (p == 3 || CheckAt<K>(s) != 0 || (p <= Traits::lastFullWidthPly && D >= p)) {
    NodeAt<K>(s);
    count = GenerateMovesLazily<M>(e, p, s);
    start = MatedAt<M>(p);
  } else if (p <= AlwaysCapturesToPly || e.HorizonPly >= p) {
    start = NodeAt<K>(s).material;
    count = GenerateCapturesLazily<M>(e, p, s);
  } else {
    count = 0;
  }
  if (count > 0) {
    e.NodeCount += count;
    int32_t v = start;
    v_[K] = v;
    for (int j = 1; j <= count; ++j) {
      if constexpr (K == 5) {
        // Time check before each generation at ply 7; a client's stop
        // request ends the search the same way.
        if (timedOut_ || ShouldStop(moveLimit_)) {
          timedOut_ = true;
          break;
        }
      }
      if constexpr (K == 4) {
        // A node limit is also looked at before each generation at ply 6,
        // which shallow trees reach far more often than ply 7.
        if (nodeLimit_ > 0 && (timedOut_ || e.NodeCount >= nodeLimit_)) {
          timedOut_ = true;
          break;
        }
      }
      v = Improve<M>(v, ChildValue<true, K>(j));
      v_[K] = v;
      if (MainCut<K>()) break;
    }
    if (K == D && D >= FirstEvaluatedDepth && D <= LastEvaluatedDepth) v_[K] = Evaluate(e, K, s, v_[K]);
  } else {
    v_[K] = count == 0 ? MaterialAt<K>(s) : count == -2 ? MatedAt<M>(p) : 0;
  }
  return v_[K];
}

}  // namespace search_detail

}  // namespace ormedan
