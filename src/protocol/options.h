// The options a client can set, declared once. The UCI "option name ..."
// lines and the protocol-2 "feature option=..." lines are written from the
// one table, and both "setoption" and "option NAME=VALUE" are read through
// it. Adding an option is one entry in options.cpp and, in EngineSettings
// (declare/settings.h), the value that the code using it reads.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "declare/engine.h"

namespace ormedan {

enum class OptionKind : uint8_t { Check, Spin };

struct OptionSpec {
  std::string_view name;
  OptionKind kind;
  int64_t defaultValue;  // a check: 1 for true
  int64_t min, max;      // a spin's range
  // Offered in protocol 2 too; Hash and Threads have protocol 2's own
  // commands (memory, cores) there.
  bool inXboard;
  // Stores a value already checked against the range; nullptr: the value
  // can only be the default.
  void (*apply)(EngineSettings& s, int64_t value);
};

// The UCI answer to "uci" lists these lines between the id lines and uciok.
void WriteUciOptions(Engine& e);
// The protocol-2 feature lines of the options.
void WriteXboardOptions(Engine& e);

// Sets the option `name` (case does not matter) to the value text: "true",
// "false", "1" or "0" for a check, a whole number in range for a spin.
// Returns "" when set, otherwise why not, the same text in either mode.
std::string SetOption(Engine& e, std::string_view name, std::string_view value);

}  // namespace ormedan
