// One output line composed on the stack from texts and numbers.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace ormedan {

// Composes one line from texts and numbers on the stack; what does not fit
// in its room is left out.
class LineBuilder {
 public:
  LineBuilder& Text(std::string_view t) {
    const size_t n = t.size() < Room - size_ ? t.size() : Room - size_;
    if (n > 0) std::memcpy(buf_ + size_, t.data(), n);
    size_ += n;
    return *this;
  }
  LineBuilder& Number(int64_t v) {
    char digits[24];
    const auto r = std::to_chars(digits, digits + sizeof digits, v);
    return Text(std::string_view(digits, static_cast<size_t>(r.ptr - digits)));
  }
  std::string_view View() const { return {buf_, size_}; }

 private:
  static constexpr size_t Room = 240;
  char buf_[Room];
  size_t size_ = 0;
};

}  // namespace ormedan
