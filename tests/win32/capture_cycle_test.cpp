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
#include "tests/win32/wine_support.h"

namespace zinnow {
namespace {

// Every caption the window is given, in order, as the window itself receives it.
class CaptionRecorder {
 public:
  explicit CaptionRecorder(HWND window) {
    window_ = window;
    captions_.clear();
    hook_ = SetWindowsHookExA(WH_CALLWNDPROC, Record, nullptr, GetCurrentThreadId());
  }
  ~CaptionRecorder() { UnhookWindowsHookEx(hook_); }
  static const std::vector<std::string>& Captions() { return captions_; }

 private:
  static LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_SETTEXT && message->hwnd == window_) {
      captions_.emplace_back(reinterpret_cast<const char*>(message->lParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline HWND window_ = nullptr;
  static inline std::vector<std::string> captions_;
  HHOOK hook_;
};

class WindowCapture : public ::testing::Test {
 protected:
  void SetUp() override {
    test::RunHelper("text");  // nothing to capture yet
    form_.Edit1Change(nullptr);
    form_.Edit1->SetText(folder_.Path());
    form_.Edit1Change(nullptr);
    ASSERT_TRUE(form_.Timer1->Enabled());
  }
  bool WaitForFiles(std::size_t count) {
    return test::PumpUntil([&] { return folder_.Files().size() >= count; });
  }
  // Long enough for several ticks.
  void Idle(DWORD ms) {
    const DWORD until = GetTickCount() + ms;
    test::PumpUntil([&] { return GetTickCount() >= until; }, ms + 1000);
  }

  test::TempFolder folder_;
  TZinForm form_;
};

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

// Another program holds the clipboard for a moment or for seconds: the save waits, and the
// picture is saved once, under the next number.
TEST_F(WindowCapture, ClipboardHeldByAnotherProgramDelaysTheSave) {
  const int holds[] = {50, 600, 3000};
  for (int i = 0; i < 3; ++i) {
    const int ms = holds[i];
    form_.Timer1->SetEnabled(false);  // polling resumes once the other program holds the clipboard
    ASSERT_EQ(test::RunHelper("bitmap 3 2 " + std::to_string(i)), 0);
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
}

TEST_F(WindowCapture, TargetHeldOpenLeavesThePictureAndTheNumber) {
  form_.Timer1->SetEnabled(false);
  ASSERT_EQ(test::RunHelper("bitmap 3 2"), 0);
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
  EXPECT_EQ(test::ReadBytes(folder_.File("svbmp000.bmp")).size(), 78u);
  EXPECT_FALSE(clipboard::HasFormat(kCfBitmap));
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
