// The two legality loops: the legal moves of the full generator and the
// legal captures of the quiescence plies, in list order, into
// e.Pending[ply]. Most moves are settled without making them.
#pragma once

#include <cstdint>

#include "declare/engine.h"
#include "declare/makemove_impl.h"
#include "generation/board_tables.h"
#include "generation/check_marks.h"
#include "generation/children.h"
#include "generation/legality.h"
#include "generation/move_lists.h"
#include "generation/pending.h"
#include "utilita/attacks.h"

namespace ormedan::generation {

// The legal moves of GenerateMoves. A king step is tested on `scratch`.
// Any other move (but en passant) leaves the king attacked exactly when a
// slider reaches it afterwards (KingGuard) or a pawn or knight that gives
// check is not the piece taken. Castling and en passant are made at once in
// the child slot and tested there in full; those children are left made.
// The check marks of the children are settled by the full rule of
// ChildCheckBy, from the facts recorded in e.Pending[ply] here.
//
// `scratch` must hold a copy of src on entry when scratchReady; otherwise
// it is filled on first use. It holds that copy again on return.
//
// With Leaves (perft's last ply, whose children are never visited), each
// move that would be left pending is made at once on `scratch` instead, its
// check mark set and counted into *leafChecks, and then put back by
// RestoreBeforeMove; it is not recorded in e.Pending[ply]. The children
// made in their slots are counted too.
template <Colour C, bool Leaves = false>
int ListLegalMoves(Engine& e, const Position& src, int ply, int sourceSlot, Position& scratch, bool scratchReady,
                   uint64_t* leafChecks = nullptr) {
  using S = Side<C>;
  OrderingSink sink((ply & 1) ? e.OddPlyKillers : e.EvenPlyKillers);
  ListMoves<C>(src, sink, src.checkingPiece == 0);
  const int count = sink.Assemble(e.MoveList);
  e.MoveCount = count;

  PendingPly& pp = e.Pending[ply];
  const int ownKingFile = src.pieceFile[S::ownKing], ownKingRank = src.pieceRank[S::ownKing];
  const int enemyKingFile = src.pieceFile[S::enemyKing], enemyKingRank = src.pieceRank[S::enemyKing];
  const bool ownKingAttacked = SquareAttacked(src, ownKingFile, ownKingRank, C) != 0;
  const uint32_t pinned = LoneBlockers(src, ownKingFile, ownKingRank, S::enemy);
  pp.sourceSlot = sourceSlot;
  pp.checkRule = FullRule;
  pp.enemyKingAttacked = SliderAttacksSquare(src, enemyKingFile, enemyKingRank, S::enemy) != 0;
  pp.uncovering = LoneBlockers(src, enemyKingFile, enemyKingRank, C);
  pp.pawnBesideKing = PawnBesideKing<C>(src, enemyKingFile, enemyKingRank);
  KingGuard guard;
  bool guardReady = false;
  // In check: the pawns and knights that give it; with the enemy king
  // beside ours (no legal position) every move is made.
  int jumpers = 0, jumper = 0;
  bool makeEvasions = false;
  if (ownKingAttacked) {
    guard.Build(src, ownKingFile, ownKingRank, S::enemy);
    guardReady = true;
    CheckingJumpers<C>(src, ownKingFile, ownKingRank, &jumpers, &jumper);
    makeEvasions = Distance(enemyKingFile, ownKingFile) <= 1 && Distance(enemyKingRank, ownKingRank) <= 1;
  }
  int n = 0;
  uint64_t checks = 0;
  if constexpr (Leaves) {
    if (!scratchReady) {
      CopyPosition(scratch, src);
      scratchReady = true;
    }
  }
  for (int i = 0; i < count; ++i) {
    const int32_t code = e.MoveList[i];
    // A king is never taken. The mover can attack it only after the same
    // side has moved twice (the driver does not keep turns).
    if (MoveCaptured(code) == S::enemyKing) continue;
    const int mover = MovePiece(code);
    const int toFile = MoveToFile(code), toRank = MoveToRank(code);
    const bool kingMove = mover == S::ownKing;
    const int fromFile = src.pieceFile[mover], fromRank = src.pieceRank[mover];
    const bool castling = kingMove && (toFile - fromFile == 2 || fromFile - toFile == 2);
    const int captured = MoveCaptured(code);
    const bool enPassant = captured != 0 && src.board[toFile][toRank] == 0;
    if (makeEvasions || castling || enPassant) {
      Position& child = e.ChildPositions[n + 1][ply];
      if (!MakeChildInFull<C>(pp, src, child, code)) continue;
      if constexpr (Leaves) checks += child.checkingPiece != 0 ? 1 : 0;
      ++n;
      pp.moves[n] = code;
      pp.made[n] = 1;
      continue;
    }
    if (kingMove) {
      if (!scratchReady) {
        CopyPosition(scratch, src);
        scratchReady = true;
      }
      if (KingStepAttacked<C>(scratch, fromFile, fromRank, toFile, toRank)) continue;
    } else if (ownKingAttacked) {
      if (jumpers > 1 || (jumpers == 1 && captured != jumper)) continue;
      if (guard.Exposed(mover, toFile, toRank, captured, captured == 0)) continue;
    } else if (InMask(pinned, mover)) {
      if (!guardReady) {
        guard.Build(src, ownKingFile, ownKingRank, S::enemy);
        guardReady = true;
      }
      if (guard.Exposed(mover, toFile, toRank, captured, captured == 0)) continue;
    }
    ++n;
    if constexpr (!Leaves) {
      pp.moves[n] = code;
      pp.made[n] = 0;
    } else {
      MakeMoveOf<C>(scratch, code);
      scratch.checkingPiece = static_cast<uint8_t>(ChildCheckBy<C, FullRule>(pp, src, scratch, code));
      checks += scratch.checkingPiece != 0 ? 1 : 0;
      // The whole child is written to memory before it is put back, so no
      // part of the make can be dropped as unread.
      asm volatile("" : : "m"(scratch));
      RestoreBeforeMove<C>(scratch, src, code);
    }
  }
  if constexpr (Leaves) *leafChecks += checks;
  return n;
}

// The legal captures and promotions of GenerateCaptures. The side to move
// is taken as not in check: a king capture is tested on `scratch`; any
// other move can only open a line to the own king, which matters only when
// an enemy slider is flagged on a line with it (kingLine), and is then
// settled by KingGuard, en passant by making it. Same contract for
// `scratch` as ListLegalMoves.
//
// A piece that has just been promoted keeps the kingLine it had as a pawn
// (none) until it moves; MakeMove sets the flag only for the piece that
// moves. So an enemy queen born on a line with our king does not count as
// aligned here, and a capture that opens that line is listed as legal.
// The quiescence plies accept that trade for the cheap test.
template <Colour C>
int ListLegalCaptures(Engine& e, const Position& src, int ply, int sourceSlot, Position& scratch, bool scratchReady) {
  using S = Side<C>;
  CaptureSink<C> sink(src);
  ListCaptures<C>(src, sink);
  int count = 0;
  if (ply == e.HorizonPly) {
    // At the horizon only the good captures, or else all the others.
    if (sink.goodCount > 0)
      for (int i = 0; i < sink.goodCount; ++i) e.MoveList[count++] = sink.good[i];
    else
      for (int i = 0; i < sink.otherCount; ++i) e.MoveList[count++] = sink.other[i];
  } else {
    for (int i = 0; i < sink.goodCount; ++i) e.MoveList[count++] = sink.good[i];
    for (int i = 0; i < sink.otherCount; ++i) e.MoveList[count++] = sink.other[i];
  }
  e.MoveCount = count;
  PendingPly& pp = e.Pending[ply];
  pp.sourceSlot = sourceSlot;
  pp.checkRule = ply < e.HorizonPly ? CaptureRule : InheritRule;
  pp.inheritedCheck = src.checkingPiece;
  if (count == 0) return 0;

  const bool enemyAligned = SliderOnKingLine(src, S::enemy);
  const int ownKingFile = src.pieceFile[S::ownKing], ownKingRank = src.pieceRank[S::ownKing];
  KingGuard guard;
  bool guardReady = false;
  int n = 0;
  for (int i = 0; i < count; ++i) {
    const int32_t code = e.MoveList[i];
    const int mover = MovePiece(code);
    if (mover == S::ownKing) {
      if (!scratchReady) {
        CopyPosition(scratch, src);
        scratchReady = true;
      }
      if (KingStepAttacked<C>(scratch, ownKingFile, ownKingRank, MoveToFile(code), MoveToRank(code))) continue;
    } else if (enemyAligned) {
      const int toFile = MoveToFile(code), toRank = MoveToRank(code);
      const int captured = MoveCaptured(code);
      const bool toEmpty = src.board[toFile][toRank] == 0;
      if (captured != 0 && toEmpty) {
        // En passant: made now and tested on the child.
        Position& child = e.ChildPositions[n + 1][ply];
        CopyPosition(child, src);
        MakeMoveOf<C>(child, code);
        if (SliderAttacksSquare(child, ownKingFile, ownKingRank, C) != 0) continue;
        WithRule(pp.checkRule, [&](auto rule) {
          child.checkingPiece = static_cast<uint8_t>(ChildCheckBy<C, decltype(rule)::value>(pp, src, child, code));
        });
        ++n;
        pp.moves[n] = code;
        pp.made[n] = 1;
        continue;
      }
      if (!guardReady) {
        guard.Build(src, ownKingFile, ownKingRank, S::enemy);
        guardReady = true;
      }
      if (guard.Exposed(mover, toFile, toRank, captured, toEmpty)) continue;
    }
    ++n;
    pp.moves[n] = code;
    pp.made[n] = 0;
  }
  return n;
}

}  // namespace ormedan::generation
