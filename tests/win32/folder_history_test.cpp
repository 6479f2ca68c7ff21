// The history file with real files under Wine, in folders the test makes.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/zin_form.h"
#include "capture/folder_history.h"
#include "platform/exceptions.h"
#include "platform/system.h"
#include "tests/win32/window_capture.h"
#include "tests/win32/wine_support.h"

namespace zinnow {
namespace {

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Read(const std::string& path) {
  const auto bytes = test::ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

TEST(HistoryFiles, RoundTrips) {
  struct Case {
    const char* folderName;
    std::string bytes;
    std::string saved;
  } cases[] = {
      {"plain", "C:\\shots\r\nC:\\more", "C:\\shots\r\nC:\\more\r\n"},
      {"plain", "", ""},
      {"plain", "A\nB\rC\r\n\r\n", "A\r\nB\r\nC\r\n\r\n"},
      // Bytes that are no valid Shift_JIS, and a line far longer than the list shows.
      {"plain", "\x81\x20\xff\x80\xa0\xfd\r\n" + std::string(5000, 'y'),
       "\x81\x20\xff\x80\xa0\xfd\r\n" + std::string(5000, 'y') + "\r\n"},
      // A folder whose name ends in characters with 0x5C as their second byte.
      {"\x95\x5c\x83\x5c", "C:\\\x95\x5c\r\n", "C:\\\x95\x5c\r\n"},
  };
  for (const Case& c : cases) {
    test::TempFolder temp;
    const std::string folder = temp.File(c.folderName);
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
    Write(folder + "\\path.txt", c.bytes);
    {
      test::FormInFolder form(folder);
      form.LoadHistory();
      form.SaveHistory();
    }
    EXPECT_EQ(Read(folder + "\\path.txt"), c.saved) << c.folderName;
    DeleteFileA((folder + "\\path.txt").c_str());
    RemoveDirectoryA(folder.c_str());
  }
}

TEST(HistoryFiles, MissingFileFallsBackAndSavesIt) {
  test::TempFolder temp;
  test::FormInFolder form(temp.Path());
  form.LoadHistory();
  ASSERT_EQ(form.Edit1->Count(), 1);
  EXPECT_EQ(form.Edit1->Item(0), "c:\\");
  EXPECT_EQ(form.Edit1->Text(), "");
  form.SaveHistory();
  EXPECT_EQ(Read(temp.File("path.txt")), "c:\\\r\n");
}

TEST(HistoryFiles, HeldOpenAtTheStartCountsAsMissing) {
  test::TempFolder temp;
  const std::string path = temp.File("path.txt");
  Write(path, "C:\\kept\r\n");
  test::FormInFolder form(temp.Path());
  {
    test::Holder lock("lock \"" + path + "\"", temp.File("ready.flag"));
    form.LoadHistory();
  }
  ASSERT_EQ(form.Edit1->Count(), 1);
  EXPECT_EQ(form.Edit1->Item(0), "c:\\");
}

TEST(ProgramFolder, IsTheFolderOfTheRunningProgram) {
  const AnsiString folder = ProgramFolderOf(ExecutablePath());
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '\\');
  EXPECT_TRUE(test::FileExists(folder + "win32_tests.exe"));
  EXPECT_TRUE(test::FileExists(folder + "clip_helper.exe"));
}

}  // namespace
}  // namespace zinnow
