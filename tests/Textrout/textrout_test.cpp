#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "Textrout/textrout.h"

namespace ormedan {
namespace {

using namespace std::string_view_literals;

// The results are views into the argument, never copies.
bool Inside(std::string_view part, std::string_view whole) {
  return part.empty() || (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

TEST(TrimBlanks, RemovesOnlyBlanksAtEitherEnd) {
  EXPECT_EQ(TrimBlanks("  e2e4   "), "e2e4");
  EXPECT_EQ(TrimBlanks("level 40 5 0"), "level 40 5 0");
  EXPECT_EQ(TrimBlanks("  a  b  "), "a  b");
  EXPECT_EQ(TrimBlanks("     "), "");
  EXPECT_EQ(TrimBlanks(""), "");
  EXPECT_EQ(TrimBlanks(" x"), "x");
  EXPECT_EQ(TrimBlanks("x "), "x");
  // Tabs, carriage returns and NUL bytes are not blanks.
  EXPECT_EQ(TrimBlanks("\tgo\t"), "\tgo\t");
  EXPECT_EQ(TrimBlanks(" quit\r "), "quit\r");
  const std::string withNul("\0 a \0"sv);
  EXPECT_EQ(TrimBlanks(withNul), withNul);
  const std::string_view s = "   word   ";
  EXPECT_TRUE(Inside(TrimBlanks(s), s));
}

TEST(DropAndTakeFirst, CountsAtAndBeyondTheEnds) {
  const std::string_view s = "level 40 5 0";
  EXPECT_EQ(DropFirst(s, 6), "40 5 0");
  EXPECT_EQ(DropFirst(s, 0), s);
  EXPECT_EQ(DropFirst(s, -3), s);
  EXPECT_EQ(DropFirst(s, 11), "0");
  EXPECT_EQ(DropFirst(s, 12), "");
  EXPECT_EQ(DropFirst(s, INT64_MAX), "");
  EXPECT_EQ(DropFirst("time", 5), "");
  EXPECT_EQ(TakeFirst(s, 5), "level");
  EXPECT_EQ(TakeFirst(s, 0), "");
  EXPECT_EQ(TakeFirst(s, -1), "");
  EXPECT_EQ(TakeFirst(s, INT64_MIN), "");
  EXPECT_EQ(TakeFirst(s, 12), s);
  EXPECT_EQ(TakeFirst(s, INT64_MAX), s);
  EXPECT_EQ(TakeFirst("", 3), "");
  EXPECT_TRUE(Inside(DropFirst(s, 6), s));
  EXPECT_TRUE(Inside(TakeFirst(s, 5), s));
}

TEST(WordAt, SingleBlanksSeparateWords) {
  const std::string_view s = "40 5 0";
  EXPECT_EQ(WordAt(s, 0), "40");
  EXPECT_EQ(WordAt(s, 1), "5");
  EXPECT_EQ(WordAt(s, 2), "0");
  EXPECT_EQ(WordAt(s, 3), "");
  EXPECT_EQ(WordAt(s, -1), "");
  // Two blanks delimit an empty word.
  EXPECT_EQ(WordAt("40  5", 0), "40");
  EXPECT_EQ(WordAt("40  5", 1), "");
  EXPECT_EQ(WordAt("40  5", 2), "5");
  EXPECT_EQ(WordAt(" x", 0), "");
  EXPECT_EQ(WordAt(" x", 1), "x");
  EXPECT_EQ(WordAt("x ", 1), "");
  EXPECT_EQ(WordAt("", 0), "");
  EXPECT_EQ(WordAt("a\tb c", 0), "a\tb");
  EXPECT_TRUE(Inside(WordAt(s, 1), s));
  // A huge index ends at once with an empty word.
  EXPECT_EQ(WordAt(s, INT64_MAX - 1), "");
  EXPECT_EQ(WordAt(s, INT64_MAX), "");
}

TEST(TextToInt, DecimalWithOptionalSignElseZero) {
  EXPECT_EQ(TextToInt("30000"), 30000);
  EXPECT_EQ(TextToInt(" -7 "), -7);
  EXPECT_EQ(TextToInt("+12"), 12);
  EXPECT_EQ(TextToInt("007"), 7);
  EXPECT_EQ(TextToInt("-0"), 0);
  EXPECT_EQ(TextToInt(""), 0);
  EXPECT_EQ(TextToInt("   "), 0);
  EXPECT_EQ(TextToInt("-"), 0);
  EXPECT_EQ(TextToInt("+"), 0);
  EXPECT_EQ(TextToInt("12a"), 0);
  EXPECT_EQ(TextToInt("5:30"), 0);
  EXPECT_EQ(TextToInt("300\r"), 0);
  EXPECT_EQ(TextToInt("\t5"), 0);
  EXPECT_EQ(TextToInt("1 2"), 0);
  EXPECT_EQ(TextToInt("- 5"), 0);
  EXPECT_EQ(TextToInt("--5"), 0);
  EXPECT_EQ(TextToInt("0x10"), 0);
  EXPECT_EQ(TextToInt("1e3"), 0);
  EXPECT_EQ(TextToInt(std::string("1\0"sv)), 0);
  // The 32-bit range, exactly.
  EXPECT_EQ(TextToInt("2147483647"), 2147483647);
  EXPECT_EQ(TextToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(TextToInt("2147483648"), 0);
  EXPECT_EQ(TextToInt("-2147483649"), 0);
  EXPECT_EQ(TextToInt("99999999999999999999999999"), 0);
  EXPECT_EQ(TextToInt("00000000000000000000000042"), 42);
  EXPECT_EQ(TextToInt(std::string(100000, '9')), 0);
}

TEST(FileLetterToNumber, LowerCaseFilesElseOne) {
  const char* files = "abcdefgh";
  for (int i = 0; i < 8; ++i) EXPECT_EQ(FileLetterToNumber(std::string_view(files + i)), i + 1);
  EXPECT_EQ(FileLetterToNumber("e2e4"), 5);
  EXPECT_EQ(FileLetterToNumber("A"), 1);
  EXPECT_EQ(FileLetterToNumber("H"), 1);
  EXPECT_EQ(FileLetterToNumber("z"), 1);
  EXPECT_EQ(FileLetterToNumber("i"), 1);
  EXPECT_EQ(FileLetterToNumber("`"), 1);
  EXPECT_EQ(FileLetterToNumber(""), 1);
  EXPECT_EQ(FileLetterToNumber("\xFF"), 1);
  EXPECT_EQ(FileLetterToNumber(std::string(1, '\0')), 1);
}

}  // namespace
}  // namespace ormedan
