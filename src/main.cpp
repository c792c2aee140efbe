// Program entry: wires stdin, stdout, a monotonic clock and a clock-seeded
// generator to one engine and runs it.
#include <poll.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "Alivelli/bench.h"
#include "declare/quiet_io.h"
#include "protocol/modes.h"

namespace {

using namespace ormedan;

class FdInput : public Input {
 public:
  explicit FdInput(int fd) : fd_(fd) {}
  int ReadByte() override { return Next(); }
  // Looks for new bytes at most once a millisecond: the search asks often,
  // and a look costs a system call.
  int TryReadByte() override {
    if (pos_ == size_ && !ended_) {
      const int64_t now = clock_.NowMicroseconds();
      if (now - lastLook_ < 1000) return NotReady;
      lastLook_ = now;
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 0) <= 0) return NotReady;
    }
    return Next();
  }

 private:
  int Next() {
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

  int fd_;
  bool ended_ = false;
  SteadyClock clock_;
  int64_t lastLook_ = -1000000;
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

// "ormedan bench [DEPTH]": the bench of ormedan-tool, ending with the line
// "NODES nodes NPS nps" that engine testers read.
int RunBenchCommand(int argc, char** argv) {
  int depth = DefaultBenchDepth;
  if (argc > 3) return -1;
  if (argc == 3) {
    depth = 0;
    for (const char* c = argv[2]; *c != 0; ++c) {
      if (*c < '0' || *c > '9' || depth > 15) return -1;
      depth = depth * 10 + (*c - '0');
    }
    if (depth < 1 || depth > 15) return -1;
  }
  double seconds = 0;
  const int64_t nodes = RunBench(
      depth,
      [](const BenchLine& b) {
        std::printf("%d %.*s nodes %lld\n", b.index, static_cast<int>(b.move.size()), b.move.data(),
                    static_cast<long long>(b.nodes));
      },
      &seconds);
  if (nodes < 0) return 1;
  const long long nps = seconds > 0 ? static_cast<long long>(static_cast<double>(nodes) / seconds) : 0;
  std::printf("%lld nodes %lld nps\n", static_cast<long long>(nodes), nps);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

void Usage(const char* option) {
  WriteError("ormedan: unknown option: ");
  WriteError(option);
  WriteError("\nusage: ormedan [--features | --uci | bench [DEPTH]]\n");
}

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "bench") == 0) {
    const int status = RunBenchCommand(argc, argv);
    if (status >= 0) return status;
    Usage(argv[argc - 1]);
    return 2;
  }
  Mode mode = Mode::Plain;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--features") == 0 || std::strcmp(argv[i], "--uci") == 0) {
      mode = argv[i][2] == 'f' ? Mode::Xboard2 : Mode::Uci;
      continue;
    }
    Usage(argv[i]);
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
  return RunMode(*engine, options, mode);
}
