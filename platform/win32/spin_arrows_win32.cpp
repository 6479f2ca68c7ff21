// The spin field's arrows: a step at the release over an arrow, and while it is held, one step
// after 400 ms and then every 100 ms, each only while the pointer is over it.
#include "platform/controls.h"
#include "platform/win32/handles.h"
#include "platform/win32/out_of_resources_win32.h"
#include "platform/win32/peers_win32.h"
#include "platform/win32/windows_backend.h"

namespace zinnow::win32 {
namespace {

constexpr int kSpinButtonWidth = 15;
constexpr UINT kFirstRepeatMs = 400;
constexpr UINT kRepeatMs = 100;
constexpr UINT_PTR kRepeatTimer = 1;
constexpr int kUpId = 1;
constexpr int kDownId = 2;

bool PointerOver(HWND arrow) {
  POINT p;
  GetCursorPos(&p);
  ScreenToClient(arrow, &p);
  RECT r;
  GetClientRect(arrow, &r);
  return PtInRect(&r, p) != FALSE;
}

void Step(HWND arrow) {
  NativeControl* field = PeerOfWindow(arrow);
  if (!field) return;
  auto& spin = static_cast<TSpinEdit&>(field->Owner());
  const int delta = GetDlgCtrlID(arrow) == kUpId ? 1 : -1;
  Deliver([&] { spin.Step(delta); });
}

void PaintArrow(HWND arrow) {
  const Painting painting(arrow);
  RECT r;
  GetClientRect(arrow, &r);
  const bool pushed = GetCapture() == arrow && PointerOver(arrow);
  const UINT direction = GetDlgCtrlID(arrow) == kUpId ? DFCS_SCROLLUP : DFCS_SCROLLDOWN;
  DrawFrameControl(painting.Dc(), &r, DFC_SCROLL, direction | (pushed ? DFCS_PUSHED : 0));
}

HWND CreateArrow(HWND field, NativeControl& peer, int id, int top, int height) {
  RECT client;
  GetClientRect(field, &client);
  const int w = Scaled(kSpinButtonWidth);
  // A child of the field: it goes with the field's window.
  const HWND arrow = Required(CreateWindowExA(
      0, kSpinButtonClass, "", WS_CHILD | WS_VISIBLE, client.right - w, top, w, height, field,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr));
  SetWindowLongPtrA(arrow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&peer));
  return arrow;
}

}  // namespace

// The two arrows, stacked at the right end; the text stops short of them.
void AddSpinArrows(HWND field, NativeControl& peer) {
  RECT client;
  GetClientRect(field, &client);
  const int half = client.bottom / 2;
  CreateArrow(field, peer, kUpId, 0, half);
  CreateArrow(field, peer, kDownId, half, client.bottom - half);
  SendMessageA(field, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, Scaled(kSpinButtonWidth) + 1));
}

LRESULT CALLBACK SpinButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      if (NativeControl* field = PeerOfWindow(window)) SetFocus(field->Window());
      SetCapture(window);
      SetTimer(window, kRepeatTimer, kFirstRepeatMs, nullptr);
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_TIMER:
      if (GetCapture() == window) {
        if (PointerOver(window)) Step(window);
        SetTimer(window, kRepeatTimer, kRepeatMs, nullptr);
      }
      return 0;
    case WM_MOUSEMOVE:
      if (GetCapture() == window) InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == window) {
        const bool over = PointerOver(window);
        ReleaseCapture();
        if (over) Step(window);
      }
      return 0;
    case WM_CAPTURECHANGED:
      KillTimer(window, kRepeatTimer);
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_PAINT:
      PaintArrow(window);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace zinnow::win32
