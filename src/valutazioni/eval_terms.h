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

// ---- Material --------------------------------------------------------------
// The material is divided by the pieces left, this many pawns counting as one
// piece: the same lead weighs more as the board empties.
constexpr int kPawnsPerPiece = 2;

// ---- Elementary endings ----------------------------------------------------
// Rook or queen with its king against the lone king: the won ending, ...
constexpr int kLoneKingWon = 10000;
// ... the officer on a central file or rank, cutting the lone king off, ...
constexpr int kOfficerOnCentreLine = 100;
// ... the kings two, three or four squares apart (files plus ranks), ...
constexpr int kKingsTwoApart = 100, kKingsThreeApart = 50, kKingsFourApart = 20;
// ... and the lone king on an edge line, or on the line next to one.
constexpr int kLoneKingOnEdge = 200, kLoneKingNextToEdge = 100;
// King and pawn against the lone king outside the square of the pawn: a won
// race, worth more the further the pawn has come.
constexpr int kPawnRaceWon = 900, kPawnRacePerRank = 200;

// ---- Pawn structure --------------------------------------------------------
// A passed pawn in the middle game or the endgame, by [endgame][defended]
// [rank counted from the pawn's own side]; ranks 4..7 only.
constexpr int kPassedFirstRank = kRank4, kPassedLastRank = kRank7;
constexpr int kPassedBonus[2][2][8] = {
    {{0, 0, 0, 0, 0, 10, 30, 60}, {0, 0, 0, 0, 0, 30, 50, 120}},
    {{0, 0, 0, 0, 15, 30, 70, 100}, {0, 0, 0, 0, 30, 50, 100, 150}},
};
// Each own pawn diagonally behind a pawn of files b..g.
constexpr int kSupportedPawn = 2;
// No own pawn on either neighbouring file.
constexpr int kIsolatedPawn = 5;
// Not supported, and attacked by more enemy pieces than own ones defend it.
constexpr int kWeakPawn = 5;
// Each pawn of a colour that has two or more on the file.
constexpr int kDoubledPawn = 5;
// A d- or e-pawn still on its start square in the middle game.
constexpr int kCentrePawnAtHome = 10;

// ---- Bishops and knights ---------------------------------------------------
// Each own pawn on the square colour of the only diagonal piece.
constexpr int kBadBishopPerPawn = 15;
// Both initial bishops alive.
constexpr int kBishopPair = 15;
// Middle game: an initial bishop on its home square, and the d- or e-pawn's
// start square in front of it taken.
constexpr int kBishopAtHome = 8, kBishopBlockedAtHome = 4;
// Middle game, an initial knight: on its home rank, on the a- or h-file, and
// on the sixth or fifth rank counted from its own side.
constexpr int kKnightAtHome = 10, kKnightOnEdgeFile = 5, kKnightOnSixth = 10, kKnightOnFifth = 3;
// Endgame: a bishop or queen, or a knight, on the four centre squares.
constexpr int kCentralDiagonalPiece = 10, kCentralKnight = 10;

// ---- Rooks -----------------------------------------------------------------
// An initial rook on a file without pawns gets twice the pawns on the board,
// on a file with one pawn the pawns on the board, less the discount either
// way: open lines matter while there are pawns to attack.
constexpr int kRookOpenFilePerPawn = 2, kRookHalfOpenFilePerPawn = 1, kRookFileDiscount = 4;
// An initial rook on the seventh rank, per enemy pawn, against more than a
// few of them.
constexpr int kRookOnSeventhPerPawn = 10, kRookOnSeventhFewPawns = 3;
// Both initial rooks on one open file.
constexpr int kRooksDoubledOnOpenFile = 20;

// ---- King safety -----------------------------------------------------------
// Middle game: the king has castled, ...
constexpr int kCastled = 25;
// ... each rook, bishop or queen on a line with the enemy king, ...
constexpr int kSliderOnKingLine = 5;
// ... and an own pawn on the square in front of the king.
constexpr int kPawnShield = 10;
// With more than one rook or queen of its colour on the board, per rank of
// the king away from the back of the board (see the black origin below).
constexpr int kKingRankWithHeavyPieces = 15;

// ---- King activity in the endgame ------------------------------------------
// The king in the centre, ...
constexpr int kKingInCentre = 20;
// ... and, when its side has more than this material ahead, the enemy king on
// an edge file and on an edge rank, each.
constexpr int kHuntingLead = 300;
constexpr int kHuntedKingOnEdge = 20;

// ---- Where the evaluation is not a mirror image ----------------------------
// Kept as they are: they are part of the engine's play, and the bench
// signature and the evaluation tests pin them.
// - The endgame centre of the black king reaches file f and rank 6; the
//   white king's ends at file e and rank 5.
constexpr int kBlackKingCentreLast = kFileF;
// - With heavy pieces on, white pays for each rank of its king counted from
//   0, black for each rank below 7; the mirror would count from 9, so every
//   such position scores 30 better for black than its mirror image for white.
constexpr int kBlackKingRankOrigin = kRank7;
// - The lone king's edge bonus tests "file a or rank 1" and "file h or
//   rank 8", so a8 and h1 collect two edges, a1 and h8 one.
// - The pawn race takes the tempo for a black pawn the other way round from
//   a white one.

}  // namespace ormedan::eval_terms
