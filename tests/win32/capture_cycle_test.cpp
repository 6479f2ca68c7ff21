// The polling tick with the real window, timer and clipboard; other programs act from their own
// processes.
#include <windows.h>

#include <psapi.h>

#include <gtest/gtest.h>

#include "app/zin_form.h"
#include "capture/picture_transfer.h"
#include "platform/clipboard.h"
#include "platform/win32/windows_backend.h"
#include "tests/win32/picture_fixture.h"
#include "tests/win32/window_capture.h"
#include "tests/win32/wine_support.h"

namespace zinnow {
namespace {

using test::CaptionRecorder;
using test::WindowCapture;

TEST_F(WindowCapture, APictureIsSavedOnceWithTheCaptionsInOrder) {
  CaptionRecorder recorder(win32::WindowOf(form_));
  ASSERT_EQ(test::RunHelper("bitmap 5 3"), 0);
  ASSERT_TRUE(WaitForFiles(1));
  Idle(400);
  EXPECT_EQ(folder_.Files(), std::vector<std::string>{"svbmp000.bmp"});
  EXPECT_EQ(test::ReadBytes(folder_.File("svbmp000.bmp")).size(), 54u + 5 * 3 * 4);
  EXPECT_FALSE(clipboard::HasFormat(kCfBitmap));
  EXPECT_EQ(form_.GetFileNumber(), 1);
  const std::string saving = std::string("保存処理中... ") + folder_.File("svbmp000.bmp");
  EXPECT_EQ(CaptionRecorder::Captions(), (std::vector<std::string>{saving, "Quorrel"}));
}

TEST_F(WindowCapture, PicturesOneAfterAnotherGetTheNextNumbers) {
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(test::RunHelper("bitmap 4 2 " + std::to_string(i)), 0);
    ASSERT_TRUE(WaitForFiles(i + 1));
  }
  ASSERT_EQ(folder_.Files(),
            (std::vector<std::string>{"svbmp000.bmp", "svbmp001.bmp", "svbmp002.bmp"}));
  for (int i = 0; i < 3; ++i) {
    const auto bytes = test::ReadBytes(folder_.File(folder_.Files()[i]));
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 54, bytes.end()), test::Rows32(4, 2, i));
  }
}

// A thousand transfers and writes add no more memory than a thousand bare clipboard reads.
// (Wine's own GetClipboardData keeps about a kilobyte per call while the content stays, so the
// bare reads are the yardstick, measured in the same run.)
TEST(TransferMemory, StaysFlatOverAThousandCaptures) {
  test::TempFolder folder;
  ASSERT_EQ(test::RunHelper("bitmap 64 48"), 0);
  TPicture holder;
  const std::string target = folder.File("svbmp000.bmp");
  auto usage = [] {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return static_cast<long long>(counters.PagefileUsage);  // Wine's private committed memory
  };
  auto capture = [&] {
    TakeClipboardPicture(holder);
    WritePictureFile(holder, target);
  };
  for (int i = 0; i < 100; ++i) capture();
  const long long start = usage();
  for (int i = 0; i < 1000; ++i) {
    ScopedClipboard open;
    clipboard::Data(kCfBitmap);
    clipboard::Data(kCfPalette);
  }
  const long long afterReads = usage();
  for (int i = 0; i < 1000; ++i) capture();
  const long long afterCaptures = usage();
  const long long reads = afterReads - start;
  const long long captures = afterCaptures - afterReads;
  std::printf("memory growth over 1000: bare clipboard reads %lld KiB, captures %lld KiB\n",
              reads / 1024, captures / 1024);
  // A leaked picture (12 KiB) or a leaked bitmap object each time would show many times over.
  EXPECT_LT(captures, reads + 256 * 1024);
}

}  // namespace
}  // namespace zinnow
