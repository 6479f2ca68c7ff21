// The fault group: other programs and the system get in the way of a capture, with the real
// window, timer, clipboard and files. What must hold in each case: no picture lost, none saved
// twice, the number right, no crash, the history intact.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
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
  std::string Name(int number) const {
    char name[16];
    std::snprintf(name, sizeof name, "svbmp%03d.bmp", number);
    return name;
  }
  // The caption of an attempt on `number` that failed.
  std::string Failed(int number) const {
    return std::string("保存処理中... ") + folder_.File(Name(number)) + "   失敗";
  }
  bool Shown(const std::string& caption) const {
    const auto& captions = test::CaptionRecorder::Captions();
    return std::find(captions.begin(), captions.end(), caption) != captions.end();
  }
  // Saved and emptied: with the clipboard empty no later tick can save anything again.
  bool SavedUpTo(int count) {
    return form_.GetFileNumber() == count && !clipboard::HasFormat(kCfBitmap);
  }
  std::string Hex(HWND window) const {
    char text[32];
    std::snprintf(text, sizeof text, "%llx",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
    return text;
  }

  test::CaptionRecorder captions_{win32::WindowOf(form_)};
};

// Another program holds the clipboard while polling resumes: let go at once, or only after
// attempts have failed on it (one, then several seconds' worth). The save waits, and the picture
// is saved once, under the next number.
TEST_F(Faults, ClipboardHeldByAnotherProgramDelaysTheSave) {
  const int failuresBeforeRelease[] = {0, 1, 20};
  for (int i = 0; i < 3; ++i) {
    const int failures = failuresBeforeRelease[i];
    form_.Timer1->SetEnabled(false);  // polling resumes once the other program holds the clipboard
    ASSERT_EQ(test::RunHelper(Put(3, 2, i)), 0);
    {
      test::Holder holder("hold", folder_.File("ready.flag"));
      form_.Timer1->SetEnabled(true);
      const auto& captions = test::CaptionRecorder::Captions();
      ASSERT_TRUE(test::PumpUntil(
          [&] { return std::count(captions.begin(), captions.end(), Failed(i)) >= failures; },
          20000))
          << failures;
      EXPECT_EQ(form_.GetFileNumber(), i) << failures;
      EXPECT_TRUE(clipboard::HasFormat(kCfBitmap)) << failures;
    }
    ASSERT_TRUE(test::PumpUntil([&] { return SavedUpTo(i + 1); })) << failures;
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
    test::Holder lock("lock \"" + folder_.File("svbmp000.bmp") + "\"", folder_.File("ready.flag"));
    ASSERT_TRUE(lock.Holding());
    form_.Timer1->SetEnabled(true);
    ASSERT_TRUE(test::PumpUntil([&] { return Shown(Failed(0)); }));
    EXPECT_EQ(form_.GetFileNumber(), 0);
    EXPECT_TRUE(clipboard::HasFormat(kCfBitmap));
  }
  // Released: the next tick saves the waiting picture.
  ASSERT_TRUE(test::PumpUntil([&] { return SavedUpTo(1); }));
  ExpectPicture(folder_.File("svbmp000.bmp"), 3, 2, 0);
  EXPECT_EQ(folder_.Files(), std::vector<std::string>{"svbmp000.bmp"});
}

// The folder goes away while polling: the attempt fails and polling stops, the picture stays on
// the clipboard; with the folder back, the next recompute (any edit) saves it, once.
TEST_F(Faults, SaveFolderRemovedAndRecreatedWhilePolling) {
  ASSERT_TRUE(RemoveDirectoryA(folder_.Path().c_str()));
  ASSERT_EQ(test::RunHelper(Put(4, 3, 7)), 0);
  ASSERT_TRUE(test::PumpUntil([&] { return Shown(Failed(0)); }));
  EXPECT_FALSE(form_.Timer1->Enabled());
  EXPECT_FALSE(test::FileExists(folder_.Path()));  // nothing made where it was
  EXPECT_TRUE(clipboard::HasFormat(kCfBitmap));
  EXPECT_EQ(form_.GetFileNumber(), 0);

  ASSERT_TRUE(CreateDirectoryA(folder_.Path().c_str(), nullptr));
  form_.Edit1Change(nullptr);
  ASSERT_TRUE(form_.Timer1->Enabled());
  ASSERT_TRUE(test::PumpUntil([&] { return SavedUpTo(1); }));
  EXPECT_EQ(folder_.Files(), std::vector<std::string>{"svbmp000.bmp"});
  ExpectPicture(folder_.File("svbmp000.bmp"), 4, 3, 7);
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
  const std::string failed = std::string("保存処理中... ") + target + "   失敗";
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
  ASSERT_TRUE(test::PumpUntil([&] { return Shown(failed); }));  // a tick tried, and failed
  EXPECT_EQ(form_.GetFileNumber(), 0);
  EXPECT_TRUE(clipboard::HasFormat(kCfBitmap));
  const std::size_t partial = test::ReadBytes(target).size();
  EXPECT_GE(partial, 54u);                // the headers went in
  EXPECT_LT(partial, 54u + 64 * 64 * 4);  // the rows did not: what fitted, no more

  ASSERT_TRUE(DeleteFileA(filler.c_str()));
  ASSERT_TRUE(test::PumpUntil([&] { return SavedUpTo(1); }));
  ExpectPicture(target, 64, 64, 3);
  DeleteFileA(target.c_str());
  RemoveDirectoryA(folder.c_str());
}

// Another program takes the clipboard the moment the transfer has closed it, before the
// emptying. Whether it comes before the emptying is settled by the clipboard's sequence number
// (the helper reads it), not by timing, and every round must keep every picture, once. A round
// that came after the emptying checks the same, and the next round tries again.
class FaultsAfterTheTransfer : public Faults {
 protected:
  static constexpr int kRounds = 6;
  static constexpr int kWidth = 2400, kHeight = 1800;  // a write long enough to come between

  // One round from picture number `first` on; whether the helper came before the emptying.
  // `meanwhile` runs once polling is on, while the helper is still at work.
  bool Round(int first, const std::string& action, const std::function<void()>& meanwhile = {}) {
    form_.Timer1->SetEnabled(false);
    EXPECT_EQ(test::RunHelper(Put(kWidth, kHeight, first)), 0);
    const std::string ready = folder_.File("ready.flag");
    DeleteFileA(ready.c_str());
    test::Helper helper("after-transfer " + Hex(win32::ClipboardWindow()) + " \"" + ready + "\" " +
                        action);
    EXPECT_TRUE(test::PumpUntil([&] { return test::FileExists(ready); }));
    form_.Timer1->SetEnabled(true);
    if (meanwhile) meanwhile();
    const int code = helper.Finish();
    DeleteFileA(ready.c_str());
    EXPECT_TRUE(code == 0 || code == 6) << "helper exit code " << code;
    return code == 0;
  }
  int Saving(int number) const {
    const std::string caption = std::string("保存処理中... ") + folder_.File(Name(number));
    const auto& all = test::CaptionRecorder::Captions();
    return static_cast<int>(std::count(all.begin(), all.end(), caption));
  }
};

// The picture put between the transfer and the emptying is left by the emptying and saved under
// the next number.
TEST_F(FaultsAfterTheTransfer, PictureCopiedBeforeTheEmptyingIsSavedNext) {
  int between = 0;
  for (int round = 0; round < kRounds && between == 0; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round);
    const int first = 2 * round;
    if (Round(first, "put 5 3 " + std::to_string(first + 1))) ++between;
    ASSERT_TRUE(test::PumpUntil([&] { return SavedUpTo(first + 2); }, 20000));
    ExpectPicture(folder_.File(Name(first)), kWidth, kHeight, first);
    ExpectPicture(folder_.File(Name(first + 1)), 5, 3, first + 1);
    EXPECT_EQ(folder_.Files().size(), static_cast<std::size_t>(first + 2));
  }
  if (between == 0) GTEST_SKIP() << "no round's picture came before the emptying";
}

// The clipboard held by another program from right after the transfer: the emptying cannot
// open it, so the saved picture stays on it. It is not saved again; the emptying is tried again
// at the following ticks and succeeds once the clipboard is free.
TEST_F(FaultsAfterTheTransfer, SavedPictureNotEmptiedIsNotSavedAgain) {
  int between = 0;
  for (int round = 0; round < kRounds && between == 0; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round);
    // The save done (the number advanced after the emptying's try) while the other program
    // still holds the clipboard and the picture is still on it: that emptying failed.
    bool heldAtTheEmptying = false;
    const std::string release = folder_.File("release.flag");
    const bool came = Round(round, "hold \"" + release + "\"", [&] {
      test::PumpUntil([&] { return form_.GetFileNumber() == round + 1; }, 20000);
      const HWND holder = GetOpenClipboardWindow();
      heldAtTheEmptying = holder != nullptr && holder != win32::ClipboardWindow() &&
                          clipboard::HasFormat(kCfBitmap);
      if (FILE* f = std::fopen(release.c_str(), "wb")) std::fclose(f);  // let go now
    });
    DeleteFileA(release.c_str());
    if (came && heldAtTheEmptying) ++between;
    ASSERT_TRUE(test::PumpUntil([&] { return SavedUpTo(round + 1); }, 20000));
    ExpectPicture(folder_.File(Name(round)), kWidth, kHeight, round);
    EXPECT_EQ(folder_.Files().size(), static_cast<std::size_t>(round + 1));
    EXPECT_EQ(Saving(round), 1);  // one attempt saved it; no second save was begun
  }
  if (between == 0) GTEST_SKIP() << "no round's hold came before the emptying";
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
    test::Holder lock("lock \"" + path + "\"", temp.File("ready.flag"));
    ASSERT_TRUE(lock.Holding());
    try {
      form.SaveHistory();
      FAIL() << "path.txt is held";
    } catch (const EFCreateError& e) {
      EXPECT_EQ(e.Message(), "ﾌｧｲﾙ " + path + " を作成できません");
    }
  }
  const auto bytes = test::ReadBytes(path);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "C:\\old\r\n");
  EXPECT_EQ(temp.Files(), std::vector<std::string>{"path.txt"});
}

}  // namespace
}  // namespace zinnow
