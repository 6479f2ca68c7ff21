#pragma once

// What the parts of the Win32 backend share.
#include <windows.h>

#include <string>

#include "platform/ansi_string.h"
#include "platform/shown_text.h"

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

// An interval of the timer of this id has elapsed (timers_win32.cpp).
void TimerElapsed(UINT_PTR id);

// The native window of a windowed control, null for the others.
HWND WindowOf(const TControl& control);

// Tab and Shift+Tab (direction 1, -1; 0 the first stop) in the window's stored tab order.
void FocusTabStop(HWND form, int direction);
// Tab, and Enter on a button, as the window handles them; false for other messages.
bool HandleWindowKey(const MSG& msg);

// Windows' own text for an error code, in the user's default language; empty when there is none.
AnsiString SystemErrorText(DWORD code);

// The stored layout is for 96 pixels per inch; other screens get it scaled.
int Scaled(int pixels);
// The face of the window's font: the first of its faces that is installed, else the face of the
// system's font for messages.
const std::wstring& WindowFontFace();
// The window's font, scaled to the screen; the folder chooser uses it too.
HFONT WindowFont();
// The face of the system's font for messages, the last of the window's faces.
std::wstring SystemMessageFontFace();
// For tests: the window's face, as on a system where the faces before it are missing. Windows
// made after this use it.
void UseWindowFontFace(const std::wstring& face);
// A text in parts, each part converted from its own code page.
std::wstring WideText(const ShownText& text);
// Where a windowless label lies in its parent's client area.
RECT LabelBounds(const TControl& label);

// Keeps the keyboard focus across a modal window: disabling the window that had it takes the
// focus away, so it is put back where it was when the modal window is gone.
class FocusKeeper {
 public:
  FocusKeeper() : focus_(GetFocus()) {}
  ~FocusKeeper() {
    if (focus_ && IsWindow(focus_) && IsWindowEnabled(focus_) && IsWindowVisible(focus_)) {
      SetFocus(focus_);
    }
  }
  FocusKeeper(const FocusKeeper&) = delete;
  FocusKeeper& operator=(const FocusKeeper&) = delete;

 private:
  HWND focus_;
};

// Runs an event handler called from a window procedure: no failure may cross Windows' frames.
template <typename Handler>
void Deliver(Handler&& handler);

}  // namespace zinnow::win32

#include "platform/application.h"

template <typename Handler>
void zinnow::win32::Deliver(Handler&& handler) {
  Application().Dispatch(handler);
}
