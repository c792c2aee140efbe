// One engine on the fuzz stand-ins, shared by the session and book targets:
// the input lines, the watched output, the stepping clock and a seed taken
// from the input bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "declare/model.h"
#include "fuzz/session_driver.h"
#include "support/fakes.h"
#include "support/files.h"
#include "protocol/modes.h"
#include "winboard/driver.h"

namespace ormedan::fuzz {

struct FuzzEngine {
  FuzzEngine(std::string_view lines, const uint8_t* data, size_t size)
      : in(lines, out, clock), rng(SeedOf(data, size)), engine(std::make_unique<Engine>(in, out, clock, rng)) {
    in.Attach(*engine);
    out.Attach(*engine);
  }
  Engine& e() { return *engine; }

  // Start-up with the books of `folder` as the working directory.
  bool StartUpIn(const std::string& folder) {
    StartUpOptions options;
    options.errors = &errors;
    testing::WorkingDirectory here(folder);
    return StartUp(*engine, options);
  }

  // The loop of the mode until the input ends or the watch stops the session.
  void Run(Mode mode = Mode::Plain) {
    out.mode = mode;
    try {
      switch (mode) {
        case Mode::Plain: CommandLoop(*engine); break;
        case Mode::Xboard2:
          engine->diagnostics = DiagnosticStyle::Comment;
          engine->Record.keysBookMoves = 1;
          Xboard2Loop(*engine);
          break;
        case Mode::Uci:
          engine->diagnostics = DiagnosticStyle::InfoString;
          engine->Record.keysBookMoves = 1;
          UciLoop(*engine, {});
          break;
      }
    } catch (const SessionEnd&) {
    }
  }

  SessionWatch out;
  SteppingClock clock;
  SessionInput in;
  testing::SeededRandom rng;
  std::unique_ptr<Engine> engine;
  testing::CaptureOutput errors;
};

}  // namespace ormedan::fuzz
