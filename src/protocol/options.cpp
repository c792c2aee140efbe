#include "protocol/options.h"

#include "declare/line_builder.h"
#include "protocol/numbers.h"

namespace ormedan {

namespace {

constexpr OptionSpec kOptions[] = {
    // Play the first moves from the opening books (off for engine tests
    // and rating lists, which bring their own openings).
    {"OwnBook", OptionKind::Check, 1, 0, 1, true, [](EngineSettings& s, int64_t v) { s.ownBook = v != 0; }},
    // Lines of analysis: the best root moves, each with an exact score.
    {"MultiPV", OptionKind::Spin, 1, 1, 32, false, [](EngineSettings& s, int64_t v) { s.multiPv = static_cast<int>(v); }},
    // The client may let the engine think on its opponent's time (UCI "go
    // ponder"; protocol 2 has "hard" and "easy" for it).
    {"Ponder", OptionKind::Check, 0, 0, 1, false, [](EngineSettings& s, int64_t v) { s.ponder = v != 0; }},
    // Play at a rating instead of full strength (Alivelli/strength.h).
    {"UCI_LimitStrength", OptionKind::Check, 0, 0, 1, true,
     [](EngineSettings& s, int64_t v) { s.limitStrength = v != 0; }},
    {"UCI_Elo", OptionKind::Spin, FullStrengthElo, LowestElo, FullStrengthElo, true,
     [](EngineSettings& s, int64_t v) { s.elo = static_cast<int>(v); }},
    // The memo and the search are of one fixed size and one thread: these
    // are declared for the clients that set them, with their only value.
    {"Hash", OptionKind::Spin, 1, 1, 1, false, nullptr},
    {"Threads", OptionKind::Spin, 1, 1, 1, false, nullptr},
};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// A check's value: 1 for true, 0 for false, -1 for anything else.
int CheckValue(std::string_view text) {
  if (text == "1" || SameText(text, "true")) return 1;
  if (text == "0" || SameText(text, "false")) return 0;
  return -1;
}

}  // namespace

void WriteUciOptions(Engine& e) {
  for (const OptionSpec& o : kOptions) {
    LineBuilder line;
    line.Text("option name ").Text(o.name);
    if (o.kind == OptionKind::Check) {
      line.Text(" type check default ").Text(o.defaultValue != 0 ? "true" : "false");
    } else {
      line.Text(" type spin default ").Number(o.defaultValue).Text(" min ").Number(o.min).Text(" max ").Number(o.max);
    }
    e.Reply(line.View());
  }
}

void WriteXboardOptions(Engine& e) {
  for (const OptionSpec& o : kOptions) {
    if (!o.inXboard) continue;
    LineBuilder line;
    line.Text("feature option=\"").Text(o.name);
    if (o.kind == OptionKind::Check) {
      line.Text(" -check ").Number(o.defaultValue);
    } else {
      line.Text(" -spin ").Number(o.defaultValue).Text(" ").Number(o.min).Text(" ").Number(o.max);
    }
    e.Reply(line.Text("\"").View());
  }
}

std::string SetOption(Engine& e, std::string_view name, std::string_view value) {
  for (const OptionSpec& o : kOptions) {
    if (!SameText(name, o.name)) continue;
    int64_t v = -1;
    std::string why(o.name);
    if (o.kind == OptionKind::Check) {
      v = CheckValue(value);
      if (v < 0) return why.append(" takes true or false, not ").append(value);
    } else if (!ParseInteger(value, v) || v < o.min || v > o.max) {
      LineBuilder range;
      range.Text(" takes a whole number from ").Number(o.min).Text(" to ").Number(o.max).Text(", not ");
      return why.append(range.View()).append(value);
    }
    if (o.apply != nullptr) o.apply(e.settings, v);
    return {};
  }
  return std::string("unknown option: ").append(name);
}

}  // namespace ormedan
