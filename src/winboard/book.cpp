// Opening book: the key made of the game's moves, the search of a book for
// the lines that continue it, the random choice among their next moves and
// the playing of the chosen move.
//
// Book data are not trusted. A continuation is offered only when it is a
// well-formed code of the engine's colour whose move is one of the legal
// moves of the game position, so a damaged or foreign book can never make the
// engine play an illegal move; at worst the lookup misses.
//
// The candidate list is never stored. A lookup scans the book twice: once to
// count the acceptable continuations, once to find the one drawn. Every
// matching line contributes one candidate, so a continuation shared by k
// lines is k times as likely, whatever the number of candidates, and nothing
// is allocated.
#include <array>
#include <charconv>
#include <cstring>
#include <string_view>

#include "declare/model.h"
#include "generation/generate.h"
#include "declare/game_record.h"
#include "declare/line_builder.h"
#include "utilita/make_checked.h"
#include "winboard/driver.h"

namespace ormedan {

namespace {

// A BookKey holds three characters per half-move of the game.
constexpr int64_t KeyCapacity = 3 * MoveHistoryList::Capacity;

constexpr std::string_view WhiteFirstMoves[2] = {"O44", "P54"};  // d2d4, e2e4

bool IsBookDigit(char c) { return c >= '1' && c <= '8'; }

// The PieceId that a book character names, or 0 when it names none.
int BookPiece(char c) {
  const int id = static_cast<unsigned char>(c) - 64;
  return id >= 1 && id <= 32 ? id : 0;
}

// The MoveCode a well-formed candidate makes in `p`, or 0 when the candidate
// is not three well-formed characters naming a piece of `mover` that is
// still on the board.
int32_t CandidateMove(const Position& p, std::string_view candidate, Colour mover) {
  if (candidate.size() != 3) return 0;
  const int piece = BookPiece(candidate[0]);
  if (piece == 0 || IsWhitePiece(piece) != (mover == White)) return 0;
  if (!IsBookDigit(candidate[1]) || !IsBookDigit(candidate[2])) return 0;
  if (p.pieceValue[piece] == 0) return 0;
  const int file = candidate[1] - '0';
  const int rank = candidate[2] - '0';
  return MakeMoveCode(piece, file, rank, p.board[file][rank]);
}

// The legal moves of the engine's colour in GamePosition, as MoveCodes.
struct LegalMoves {
  int count = 0;
  int32_t codes[MaxChildren + 1];

  bool Contains(int32_t code) const {
    for (int i = 0; i < count; ++i)
      if (codes[i] == code) return true;
    return false;
  }
};

Colour EngineColour(const Engine& e) { return e.driver.engineIsBlack ? Black : White; }

void CollectLegalMoves(Engine& e, LegalMoves& legal) {
  const int n = GenerateMovesFor(e, EngineColour(e), 1, 1);
  legal.count = 0;
  for (int slot = 1; slot <= n && slot <= MaxChildren; ++slot) legal.codes[legal.count++] = e.ChildPositions[slot][1].lastMove;
}

bool Acceptable(const Engine& e, const LegalMoves& legal, std::string_view candidate) {
  const int32_t code = CandidateMove(e.GamePosition, candidate, EngineColour(e));
  return code != 0 && legal.Contains(code);
}

// The candidate a book line offers after `key`, empty when it offers none.
std::string_view Continuation(std::string_view line, std::string_view key) {
  if (line.size() <= key.size() || line.compare(0, key.size(), key) != 0) return {};
  return line.substr(key.size(), 3);
}

// Writes the BookKey of the game into `buffer`; returns its length, or -1
// when the history has outgrown what is stored of it.
int64_t MakeBookKey(const Engine& e, char* buffer) {
  if (e.MoveHistory.Count() != e.MoveHistory.Stored()) return -1;
  int64_t length = 0;
  for (int64_t i = 0; i < e.MoveHistory.Stored(); ++i) {
    const std::array<char, 3> code = BookMoveText(e.MoveHistory.At(i));
    std::memcpy(buffer + length, code.data(), 3);
    length += 3;
  }
  return length;
}

void WriteFoundLine(Engine& e, int64_t count) { e.Write(LineBuilder().Text("trovate ").Number(count).Text(" mosse").View()); }

// Steps shared by both lookups: key line, book label, candidates, draw.
bool LookupIn(Engine& e, const TextList& book, std::string_view label) {
  char keyBuffer[KeyCapacity];
  const int64_t keyLength = MakeBookKey(e, keyBuffer);
  const std::string_view key(keyBuffer, keyLength < 0 ? 0 : static_cast<size_t>(keyLength));
  e.Write(key);
  e.Write(label);

  int64_t count = 0;
  LegalMoves legal;
  if (keyLength >= 0) {
    CollectLegalMoves(e, legal);
    for (const std::string& line : book)
      if (Acceptable(e, legal, Continuation(line, key))) ++count;
  }
  WriteFoundLine(e, count);
  if (count == 0) return false;

  int64_t chosen = e.rng.Below(static_cast<uint32_t>(count));  // count <= number of book lines
  for (const std::string& line : book) {
    const std::string_view candidate = Continuation(line, key);
    if (!Acceptable(e, legal, candidate)) continue;
    if (chosen-- == 0) {
      PlayBookMove(e, candidate);
      return true;
    }
  }
  return false;
}

}  // namespace

bool BookLookup(Engine& e) {
  if (e.MoveHistory.Count() == 0) {
    // The white engine's first move: d2d4 or e2e4, silently.
    const std::string_view candidate = WhiteFirstMoves[e.rng.Below(2) == 0 ? 0 : 1];
    LegalMoves legal;
    CollectLegalMoves(e, legal);
    if (!Acceptable(e, legal, candidate)) return false;
    PlayBookMove(e, candidate);
    return true;
  }
  if (e.driver.engineIsBlack) return LookupIn(e, e.BlackBook, "cerco in libreria nero");
  return LookupIn(e, e.WhiteBook, "cerco in libreria bianco");
}

bool DrawBookLookup(Engine& e) { return LookupIn(e, e.DrawBook, "cerco in libreria patte"); }

void PlayBookMove(Engine& e, std::string_view candidate) {
  const int piece = candidate.size() == 3 ? BookPiece(candidate[0]) : 0;
  if (piece == 0 || !IsBookDigit(candidate[1]) || !IsBookDigit(candidate[2])) return;
  const int file = candidate[1] - '0';
  const int rank = candidate[2] - '0';

  e.WorkPosition = e.GamePosition;
  const int32_t move = MakeMoveCode(piece, file, rank, e.WorkPosition.board[file][rank]);
  MakeMoveMarkingCheck(e.WorkPosition, move);

  e.EngineMove.fromFile = e.GamePosition.pieceFile[piece];
  e.EngineMove.fromRank = e.GamePosition.pieceRank[piece];
  // The plain mode leaves book moves out of the repetition history.
  const unsigned parts = e.Record.keysBookMoves ? JoinAll : JoinPosition | JoinMoveList;
  JoinGame(e, e.WorkPosition, IsWhitePiece(piece) ? White : Black, parts);
  e.EngineMove.toFile = e.GamePosition.pieceFile[piece];
  e.EngineMove.toRank = e.GamePosition.pieceRank[piece];
  e.EngineMove.promotion = MovePromotion(e.GamePosition.lastMove);
}

bool BookMayAnswer(const Engine& e) {
  return e.GamePosition.gamePhase == 1 && e.settings.ownBook && e.Record.fromFen == 0 && e.budget.searchMoveCount == 0;
}

}  // namespace ormedan
