// The opponent's moves: a typed move is checked against the legal moves of
// the moving side, applied to the game and recorded, and the end of the game
// is announced; otherwise the engine's turn follows in a running game.
#include <cstdint>
#include <cstdlib>

#include "Textrout/textrout.h"
#include "declare/model.h"
#include "generation/generate.h"
#include "declare/game_record.h"
#include "utilita/make_checked.h"
#include "winboard/driver.h"
#include "winboard/results.h"
#include "winboard/output_lines.h"

namespace ormedan {

namespace {

int GenerateRootMoves(Engine& e, Colour c, MaterialTest material = MaterialTest::Apply) {
  return GenerateMovesFor(e, c, 1, 1, material);
}

// The promotion code of the letter; the codes follow the engine's colour
// (the opponent is assumed to be the other colour).
int PromotionCode(char letter, bool engineIsBlack) { return PromotionCodeOf(letter, engineIsBlack ? White : Black); }

// Rank digit at a 0-based position of the line: 1..8, or 0 for anything else
// (a missing character, another digit, a sign).
int RankAt(std::string_view line, size_t at) {
  const int32_t rank = TextToInt(TakeFirst(DropFirst(line, static_cast<int64_t>(at)), 1));
  return rank >= 1 && rank <= 8 ? rank : 0;
}

void RejectMove(Engine& e, std::string_view line) { WriteJoined(e, "Illegal move: ", line); }

enum class Status { None, Repetition, Stalemate, Checkmate };

}  // namespace

void TakeOpponentMove(Engine& e, std::string_view line) {
  const bool engineIsBlack = e.driver.engineIsBlack == 1;
  const int fromFile = FileLetterToNumber(line);
  const int fromRank = RankAt(line, 1);
  const int toFile = FileLetterToNumber(DropFirst(line, 2));
  const int toRank = RankAt(line, 3);
  const int promotion = line.size() >= 5 ? PromotionCode(line[4], engineIsBlack) : 0;

  // A rank that is not a digit 1 to 8 names no square of the board.
  if (fromRank == 0 || toRank == 0) {
    RejectMove(e, line);
    return;
  }

  const Position& game = e.GamePosition;
  const int piece = game.board[fromFile][fromRank];
  int captured = game.board[toFile][toRank];

  // A pawn moving diagonally onto an empty square takes en passant: the
  // pawn it takes stands behind the destination. A probe beyond the board
  // can only be an illegal move.
  if (captured == 0 && fromFile != toFile && std::abs(game.pieceValue[piece]) == PawnValue) {
    const int behind = game.pieceValue[piece] > 0 ? toRank - 1 : toRank + 1;
    if (behind < 1 || behind > 8) {
      RejectMove(e, line);
      return;
    }
    captured = game.board[toFile][behind];
    e.Write("en passant");
  }

  const int32_t code = MakeMoveCode(piece, toFile, toRank, captured, promotion);

  // An empty origin square (piece 0) is looked up among white's moves.
  const Colour mover = piece <= 16 ? White : Black;
  // Every legal move is accepted, whatever material is left.
  if (!IsLegalGameMove(e, mover, code)) {
    RejectMove(e, line);
    return;
  }

  MakeMoveMarkingCheck(e.WorkPosition, code);
  JoinGame(e, e.WorkPosition, mover, JoinAll);
  const PositionKeyText key = PositionKey(e.GamePosition, Other(mover));

  Status status = Status::None;
  if (KeySeenThrice(e, key)) status = Status::Repetition;

  e.WorkPosition = e.GamePosition;
  const int count = GenerateRootMoves(e, engineIsBlack ? Black : White);
  WriteNumberLine(e, "mosse possibili ", count);
  if (count == -2) status = Status::Checkmate;
  if (count == -1) status = Status::Stalemate;

  switch (status) {
    case Status::None:
      if (e.driver.gameActive == 1) {
        if (engineIsBlack)
          PlayEngineTurn<Black>(e);
        else
          PlayEngineTurn<White>(e);
      }
      break;
    case Status::Repetition: e.Write(kRepetitionLine); break;
    case Status::Stalemate: e.Write(kStalemateLine); break;
    case Status::Checkmate: e.Write(MateLine(engineIsBlack ? White : Black, MateSeen::OpponentMates)); break;
  }
}

}  // namespace ormedan
