// The engine's connections to the outside world: input bytes, output lines,
// a clock and a random source. The program wires them to stdin, stdout, a
// monotonic clock and a clock-seeded generator; tests pass their own.
#pragma once

#include <cstdint>
#include <string_view>

namespace ormedan {

class Input {
 public:
  virtual ~Input() = default;
  static constexpr int NotReady = -2;
  // Next byte 0..255, or -1 at end of input.
  virtual int ReadByte() = 0;
  // The same without waiting: NotReady when no byte has arrived yet. Input
  // held in memory is always ready.
  virtual int TryReadByte() { return ReadByte(); }
};

class Output {
 public:
  virtual ~Output() = default;
  // Writes the text followed by one line feed and flushes.
  // Returns false when the output is gone (for example a closed pipe).
  virtual bool WriteLine(std::string_view text) = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Microseconds on a monotonic scale.
  virtual int64_t NowMicroseconds() = 0;
};

class Random {
 public:
  virtual ~Random() = default;
  // Uniform integer in 0..n-1 (n >= 1).
  virtual uint32_t Below(uint32_t n) = 0;
};

}  // namespace ormedan
