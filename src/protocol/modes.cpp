#include "protocol/modes.h"

namespace ormedan {

namespace {

// The protocol modes write the engine's own Italian lines so that clients
// pass over them, count book moves for repetitions like any other, and see
// the fifty-move draw at the rule's hundredth halfmove.
void EnterMode(Engine& e, Mode mode) {
  e.diagnostics = mode == Mode::Uci ? DiagnosticStyle::Dropped : DiagnosticStyle::Comment;
  e.Record.keysBookMoves = 1;
  e.Record.fiftyMoveHalfmoves = 100;
}

}  // namespace

int RunMode(Engine& e, const StartUpOptions& given, Mode mode) {
  StartUpOptions options = given;
  if (mode != Mode::Plain) {
    EnterMode(e, mode);
    // Without its books the engine still plays, from its search alone.
    options.booksOptional = true;
  }
  const bool started = StartUp(e, options);
  if (started && !e.outputFailed) {
    switch (mode) {
      case Mode::Plain:
        if (CommandLoop(e)) {
          EnterMode(e, Mode::Uci);
          UciLoop(e, "uci");
        }
        break;
      case Mode::Xboard2: Xboard2Loop(e); break;
      case Mode::Uci: UciLoop(e, {}); break;
    }
  }
  Shutdown(e);
  if (!started || e.outputFailed) return 1;
  return 0;
}

int RunEngine(Engine& e, const StartUpOptions& options) { return RunMode(e, options, Mode::Plain); }

}  // namespace ormedan
