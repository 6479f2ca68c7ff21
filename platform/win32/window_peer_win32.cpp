#include <algorithm>

#include "platform/controls.h"
#include "platform/win32/out_of_resources_win32.h"
#include "platform/win32/peers_win32.h"
#include "platform/win32/windows_backend.h"

namespace zinnow::win32 {
namespace {

constexpr int kDropDownRows = 8;
constexpr int kItemHeight = 12;

// What kind of window a control gets, and where: the stored bounds scaled, in the parent's
// client area.
struct WindowShape {
  const char* windowClass = "EDIT";
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  DWORD exStyle = 0;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  HWND parent = nullptr;
};

// The window is centred on the screen, whatever the stored position, and owned by the hidden
// window that stands on the taskbar.
void ShapeForm(WindowShape& shape) {
  shape.windowClass = kContainerClass;
  shape.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  RECT r{0, 0, shape.width, shape.height};
  AdjustWindowRectEx(&r, shape.style, FALSE, shape.exStyle);
  shape.width = r.right - r.left;
  shape.height = r.bottom - r.top;
  shape.left = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - shape.width) / 2);
  shape.top = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - shape.height) / 2);
  shape.parent = ApplicationWindow();
}

WindowShape ShapeOf(TWinControl* parent, const PeerDesign& design) {
  WindowShape shape;
  shape.parent = parent ? WindowOf(*parent) : nullptr;
  shape.left = Scaled(design.bounds.left);
  shape.top = Scaled(design.bounds.top);
  shape.width = Scaled(design.bounds.width);
  shape.height = Scaled(design.bounds.height);
  switch (design.kind) {
    case ControlKind::Form:
      ShapeForm(shape);
      break;
    case ControlKind::Panel:
      shape.windowClass = kContainerClass;
      shape.style |= WS_CLIPCHILDREN;
      shape.exStyle = WS_EX_STATICEDGE | WS_EX_CONTROLPARENT;
      break;
    case ControlKind::Edit:
    case ControlKind::SpinEdit:
      shape.style |= WS_TABSTOP | ES_AUTOHSCROLL |
                     (design.kind == ControlKind::SpinEdit ? WS_CLIPCHILDREN : 0);
      shape.exStyle = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::ComboBox:
      shape.windowClass = "COMBOBOX";
      shape.style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
      shape.height += Scaled(kDropDownRows * kItemHeight + 2);  // the height includes the list
      break;
    case ControlKind::Button:
      shape.windowClass = "BUTTON";
      shape.style |= WS_TABSTOP | BS_PUSHBUTTON;
      break;
    case ControlKind::Label:
    case ControlKind::Image:
      break;
  }
  return shape;
}

void LimitText(HWND window, const PeerDesign& design) {
  if (design.kind == ControlKind::ComboBox) {
    // 0: no limit at all.
    SendMessageA(window, CB_LIMITTEXT, static_cast<WPARAM>(design.maxLength), 0);
    SendMessageA(window, CB_SETITEMHEIGHT, 0, Scaled(kItemHeight));
  } else if (design.maxLength > 0) {
    SendMessageA(window, EM_LIMITTEXT, static_cast<WPARAM>(design.maxLength), 0);
  }
}

}  // namespace

NativeControl::NativeControl(TControl& owner, TWinControl* parent, const PeerDesign& design)
    : owner_(owner), kind_(design.kind), tabOrder_(design.tabOrder) {
  if (kind_ == ControlKind::Image) return;  // the picture holder has no window
  RegisterClasses();
  const WindowShape shape = ShapeOf(parent, design);
  window_.Reset(Required(CreateWindowExA(
      shape.exStyle, shape.windowClass, design.text.c_str(), shape.style, shape.left, shape.top,
      shape.width, shape.height, shape.parent, nullptr, Instance(), nullptr)));
  const HWND window = window_.Get();
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  if (kind_ != ControlKind::Form) {
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(Font(false)), FALSE);
    // A later control lies above an earlier one.
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  LimitText(window, design);
  // Last: when anything above fails, the destructor that takes the control out does not run.
  Registry().push_back(this);
}

NativeControl::~NativeControl() {
  Registry().erase(std::remove(Registry().begin(), Registry().end(), this), Registry().end());
  if (IsWindow(window_.Get())) {
    SetWindowLongPtrA(window_.Get(), GWLP_USERDATA, 0);
  } else {
    (void)window_.Release();  // gone with its parent's window already
  }
}

std::vector<NativeControl*>& NativeControl::Registry() {
  static std::vector<NativeControl*> peers;
  return peers;
}

void NativeControl::RememberFocus(HWND focus) {
  if (focus && IsChild(Window(), focus)) lastFocus_ = focus;
}

void NativeControl::RestoreFocus() {
  if (lastFocus_ && IsWindow(lastFocus_) && IsChild(Window(), lastFocus_) &&
      IsWindowVisible(lastFocus_) && IsWindowEnabled(lastFocus_)) {
    SetFocus(lastFocus_);
  } else {
    FocusTabStop(Window(), 0);
  }
}

void NativeControl::ShowChild(bool visible) const {
  if (Window()) ShowWindow(Window(), visible ? SW_SHOWNA : SW_HIDE);
}

void NativeControl::RepaintNow() const {
  if (Window()) UpdateWindow(Window());
}

NativeControl* PeerOfWindow(HWND window) {
  return reinterpret_cast<NativeControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

WindowPeer::WindowPeer(TControl& owner, TWinControl* parent, const PeerDesign& design)
    : NativeControl(owner, parent, design), text_(design.text) {
  if (Kind() == ControlKind::Form) WriteShownText(ShownText::Fixed(design.text));
}

AnsiString WindowPeer::Text() const {
  return Window() && Kind() != ControlKind::Form ? WindowText(Window()) : text_;
}

void WindowPeer::WriteText(const AnsiString& text) {
  if (Kind() == ControlKind::Form) {
    WriteShownText(ShownText::Fixed(text));
  } else if (Window()) {
    SetWindowTextA(Window(), text.c_str());
  } else {
    text_ = text;
  }
}

void WindowPeer::WriteShownText(const ShownText& text) {
  if (Kind() != ControlKind::Form) return WriteText(text.Bytes());
  text_ = text.Bytes();
  if (Window()) SetWindowTextW(Window(), WideText(text).c_str());
}

void WindowPeer::SetVisible(bool visible) {
  if (Kind() != ControlKind::Form) return ShowChild(visible);
  if (!Window()) return;
  if (visible) FitFontToLayout(Window());
  ShowWindow(Window(), visible ? SW_SHOW : SW_HIDE);
}

void WindowPeer::Notified(WORD code) {
  TControl& owner = Owner();
  if (Kind() == ControlKind::Edit || Kind() == ControlKind::SpinEdit) {
    if (code == EN_CHANGE) Deliver([&] { owner.UserChangedText(); });
  } else if (Kind() == ControlKind::Button) {
    if (code == BN_CLICKED) Deliver([&] { owner.UserClicked(); });
  }
}

HWND WindowOf(const TControl& control) {
  auto* peer = dynamic_cast<const NativeControl*>(&control.Peer());
  return peer ? peer->Window() : nullptr;
}

}  // namespace zinnow::win32

namespace zinnow {

// The drop-down list is made by CreateListPeer (combo_box_peer_win32.cpp).
std::unique_ptr<ControlPeer> CreateControlPeer(TControl& owner, TWinControl* parent,
                                               const PeerDesign& design) {
  using namespace win32;
  if (design.kind == ControlKind::Label) {
    auto* container = parent ? dynamic_cast<NativeControl*>(&parent->Peer()) : nullptr;
    return std::make_unique<LabelPeer>(container, design);
  }
  if (design.kind == ControlKind::SpinEdit) return CreateSpinFieldPeer(owner, parent, design);
  auto peer = std::make_unique<WindowPeer>(owner, parent, design);
  AddHint(peer->Window(), design.hint);
  return peer;
}

}  // namespace zinnow
