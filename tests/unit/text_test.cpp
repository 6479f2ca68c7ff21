#include "platform/text.h"

#include <gtest/gtest.h>

namespace zinnow {
namespace {

TEST(LastCharStart, FindsTheLastCharacterFromTheEnd) {
  const CodePage sjis = ShiftJisCodePage();
  struct Case {
    const char* text;
    std::size_t expected;
    const char* why;
  } cases[] = {
      {"", 0, "empty text"},
      {"a", 0, "one byte"},
      {"ab", 1, "single-byte text"},
      {"\x95\x5c", 0, "one double-byte character whose second byte is a backslash"},
      {"a\x95\x5c", 1, "lead run of one before the last byte"},
      {"\x81\x81\x5c", 2, "lead run of two: the last byte is a character of its own"},
      {"\x81\x81\x81\x5c", 2, "lead run of three: the last byte ends a character"},
      {"\x95\x5c\x5c", 2, "a real backslash after a double-byte character"},
      {"\xb1\x5c", 1, "a half-width katakana is no lead byte"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LastCharStart(c.text, sjis), c.expected) << c.why;
  }
}

TEST(LastCharStart, SingleByteCodePageTakesTheLastByte) {
  EXPECT_EQ(LastCharStart("\x95\x5c", CodePage()), 1u);
  EXPECT_FALSE(CodePage().HasDoubleByteCharacters());
}

TEST(FolderOfPath, CutsAfterTheLastSeparator) {
  const CodePage sjis = ShiftJisCodePage();
  struct Case {
    const char* path;
    const char* folder;
  } cases[] = {
      {"C:\\Zinnow\\zinnow.exe", "C:\\Zinnow\\"},
      {"C:zinnow.exe", "C:"},
      {"zinnow.exe", ""},
      {"C:\\\x95\x5c\\zinnow.exe",
       "C:\\\x95\x5c\\"},                  // a folder ending in the character for 'table'
      {"C:\\\x95\x5czinnow.exe", "C:\\"},  // that character's second byte is no separator
      {"\\\\server\\share\\z.exe", "\\\\server\\share\\"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FolderOfPath(c.path, sjis), c.folder) << c.path;
  }
}

}  // namespace
}  // namespace zinnow
