#include <windows.h>

#include <vector>

#include "platform/application.h"
#include "platform/application_backend.h"
#include "platform/controls.h"
#include "platform/system.h"
#include "platform/text.h"
#include "platform/win32/handles.h"
#include "platform/win32/out_of_resources_win32.h"
#include "platform/win32/scope_exit.h"
#include "platform/win32/windows_backend.h"

namespace zinnow {
namespace win32 {
namespace {

LRESULT CALLBACK UtilityProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    TimerElapsed(wParam);
    return 0;
  }
  if (message == WM_CLIPBOARDUPDATE) {
    Application().DeliverClipboardChange();
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

// The utility window and the application's window live as long as the process: no owner
// destroys them.
HWND UtilityWindow() {
  static const HWND window = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = UtilityProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TZinnowUtility";
    Required(RegisterClassExA(&wc));
    const HWND made = Required(CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                               nullptr, wc.hInstance, nullptr));
    // Told of each change of the clipboard (posted, so never inside a capture attempt).
    AddClipboardFormatListener(made);
    return made;
  }();
  return window;
}

namespace {

HWND applicationWindow = nullptr;

LRESULT CALLBACK ApplicationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:  // the close command of the taskbar button's menu
      Deliver([] { Application().Terminate(); });
      return 0;
    case WM_ENDSESSION:
      if (wParam) Deliver([] { Application().EndNow(); });
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

HWND ApplicationWindow() {
  return applicationWindow;
}

HWND ClipboardWindow() {
  return applicationWindow ? applicationWindow : UtilityWindow();
}

AnsiString SystemErrorText(DWORD code) {
  if (code == 0) return AnsiString();
  char* buffer = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, LANG_USER_DEFAULT, reinterpret_cast<char*>(&buffer), 0, nullptr);
  const UniqueLocalMemory owned(buffer);
  AnsiString text = length ? AnsiString(buffer, length) : AnsiString();
  // The system ends its texts with a line break.
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace win32

void CreateApplicationWindow(const AnsiString& title) {
  if (win32::applicationWindow) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = win32::ApplicationProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hIcon = LoadIconA(wc.hInstance, "MAINICON");
  wc.lpszClassName = "TApplication";
  win32::Required(RegisterClassExA(&wc));
  // Visible but of no size: it is seen only as the program's button on the taskbar.
  const int left = GetSystemMetrics(SM_CXSCREEN) / 2;
  const int top = GetSystemMetrics(SM_CYSCREEN) / 2;
  win32::applicationWindow = win32::Required(
      CreateWindowExA(0, wc.lpszClassName, title.c_str(),
                      WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, left,
                      top, 0, 0, nullptr, nullptr, wc.hInstance, nullptr));
  ShowWindow(win32::applicationWindow, SW_SHOWNOACTIVATE);
}

void SetApplicationTitle(const AnsiString& title) {
  if (win32::applicationWindow) SetWindowTextA(win32::applicationWindow, title.c_str());
}

void RunMessageLoop(TForm& mainForm) {
  HWND form = win32::WindowOf(mainForm);
  mainForm.SetVisible(true);
  SetForegroundWindow(form);
  win32::FocusTabStop(form, 0);  // the first tab stop, its text selected
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (win32::HandleWindowKey(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void QuitMessageLoop() {
  PostQuitMessage(0);
}

void ShowModalErrorBox(const AnsiString& title, const ShownText& text) {
  const win32::FocusKeeper focus;
  // The program's other windows take no input while the box is open.
  struct Disabled {
    std::vector<HWND> windows;
  } disabled;
  const HWND active = GetActiveWindow();
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM list) -> BOOL {
        if (IsWindowVisible(window) && IsWindowEnabled(window)) {
          reinterpret_cast<Disabled*>(list)->windows.push_back(window);
          EnableWindow(window, FALSE);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&disabled));
  const win32::ScopeExit enabledAgain([&] {
    for (HWND window : disabled.windows) EnableWindow(window, TRUE);
    if (active && IsWindow(active)) SetActiveWindow(active);
  });
  MessageBoxW(win32::applicationWindow, win32::WideText(text).c_str(),
              win32::WideText(ShownText::Fixed(title)).c_str(), MB_OK | MB_ICONSTOP);
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (win32::HandleWindowKey(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void PauseMilliseconds(int milliseconds) {
  Sleep(static_cast<DWORD>(milliseconds));
}

}  // namespace zinnow

namespace zinnow {

AnsiString ExecutablePath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n < buffer.size()) return AnsiString(buffer.data(), n);
    buffer.resize(buffer.size() * 2);  // cut short: ask again with more room
  }
}

unsigned ProcessId() {
  return GetCurrentProcessId();
}

}  // namespace zinnow
