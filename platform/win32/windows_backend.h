#pragma once

// What the parts of the Win32 backend share.
#include <windows.h>

#include "platform/ansi_string.h"

namespace zinnow {
class TControl;
}

namespace zinnow::win32 {

// A hidden window of the program's own, for the clipboard and the timers.
HWND UtilityWindow();

// The application's hidden owner window, null before the application is initialised.
HWND ApplicationWindow();

// The window the clipboard is opened for: the application's, or the utility window.
HWND ClipboardWindow();

// The native window of a windowed control, null for the others.
HWND WindowOf(const TControl& control);

// Tab and Shift+Tab (direction 1, -1; 0 the first stop) in the window's stored tab order.
void FocusTabStop(HWND form, int direction);
// Tab, and Enter on a button, as the window handles them; false for other messages.
bool HandleWindowKey(const MSG& msg);

// Windows' own text for an error code, in the user's default language; empty when there is none.
AnsiString SystemErrorText(DWORD code);

// Runs an event handler called from a window procedure: no failure may cross Windows' frames.
template <typename Handler>
void Deliver(Handler&& handler);

}  // namespace zinnow::win32

#include "platform/application.h"

template <typename Handler>
void zinnow::win32::Deliver(Handler&& handler) {
  Application().Dispatch(handler);
}
