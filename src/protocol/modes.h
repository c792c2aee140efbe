// The engine's three modes: the plain protocol (winboard/), xboard
// protocol 2 (--features) and UCI ("uci" as the first line, or --uci). Each
// mode is an adapter over the same game record, search and clock.
#pragma once

#include <string>
#include <string_view>

#include "winboard/driver.h"

namespace ormedan {

enum class Mode { Plain, Xboard2, Uci };

// Start-up, the mode's loop and shutdown; returns the exit status.
int RunMode(Engine& e, const StartUpOptions& options, Mode mode);

// Start-up, the plain loop (or UCI, when the client opens with "uci") and
// shutdown; returns the process exit status.
int RunEngine(Engine& e, const StartUpOptions& options);

// The loops of the two protocol modes, after start-up. Each returns when
// the client quits or goes away. `firstLine` is a line already read.
void Xboard2Loop(Engine& e);
void UciLoop(Engine& e, std::string_view firstLine);

// A UCI "position" line: the game is played again from its start (the FEN,
// or "" for the initial position, kept in startFen between calls). A
// problem (a bad FEN, an illegal move) is described in `problem`.
void ApplyUciPosition(Engine& e, std::string_view line, std::string& startFen, std::string& problem);

// The first feature line that answers "protover" in protocol 2; the options'
// lines (protocol/options.h) and "feature done=1" follow it.
inline constexpr std::string_view kXboardFeatures =
    "feature ping=1 setboard=1 usermove=1 colors=0 time=1 reuse=1 sigint=0 sigterm=1 san=0 analyze=1 draw=0 "
    "pause=0 nps=1 myname=\"ORMEDAN 1.0\"";

}  // namespace ormedan
