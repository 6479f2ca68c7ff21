// The window classes of our own: the container (the form and the panel) and the spin arrows.
#include <windows.h>

#include <commctrl.h>

#include "platform/application.h"
#include "platform/win32/handles.h"
#include "platform/win32/out_of_resources_win32.h"
#include "platform/win32/peers_win32.h"
#include "platform/win32/windows_backend.h"

namespace zinnow::win32 {
namespace {

void RegisterContainerClass() {
  // A Unicode window keeps its caption in Unicode, whatever the system's code page.
  const std::wstring container = Wide(kContainerClass, CP_ACP);
  WNDCLASSEXW form{};
  form.cbSize = sizeof(form);
  form.lpfnWndProc = ContainerProc;
  form.hInstance = Instance();
  form.hIcon = LoadIconA(Instance(), "MAINICON");
  form.hCursor = LoadCursor(nullptr, IDC_ARROW);
  form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  form.lpszClassName = container.c_str();
  Required(RegisterClassExW(&form));
}

void RegisterSpinButtonClass() {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = SpinButtonProc;
  wc.hInstance = Instance();
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kSpinButtonClass;
  Required(RegisterClassExA(&wc));
}

void PaintLabels(HWND window, const NativeControl& container) {
  const Painting painting(window);
  for (const LabelPeer* label : container.Labels()) label->Paint(painting.Dc());
}

// What the form does with the messages that only a top-level window gets; false for others.
bool HandleFormMessage(HWND window, NativeControl& form, UINT message, WPARAM wParam) {
  switch (message) {
    case WM_CLOSE:
      // Close box, system menu, Alt+F4: no question asked, the run ends.
      Deliver([] { Application().Terminate(); });
      return true;
    case WM_ENDSESSION:
      if (wParam) Deliver([] { Application().EndNow(); });
      return true;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        form.RememberFocus(GetFocus());
      } else if (!HIWORD(wParam)) {  // not while minimised
        form.RestoreFocus();
      }
      return true;
    case WM_SETFOCUS:
      // The window itself takes no keys: a control of it does. Minimised, the window holds the
      // focus itself, and the control that had it gets it back once the window is restored.
      form.RememberFocus(reinterpret_cast<HWND>(wParam));
      if (!IsIconic(window)) form.RestoreFocus();
      return true;
    default:
      return false;
  }
}

}  // namespace

HINSTANCE Instance() {
  return GetModuleHandleA(nullptr);
}

void RegisterClasses() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX common{sizeof(common), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&common);
    RegisterContainerClass();
    RegisterSpinButtonClass();
    return true;
  }();
  (void)registered;
}

LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  NativeControl* self = PeerOfWindow(window);
  if (self && self->Kind() == ControlKind::Form &&
      HandleFormMessage(window, *self, message, wParam)) {
    return 0;
  }
  switch (message) {
    case WM_PAINT:
      if (self && !self->Labels().empty()) {
        PaintLabels(window, *self);
        return 0;
      }
      break;
    case WM_COMMAND:
      if (lParam == 0) break;
      if (NativeControl* child = PeerOfWindow(reinterpret_cast<HWND>(lParam))) {
        child->Notified(HIWORD(wParam));
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace zinnow::win32
