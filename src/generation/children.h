// Making the children that the legality loops have listed: a copy of the
// source, the move made on it, and its check mark under the ply's rule.
#pragma once

#include <cstdint>
#include <type_traits>

#include "declare/engine.h"
#include "declare/makemove_impl.h"
#include "generation/board_tables.h"
#include "generation/check_marks.h"
#include "generation/pending.h"
#include "utilita/attacks.h"

namespace ormedan {
namespace generation {

// Calls f with the check rule `rule` as a compile-time constant.
template <class F> [[gnu::always_inline]] inline void WithRule(uint8_t rule, F&& f) {
  switch (rule) {
    case FullRule: f(std::integral_constant<CheckRule, FullRule>{}); break;
    case CaptureRule: f(std::integral_constant<CheckRule, CaptureRule>{}); break;
    default: f(std::integral_constant<CheckRule, InheritRule>{}); break;
  }
}

// Makes one child into `child` from its source, under rule R. Out of line:
// inlined into the callers that choose the rule, the three rules' code
// together costs more than the call.
template <Colour C, CheckRule R>
[[gnu::noinline]] void BuildChildBy(const PendingPly& pp, const Position& src, Position& child, int32_t code) {
  CopyPosition(child, src);
  MakeMoveOf<C>(child, code);
  child.checkingPiece = static_cast<uint8_t>(ChildCheckBy<C, R>(pp, src, child, code));
}

// The same under the rule recorded for the ply.
template <Colour C> void BuildChild(const PendingPly& pp, const Position& src, Position& child, int32_t code) {
  WithRule(pp.checkRule, [&](auto rule) { BuildChildBy<C, decltype(rule)::value>(pp, src, child, code); });
}

// Makes the child of `code` into `child` and tests it in full: returns
// false when the own king is left attacked, else sets the check mark. For
// the few moves that the full-width legality loop does not settle without
// making them; kept out of line so that the loop stays small.
template <Colour C>
[[gnu::noinline]] bool MakeChildInFull(const PendingPly& pp, const Position& src, Position& child, int32_t code) {
  using S = Side<C>;
  CopyPosition(child, src);
  MakeMoveOf<C>(child, code);
  if (SquareAttacked(child, child.pieceFile[S::ownKing], child.pieceRank[S::ownKing], C) != 0) return false;
  child.checkingPiece = static_cast<uint8_t>(ChildCheckBy<C, FullRule>(pp, src, child, code));
  return true;
}

// Every child 1..count of the ply still pending, made from `src`.
template <Colour C> void MakeChildrenFrom(Engine& e, const Position& src, int ply, int count) {
  PendingPly& pp = e.Pending[ply];
  WithRule(pp.checkRule, [&](auto rule) {
    for (int j = 1; j <= count; ++j) {
      if (pp.made[j]) continue;
      BuildChildBy<C, decltype(rule)::value>(pp, src, e.ChildPositions[j][ply], pp.moves[j]);
      pp.made[j] = 1;
    }
  });
}

}  // namespace generation

template <Colour C> const Position& MakePendingChild(Engine& e, int ply, int j) {
  PendingPly& pp = e.Pending[ply];
  Position& child = e.ChildPositions[j][ply];
  const Position& src = e.ChildPositions[pp.sourceSlot][ply - 1];
  generation::BuildChild<C>(pp, src, child, pp.moves[j]);
  pp.made[j] = 1;
  return child;
}

template <Colour C> void MakePendingChildren(Engine& e, int ply, int count) {
  generation::MakeChildrenFrom<C>(e, e.ChildPositions[e.Pending[ply].sourceSlot][ply - 1], ply, count);
}

}  // namespace ormedan
