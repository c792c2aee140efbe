// The protocol driver: start-up, command loop, time control, opponent moves,
// engine turn and opening book.
#pragma once

#include <string_view>

#include "declare/engine.h"

namespace ormedan {

// The answer to "protover" when the engine runs with --features: what the
// engine does, so that the GUI need not wait for features or offer the rest.
inline constexpr std::string_view kFeatureLine =
    "feature myname=\"ORMEDAN 1.0\" sigint=0 sigterm=1 reuse=1 analyze=0 draw=0 pause=0 done=1";

struct StartUpOptions {
  // Where StartUp looks for a book after the working directory, in this
  // order ("" = nowhere).
  std::string_view dataDir;
  std::string_view secondDataDir;
  // Receives the report of a book that cannot be read (nullptr = stderr).
  Output* errors = nullptr;
};

// Splits the bytes of a text file into lines: one entry per line, a last
// line without a line feed included, one carriage return before the line
// feed dropped. Every other byte, NUL included, is kept.
void SplitTextLines(std::string_view data, TextList& lines);

// Start-up sequence; returns false (after reporting on stderr) when a book
// file cannot be opened.
bool StartUp(Engine& e, const StartUpOptions& options);
// Reads and handles lines until "quit" or end of input.
void CommandLoop(Engine& e);
// Start-up, loop and shutdown; returns the process exit status.
int RunEngine(Engine& e, const StartUpOptions& options);

void HandleLine(Engine& e, std::string_view line);
void NewGame(Engine& e);
void LevelCommand(Engine& e, std::string_view argument);
void TimeCommand(Engine& e, std::string_view argument);
void TakeOpponentMove(Engine& e, std::string_view line);

template <Colour C> void PlayEngineTurn(Engine& e);
void PrintEngineMove(Engine& e);

bool BookLookup(Engine& e);
bool DrawBookLookup(Engine& e);
void PlayBookMove(Engine& e, std::string_view candidate);

extern template void PlayEngineTurn<White>(Engine&);
extern template void PlayEngineTurn<Black>(Engine&);

}  // namespace ormedan
