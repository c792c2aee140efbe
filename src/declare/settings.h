// The values of the options a client can set. Each option is declared once,
// with its name, type, default and range, in protocol/options.cpp; the code
// that uses a value reads it here.
#pragma once

namespace ormedan {

struct EngineSettings {
  bool ownBook = true;  // the engine plays from its opening books
  int multiPv = 1;      // root moves reported with an exact score
  bool ponder = false;  // the client lets the engine think on its opponent's time
};

}  // namespace ormedan
