// The fault group: other programs and the system get in the way of a capture, with the real
// window, timer, clipboard and files. What must hold in each case: no picture lost, none saved
// twice, the number right, no crash, the history intact.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/zin_form.h"
#include "platform/clipboard.h"
#include "platform/exceptions.h"
#include "platform/win32/windows_backend.h"
#include "tests/win32/picture_fixture.h"
#include "tests/win32/window_capture.h"
#include "tests/win32/wine_support.h"

namespace zinnow {
namespace {

class Faults : public test::WindowCapture {
 protected:
  // The file holds exactly `bitmap W H SEED` of the helper, as a 32-bit display gives it.
  static void ExpectPicture(const std::string& file, int width, int height, unsigned seed) {
    const auto bytes = test::ReadBytes(file);
    ASSERT_EQ(bytes.size(), 54u + 4u * width * height) << file;
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 54, bytes.end()),
              test::Rows32(width, height, seed))
        << file;
  }
  static std::string Put(int width, int height, unsigned seed) {
    return "bitmap " + std::to_string(width) + " " + std::to_string(height) + " " +
           std::to_string(seed);
  }
};

// Another program holds the clipboard for a moment or for seconds: the save waits, and the
// picture is saved once, under the next number.
TEST_F(Faults, ClipboardHeldByAnotherProgramDelaysTheSave) {
  const int holds[] = {50, 600, 3000};
  for (int i = 0; i < 3; ++i) {
    const int ms = holds[i];
    form_.Timer1->SetEnabled(false);  // polling resumes once the other program holds the clipboard
    ASSERT_EQ(test::RunHelper(Put(3, 2, i)), 0);
    {
      test::Holder holder("hold", ms, folder_.File("ready.flag"));
      form_.Timer1->SetEnabled(true);
      if (ms > 300) {
        Idle(300);  // ticks while it is held
        EXPECT_EQ(form_.GetFileNumber(), i) << ms;
      }
    }
    ASSERT_TRUE(test::PumpUntil([&] { return form_.GetFileNumber() == i + 1; })) << ms;
    Idle(300);
    EXPECT_EQ(form_.GetFileNumber(), i + 1) << ms;
    EXPECT_FALSE(clipboard::HasFormat(kCfBitmap)) << ms;
  }
  EXPECT_EQ(folder_.Files(),
            (std::vector<std::string>{"svbmp000.bmp", "svbmp001.bmp", "svbmp002.bmp"}));
  for (int i = 0; i < 3; ++i) {
    ExpectPicture(folder_.File(folder_.Files()[i]), 3, 2, static_cast<unsigned>(i));
  }
}

TEST_F(Faults, TargetHeldOpenLeavesThePictureAndTheNumber) {
  form_.Timer1->SetEnabled(false);
  ASSERT_EQ(test::RunHelper(Put(3, 2, 0)), 0);
  {
    test::Holder lock("lock \"" + folder_.File("svbmp000.bmp") + "\"", 600,
                      folder_.File("ready.flag"));
    form_.Timer1->SetEnabled(true);
    Idle(300);
    EXPECT_EQ(form_.GetFileNumber(), 0);
    EXPECT_TRUE(clipboard::HasFormat(kCfBitmap));
    EXPECT_EQ(form_.Caption(), "Quorrel");
  }
  // Released: the next tick saves the waiting picture.
  ASSERT_TRUE(test::PumpUntil([&] { return form_.GetFileNumber() == 1; }));
  ExpectPicture(folder_.File("svbmp000.bmp"), 3, 2, 0);
  EXPECT_FALSE(clipboard::HasFormat(kCfBitmap));
}

// The folder goes away while polling: the attempt fails and polling stops, the picture stays on
// the clipboard; with the folder back, the next recompute (any edit) saves it, once.
TEST_F(Faults, SaveFolderRemovedAndRecreatedWhilePolling) {
  ASSERT_TRUE(RemoveDirectoryA(folder_.Path().c_str()));
  ASSERT_EQ(test::RunHelper(Put(4, 3, 7)), 0);
  Idle(400);
  EXPECT_FALSE(form_.Timer1->Enabled());
  EXPECT_FALSE(test::FileExists(folder_.Path()));  // nothing made where it was
  EXPECT_TRUE(clipboard::HasFormat(kCfBitmap));
  EXPECT_EQ(form_.GetFileNumber(), 0);

  ASSERT_TRUE(CreateDirectoryA(folder_.Path().c_str(), nullptr));
  form_.Edit1Change(nullptr);
  ASSERT_TRUE(form_.Timer1->Enabled());
  ASSERT_TRUE(WaitForFiles(1));
  Idle(400);
  EXPECT_EQ(folder_.Files(), std::vector<std::string>{"svbmp000.bmp"});
  ExpectPicture(folder_.File("svbmp000.bmp"), 4, 3, 7);
  EXPECT_EQ(form_.GetFileNumber(), 1);
  EXPECT_FALSE(clipboard::HasFormat(kCfBitmap));
}

// A real file system that runs full in the pixel rows: the attempt fails and is tried again at
// every tick; once there is room the picture is saved whole under the same number.
TEST_F(Faults, FullDiskDuringThePixelWrite) {
  const char* drive = std::getenv("ZINNOW_SMALL_DRIVE");
  if (drive == nullptr || *drive == 0) {
    GTEST_SKIP() << "no small file system mapped as a drive (tests/win32/faults.sh mounts one "
                    "when it runs as root)";
  }
  const std::string folder = std::string(drive) + "\\shots";
  const std::string filler = std::string(drive) + "\\filler";
  const std::string target = folder + "\\svbmp000.bmp";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  form_.Edit1->SetText(folder);
  form_.Edit1Change(nullptr);
  ASSERT_TRUE(form_.Timer1->Enabled());

  // Fill the drive, then give back 8 KiB: room for the headers, not for 16 KiB of rows.
  HANDLE file = CreateFileA(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  std::vector<char> block(4096, 'f');
  DWORD written = 0;
  long long size = 0;
  while (WriteFile(file, block.data(), 4096, &written, nullptr) && written == 4096) {
    size += written;
    ASSERT_LT(size, 64LL << 20) << "the drive does not fill";
  }
  size += written;
  LARGE_INTEGER end;
  end.QuadPart = size - 8192;
  ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(file));
  CloseHandle(file);

  ASSERT_EQ(test::RunHelper(Put(64, 64, 3)), 0);
  Idle(500);
  EXPECT_EQ(form_.GetFileNumber(), 0);
  EXPECT_TRUE(clipboard::HasFormat(kCfBitmap));
  EXPECT_EQ(form_.Caption(), "Quorrel");
  EXPECT_LT(test::ReadBytes(target).size(), 54u + 64 * 64 * 4);  // what fitted, no more

  ASSERT_TRUE(DeleteFileA(filler.c_str()));
  ASSERT_TRUE(test::PumpUntil([&] { return form_.GetFileNumber() == 1; }));
  Idle(300);
  ExpectPicture(target, 64, 64, 3);
  EXPECT_EQ(form_.GetFileNumber(), 1);
  EXPECT_FALSE(clipboard::HasFormat(kCfBitmap));
  DeleteFileA(target.c_str());
  RemoveDirectoryA(folder.c_str());
}

// Another picture arrives after the transfer has closed the clipboard and before the emptying:
// the emptying leaves it, and it is saved under the next number.
TEST_F(Faults, PictureCopiedBetweenTransferAndEmptyingIsSavedNext) {
  form_.Timer1->SetEnabled(false);
  const int width = 2400, height = 1800;  // a transfer and a write long enough to come between
  ASSERT_EQ(test::RunHelper(Put(width, height, 1)), 0);
  char window[32];
  std::snprintf(
      window, sizeof window, "%llx",
      static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(win32::WindowOf(form_))));
  test::Helper second(std::string("bitmap-while-saving ") + window + " 5 3 2");
  form_.Timer1->SetEnabled(true);
  EXPECT_EQ(second.Finish(), 0) << "the second picture came too late to fall between";
  ASSERT_TRUE(test::PumpUntil([&] { return form_.GetFileNumber() == 2; }, 10000));
  Idle(400);
  EXPECT_EQ(folder_.Files(), (std::vector<std::string>{"svbmp000.bmp", "svbmp001.bmp"}));
  ExpectPicture(folder_.File("svbmp000.bmp"), width, height, 1);
  ExpectPicture(folder_.File("svbmp001.bmp"), 5, 3, 2);
  EXPECT_EQ(form_.GetFileNumber(), 2);
  EXPECT_FALSE(clipboard::HasFormat(kCfBitmap));
}

// path.txt held open by another program when the history is saved at the end: the error names
// the file, the old history stays whole, no temporary file is left.
TEST(FaultsAtTheEnd, HistoryHeldOpenKeepsTheOldFile) {
  test::TempFolder temp;
  const std::string path = temp.File("path.txt");
  std::ofstream(path, std::ios::binary) << "C:\\old\r\n";
  test::FormInFolder form(temp.Path());
  form.LoadHistory();
  form.Edit1->Insert(0, "C:\\new");
  {
    test::Holder lock("lock \"" + path + "\"", 800, temp.File("ready.flag"));
    ASSERT_TRUE(lock.Holding());
    try {
      form.SaveHistory();
      FAIL() << "path.txt is held";
    } catch (const EFCreateError& e) {
      EXPECT_EQ(e.Message(), EFCreateError(path).Message());
    }
  }
  const auto bytes = test::ReadBytes(path);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "C:\\old\r\n");
  EXPECT_EQ(temp.Files(), std::vector<std::string>{"path.txt"});
}

}  // namespace
}  // namespace zinnow
