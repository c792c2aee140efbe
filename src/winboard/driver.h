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
// Start-up, the plain loop (or UCI, when the client opens with "uci") and
// shutdown; returns the process exit status.
int RunEngine(Engine& e, const StartUpOptions& options);

void HandleLine(Engine& e, std::string_view line);
void NewGame(Engine& e);
void LevelCommand(Engine& e, std::string_view argument);
void TimeCommand(Engine& e, std::string_view argument);
void TakeOpponentMove(Engine& e, std::string_view line);

template <Colour C> void PlayEngineTurn(Engine& e);
// The first part of the turn: the book or the search plays the engine's move
// (its diagnostics and statistics written); returns the search's result
// code (1 for a book move). With the books closed the first search of the
// game ends the opening phase as a book miss does.
template <Colour C> int ChooseEngineMove(Engine& e, bool booksOpen);
// The result line of the turn for a result code: of the engine's own search
// (afterOwnMove false) or of the opponent's replies after the engine's move;
// empty when the code ends nothing.
template <Colour C> std::string_view EngineResultLine(int code, bool afterOwnMove);
void PrintEngineMove(Engine& e);

bool BookLookup(Engine& e);
bool DrawBookLookup(Engine& e);
void PlayBookMove(Engine& e, std::string_view candidate);

extern template void PlayEngineTurn<White>(Engine&);
extern template void PlayEngineTurn<Black>(Engine&);
extern template int ChooseEngineMove<White>(Engine&, bool);
extern template int ChooseEngineMove<Black>(Engine&, bool);

}  // namespace ormedan
