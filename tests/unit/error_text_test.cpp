#include "app/error_text.h"

#include <gtest/gtest.h>

namespace zinnow {
namespace {

TEST(ErrorBoxText, FullStopRule) {
  struct Case {
    const char* message;
    const char* shown;
  } cases[] = {
      {"", ""},
      {"Done.", "Done."},  // already ends in a full stop
      {"Look ", "Look "},  // a blank is below "."
      {"Stop!", "Stop!"},
      {"(x)", "(x)"},
      {"abc", "abc."},                                                  // a letter
      {"42", "42."},                                                    // a digit
      {"ｽﾄﾘｰﾑへの書き込みｴﾗｰ", "ｽﾄﾘｰﾑへの書き込みｴﾗｰ."},                // a half-width katakana
      {"ﾌｧｲﾙ C:\\a を作成できません", "ﾌｧｲﾙ C:\\a を作成できません."},  // a double-byte character
      {"C:\\\x95\x5c", "C:\\\x95\x5c."},  // the character counts by its first byte, 0x95
      {"C:\\", "C:\\."},                  // a real backslash is above "."
      {"a/", "a/."},
      {"a-", "a-"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ErrorBoxText(c.message, ShiftJisCodePage()), c.shown) << c.message;
  }
}

}  // namespace
}  // namespace zinnow
