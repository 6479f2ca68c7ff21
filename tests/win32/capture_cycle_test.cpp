// The polling tick with the real window, timer and clipboard; other programs act from their own
// processes.
#include <windows.h>

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
  ASSERT_EQ(test::RunHelper("bitmap 5 3 4"), 0);
  // Saved and emptied: nothing is left that a later tick could save again.
  ASSERT_TRUE(test::PumpUntil(
      [&] { return form_.GetFileNumber() == 1 && !clipboard::HasFormat(kCfBitmap); }));
  EXPECT_EQ(folder_.Files(), std::vector<std::string>{"svbmp000.bmp"});
  const auto bytes = test::ReadBytes(folder_.File("svbmp000.bmp"));
  ASSERT_EQ(bytes.size(), 54u + 5 * 3 * 4);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 54, bytes.end()), test::Rows32(5, 3, 4));
  const std::string saving = std::string("保存処理中... ") + folder_.File("svbmp000.bmp");
  EXPECT_EQ(CaptionRecorder::Captions(), (std::vector<std::string>{saving, "Quorrel"}));
}

// Told of the change, the window saves the picture with no tick at all: meanwhile only the
// clipboard's notices (and messages sent to the window) are handled, never a timer's, so no tick
// can have saved it.
TEST_F(WindowCapture, AClipboardNoticeAloneSavesThePicture) {
  form_.WatchClipboard();
  test::Helper put("bitmap 5 3 6");
  const DWORD start = GetTickCount();
  int notices = 0;
  while (!(form_.GetFileNumber() == 1 && !clipboard::HasFormat(kCfBitmap)) &&
         GetTickCount() - start < 20000) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_POSTMESSAGE | QS_SENDMESSAGE);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_CLIPBOARDUPDATE, WM_CLIPBOARDUPDATE, PM_REMOVE)) {
      ++notices;
      DispatchMessageW(&msg);
    }
  }
  EXPECT_GE(notices, 1);
  ASSERT_EQ(form_.GetFileNumber(), 1);
  const auto bytes = test::ReadBytes(folder_.File("svbmp000.bmp"));
  ASSERT_EQ(bytes.size(), 54u + 5 * 3 * 4);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 54, bytes.end()), test::Rows32(5, 3, 6));
  EXPECT_EQ(put.Finish(), 0);
}

TEST_F(WindowCapture, PicturesOneAfterAnotherGetTheNextNumbers) {
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(test::RunHelper("bitmap 4 2 " + std::to_string(i)), 0);
    ASSERT_TRUE(test::PumpUntil(
        [&] { return form_.GetFileNumber() == i + 1 && !clipboard::HasFormat(kCfBitmap); }));
  }
  ASSERT_EQ(folder_.Files(),
            (std::vector<std::string>{"svbmp000.bmp", "svbmp001.bmp", "svbmp002.bmp"}));
  for (int i = 0; i < 3; ++i) {
    const auto bytes = test::ReadBytes(folder_.File(folder_.Files()[i]));
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 54, bytes.end()), test::Rows32(4, 2, i));
  }
}

}  // namespace
}  // namespace zinnow
