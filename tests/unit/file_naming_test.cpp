#include "capture/file_naming.h"

#include <gtest/gtest.h>

#include <limits>

namespace zinnow {
namespace {

TEST(NumberText, Table) {
  struct Case {
    int digits;
    std::int32_t number;
    const char* expected;
  } cases[] = {
      {3, 5, "005"},
      {3, 0, "000"},
      {3, 1234, "1234"},  // longer than the template: never cut
      {3, -5, "-005"},    // the sign comes in front of the filling
      {5, 42, "00042"},
      {0, 0, "0"},  // no digits still writes one
      {0, 7, "7"},
      {1, 0, "0"},
      {2, -123, "-123"},
      {3, 100000, "100000"},  // captures past 99999
      {8, 42, "00000042"},    // a template of four double-byte characters
      {10, -1, "-0000000001"},
      {3, std::numeric_limits<std::int32_t>::max(), "2147483647"},
      {3, std::numeric_limits<std::int32_t>::min(), "-2147483648"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NumberText(c.number, c.digits), c.expected) << c.digits << " digits, " << c.number;
  }
}

// Runs against the system's own code page: Shift_JIS on the headless backend, whatever Windows
// reports under Wine (code page 932 with LANG=ja_JP.UTF-8).
TEST(JoinPath, SystemCodePage) {
  struct Case {
    const char* folder;
    const char* name;
    const char* expected;
    const char* why;
  } cases[] = {
      {"C:\\shots", "", "C:\\shots\\", "a backslash is added"},
      {"C:\\shots\\", "", "C:\\shots\\", "an existing backslash is kept"},
      {"C:\\shots", "svbmp000.bmp", "C:\\shots\\svbmp000.bmp", "a name is joined on"},
      {"C:\\\x95\x5c", "", "C:\\\x95\x5c\\",
       "the folder ends in the double-byte character for 'table'"},
      {"C:\\\x83\x5c", "", "C:\\\x83\x5c\\", "the folder ends in the katakana 'so'"},
      {"C:\\\x95\x5c\x95\x5c", "", "C:\\\x95\x5c\x95\x5c\\", "two such characters"},
      {"C:\\\x95\x5c\\", "", "C:\\\x95\x5c\\", "a real backslash after such a character"},
      {"C:\\\x81\x81\\", "", "C:\\\x81\x81\\",
       "a character made of two lead-range bytes, then a backslash"},
      {"C:\\\\", "", "C:\\\\", "two trailing backslashes stay two"},
      {"\\", "", "\\", "a lone backslash"},
      {"C:", "", "C:\\", "a drive without its root"},
      {"shots", "", "shots\\", "a relative folder"},
      {"", "", "", "no folder, no path"},
      {"", "svbmp000.bmp", "", "no folder, no path, whatever the name"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JoinPath(c.folder, c.name), c.expected) << c.why;
  }
}

TEST(JoinPath, SingleByteCodePageTakesAFinal0x5cAsBackslash) {
  EXPECT_EQ(JoinPath("C:\\\x95\x5c", "", CodePage()), "C:\\\x95\x5c");
  EXPECT_EQ(JoinPath("C:\\\x95", "", CodePage()), "C:\\\x95\\");
}

}  // namespace
}  // namespace zinnow
