#include "support/files.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace ormedan::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "ormedan-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void TempDir::Write(std::string_view name, std::string_view bytes) const {
  std::ofstream f(std::filesystem::path(path_) / name, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!f) throw std::runtime_error("cannot write test file");
}

void TempDir::WriteEmptyBooks() const {
  Write("b.dat", "");
  Write("n.dat", "");
  Write("x.dat", "");
}

WorkingDirectory::WorkingDirectory(const std::string& path) {
  previous_ = std::filesystem::current_path().string();
  std::filesystem::current_path(path);
}

WorkingDirectory::~WorkingDirectory() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
}

}  // namespace ormedan::testing
