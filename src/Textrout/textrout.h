// Text routines on byte strings used to take command lines apart.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ormedan {

// The text without any of the characters of `set` at either end.
std::string_view TrimChars(std::string_view text, std::string_view set);
// The plain protocol's trim: blanks (code 32) only; tabs and carriage
// returns stay, as they always have there.
std::string_view TrimBlanks(std::string_view text);
std::string_view DropFirst(std::string_view text, int64_t n);
std::string_view TakeFirst(std::string_view text, int64_t n);
std::string_view WordAt(std::string_view text, int64_t n);
int32_t TextToInt(std::string_view text);
int FileLetterToNumber(std::string_view text);

}  // namespace ormedan
