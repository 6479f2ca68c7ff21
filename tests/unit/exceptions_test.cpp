#include "platform/exceptions.h"

#include <gtest/gtest.h>

#include "platform/messages.h"

namespace zinnow {
namespace {

// The message texts must reach the program as Shift_JIS bytes; a build that forgot the execution
// character set would carry UTF-8 here.
TEST(MessageTexts, AreShiftJisBytes) {
  EXPECT_EQ(AnsiString(messages::kStreamWriteError),
            "\xbd\xc4\xd8\xb0\xd1\x82\xd6\x82\xcc\x8f\x91\x82\xab\x8d\x9e\x82\xdd\xb4\xd7\xb0");
  EXPECT_EQ(AnsiString(messages::kOutOfResources),
            "\xbc\xbd\xc3\xd1\x20\xd8\xbf\xb0\xbd\x82\xaa\x91\xab\x82\xe8\x82\xdc\x82\xb9\x82\xf1");
}

TEST(MessageTexts, CreateErrorNamesThePathOnce) {
  struct Case {
    const char* path;
    const char* expected;
  } cases[] = {
      // The plain case.
      {"C:\\shots\\svbmp000.bmp",
       "\xcc\xa7\xb2\xd9 C:\\shots\\svbmp000.bmp \x82\xf0\x8d\xec\x90\xac\x82\xc5\x82\xab\x82\xdc"
       "\x82\xb9\x82\xf1"},
      // A path that holds a pattern of its own is put in as it is, not read again.
      {"C:\\100%s\\a.bmp",
       "\xcc\xa7\xb2\xd9 C:\\100%s\\a.bmp \x82\xf0\x8d\xec\x90\xac\x82\xc5\x82\xab\x82\xdc\x82\xb9"
       "\x82\xf1"},
      // An empty path leaves the blanks around it.
      {"", "\xcc\xa7\xb2\xd9  \x82\xf0\x8d\xec\x90\xac\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EFCreateError(c.path).Message(), c.expected) << c.path;
  }
}

TEST(Exceptions, KindsAndTexts) {
  EXPECT_EQ(EWriteError().Message(), messages::kStreamWriteError);
  EXPECT_EQ(EOutOfResources("").Message(), messages::kOutOfResources);
  EXPECT_EQ(EOutOfResources("Not enough memory").Message(), "Not enough memory");

  // Every kind is caught as the common base, which carries the message as what().
  try {
    throw EFCreateError("x");
  } catch (const EStreamError& e) {
    const Exception& base = e;
    EXPECT_STREQ(base.what(), EFCreateError("x").Message().c_str());
  }
}

}  // namespace
}  // namespace zinnow
