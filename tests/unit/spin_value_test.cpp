#include "platform/spin_value.h"

#include <gtest/gtest.h>

namespace zinnow {
namespace {

TEST(ReadSpinInteger, Table) {
  struct Case {
    const char* text;
    std::int32_t expected;
  } cases[] = {
      {"0", 0},
      {"007", 7},     // leading zeros
      {"+5", 5},      // explicit plus
      {" 5", 5},      // blanks in front
      {"   -5", -5},  // not clamped
      {"99999", 99999},
      {"123456", 123456},  // beyond the field's maximum, still not clamped
      {"$1F", 31},         // hexadecimal
      {"$1f", 31},         // letters in either case
      {" $a", 10},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"", 0},   // empty reads as the minimum
      {"-", 0},  // a lone sign
      {"+", 0},
      {"$", 0},
      {"5 ", 0},  // nothing may follow
      {"5a", 0},
      {"abc", 0},
      {"\t5", 0},   // only blanks lead
      {"-$1F", 0},  // no sign before "$"
      {"0x1F", 0},  // only "$" marks hexadecimal
      {"1.5", 0},
      {"2147483648", 0},  // beyond 32 bits
      {"-2147483649", 0},
      {"$80000000", 0},
      {"99999999999999999999999", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadSpinInteger(c.text), c.expected) << "text: \"" << c.text << "\"";
  }
}

}  // namespace
}  // namespace zinnow
