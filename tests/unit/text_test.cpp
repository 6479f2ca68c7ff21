#include "platform/text.h"

#include <gtest/gtest.h>

#include <vector>

namespace zinnow {
namespace {

TEST(NextCharStart, StepsOverWholeCharacters) {
  const CodePage sjis = ShiftJisCodePage();
  struct Case {
    const char* text;
    std::size_t at;
    std::size_t next;
    const char* why;
  } cases[] = {
      {"ab", 0, 1, "a single-byte character"},
      {"\x95\x5c", 0, 2, "a double-byte character whose second byte is a backslash"},
      {"a\x95\x5c", 1, 3, "a double-byte character after a single-byte one"},
      {"\x81\x81\x5c", 0, 2, "a second byte of lead-byte value belongs to the first character"},
      {"\x81\x81\x5c", 2, 3, "the byte after that pair is a character of its own"},
      {"\xb1\x5c", 0, 1, "a half-width katakana is no lead byte"},
      {"\x82", 0, 1, "a lone lead byte at the end"},
      {"a\x82", 1, 2, "a lead byte as the last byte after others"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NextCharStart(c.text, c.at, sjis), c.next) << c.why;
  }
  EXPECT_EQ(NextCharStart("\x95\x5c", 0, CodePage()), 1u);  // no lead bytes at all
}

// Walking forward and reading from the end must agree on where the last character starts, for
// every text of up to six bytes built from a letter, a backslash, two lead bytes and a katakana.
TEST(NextCharStart, AgreesWithLastCharStartOnEveryShortText) {
  const CodePage sjis = ShiftJisCodePage();
  const char alphabet[] = {'a', '\x5c', '\x81', '\x95', '\xb1'};
  std::vector<AnsiString> texts = {""};
  for (std::size_t length = 1; length <= 6; ++length) {
    std::vector<AnsiString> longer;
    for (const AnsiString& text : texts) {
      for (char byte : alphabet) longer.push_back(text + byte);
    }
    for (const AnsiString& text : longer) {
      std::size_t last = 0;
      std::size_t i = 0;
      for (; i < text.size(); i = NextCharStart(text, i, sjis)) last = i;
      ASSERT_EQ(i, text.size()) << "the walk overran " << text;
      ASSERT_EQ(last, LastCharStart(text, sjis)) << text;
    }
    texts = std::move(longer);
  }
}

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

// The history's lookup: letter case aside, texts must be equal byte for byte.
TEST(SameTextIgnoringCase, IgnoresLetterCaseOnly) {
  const CodePage sjis = ShiftJisCodePage();
  struct Case {
    const char* a;
    const char* b;
    bool same;
  } cases[] = {
      {"C:\\Data", "c:\\data", true},
      {"C:\\Data", "C:\\Data\\", false},  // a trailing backslash
      {"C:\\Data", "C:\\Data ", false},   // a trailing blank
      {"C:\\Data", "C:\\Dat", false},
      {"", "", true},
      {"C:\\\x95\x5c", "c:\\\x95\x5c", true},  // double-byte characters compare as they are
      {"\x83\x41", "\x83\x61", false},  // two katakana whose second bytes differ like A and a
      {"C:\\\x82\x60\x82\x79", "c:\\\x82\x81\x82\x9a", true},  // full-width A, Z and a, z
      {"\x82\x60", "\x82\x61", false},                         // full-width A and B
      {"\x83\x9f\x83\xb6", "\x83\xbf\x83\xd6", true},          // Greek alpha, omega
      {"\x84\x40\x84\x4e", "\x84\x70\x84\x7e", true},          // Cyrillic A, N before the gap
      {"\x84\x4f\x84\x60", "\x84\x80\x84\x91", true},          // Cyrillic O, Ya after it
      {"\x84\x4f", "\x84\x7f", false},                         // no letter stands at the gap
      {"\x82\x60", "a", false},                                // full width is not half width
      {"\x82", "\x82", true},                                  // a lone lead byte at the end
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SameTextIgnoringCase(c.a, c.b, sjis), c.same) << c.a << " / " << c.b;
    EXPECT_EQ(SameTextIgnoringCase(c.b, c.a, sjis), c.same) << c.b << " / " << c.a;
  }
  // In a code page of single bytes only A to Z fold; double-byte rules do not apply.
  EXPECT_TRUE(SameTextIgnoringCase("AbC", "aBc", CodePage()));
  EXPECT_FALSE(SameTextIgnoringCase("\x82\x60", "\x82\x81", CodePage()));
  // The system's code page is Shift_JIS for this program, on either backend.
  EXPECT_TRUE(SameTextIgnoringCase("\x82\x60", "\x82\x81"));
}

}  // namespace
}  // namespace zinnow
