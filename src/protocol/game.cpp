#include "protocol/game.h"

#include <algorithm>

#include "Alivelli/fixed_depth.h"
#include "declare/game_record.h"
#include "declare/model.h"
#include "generation/generate.h"
#include "utilita/make_checked.h"
#include "utilita/fen.h"

namespace ormedan {

namespace {

// Enough placeholder keys for a FEN's halfmove clock to reach the
// fifty-move count; more would only fill the history.
constexpr int32_t MaxCarriedHalfmoves = 150;

int GenerateFor(Engine& e, Colour c) {
  e.WorkPosition = e.GamePosition;
  return GenerateMovesFor(e, c, 1, 1, MaterialTest::Skip);
}

// The repetition history at the start: the FEN's halfmove clock counts as
// that many moves that no position can repeat, then the start position.
void StartHistory(Engine& e) {
  e.PositionHistory.Clear();
  const PositionKeyText none;  // matches no real key
  for (int32_t i = 0; i < e.Record.startHalfmoves; ++i) e.PositionHistory.Append(none);
  e.PositionHistory.Append(PositionKey(e.Record.start, e.Record.startSide));
  e.Record.startKeyed = 1;
}

// The n-th (0-based) blank-separated field of a FEN as a number, held below
// a million; `missing` when the FEN has no such field.
int32_t CounterField(std::string_view fen, int n, int32_t missing) {
  int field = -1;
  bool inWord = false;
  int32_t value = missing;
  for (const char c : fen) {
    const bool blank = c == ' ' || c == '\t';
    if (!blank && !inWord && ++field == n) value = 0;
    inWord = !blank;
    if (!blank && field == n && c >= '0' && c <= '9' && value < 100000) value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

void StartGame(Engine& e) {
  SetUpNewGame(e);
  e.MoveHistory.Clear();
  StartHistory(e);
}

bool StartGameFromFen(Engine& e, std::string_view fen, std::string& error) {
  Position p;
  Colour side;
  if (!PositionFromFen(fen, p, side, error)) return false;
  // The halfmove clock and move number, when given, are the 5th and 6th
  // fields; the FEN reader has checked that they are numbers.
  const int32_t halfmoves = CounterField(fen, 4, 0);
  const int32_t fullmove = CounterField(fen, 5, 1);
  SetUpNewGame(e);
  e.GamePosition = p;
  e.Record.start = p;
  e.Record.startSide = side;
  e.Record.startHalfmoves = std::min(halfmoves, MaxCarriedHalfmoves);
  e.Record.startFullmove = std::max(fullmove, 1);
  e.Record.fromFen = 1;
  e.Record.openingClosedAt = -1;
  e.MoveHistory.Clear();
  StartHistory(e);
  return true;
}

bool ReplayGame(Engine& e, int64_t moves) {
  if (moves < 0 || moves > e.MoveHistory.Count() || e.MoveHistory.Count() > e.MoveHistory.Stored()) return false;
  e.GamePosition = e.Record.start;
  StartHistory(e);
  if (e.Record.openingClosedAt > moves) e.Record.openingClosedAt = -1;
  // The moves are read back from where they are appended again.
  e.MoveHistory.Clear();
  Colour side = e.Record.startSide;
  for (int64_t i = 0; i < moves; ++i) {
    Position after = e.GamePosition;
    MakeMoveMarkingCheck(after, e.MoveHistory.At(i));
    JoinGame(e, after, side, JoinAll);
    side = Other(side);
    if (i + 1 == e.Record.openingClosedAt && e.GamePosition.gamePhase == 1) e.GamePosition.gamePhase = 2;
  }
  e.WorkPosition = e.GamePosition;
  return true;
}

int32_t LegalMoveFromText(Engine& e, std::string_view text) {
  const int32_t code = MoveCodeFromText(e.GamePosition, text);
  const Colour mover = SideToMove(e);
  if (code == 0 || IsWhitePiece(MovePiece(code)) != (mover == White)) return 0;
  return IsLegalGameMove(e, mover, code) ? code : 0;
}

void PlayMove(Engine& e, int32_t move) {
  Position after = e.GamePosition;
  MakeMoveMarkingCheck(after, move);
  JoinGame(e, after, SideToMove(e), JoinAll);
  e.WorkPosition = e.GamePosition;
}

std::string_view MoveText(const Position& before, int32_t move, char* buf) {
  const int piece = MovePiece(move);
  EngineMoveRecord m;
  if (piece >= 1 && piece <= 32) {
    m.fromFile = before.pieceFile[piece];
    m.fromRank = before.pieceRank[piece];
  }
  m.toFile = MoveToFile(move);
  m.toRank = MoveToRank(move);
  m.promotion = MovePromotion(move);
  return EngineMoveText(m, buf);
}

std::string LineText(const Position& before, const int32_t* moves, int count) {
  std::string text;
  Position p = before;
  for (int i = 0; i < count; ++i) {
    const int piece = MovePiece(moves[i]);
    if (piece < 1 || piece > 32 || p.pieceValue[piece] == 0) break;
    char buf[8];
    if (!text.empty()) text += ' ';
    text.append(MoveText(p, moves[i], buf));
    MakeMoveMarkingCheck(p, moves[i]);
  }
  return text;
}

void SetSideToMove(Engine& e, Colour side) {
  if (SideToMove(e) == side) return;
  const Position& game = e.GamePosition;
  const int king = side == White ? Side<White>::ownKing : Side<Black>::ownKing;
  const int check = SquareAttacked(game, game.pieceFile[king], game.pieceRank[king], side);
  Position p = game;
  p.enPassantFile = 0;
  p.checkingPiece = static_cast<uint8_t>(check);
  e.Record.startFullmove = static_cast<int32_t>(FullMoveNumber(e));
  e.Record.start = p;
  e.Record.startSide = side;
  e.Record.startHalfmoves = 0;
  e.Record.fromFen = 1;
  e.Record.openingClosedAt = -1;
  e.GamePosition = p;
  e.WorkPosition = p;
  e.MoveHistory.Clear();
  StartHistory(e);
}

bool HasLegalMove(Engine& e) { return GenerateFor(e, SideToMove(e)) > 0; }

int64_t FullMoveNumber(const Engine& e) {
  const int64_t plies = e.MoveHistory.Count() + (e.Record.startSide == Black ? 1 : 0);
  return e.Record.startFullmove + plies / 2;
}

}  // namespace ormedan
