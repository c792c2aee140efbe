// The generators of both colours, written once over the colour;
// trovamossebianco/generate_white.cpp and trovamossenero/generate_black.cpp
// instantiate them.
//
// Each one lists the pseudo-legal moves of the source in its order
// (move_lists.h), keeps the legal ones (legal_lists.h) and makes them as
// children in ChildPositions[1..n][ply] (children.h), at once or, for the
// search, when asked for (pending.h).
#pragma once

#include <cstdint>

#include "declare/engine.h"
#include "declare/makemove_impl.h"
#include "declare/model.h"
#include "generation/board_tables.h"
#include "generation/children.h"
#include "generation/generate.h"
#include "generation/legal_lists.h"
#include "utilita/attacks.h"

namespace ormedan {
namespace generation {

// Material with which no sequence of moves can end in mate: bare kings, a
// single knight or bishop against a bare king, or one bishop each with both
// on squares of one colour. Knight against knight, bishop against knight and
// bishops on unlike squares can still mate, so those games are played on.
inline bool InsufficientMaterial(const Position& p) {
  if (p.officerCount >= 4) return false;
  const int32_t signature = p.pawnCount[White] + 16 * p.knightCount[White] + 64 * p.diagonalCount[White] +
                            256 * p.orthogonalCount[White] + 1024 * p.pawnCount[Black] +
                            16384 * p.knightCount[Black] + 65536 * p.diagonalCount[Black] +
                            262144 * p.orthogonalCount[Black];
  switch (signature) {
    case 0x0:
    case 0x10:
    case 0x40:
    case 0x4000:
    case 0x10000:
      return true;
    case 0x10040: {
      // One diagonal piece a side and no orthogonal one: two bishops.
      const int w = p.diagonalList[White][1], b = p.diagonalList[Black][1];
      return ((p.pieceFile[w] + p.pieceRank[w]) & 1) == ((p.pieceFile[b] + p.pieceRank[b]) & 1);
    }
    default:
      return false;
  }
}

}  // namespace generation

template <Colour C> int GenerateMoves(Engine& e, int ply, int slot, MaterialTest material) {
  const Position& source = ply == 1 ? e.GamePosition : e.ChildPositions[slot][ply - 1];
  e.MoveCount = 0;
  generation::CopyPosition(e.WorkPosition, source);
  if (ply == 1 && material == MaterialTest::Apply && generation::InsufficientMaterial(e.WorkPosition)) return -4;
  // The source is read from SavedPosition, since at ply 1 it is not in
  // ChildPositions; WorkPosition serves the legality loop as scratch.
  generation::CopyPosition(e.SavedPosition, e.WorkPosition);
  const Position& saved = e.SavedPosition;
  const int n = generation::ListLegalMoves<C>(e, saved, ply, slot, e.WorkPosition, true);
  if (n > 0) {
    generation::MakeChildrenFrom<C>(e, saved, ply, n);
    return n;
  }
  return saved.checkingPiece != 0 ? -2 : -1;
}

template <Colour C> int GenerateCaptures(Engine& e, int ply, int slot) {
  e.MoveCount = 0;
  generation::CopyPosition(e.WorkPosition, e.ChildPositions[slot][ply - 1]);
  generation::CopyPosition(e.SavedPosition, e.WorkPosition);
  const int n = generation::ListLegalCaptures<C>(e, e.SavedPosition, ply, slot, e.WorkPosition, true);
  generation::MakeChildrenFrom<C>(e, e.SavedPosition, ply, n);
  return n;
}

template <Colour C> int GenerateMovesLazily(Engine& e, int ply, int slot) {
  const Position& source = e.ChildPositions[slot][ply - 1];
  const int n = generation::ListLegalMoves<C>(e, source, ply, slot, e.WorkPosition, false);
  if (n > 0) return n;
  return source.checkingPiece != 0 ? -2 : -1;
}

template <Colour C> int GenerateCapturesLazily(Engine& e, int ply, int slot) {
  return generation::ListLegalCaptures<C>(e, e.ChildPositions[slot][ply - 1], ply, slot, e.WorkPosition, false);
}

template <Colour C> int GenerateLeaves(Engine& e, int ply, int slot, uint64_t& checks) {
  const Position& source = e.ChildPositions[slot][ply - 1];
  const int n = generation::ListLegalMoves<C, true>(e, source, ply, slot, e.WorkPosition, false, &checks);
  if (n > 0) return n;
  return source.checkingPiece != 0 ? -2 : -1;
}

}  // namespace ormedan
