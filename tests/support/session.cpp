#include "support/session.h"

#include <filesystem>

#include "support/files.h"
#include "winboard/driver.h"

namespace ormedan::testing {

std::vector<std::string> StartUpLines() {
  return {"ORMEDAN! 1500 ver 1.0", "by the ORMEDAN team",           "Winboard Engine",
          "Type 'quit' for exit",  "Carico i book delle aperture", "Book caricati"};
}

SessionResult RunSession(Rig& rig, const std::string& folder, const std::string& dataDir) {
  CaptureOutput errors;
  StartUpOptions options;
  options.dataDir = dataDir;
  options.errors = &errors;
  SessionResult result;
  {
    WorkingDirectory here(folder);
    result.status = RunEngine(rig.e(), options);
  }
  result.lines = rig.out.lines;
  result.errors = errors.lines;
  return result;
}

const TempDir& ShippedBooksFolder() {
  static TempDir* dir = [] {
    auto* d = new TempDir;
    for (const char* book : {"b.dat", "n.dat", "x.dat"})
      std::filesystem::copy_file(std::string(ORMEDAN_SOURCE_DIR) + "/books/" + book, d->path() + "/" + book);
    return d;
  }();
  return *dir;
}

SessionResult RunModeSession(Engine& e, const CaptureOutput& out, const std::string& folder, Mode mode) {
  CaptureOutput errors;
  StartUpOptions options;
  options.errors = &errors;
  SessionResult result;
  {
    WorkingDirectory here(folder);
    result.status = RunMode(e, options, mode);
  }
  result.lines = out.lines;
  result.errors = errors.lines;
  return result;
}

SessionResult RunSession(const std::string& input, const std::string& folder, const std::string& dataDir) {
  Rig rig(input);
  return RunSession(rig, folder, dataDir);
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + '\n';
  return s;
}

}  // namespace ormedan::testing
