// Diagnostic lines in the style of the protocol-2 and UCI modes.
#include "declare/engine.h"

#include <cstring>
#include <string>

namespace ormedan {

void Engine::WriteStyled(std::string_view text) {
  std::string_view prefix;
  switch (diagnostics) {
    case DiagnosticStyle::Plain: break;
    case DiagnosticStyle::Comment: prefix = "# "; break;
    case DiagnosticStyle::InfoString: prefix = "info string "; break;
    case DiagnosticStyle::Dropped: return;
  }
  char small[256];
  if (prefix.size() + text.size() <= sizeof small) {
    std::memcpy(small, prefix.data(), prefix.size());
    if (!text.empty()) std::memcpy(small + prefix.size(), text.data(), text.size());
    Reply(std::string_view(small, prefix.size() + text.size()));
    return;
  }
  std::string line(prefix);
  line.append(text);
  Reply(line);
}

}  // namespace ormedan
