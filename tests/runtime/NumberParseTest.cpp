#include <gtest/gtest.h>

#include <string>

#include "runtime/NumberParse.h"

namespace {

struct NumberCase {
  std::string text;
  std::optional<int32_t> value;  // nothing: invalid
};

TEST(NumberParseTest, SyntaxPrefixesAndBounds) {
  const NumberCase cases[] = {
      {"0", 0},
      {"42", 42},
      {"+42", 42},
      {"-42", -42},
      {"007", 7},
      {"-0", 0},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999", std::nullopt},
      // Hexadecimal in every spelling, upper and lower case digits.
      {"$7FFF", 32767},
      {"x10", 16},
      {"X10", 16},
      {"0x10", 16},
      {"0X1f", 31},
      {"$ff", 255},
      {"$FFFF8000", -32768},
      {"$FFFFFFFF", -1},
      {"-$10", -16},
      {"-x10", -16},
      {"-$80000000", INT32_MIN},
      {"$100000000", std::nullopt},
      {"$0000000010", 16},
      // Binary and octal.
      {"%1010", 10},
      {"%2", std::nullopt},
      {"&17", 15},
      {"&8", std::nullopt},
      {"&37777777777", -1},
      // Signs and prefixes alone, and stray bytes.
      {"", std::nullopt},
      {"+", std::nullopt},
      {"-", std::nullopt},
      {"$", std::nullopt},
      {"0x", std::nullopt},
      {"%", std::nullopt},
      {"&", std::nullopt},
      {"+-1", std::nullopt},
      {"1.5", std::nullopt},
      {"1e3", std::nullopt},
      {"12a", std::nullopt},
      {"a", std::nullopt},
      {"0x1g", std::nullopt},
      {"\xEF\xBB\xBF"
       "1",
       std::nullopt},
      {"1,2", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseNumber(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
