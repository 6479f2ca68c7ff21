// The keys the window handles for its controls, and its tab order.
#include <algorithm>
#include <vector>

#include "platform/win32/peers_win32.h"
#include "platform/win32/windows_backend.h"

namespace zinnow::win32 {
namespace {

// The tab stops of the window that can take the focus, in their stored order.
std::vector<NativeControl*> TabStops(HWND form) {
  std::vector<NativeControl*> stops;
  for (NativeControl* peer : NativeControl::Registry()) {
    if (peer->TabOrder() >= 0 && IsChild(form, peer->Window()) && IsWindowVisible(peer->Window()) &&
        IsWindowEnabled(peer->Window())) {
      stops.push_back(peer);
    }
  }
  std::sort(stops.begin(), stops.end(),
            [](NativeControl* a, NativeControl* b) { return a->TabOrder() < b->TabOrder(); });
  return stops;
}

}  // namespace

// The edits and the spin field select their whole text when the keyboard brings the focus.
void FocusTabStop(HWND form, int direction) {
  const std::vector<NativeControl*> stops = TabStops(form);
  if (stops.empty()) return;
  const HWND focus = GetFocus();
  int current = -1;
  for (std::size_t i = 0; i < stops.size(); ++i) {
    if (stops[i]->Window() == focus || IsChild(stops[i]->Window(), focus))
      current = static_cast<int>(i);
  }
  const int n = static_cast<int>(stops.size());
  const int next = direction == 0 ? 0
                   : current < 0  ? (direction > 0 ? 0 : n - 1)
                                  : ((current + direction) % n + n) % n;
  NativeControl* target = stops[static_cast<std::size_t>(next)];
  SetFocus(target->Window());
  if (target->Kind() == ControlKind::Edit || target->Kind() == ControlKind::SpinEdit) {
    SendMessageA(target->Window(), EM_SETSEL, 0, -1);
  }
}

bool HandleWindowKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !msg.hwnd) return false;
  const HWND form = GetAncestor(msg.hwnd, GA_ROOT);
  NativeControl* formPeer = PeerOfWindow(form);
  if (!formPeer || formPeer->Kind() != ControlKind::Form) return false;
  // Also when the window itself holds the focus: Tab goes to the first stop, Shift+Tab to the
  // last.
  if (msg.wParam == VK_TAB) {
    FocusTabStop(form, GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
    return true;
  }
  if (msg.wParam == VK_RETURN && msg.hwnd != form) {
    NativeControl* peer = PeerOfWindow(msg.hwnd);
    if (peer && peer->Kind() == ControlKind::Button) {
      SendMessageA(msg.hwnd, BM_CLICK, 0, 0);
      return true;
    }
  }
  return false;
}

}  // namespace zinnow::win32
