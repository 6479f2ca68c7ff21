// The spin field: an edit that takes only the characters of a number, steps with the Up and Down
// keys and its arrows, and is clamped when the focus leaves it.
#include "platform/controls.h"
#include "platform/win32/peers_win32.h"
#include "platform/win32/windows_backend.h"

namespace zinnow::win32 {
namespace {

wchar_t DecimalSeparator() {
  wchar_t text[4] = L".";
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, text, 4);
  return text[0];
}

// The characters the spin field takes: digits, signs, the decimal separator, and control
// characters other than Enter.
bool SpinTakes(wchar_t c) {
  return (c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == DecimalSeparator() ||
         (c < 32 && c != L'\r');
}

class SpinFieldPeer : public WindowPeer {
 public:
  SpinFieldPeer(TControl& owner, TWinControl* parent, const PeerDesign& design)
      : WindowPeer(owner, parent, design) {
    editProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
    AddSpinArrows(Window(), *this);
  }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  // Whether the character typed is refused (with a beep); a refused lead byte takes the byte
  // after it along.
  bool Refuses(unsigned char byte);

  WNDPROC editProc_ = nullptr;
  bool skipSecondByte_ = false;
};

LRESULT CALLBACK SpinFieldPeer::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  NativeControl* peer = PeerOfWindow(window);
  if (peer == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return static_cast<SpinFieldPeer*>(peer)->Handle(message, wParam, lParam);
}

bool SpinFieldPeer::Refuses(unsigned char byte) {
  if (skipSecondByte_) {  // the rest of a refused double-byte character
    skipSecondByte_ = false;
    return true;
  }
  if (IsDBCSLeadByte(byte)) {
    skipSecondByte_ = true;
    MessageBeep(0);
    return true;
  }
  wchar_t c = 0;
  const char narrow = static_cast<char>(byte);
  MultiByteToWideChar(CP_ACP, 0, &narrow, 1, &c, 1);
  if (SpinTakes(c)) return false;
  MessageBeep(0);
  return true;
}

LRESULT SpinFieldPeer::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  auto& spin = static_cast<TSpinEdit&>(Owner());
  switch (message) {
    case WM_KEYDOWN:
      if (wParam == VK_UP || wParam == VK_DOWN) {
        Deliver([&] { spin.Step(wParam == VK_UP ? 1 : -1); });
        return 0;
      }
      break;
    case WM_CHAR:
      if (Refuses(static_cast<unsigned char>(wParam))) return 0;
      break;
    case WM_KILLFOCUS: {
      const LRESULT result = CallWindowProcA(editProc_, Window(), message, wParam, lParam);
      Deliver([&] { spin.ClampOnExit(); });
      return result;
    }
    default:
      break;
  }
  return CallWindowProcA(editProc_, Window(), message, wParam, lParam);
}

}  // namespace

std::unique_ptr<ControlPeer> CreateSpinFieldPeer(TControl& owner, TWinControl* parent,
                                                 const PeerDesign& design) {
  auto peer = std::make_unique<SpinFieldPeer>(owner, parent, design);
  AddHint(peer->Window(), design.hint);
  return peer;
}

}  // namespace zinnow::win32
