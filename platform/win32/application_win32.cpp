#include <windows.h>

#include <vector>

#include "platform/application.h"
#include "platform/system.h"
#include "platform/text.h"
#include "platform/win32/windows_backend.h"

namespace zinnow {
namespace win32 {

void TimerElapsed(UINT_PTR id);

namespace {

LRESULT CALLBACK UtilityProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    TimerElapsed(wParam);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

HWND UtilityWindow() {
  static const HWND window = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = UtilityProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TZinnowUtility";
    RegisterClassExA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           wc.hInstance, nullptr);
  }();
  return window;
}

AnsiString SystemErrorText(DWORD code) {
  if (code == 0) return AnsiString();
  char* buffer = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, LANG_USER_DEFAULT, reinterpret_cast<char*>(&buffer), 0, nullptr);
  AnsiString text = length ? AnsiString(buffer, length) : AnsiString();
  if (buffer) LocalFree(buffer);
  // The system ends its texts with a line break.
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace win32

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
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

bool SameTextIgnoringCase(const AnsiString& a, const AnsiString& b) {
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                        b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

}  // namespace zinnow
