// Static evaluation: the elementary endings first, then material scaled by
// the pieces left and the positional terms, each in its fixed order.
#include "valutazioni/evaluate.h"

#include "utilita/attacks.h"
#include "valutazioni/eval_terms.h"

namespace ormedan {

using namespace eval_terms;

namespace {

// What the mirrored terms need to know about a colour, beyond Side<C> (sign,
// pawnStep, the kings, the initial rooks as longRook and shortRook).
template <Colour C> struct EvalSide;

template <> struct EvalSide<White> : Side<White> {
  // Ranks on which an enemy pawn stops this colour's pawn on rank r from
  // being passed: r+1 .. 7.
  static int BlockFrom(int r) { return r + 1; }
  static int BlockTo(int) { return kRank7; }
  static int RelativeRank(int r) { return r; }
  // The initial bishops (c and f) and knights (b and g), followed through
  // the game by their PieceIds.
  static constexpr int queensBishop = 5, kingsBishop = 6, queensKnight = 7, kingsKnight = 8;
  // The fifth, sixth and seventh ranks counted from this colour's side.
  static constexpr int fifthRank = kRank5, sixthRank = kRank6, seventhRank = kRank7;
};

template <> struct EvalSide<Black> : Side<Black> {
  static int BlockFrom(int) { return kRank2; }
  static int BlockTo(int r) { return r - 1; }
  static int RelativeRank(int r) { return kRank1 + kRank8 - r; }
  static constexpr int queensBishop = 21, kingsBishop = 22, queensKnight = 23, kingsKnight = 24;
  static constexpr int fifthRank = kRank4, sixthRank = kRank3, seventhRank = kRank2;
};

using W = EvalSide<White>;
using B = EvalSide<Black>;

// Value of the piece on a square; rank 0 and files 0 and 9 are empty.
// Callers keep the rank within 0..8.
int ValueAt(const Position& p, int f, int r) { return p.pieceValue[p.board[f][r]]; }

// Slider q attacks (f, r) along an open rank or file, or diagonal.
bool AttacksAlongRankOrFile(const Position& p, int f, int r, int q) {
  return attack_detail::Orthogonal(p, p.pieceFile[q], p.pieceRank[q], f, r);
}
bool AttacksAlongDiagonal(const Position& p, int f, int r, int q) {
  return attack_detail::Diagonal(p, p.pieceFile[q], p.pieceRank[q], f, r);
}

// Pawn structure terms of colour C: passed, supported, isolated and weak
// pawns. own[] counts the colour's pawns per file, files 0 and 9 empty.
template <Colour C>
int PawnTerms(const Position& p, const PawnsPerFile& own, int phase) {
  using S = EvalSide<C>;
  constexpr int pawn = PawnValue * S::sign;
  const int enemyPawn = -pawn;
  int score = 0;
  for (int k = 1; k <= p.pawnCount[C]; ++k) {
    const int id = p.pawnList[C][k];
    const int f = p.pieceFile[id], r = p.pieceRank[id];

    bool passed = true;
    for (int ff = f - 1; ff <= f + 1 && passed; ++ff)
      for (int rr = S::BlockFrom(r); rr <= S::BlockTo(r); ++rr)
        if (ValueAt(p, ff, rr) == enemyPawn) {
          passed = false;
          break;
        }
    if (passed && (phase == kMiddleGame || phase == kEndgame)) {
      const int rel = S::RelativeRank(r);
      if (rel >= kPassedFirstRank && rel <= kPassedLastRank) {
        const bool defended = SquareAttacked(p, f, r, Side<C>::enemy) != 0;
        score += S::sign * kPassedBonus[phase == kEndgame][defended][rel];
      }
    }

    // A pawn of the own colour diagonally behind supports this one. The
    // rank behind a black pawn on rank 8 would lie outside the board array.
    bool supported = false;
    const int behind = r - S::pawnStep;
    if (f >= kFileB && f <= kFileG && behind >= 0 && behind <= kRank8) {
      if (ValueAt(p, f + 1, behind) == pawn) {
        score += kSupportedPawn * S::sign;
        supported = true;
      }
      if (ValueAt(p, f - 1, behind) == pawn) {
        score += kSupportedPawn * S::sign;
        supported = true;
      }
    }

    if (own[f - 1] + own[f + 1] == 0) score -= kIsolatedPawn * S::sign;
    if (!supported && AttackerCount<Side<C>::enemy>(p, f, r) > AttackerCount<C>(p, f, r))
      score -= kWeakPawn * S::sign;
  }
  return score;
}

// The bad bishop: the only diagonal piece of colour C and its own pawns on
// squares of its colour.
template <Colour C>
int BadBishop(const Position& p) {
  if (p.diagonalCount[C] != 1 || p.pawnCount[C] == 0) return 0;
  const int b = p.diagonalList[C][1];
  const int parity = (p.pieceFile[b] + p.pieceRank[b]) & 1;
  int score = 0;
  for (int k = 1; k <= p.pawnCount[C]; ++k) {
    const int id = p.pawnList[C][k];
    if (((p.pieceFile[id] + p.pieceRank[id]) & 1) == parity) score -= kBadBishopPerPawn * Side<C>::sign;
  }
  return score;
}

// Rooks of the initial array: open and half-open files, the seventh rank,
// and the pair on one open file.
template <Colour C>
int RookTerms(const Position& p, const PawnsPerFile& wpf, const PawnsPerFile& bpf, int totalPawns) {
  using S = EvalSide<C>;
  const int enemyPawns = p.pawnCount[Side<C>::enemy];
  int score = 0;
  for (int id : {S::longRook, S::shortRook}) {
    if (p.pieceValue[id] == 0) continue;
    const int f = p.pieceFile[id];
    const int pawns = wpf[f] + bpf[f];
    if (pawns == 0) score += S::sign * (kRookOpenFilePerPawn * totalPawns - kRookFileDiscount);
    if (pawns == 1) score += S::sign * (kRookHalfOpenFilePerPawn * totalPawns - kRookFileDiscount);
    if (p.pieceRank[id] == S::seventhRank && enemyPawns > kRookOnSeventhFewPawns)
      score += S::sign * kRookOnSeventhPerPawn * enemyPawns;
  }
  if (p.pieceValue[S::longRook] != 0 && p.pieceValue[S::shortRook] != 0) {
    const int f = p.pieceFile[S::longRook];
    if (f == p.pieceFile[S::shortRook] && wpf[f] + bpf[f] == 0) score += S::sign * kRooksDoubledOnOpenFile;
  }
  return score;
}

bool OnCentre(const Position& p, int id) {
  const int f = p.pieceFile[id], r = p.pieceRank[id];
  return f >= kCentreFirst && f <= kCentreLast && r >= kCentreFirst && r <= kCentreLast;
}

int EdgeBonus(int f, int r) {
  int b = 0;
  if (f == kFileA || r == kRank1) b += kLoneKingOnEdge;
  if (f == kFileH || r == kRank8) b += kLoneKingOnEdge;
  if (f == kFileB || r == kRank2) b += kLoneKingNextToEdge;
  if (f == kFileG || r == kRank7) b += kLoneKingNextToEdge;
  return b;
}

// Rook or queen with its king against a lone king.
int LoneOfficerBonus(const Position& p, int officer, int loneKing) {
  int b = 0;
  const int of = p.pieceFile[officer], orank = p.pieceRank[officer];
  if (of == kFileD || of == kFileE)
    b += kOfficerOnCentreLine;
  else if (orank == kRank4 || orank == kRank5)
    b += kOfficerOnCentreLine;
  const int d = Distance(p.pieceFile[W::ownKing], p.pieceFile[B::ownKing]) +
                Distance(p.pieceRank[W::ownKing], p.pieceRank[B::ownKing]);
  if (d == 2) b += kKingsTwoApart;
  if (d == 3) b += kKingsThreeApart;
  if (d == 4) b += kKingsFourApart;
  return b + EdgeBonus(p.pieceFile[loneKing], p.pieceRank[loneKing]);
}

// The elementary endings. Returns true with the score when one applies.
bool SpecialEnding(const Position& p, bool whiteToMove, int totalPawns, int& score) {
  if (totalPawns == 0 && p.officerCount == 1) {
    if (p.material > 0) {
      score = p.orthogonalCount[White] == 1
                  ? kLoneKingWon + LoneOfficerBonus(p, p.orthogonalList[White][1], B::ownKing)
                  : 0;
    } else {
      score = p.orthogonalCount[Black] == 1
                  ? -kLoneKingWon - LoneOfficerBonus(p, p.orthogonalList[Black][1], W::ownKing)
                  : 0;
    }
    return true;
  }
  if (totalPawns == 1 && p.officerCount == 0) {
    // Rule of the square against the lone king.
    if (p.material > 0) {
      const int pawn = p.pawnList[White][1];
      const int o = p.pieceRank[pawn] - (whiteToMove ? 0 : 1);
      if (p.pieceRank[B::ownKing] < o || Distance(p.pieceFile[pawn], p.pieceFile[B::ownKing]) > kRank8 - o) {
        score = kPawnRaceWon + kPawnRacePerRank * o;
        return true;
      }
    } else {
      const int pawn = p.pawnList[Black][1];
      const int o = p.pieceRank[pawn] - (whiteToMove ? 1 : 0);
      if (p.pieceRank[W::ownKing] > o || Distance(p.pieceFile[pawn], p.pieceFile[W::ownKing]) > o) {
        score = -kPawnRaceWon - kPawnRacePerRank * (kRank8 - o);
        return true;
      }
    }
  }
  return false;
}

}  // namespace

template <Colour C>
int AttackerCount(const Position& p, int file, int rank) {
  if (file < kFileA || file > kFileH || rank < kRank1 || rank > kRank8) return 0;
  int n = 0;
  // Pawns one rank behind the square, seen from colour C; the rank behind
  // rank 8 for black would fall outside the board array.
  const int pawnRank = rank - Side<C>::pawnStep;
  if (pawnRank >= 0 && pawnRank <= kRank8) {
    const int pawn = PawnValue * Side<C>::sign;
    n += ValueAt(p, file - 1, pawnRank) == pawn;
    n += ValueAt(p, file + 1, pawnRank) == pawn;
  }
  for (int k = 1; k <= p.knightCount[C]; ++k) {
    const int q = p.knightList[C][k];
    const int prod = (p.pieceFile[q] - file) * (p.pieceRank[q] - rank);
    n += prod == kKnightLeapProduct || prod == -kKnightLeapProduct;
  }
  const int king = Side<C>::ownKing;
  n += Distance(p.pieceFile[king], file) <= 1 && Distance(p.pieceRank[king], rank) <= 1;
  // A queen sits in both slider lists but shares only one line with the
  // square, so it is counted once.
  for (int k = 1; k <= p.diagonalCount[C]; ++k) n += AttacksAlongDiagonal(p, file, rank, p.diagonalList[C][k]);
  for (int k = 1; k <= p.orthogonalCount[C]; ++k)
    n += AttacksAlongRankOrFile(p, file, rank, p.orthogonalList[C][k]);
  return n;
}

template int AttackerCount<White>(const Position&, int, int);
template int AttackerCount<Black>(const Position&, int, int);

int Evaluate(Engine& e, int ply, int slot, int base) {
  // Only the stored positions can be evaluated; anything else adds nothing.
  if (ply < 0 || ply > MaxPly || (ply > 0 && (slot < 1 || slot > MaxChildren))) return base;
  const Position& source = ply == 0 ? e.GamePosition : e.ChildPositions[slot][ply];
  const bool whiteToMove = MovePiece(source.lastMove) > W::lastPiece;
  e.WorkPosition = source;
  const Position& p = e.WorkPosition;

  const int totalPawns = p.pawnCount[White] + p.pawnCount[Black];
  int special = 0;
  if (SpecialEnding(p, whiteToMove, totalPawns, special)) return special;

  const int phase = p.gamePhase;
  const bool middle = phase == kMiddleGame;
  const bool endgame = phase == kEndgame;

  int score = base;
  const int divisor = totalPawns / kPawnsPerPiece + p.officerCount;
  if (divisor > 0) score += p.material / divisor;

  PawnsPerFile wpf = {}, bpf = {};
  for (int k = 1; k <= p.pawnCount[White]; ++k) ++wpf[p.pieceFile[p.pawnList[White][k]]];
  for (int k = 1; k <= p.pawnCount[Black]; ++k) ++bpf[p.pieceFile[p.pawnList[Black][k]]];

  if (middle) {
    if (ValueAt(p, kFileD, W::startRank) == PawnValue) score -= kCentrePawnAtHome;
    if (ValueAt(p, kFileE, W::startRank) == PawnValue) score -= kCentrePawnAtHome;
    if (ValueAt(p, kFileD, B::startRank) == -PawnValue) score += kCentrePawnAtHome;
    if (ValueAt(p, kFileE, B::startRank) == -PawnValue) score += kCentrePawnAtHome;
  }

  score += PawnTerms<White>(p, wpf, phase);
  score += PawnTerms<Black>(p, bpf, phase);

  for (int f = kFileA; f <= kFileH; ++f) {
    if (bpf[f] > 1) score += kDoubledPawn * bpf[f];
    if (wpf[f] > 1) score -= kDoubledPawn * wpf[f];
  }

  score += BadBishop<White>(p) + BadBishop<Black>(p);

  if (p.pieceValue[W::queensBishop] + p.pieceValue[W::kingsBishop] == 2 * BishopValue) score += kBishopPair;
  if (p.pieceValue[B::queensBishop] + p.pieceValue[B::kingsBishop] == -2 * BishopValue) score -= kBishopPair;

  if (middle) {
    // Bishops still at home, and their blocked diagonal.
    if (p.pieceValue[W::queensBishop] != 0 && p.pieceRank[W::queensBishop] == W::homeRank) {
      if (p.pieceFile[W::queensBishop] == kFileC) score -= kBishopAtHome;
      if (p.board[kFileD][W::startRank] != 0) score -= kBishopBlockedAtHome;
    }
    if (p.pieceValue[W::kingsBishop] != 0 && p.pieceRank[W::kingsBishop] == W::homeRank) {
      if (p.pieceFile[W::kingsBishop] == kFileF) score -= kBishopAtHome;
      if (p.board[kFileE][W::startRank] != 0) score -= kBishopBlockedAtHome;
    }
    if (p.pieceValue[B::queensBishop] != 0 && p.pieceRank[B::queensBishop] == B::homeRank) {
      if (p.pieceFile[B::queensBishop] == kFileC) score += kBishopAtHome;
      if (p.board[kFileD][B::startRank] != 0) score += kBishopBlockedAtHome;
    }
    if (p.pieceValue[B::kingsBishop] != 0 && p.pieceRank[B::kingsBishop] == B::homeRank) {
      if (p.pieceFile[B::kingsBishop] == kFileF) score += kBishopAtHome;
      if (p.board[kFileE][B::startRank] != 0) score += kBishopBlockedAtHome;
    }
  }

  if (endgame) {
    for (int k = 1; k <= p.diagonalCount[White]; ++k)
      score += OnCentre(p, p.diagonalList[White][k]) ? kCentralDiagonalPiece : 0;
    for (int k = 1; k <= p.diagonalCount[Black]; ++k)
      score -= OnCentre(p, p.diagonalList[Black][k]) ? kCentralDiagonalPiece : 0;
  }

  if (middle) {
    for (int id : {B::queensKnight, B::kingsKnight}) {
      if (p.pieceValue[id] == 0) continue;
      const int f = p.pieceFile[id], r = p.pieceRank[id];
      if (r == B::homeRank) score += kKnightAtHome;
      if (f == kFileA) score += kKnightOnEdgeFile;
      if (f == kFileH) score += kKnightOnEdgeFile;
      if (r == B::sixthRank) score -= kKnightOnSixth;
      if (r == B::fifthRank) score -= kKnightOnFifth;
    }
    for (int id : {W::queensKnight, W::kingsKnight}) {
      if (p.pieceValue[id] == 0) continue;
      const int f = p.pieceFile[id], r = p.pieceRank[id];
      if (r == W::homeRank) score -= kKnightAtHome;
      if (f == kFileA) score -= kKnightOnEdgeFile;
      if (f == kFileH) score -= kKnightOnEdgeFile;
      if (r == W::sixthRank) score += kKnightOnSixth;
      if (r == W::fifthRank) score += kKnightOnFifth;
    }
  }

  if (endgame) {
    for (int k = 1; k <= p.knightCount[White]; ++k) score += OnCentre(p, p.knightList[White][k]) ? kCentralKnight : 0;
    for (int k = 1; k <= p.knightCount[Black]; ++k) score -= OnCentre(p, p.knightList[Black][k]) ? kCentralKnight : 0;
  }

  if (middle) {
    if (p.whiteCastled) score += kCastled;
    if (p.blackCastled) score -= kCastled;
    for (int k = 1; k <= p.orthogonalCount[White]; ++k)
      score += p.kingLine[p.orthogonalList[White][k]] ? kSliderOnKingLine : 0;
    for (int k = 1; k <= p.diagonalCount[White]; ++k)
      score += p.kingLine[p.diagonalList[White][k]] ? kSliderOnKingLine : 0;
    for (int k = 1; k <= p.orthogonalCount[Black]; ++k)
      score -= p.kingLine[p.orthogonalList[Black][k]] ? kSliderOnKingLine : 0;
    for (int k = 1; k <= p.diagonalCount[Black]; ++k)
      score -= p.kingLine[p.diagonalList[Black][k]] ? kSliderOnKingLine : 0;
    // Pawn shield; nothing lies beyond rank 8 for a white king there.
    const int wkf = p.pieceFile[W::ownKing], wkr = p.pieceRank[W::ownKing];
    if (wkr < kRank8 && ValueAt(p, wkf, wkr + W::pawnStep) == PawnValue) score += kPawnShield;
    // Rank 0 exists in the board array and is empty.
    const int bkf = p.pieceFile[B::ownKing], bkr = p.pieceRank[B::ownKing];
    if (ValueAt(p, bkf, bkr + B::pawnStep) == -PawnValue) score -= kPawnShield;
  }

  score += RookTerms<White>(p, wpf, bpf, totalPawns);
  score += RookTerms<Black>(p, wpf, bpf, totalPawns);

  // Heavy pieces on the board want the own king back home.
  if (p.orthogonalCount[White] > 1) score -= kKingRankWithHeavyPieces * p.pieceRank[W::ownKing];
  if (p.orthogonalCount[Black] > 1)
    score += kKingRankWithHeavyPieces * (kBlackKingRankOrigin - p.pieceRank[B::ownKing]);

  if (endgame) {
    const int wkf = p.pieceFile[W::ownKing], wkr = p.pieceRank[W::ownKing];
    const int bkf = p.pieceFile[B::ownKing], bkr = p.pieceRank[B::ownKing];
    if (wkf >= kCentreFirst && wkf <= kCentreLast && wkr >= kCentreFirst && wkr <= kCentreLast) {
      score += kKingInCentre;
      if (p.material > kHuntingLead) {
        if (bkf == kFileA || bkf == kFileH) score += kHuntedKingOnEdge;
        if (bkr == kRank1 || bkr == kRank8) score += kHuntedKingOnEdge;
      }
    }
    if (bkf >= kCentreFirst && bkf <= kBlackKingCentreLast && bkr >= kCentreFirst && bkr <= kBlackKingCentreLast) {
      score -= kKingInCentre;
      if (p.material < -kHuntingLead) {
        if (wkf == kFileA || wkf == kFileH) score -= kHuntedKingOnEdge;
        if (wkr == kRank1 || wkr == kRank8) score -= kHuntedKingOnEdge;
      }
    }
  }

  return score;
}

}  // namespace ormedan
