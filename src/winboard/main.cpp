// Program entry: wires stdin, stdout, a monotonic clock and a clock-seeded
// generator to one engine and runs it.
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "winboard/driver.h"

namespace {

using namespace ormedan;

class FdInput : public Input {
 public:
  explicit FdInput(int fd) : fd_(fd) {}
  int ReadByte() override {
    if (pos_ == size_) {
      if (ended_) return -1;
      ssize_t n;
      do {
        n = ::read(fd_, buffer_, sizeof buffer_);
      } while (n < 0 && errno == EINTR);
      if (n <= 0) {  // end of input, or a read error that ends it
        ended_ = true;
        return -1;
      }
      pos_ = 0;
      size_ = static_cast<size_t>(n);
    }
    return static_cast<unsigned char>(buffer_[pos_++]);
  }

 private:
  int fd_;
  bool ended_ = false;
  char buffer_[4096];
  size_t pos_ = 0, size_ = 0;
};

// Each line goes out with one write (or a few, when the kernel takes it in
// parts); nothing is held back, so every line is flushed at once.
class FdOutput : public Output {
 public:
  explicit FdOutput(int fd) : fd_(fd) {}
  bool WriteLine(std::string_view text) override {
    if (failed_) return false;
    char newline = '\n';
    iovec parts[2] = {{const_cast<char*>(text.data()), text.size()}, {&newline, 1}};
    iovec* part = parts;
    int left = 2;
    while (left > 0) {
      const ssize_t n = ::writev(fd_, part, left);
      if (n < 0) {
        if (errno == EINTR) continue;
        failed_ = true;  // EPIPE and every other error: the reader is gone
        return false;
      }
      size_t done = static_cast<size_t>(n);
      while (left > 0 && done >= part->iov_len) {
        done -= part->iov_len;
        ++part;
        --left;
      }
      if (left > 0) {
        part->iov_base = static_cast<char*>(part->iov_base) + done;
        part->iov_len -= done;
      }
    }
    return true;
  }

 private:
  int fd_;
  bool failed_ = false;
};

class SteadyClock : public Clock {
 public:
  int64_t NowMicroseconds() override {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};

class ClockSeededRandom : public Random {
 public:
  ClockSeededRandom()
      : gen_(static_cast<uint32_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count())) {}
  uint32_t Below(uint32_t n) override {
    if (n <= 1) return 0;
    return std::uniform_int_distribution<uint32_t>(0, n - 1)(gen_);
  }

 private:
  std::mt19937 gen_;
};

// The folder of the running program ("" when it cannot see its own path).
std::string ProgramDir() {
  char path[4096];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n > 0) {
    std::string exe(path, static_cast<size_t>(n));
    const size_t slash = exe.rfind('/');
    if (slash != std::string::npos) return exe.substr(0, slash);
  }
  return {};
}

void WriteError(const char* text) {
  const ssize_t ignored = ::write(STDERR_FILENO, text, std::strlen(text));
  (void)ignored;
}

}  // namespace

int main(int argc, char** argv) {
  bool features = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--features") == 0) {
      features = true;
      continue;
    }
    WriteError("ormedan: unknown option: ");
    WriteError(argv[i]);
    WriteError("\nusage: ormedan [--features]\n");
    return 2;
  }
  // The GUI interrupts the engine with SIGINT after its moves; a closed
  // stdout must show up as a failed write, not as a SIGPIPE death.
  std::signal(SIGINT, SIG_IGN);
  std::signal(SIGPIPE, SIG_IGN);
  FdInput in(STDIN_FILENO);
  FdOutput out(STDOUT_FILENO);
  FdOutput errors(STDERR_FILENO);
  SteadyClock clock;
  ClockSeededRandom rng;
  auto engine = std::make_unique<Engine>(in, out, clock, rng);
  engine->driver.announceFeatures = features ? 1 : 0;
  // The installed books are found beside the program, so an installation can
  // be moved: PREFIX/bin/ormedan reads PREFIX/share/ormedan, and the Debian
  // layout's /usr/games/ormedan reads /usr/share/games/ormedan. The
  // configured folder stands in when the program cannot see its own path.
  const std::string programDir = ProgramDir();
  const std::string dataDir = programDir.empty() ? ORMEDAN_DATADIR : programDir + "/../share/ormedan";
  const std::string gamesDataDir = programDir.empty() ? "" : programDir + "/../share/games/ormedan";
  StartUpOptions options;
  options.dataDir = dataDir;
  options.secondDataDir = gamesDataDir;
  options.errors = &errors;
  return RunEngine(*engine, options);
}
