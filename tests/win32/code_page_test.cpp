#include <windows.h>

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "platform/win32/code_page_win32.h"

namespace zinnow {
namespace {

// The test environment runs Wine with a Japanese locale, so its ANSI code page is Shift_JIS.
TEST(SystemCodePage, IsShiftJisUnderTheTestLocale) {
  EXPECT_EQ(GetACP(), 932u);
  EXPECT_NE(GetSystemMetrics(SM_DBCSENABLED), 0);
  EXPECT_EQ(SystemCodePage(), ShiftJisCodePage());
}

// The lead bytes are the system's answer for the code page asked, not a table of ours: other
// code pages give other answers, and every byte agrees with the system's own test.
TEST(SystemCodePage, LeadBytesComeFromTheSystem) {
  for (unsigned b = 0; b < 256; ++b) {
    EXPECT_EQ(SystemCodePage().IsLeadByte(static_cast<unsigned char>(b)),
              IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(b)) != FALSE)
        << "byte " << b;
  }
  const CodePage gbk = ReadCodePage(936);
  EXPECT_TRUE(gbk.IsLeadByte(0xA1));  // a lead byte in GBK, a half-width katakana in Shift_JIS
  EXPECT_TRUE(gbk.IsLeadByte(0xFE));
  EXPECT_FALSE(SystemCodePage().IsLeadByte(0xA1));
  EXPECT_FALSE(ReadCodePage(1252).HasDoubleByteCharacters());
}

}  // namespace
}  // namespace zinnow
