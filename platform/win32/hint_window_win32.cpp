#include <windows.h>

#include <commctrl.h>

#include "platform/win32/out_of_resources_win32.h"
#include "platform/win32/peers_win32.h"
#include "platform/win32/windows_backend.h"

namespace zinnow::win32 {

// The standard hint window: after 500 ms, gone after 2500 ms, 50 ms from one control to the next.
HWND HintWindow() {
  static const HWND hints = [] {
    // The process's one hint window, never destroyed.
    const HWND window = Required(CreateWindowExW(
        WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, ApplicationWindow(), nullptr,
        Instance(), nullptr));
    SendMessageW(window, TTM_SETDELAYTIME, TTDT_INITIAL, 500);
    SendMessageW(window, TTM_SETDELAYTIME, TTDT_AUTOPOP, 2500);
    SendMessageW(window, TTM_SETDELAYTIME, TTDT_RESHOW, 50);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(Font(false)), FALSE);
    return window;
  }();
  return hints;
}

void AddHint(HWND control, const AnsiString& hint) {
  if (hint.empty() || !control) return;
  std::wstring text = Wide(hint, kFixedTextCodePage);
  auto add = [&](HWND tool) {
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = GetParent(tool);
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = text.data();
    SendMessageW(HintWindow(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  };
  add(control);
  for (HWND child = GetWindow(control, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    add(child);  // the spin field's arrows show its hint too
  }
}

}  // namespace zinnow::win32
