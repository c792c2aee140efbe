// In-process stand-ins for the engine's streams, clock and random source.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "declare/engine.h"

namespace ormedan::testing {

// Input from a fixed byte string.
class StringInput : public Input {
 public:
  explicit StringInput(std::string data = {}) : data_(std::move(data)) {}
  void Append(std::string_view more) { data_.append(more); }
  int ReadByte() override {
    if (pos_ >= data_.size()) return -1;
    return static_cast<unsigned char>(data_[pos_++]);
  }

 private:
  std::string data_;
  size_t pos_ = 0;
};

// Input whose lines, seen without waiting (TryReadByte), arrive only after
// a number of looks each: lines sent "while the engine thinks" reach it
// after that many of the search's clock checks. The end of the input is
// seen only by a reader that waits.
class PatientInput : public Input {
 public:
  PatientInput(std::string data, int64_t looksPerLine) : data_(std::move(data)), wait_(looksPerLine) {}
  int ReadByte() override {
    looks_ = 0;
    return pos_ < data_.size() ? static_cast<unsigned char>(data_[pos_++]) : -1;
  }
  int TryReadByte() override {
    if (looks_++ < wait_ || pos_ >= data_.size()) return NotReady;
    const char c = data_[pos_++];
    if (c == '\n') looks_ = 0;
    return static_cast<unsigned char>(c);
  }

 private:
  std::string data_;
  size_t pos_ = 0;
  int64_t wait_;
  int64_t looks_ = 0;
};

// Collects every line written; can be told to fail from the n-th line on.
class CaptureOutput : public Output {
 public:
  bool WriteLine(std::string_view text) override {
    if (failAfter_ >= 0 && static_cast<int64_t>(lines.size()) >= failAfter_) return false;
    lines.emplace_back(text);
    return true;
  }
  std::string Joined() const {
    std::string s;
    for (const std::string& l : lines) {
      s += l;
      s += '\n';
    }
    return s;
  }
  void FailAfter(int64_t n) { failAfter_ = n; }
  std::vector<std::string> lines;

 private:
  int64_t failAfter_ = -1;
};

// A pinned clock. Each reading can advance it by a fixed step, so that a
// test can make time run out inside a search.
class FakeClock : public Clock {
 public:
  int64_t NowMicroseconds() override {
    const int64_t t = now;
    now += stepPerRead;
    return t;
  }
  int64_t now = 1'000'000;
  int64_t stepPerRead = 0;
};

// A seeded generator; or a scripted sequence when `script` is not empty.
class SeededRandom : public Random {
 public:
  explicit SeededRandom(uint32_t seed = 1) : gen_(seed) {}
  uint32_t Below(uint32_t n) override {
    if (!script.empty()) {
      const uint32_t v = script.front();
      script.pop_front();
      return v % n;
    }
    return static_cast<uint32_t>(gen_() % n);
  }
  std::deque<uint32_t> script;

 private:
  std::mt19937 gen_;
};

// An engine with its own fake streams. The engine is a few megabytes, so it
// lives on the heap.
struct Rig {
  explicit Rig(std::string input = {}, uint32_t seed = 1)
      : in(std::move(input)), rng(seed), engine(std::make_unique<Engine>(in, out, clock, rng)) {}
  Engine& e() { return *engine; }
  StringInput in;
  CaptureOutput out;
  FakeClock clock;
  SeededRandom rng;
  std::unique_ptr<Engine> engine;
};

}  // namespace ormedan::testing
