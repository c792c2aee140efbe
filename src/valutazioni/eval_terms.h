// The names of the static evaluation: board lines, game phases and the
// weight of every term, grouped by what they judge.
#pragma once

namespace ormedan::eval_terms {

// ---- Board lines -----------------------------------------------------------
// Files a..h are 1..8 and ranks 1..8 their own numbers; files 0 and 9 and
// rank 0 are the empty border of the board array.
constexpr int kFileA = 1, kFileB = 2, kFileC = 3, kFileD = 4, kFileE = 5, kFileF = 6, kFileG = 7, kFileH = 8;
constexpr int kRank1 = 1, kRank2 = 2, kRank3 = 3, kRank4 = 4, kRank5 = 5, kRank6 = 6, kRank7 = 7, kRank8 = 8;
// The pawns of one colour on each file of the board array, border files
// included.
using PawnsPerFile = int[kFileH + 2];
// The centre for the pieces and the white king: files d..e and ranks 4..5,
// the same numbers bounding both.
constexpr int kCentreFirst = kFileD, kCentreLast = kFileE;
// A knight's leap changes file and rank by one and two: their product is
// 2 or -2.
constexpr int kKnightLeapProduct = 2;

// ---- Game phases (Position::gamePhase) ------------------------------------
constexpr int kMiddleGame = 2;
constexpr int kEndgame = 3;

// ---- Where the evaluation is not a mirror image ----------------------------
// Kept as they are: they are part of the engine's play, and the bench
// signature and the evaluation tests pin them.
// - The endgame centre of the black king reaches file f and rank 6; the
//   white king's ends at file e and rank 5.
constexpr int kBlackKingCentreLast = kFileF;

}  // namespace ormedan::eval_terms
