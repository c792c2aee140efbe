// Temporary folders and the working directory, for tests that read files.
#pragma once

#include <string>
#include <string_view>

namespace ormedan::testing {

// A fresh folder under the system's temporary directory, removed with its
// files when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // Writes (or replaces) a file in the folder with exactly these bytes.
  void Write(std::string_view name, std::string_view bytes) const;
  // Writes the three empty books b.dat, n.dat and x.dat.
  void WriteEmptyBooks() const;

 private:
  std::string path_;
};

// Makes a folder the working directory for the object's lifetime.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::string& path);
  ~WorkingDirectory();
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

 private:
  std::string previous_;
};

}  // namespace ormedan::testing
