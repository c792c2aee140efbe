// Stand-ins for the engine's streams, clock and random source, for programs
// that drive the library directly (developer tools, benchmarks, the book
// converter): no input, output thrown away or sent to stdout, a clock that
// stands still or follows the steady clock, and a random source that always
// gives 0.
#pragma once

#include <chrono>
#include <cstdio>
#include <string_view>

#include "declare/io.h"

namespace ormedan {

class NoInput : public Input {
 public:
  int ReadByte() override { return -1; }
};

class NoOutput : public Output {
 public:
  bool WriteLine(std::string_view) override { return true; }
};

class StdoutLines : public Output {
 public:
  bool WriteLine(std::string_view text) override {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    return std::fflush(stdout) == 0;
  }
};

class StillClock : public Clock {
 public:
  int64_t NowMicroseconds() override { return 0; }
};

class SteadyClock : public Clock {
 public:
  int64_t NowMicroseconds() override {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};

class FirstRandom : public Random {
 public:
  uint32_t Below(uint32_t) override { return 0; }
};

}  // namespace ormedan
