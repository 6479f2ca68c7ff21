#pragma once

// The real window polling a folder of its own, for the tests of the capture tick.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/zin_form.h"
#include "tests/win32/wine_support.h"

namespace zinnow::test {

// The window with its program folder where the test wants path.txt.
class FormInFolder : public TZinForm {
 public:
  explicit FormInFolder(const AnsiString& folder) { ProgramFolder = folder + "\\"; }
};

// Every caption the window is given, in order, as the window itself receives it (in Unicode),
// as bytes of the ANSI code page.
class CaptionRecorder {
 public:
  explicit CaptionRecorder(HWND window) {
    window_ = window;
    captions_.clear();
    wideCaptions_.clear();
    hook_ = SetWindowsHookExW(WH_CALLWNDPROC, Record, nullptr, GetCurrentThreadId());
  }
  ~CaptionRecorder() { UnhookWindowsHookEx(hook_); }
  static const std::vector<std::string>& Captions() { return captions_; }
  static const std::vector<std::wstring>& WideCaptions() { return wideCaptions_; }

 private:
  static LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_SETTEXT && message->hwnd == window_) {
      const auto* text = reinterpret_cast<const wchar_t*>(message->lParam);
      char bytes[4096] = "";
      WideCharToMultiByte(CP_ACP, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
      captions_.emplace_back(bytes);
      wideCaptions_.emplace_back(text);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline HWND window_ = nullptr;
  static inline std::vector<std::string> captions_;
  static inline std::vector<std::wstring> wideCaptions_;
  HHOOK hook_;
};

class WindowCapture : public ::testing::Test {
 protected:
  void SetUp() override {
    RunHelper("text");  // nothing to capture yet
    form_.Edit1Change(nullptr);
    form_.Edit1->SetText(folder_.Path());
    form_.Edit1Change(nullptr);
    ASSERT_TRUE(form_.Timer1->Enabled());
  }

  TempFolder folder_;
  TZinForm form_;
};

}  // namespace zinnow::test
