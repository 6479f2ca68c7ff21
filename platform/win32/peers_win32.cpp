#include <windows.h>

#include <map>

#include "platform/controls.h"
#include "platform/win32/windows_backend.h"

namespace zinnow {
namespace {

constexpr char kContainerClass[] = "TZinnowContainer";
constexpr int kDropDownRows = 8;
constexpr int kItemHeight = 12;

LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SpinEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

HINSTANCE Instance() {
  return GetModuleHandleA(nullptr);
}

void RegisterContainerClass() {
  static const bool registered = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ContainerProc;
    wc.hInstance = Instance();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kContainerClass;
    return RegisterClassExA(&wc) != 0;
  }();
  (void)registered;
}

AnsiString WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return AnsiString();
  AnsiString text(static_cast<std::size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return text;
}

class WindowPeer : public ListPeer {
 public:
  WindowPeer(TControl& owner, TWinControl* parent, const PeerDesign& design)
      : owner_(owner), kind_(design.kind) {
    if (kind_ == ControlKind::Image) return;  // the picture holder has no window
    HWND parentWindow = parent ? win32::WindowOf(*parent) : nullptr;
    Bounds b = design.bounds;
    const char* windowClass = "EDIT";
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    switch (kind_) {
      case ControlKind::Form: {
        RegisterContainerClass();
        windowClass = kContainerClass;
        style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
        RECT r{0, 0, b.width, b.height};
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
        b.width = r.right - r.left;
        b.height = r.bottom - r.top;
        break;
      }
      case ControlKind::Panel:
        RegisterContainerClass();
        windowClass = kContainerClass;
        style |= WS_CLIPCHILDREN;
        exStyle = WS_EX_STATICEDGE;
        break;
      case ControlKind::Label:
        windowClass = "STATIC";
        style |= SS_LEFT;
        break;
      case ControlKind::Edit:
      case ControlKind::SpinEdit:
        style |= WS_TABSTOP | ES_AUTOHSCROLL;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case ControlKind::ComboBox:
        windowClass = "COMBOBOX";
        style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
        b.height += kDropDownRows * kItemHeight + 2;  // the height includes the open list
        break;
      case ControlKind::Button:
        windowClass = "BUTTON";
        style |= WS_TABSTOP | BS_PUSHBUTTON;
        break;
      case ControlKind::Image:
        break;
    }
    window_ = CreateWindowExA(exStyle, windowClass, design.text.c_str(), style, b.left, b.top,
                              b.width, b.height, parentWindow, nullptr, Instance(), nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (design.maxLength > 0) {
      SendMessageA(window_, kind_ == ControlKind::ComboBox ? CB_LIMITTEXT : EM_LIMITTEXT,
                   static_cast<WPARAM>(design.maxLength), 0);
    }
    if (kind_ == ControlKind::SpinEdit) {
      editProc_ = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SpinEditProc)));
    }
  }

  ~WindowPeer() override {
    if (window_ && IsWindow(window_)) {
      SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
      DestroyWindow(window_);
    }
  }

  HWND Window() const { return window_; }
  TControl& Owner() const { return owner_; }
  ControlKind Kind() const { return kind_; }
  WNDPROC EditProc() const { return editProc_; }

  AnsiString Text() const override { return window_ ? WindowText(window_) : text_; }
  void WriteText(const AnsiString& text) override {
    if (window_) {
      SetWindowTextA(window_, text.c_str());
    } else {
      text_ = text;
    }
  }
  void Repaint() override {
    if (window_) UpdateWindow(window_);
  }
  void SetVisible(bool visible) override {
    if (window_) ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
  }

  int Count() const override { return static_cast<int>(SendMessageA(window_, CB_GETCOUNT, 0, 0)); }
  AnsiString Item(int index) const override {
    const LRESULT length = SendMessageA(window_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length <= 0) return AnsiString();
    AnsiString text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT got = SendMessageA(window_, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == CB_ERR ? 0 : static_cast<std::size_t>(got));
    return text;
  }
  bool Insert(int index, const AnsiString& text) override {
    const LRESULT at = SendMessageA(window_, CB_INSERTSTRING, static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(text.c_str()));
    return at != CB_ERR && at != CB_ERRSPACE;
  }
  void Delete(int index) override {
    SendMessageA(window_, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
  }
  void Clear() override {
    // CB_RESETCONTENT would empty the edit part too.
    const AnsiString text = Text();
    SendMessageA(window_, CB_RESETCONTENT, 0, 0);
    SetWindowTextA(window_, text.c_str());
  }
  void Select(int index) override {
    if (index >= 0) SendMessageA(window_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }

 private:
  TControl& owner_;
  ControlKind kind_;
  HWND window_ = nullptr;
  WNDPROC editProc_ = nullptr;
  AnsiString text_;
};

WindowPeer* PeerOfWindow(HWND window) {
  return reinterpret_cast<WindowPeer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void ChildNotified(WindowPeer& child, WORD code) {
  TControl& owner = child.Owner();
  switch (child.Kind()) {
    case ControlKind::Edit:
    case ControlKind::SpinEdit:
      if (code == EN_CHANGE) win32::Deliver([&] { owner.UserChangedText(); });
      break;
    case ControlKind::ComboBox:
      if (code == CBN_EDITCHANGE) win32::Deliver([&] { owner.UserChangedText(); });
      if (code == CBN_SELCHANGE) {
        const int index = static_cast<int>(SendMessageA(child.Window(), CB_GETCURSEL, 0, 0));
        if (index >= 0) {
          win32::Deliver([&] { static_cast<TComboBox&>(owner).UserPicked(index); });
        }
      }
      break;
    case ControlKind::Button:
      if (code == BN_CLICKED) win32::Deliver([&] { owner.UserClicked(); });
      break;
    default:
      break;
  }
}

LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && lParam != 0) {
    if (WindowPeer* child = PeerOfWindow(reinterpret_cast<HWND>(lParam))) {
      ChildNotified(*child, HIWORD(wParam));
      return 0;
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK SpinEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowPeer* peer = PeerOfWindow(window);
  if (peer == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN)) {
    auto& spin = static_cast<TSpinEdit&>(peer->Owner());
    win32::Deliver([&] { spin.Step(wParam == VK_UP ? 1 : -1); });
    return 0;
  }
  return CallWindowProcA(peer->EditProc(), window, message, wParam, lParam);
}

// Timers live on the utility window; their id leads back to the timer.
std::map<UINT_PTR, TTimer*>& Timers() {
  static std::map<UINT_PTR, TTimer*> timers;
  return timers;
}

class WindowTimerPeer : public TimerPeer {
 public:
  explicit WindowTimerPeer(TTimer& owner) : id_(NextId()) { Timers()[id_] = &owner; }
  ~WindowTimerPeer() override {
    Stop();
    Timers().erase(id_);
  }
  bool Start(unsigned intervalMs) override {
    return SetTimer(win32::UtilityWindow(), id_, intervalMs, nullptr) != 0;
  }
  void Stop() override { KillTimer(win32::UtilityWindow(), id_); }

 private:
  static UINT_PTR NextId() {
    static UINT_PTR next = 1;
    return next++;
  }
  UINT_PTR id_;
};

}  // namespace

std::unique_ptr<ControlPeer> CreateControlPeer(TControl& owner, TWinControl* parent,
                                               const PeerDesign& design) {
  return std::make_unique<WindowPeer>(owner, parent, design);
}

std::unique_ptr<TimerPeer> CreateTimerPeer(TTimer& owner) {
  return std::make_unique<WindowTimerPeer>(owner);
}

namespace win32 {

HWND WindowOf(const TControl& control) {
  auto* peer = dynamic_cast<const WindowPeer*>(&control.Peer());
  return peer ? peer->Window() : nullptr;
}

void TimerElapsed(UINT_PTR id) {
  auto found = Timers().find(id);
  if (found != Timers().end()) {
    TTimer* timer = found->second;
    Deliver([timer] { timer->Elapsed(); });
  }
}

}  // namespace win32
}  // namespace zinnow
