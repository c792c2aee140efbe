// New-game set-up with the fixed PieceId assignment that the books rely on.
#include "declare/game_record.h"
#include "declare/model.h"

namespace ormedan {

namespace {

struct InitialPiece {
  int id, file, rank, value;
};

// Kings, queens, rooks, bishops and knights.
constexpr InitialPiece kOfficers[] = {
    {1, 5, 1, KingValue},    {2, 4, 1, QueenValue},   {3, 1, 1, RookValue},    {4, 8, 1, RookValue},
    {5, 3, 1, BishopValue},  {6, 6, 1, BishopValue},  {7, 2, 1, KnightValue},  {8, 7, 1, KnightValue},
    {17, 5, 8, -KingValue},  {18, 4, 8, -QueenValue}, {19, 1, 8, -RookValue},  {20, 8, 8, -RookValue},
    {21, 3, 8, -BishopValue}, {22, 6, 8, -BishopValue}, {23, 2, 8, -KnightValue}, {24, 7, 8, -KnightValue},
};

// White pawns are numbered from the edges inwards: a, h, b, g, c, f, d, e.
constexpr int kWhitePawnFiles[8] = {1, 8, 2, 7, 3, 6, 4, 5};

}  // namespace

void InitialPosition(Position& p) {
  for (int r = 0; r <= 8; ++r) {
    p.board[0][r] = 0;
    p.board[9][r] = 0;
  }
  for (int k = 1; k <= 8; ++k) {
    const int w = 8 + k;
    p.pieceFile[w] = static_cast<uint8_t>(kWhitePawnFiles[k - 1]);
    p.pieceRank[w] = 2;
    p.pieceValue[w] = PawnValue;
    p.pawnList[White][k] = static_cast<uint8_t>(w);
    const int b = 24 + k;
    p.pieceFile[b] = static_cast<uint8_t>(k);
    p.pieceRank[b] = 7;
    p.pieceValue[b] = -PawnValue;
    p.pawnList[Black][k] = static_cast<uint8_t>(b);
  }
  for (int c = White; c <= Black; ++c) {
    p.pawnCount[c] = 8;
    p.diagonalCount[c] = 3;
    p.orthogonalCount[c] = 3;
    p.knightCount[c] = 2;
  }
  for (const InitialPiece& q : kOfficers) {
    p.pieceFile[q.id] = static_cast<uint8_t>(q.file);
    p.pieceRank[q.id] = static_cast<uint8_t>(q.rank);
    p.pieceValue[q.id] = static_cast<int16_t>(q.value);
  }
  const uint8_t diag[3][3] = {{0, 0, 0}, {2, 5, 6}, {18, 21, 22}};
  const uint8_t orth[3][3] = {{0, 0, 0}, {2, 3, 4}, {18, 19, 20}};
  const uint8_t knights[3][2] = {{0, 0}, {7, 8}, {23, 24}};
  for (int c = White; c <= Black; ++c) {
    for (int k = 0; k < 3; ++k) {
      p.diagonalList[c][k + 1] = diag[c][k];
      p.orthogonalList[c][k + 1] = orth[c][k];
    }
    for (int k = 0; k < 2; ++k) p.knightList[c][k + 1] = knights[c][k];
  }
  for (int f = 1; f <= 8; ++f)
    for (int r = 0; r <= 8; ++r) p.board[f][r] = 0;
  for (int id = 1; id <= 32; ++id) p.board[p.pieceFile[id]][p.pieceRank[id]] = static_cast<uint8_t>(id);
  p.whiteLongCastleRight = p.whiteShortCastleRight = 1;
  p.blackShortCastleRight = p.blackLongCastleRight = 1;
  p.whiteCastled = p.blackCastled = 0;
  p.enPassantFile = 0;
  p.material = 0;
  p.lastMove = 0;
  p.gamePhase = 1;
  p.checkingPiece = 0;
  p.officerCount = 14;
  p.pieceValue[0] = 0;
  for (int id = 0; id <= 32; ++id) p.kingLine[id] = 0;
}

void SetUpNewGame(Engine& e) {
  e.PositionHistory.Clear();
  InitialPosition(e.GamePosition);
  StartRecordFromInitial(e);
  e.LastPredictedDepth = 4;
}

}  // namespace ormedan
