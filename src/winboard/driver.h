// The protocol driver: start-up, command loop, time control, opponent moves,
// engine turn and opening book.
#pragma once

#include <string_view>

#include "declare/engine.h"

namespace ormedan {

struct StartUpOptions {
  // Where StartUp looks for a book after the working directory, in this
  // order ("" = nowhere).
  std::string_view dataDir;
  std::string_view secondDataDir;
  // Receives the report of a book that cannot be read (nullptr = stderr).
  Output* errors = nullptr;
  // A book that cannot be read is reported and left empty instead of
  // stopping the start-up (the protocol modes).
  bool booksOptional = false;
};

// Splits the bytes of a text file into lines: one entry per line, a last
// line without a line feed included, one carriage return before the line
// feed dropped. Every other byte, NUL included, is kept.
void SplitTextLines(std::string_view data, TextList& lines);

// Start-up sequence; returns false (after reporting on stderr) when a book
// file cannot be opened.
bool StartUp(Engine& e, const StartUpOptions& options);
// Reads and handles lines until "quit" or end of input; returns true, without
// handling it, when the first line that is not blank is "uci".
bool CommandLoop(Engine& e);
// Releases the books and empties the histories.
void Shutdown(Engine& e);

void HandleLine(Engine& e, std::string_view line);
void NewGame(Engine& e);
void LevelCommand(Engine& e, std::string_view argument);
void TimeCommand(Engine& e, std::string_view argument);
void TakeOpponentMove(Engine& e, std::string_view line);

template <Colour C> void PlayEngineTurn(Engine& e);

// Who plays the search's move into the game.
enum class MoveApplication {
  Commit,  // the turn itself, as the plain mode has always done
  Report,  // the caller, through the game record, once it wants the move
};

// The engine's choice for its turn.
struct EngineChoice {
  int code = 0;          // the search's result code; 1 for a book move
  bool fromBook = false;  // a book move, already played into the game
  SearchResult search;    // the search's result (for a book move, its move)
  bool closesOpening = false;  // the search ended the opening phase (CloseOpening)
};

// The first part of the turn: the book (when the client has it on and the game
// began at the initial position) or the search chooses the engine's move,
// with its diagnostics and statistics. The first search of the game ends
// the opening phase as a book miss does.
template <Colour C> EngineChoice ChooseEngineMove(Engine& e, MoveApplication how);
// Ends the opening phase after the move just played.
void CloseOpening(Engine& e);
// The result line of the turn for a result code: of the engine's own search
// (afterOwnMove false) or of the opponent's replies after the engine's move;
// empty when the code ends nothing.
template <Colour C> std::string_view EngineResultLine(int code, bool afterOwnMove);
void PrintEngineMove(Engine& e);

// Whether the books may answer the next move: the game is in its opening
// phase, began at the initial position, the client has the books on, and
// the search was not restricted to some root moves.
bool BookMayAnswer(const Engine& e);
bool BookLookup(Engine& e);
bool DrawBookLookup(Engine& e);
void PlayBookMove(Engine& e, std::string_view candidate);

extern template void PlayEngineTurn<White>(Engine&);
extern template void PlayEngineTurn<Black>(Engine&);
extern template EngineChoice ChooseEngineMove<White>(Engine&, MoveApplication);
extern template EngineChoice ChooseEngineMove<Black>(Engine&, MoveApplication);

}  // namespace ormedan
