// An engine in its start-up state (plays black, no game running), fed one
// line at a time, for tests of the move intake.
#pragma once

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "Textrout/textrout.h"
#include "declare/model.h"
#include "support/fakes.h"
#include "winboard/driver.h"

namespace ormedan::testing {

class Referee {
 public:
  Referee() { SetUpNewGame(rig_.e()); }
  Engine& e() { return rig_.e(); }

  // Handles one input line as the command loop does; returns the lines written.
  std::vector<std::string> Send(std::string_view line) {
    const size_t before = rig_.out.lines.size();
    const std::string_view command = TrimBlanks(line);
    if (!command.empty()) HandleLine(rig_.e(), command);
    return {rig_.out.lines.begin() + static_cast<std::ptrdiff_t>(before), rig_.out.lines.end()};
  }
  // Calls the move intake directly, whatever the line.
  std::vector<std::string> Take(std::string_view line) {
    const size_t before = rig_.out.lines.size();
    TakeOpponentMove(rig_.e(), line);
    return {rig_.out.lines.begin() + static_cast<std::ptrdiff_t>(before), rig_.out.lines.end()};
  }
  // Sends lines and returns everything they wrote.
  std::vector<std::string> SendAll(const std::vector<std::string>& lines) {
    std::vector<std::string> all;
    for (const std::string& l : lines)
      for (std::string& out : Send(l)) all.push_back(std::move(out));
    return all;
  }

 private:
  Rig rig_;
};

// What a rejected move must leave untouched.
struct GameSnapshot {
  explicit GameSnapshot(const Engine& e)
      : game(e.GamePosition), moves(e.MoveHistory.Count()), keys(e.PositionHistory.Count()) {}
  bool Same(const Engine& e) const {
    return std::memcmp(&game, &e.GamePosition, sizeof(Position)) == 0 && moves == e.MoveHistory.Count() &&
           keys == e.PositionHistory.Count();
  }
  Position game;
  int64_t moves, keys;
};

}  // namespace ormedan::testing
