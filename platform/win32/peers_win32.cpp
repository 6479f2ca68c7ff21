#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <vector>

#include "platform/application.h"
#include "platform/code_page.h"
#include "platform/controls.h"
#include "platform/win32/handles.h"
#include "platform/win32/windows_backend.h"

namespace zinnow {
namespace {

constexpr char kContainerClass[] = "TZinnowContainer";
constexpr char kSpinButtonClass[] = "TZinnowSpinButton";
constexpr int kDropDownRows = 8;
constexpr int kItemHeight = 12;
constexpr int kSpinButtonWidth = 15;
constexpr UINT kFirstRepeatMs = 400;
constexpr UINT kRepeatMs = 100;
// The window's font: "ＭＳ Ｐゴシック", 12 pixels at 96 dpi. Where it is not installed, a
// font of the same metrics under another name (its English name on Windows, the IPA font on
// Linux desktops), and only then the system's font for messages.
constexpr const char* kFontFaces[] = {"ＭＳ Ｐゴシック", "MS PGothic", "IPAPGothic"};
constexpr int kFontHeight = 12;
constexpr UINT kFixedTextCodePage = 932;

LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SpinEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SpinButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

HINSTANCE Instance() {
  return GetModuleHandleA(nullptr);
}

std::wstring Wide(const AnsiString& text, UINT codePage) {
  if (text.empty()) return std::wstring();
  const int n =
      MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

using win32::Scaled;

bool FontInstalled(const std::wstring& face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  face.copy(wanted.lfFaceName, LF_FACESIZE - 1);
  bool found = false;
  win32::WindowDc screen(nullptr);
  EnumFontFamiliesExW(
      screen.Get(), &wanted,
      [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) -> int {
        *reinterpret_cast<bool*>(found) = true;
        return 0;
      },
      reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

// The window's font in its two forms, made when first asked for. Its height is the layout's
// 12 pixels unless a wider face makes a label's text run under the control beside it; then it
// is made smaller until every text fits (FitFontToLayout).
struct WindowFonts {
  std::wstring face;  // empty: the first installed of the window's faces
  int height = 0;     // 0: the layout's height, scaled
  win32::UniqueFont normal;
  win32::UniqueFont underlined;
  // Fonts replaced by smaller ones: windows made before may still hold them.
  std::vector<win32::UniqueFont> retired;

  void Retire() {
    retired.push_back(std::move(normal));
    retired.push_back(std::move(underlined));
  }
};
WindowFonts& Fonts() {
  static WindowFonts fonts;
  return fonts;
}

HFONT Font(bool underline) {
  WindowFonts& fonts = Fonts();
  win32::UniqueFont& font = underline ? fonts.underlined : fonts.normal;
  if (!font) {
    const int height = fonts.height ? fonts.height : Scaled(kFontHeight);
    font.Reset(CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, underline, FALSE, SHIFTJIS_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, win32::WindowFontFace().c_str()));
  }
  return font.Get();
}

void RegisterClasses() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX common{sizeof(common), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&common);
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
    RegisterClassExW(&form);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = SpinButtonProc;
    wc.hInstance = Instance();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kSpinButtonClass;
    RegisterClassExA(&wc);
    return true;
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

class WindowPeer;

// What the drop-down list shows of an entry: no one reads a line of more than a thousand bytes,
// and the native list measures every byte it is given.
AnsiString ShownInList(const AnsiString& entry) {
  constexpr std::size_t kShown = 1024;
  if (entry.size() <= kShown) return entry;
  std::size_t cut = 0;
  const CodePage& page = SystemCodePage();
  while (cut < kShown) cut += page.IsLeadByte(static_cast<unsigned char>(entry[cut])) ? 2 : 1;
  return entry.substr(0, cut > kShown ? cut - 2 : cut) + "...";
}

// A label has no window: its parent paints it, so windowed controls always lie above it. It
// sizes itself to its caption and paints the panel's colour behind it.
class LabelPeer : public ControlPeer {
 public:
  LabelPeer(WindowPeer* parent, const PeerDesign& design);
  ~LabelPeer() override;

  AnsiString Text() const override { return text_; }
  void WriteText(const AnsiString& text) override {
    Invalidate();
    text_ = text;
    Measure();
    Invalidate();
  }
  void SetVisible(bool visible) override {
    visible_ = visible;
    Invalidate();
  }
  void Paint(HDC dc) const {
    if (!visible_) return;
    RECT r = rect_;
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    const HGDIOBJ previous = SelectObject(dc, Font(underline_));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    const std::wstring wide = Wide(text_, codePage_);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r,
              DT_LEFT | DT_SINGLELINE | DT_NOCLIP);
    SelectObject(dc, previous);
  }
  const RECT& Rect() const { return rect_; }
  // The width of the text without the blanks at its end (they only carry the underline).
  LONG TextWidth() const;
  void Remeasure() {
    Invalidate();
    Measure();
    Invalidate();
  }

 private:
  void Measure();
  void Invalidate() const;

  WindowPeer* parent_;
  AnsiString text_;
  RECT rect_{};
  bool underline_;
  bool visible_ = true;
  UINT codePage_;
};

class WindowPeer : public ListPeer {
 public:
  WindowPeer(TControl& owner, TWinControl* parent, const PeerDesign& design);
  ~WindowPeer() override {
    Registry().erase(std::remove(Registry().begin(), Registry().end(), this), Registry().end());
    if (window_ && IsWindow(window_)) {
      SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
      DestroyWindow(window_);
    }
  }

  HWND Window() const { return window_; }
  TControl& Owner() const { return owner_; }
  ControlKind Kind() const { return kind_; }
  int TabOrder() const { return tabOrder_; }
  WNDPROC EditProc() const { return editProc_; }
  std::vector<LabelPeer*>& Labels() { return labels_; }
  const std::vector<LabelPeer*>& Labels() const { return labels_; }

  // Every windowed peer, for the tab order.
  static std::vector<WindowPeer*>& Registry() {
    static std::vector<WindowPeer*> peers;
    return peers;
  }

  // A window caption is kept as the bytes it was given and shown in Unicode, so that the
  // program's own texts in it read right on a system of any code page.
  AnsiString Text() const override {
    return window_ && kind_ != ControlKind::Form ? WindowText(window_) : text_;
  }
  void WriteText(const AnsiString& text) override {
    if (kind_ == ControlKind::Form) {
      WriteShownText(ShownText::Fixed(text));
    } else if (window_) {
      SetWindowTextA(window_, text.c_str());
    } else {
      text_ = text;
    }
  }
  void WriteShownText(const ShownText& text) override {
    if (kind_ != ControlKind::Form) return WriteText(text.Bytes());
    text_ = text.Bytes();
    if (window_) SetWindowTextW(window_, win32::WideText(text).c_str());
  }
  // The control that last had the keyboard focus gets it back when the window is active again;
  // with none, the first tab stop, as at the start.
  void RememberFocus(HWND focus) {
    if (focus && IsChild(window_, focus)) lastFocus_ = focus;
  }
  void RestoreFocus();
  void FitFontToLayout();
  void Repaint() override {
    if (window_) UpdateWindow(window_);
  }
  void SetVisible(bool visible) override {
    if (!window_) return;
    if (visible && kind_ == ControlKind::Form) FitFontToLayout();
    ShowWindow(window_, visible ? (kind_ == ControlKind::Form ? SW_SHOW : SW_SHOWNA) : SW_HIDE);
  }

  // The list keeps every entry's bytes itself: the native list holds its text in Unicode, and a
  // byte sequence that is no valid Shift_JIS would not come back whole from it.
  int Count() const override { return static_cast<int>(items_.size()); }
  AnsiString Item(int index) const override { return items_.at(static_cast<std::size_t>(index)); }
  bool Insert(int index, const AnsiString& text) override {
    const AnsiString shown = ShownInList(text);
    const LRESULT at = SendMessageA(window_, CB_INSERTSTRING, static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(shown.c_str()));
    if (at == CB_ERR || at == CB_ERRSPACE) return false;
    items_.insert(items_.begin() + index, text);
    return true;
  }
  void Delete(int index) override {
    SendMessageA(window_, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
    items_.erase(items_.begin() + index);
  }
  void Clear() override {
    // CB_RESETCONTENT would empty the edit part too.
    const AnsiString text = Text();
    SendMessageA(window_, CB_RESETCONTENT, 0, 0);
    SetWindowTextA(window_, text.c_str());
    items_.clear();
  }
  // The entry's own bytes into the edit part (the list's copy may be shortened).
  void Select(int index) override {
    if (index >= 0) SetWindowTextA(window_, items_.at(static_cast<std::size_t>(index)).c_str());
  }

 private:
  void AddSpinButtons();
  void AddHint(const AnsiString& hint);

  TControl& owner_;
  ControlKind kind_;
  int tabOrder_;
  HWND window_ = nullptr;
  WNDPROC editProc_ = nullptr;
  AnsiString text_;
  std::vector<LabelPeer*> labels_;
  std::vector<AnsiString> items_;
  HWND lastFocus_ = nullptr;
};

HWND HintWindow();

// Whether every label of this container shows its text, blanks at its end aside, before the
// next windowed control on its row (or the container's edge).
bool LabelsFit(const WindowPeer& container) {
  RECT client;
  GetClientRect(container.Window(), &client);
  for (const LabelPeer* label : container.Labels()) {
    const RECT& at = label->Rect();
    LONG room = client.right - at.left;
    for (const WindowPeer* peer : WindowPeer::Registry()) {
      if (GetParent(peer->Window()) != container.Window()) continue;
      RECT r;
      GetWindowRect(peer->Window(), &r);
      MapWindowPoints(HWND_DESKTOP, container.Window(), reinterpret_cast<POINT*>(&r), 2);
      if (r.left > at.left && r.top < at.bottom && r.bottom > at.top) {
        room = std::min(room, r.left - at.left);
      }
    }
    if (label->TextWidth() > room) return false;
  }
  return true;
}

// The layout was made for the metrics of the window's own font. A wider face (the system's font
// for messages, where no face of those metrics is installed) is made smaller, a pixel at a time,
// until no label's text runs under the control beside it.
void WindowPeer::FitFontToLayout() {
  const int smallest = Scaled(kFontHeight) * 2 / 3;
  for (;;) {
    bool fit = true;
    for (const WindowPeer* peer : Registry()) {
      if ((peer == this || IsChild(window_, peer->Window())) && !LabelsFit(*peer)) fit = false;
    }
    WindowFonts& fonts = Fonts();
    const int height = fonts.height ? fonts.height : Scaled(kFontHeight);
    if (fit || height <= smallest) return;
    fonts.height = height - 1;
    fonts.Retire();
    SendMessageW(HintWindow(), WM_SETFONT, reinterpret_cast<WPARAM>(Font(false)), FALSE);
    for (WindowPeer* peer : Registry()) {
      if (!IsChild(window_, peer->Window())) continue;
      SendMessageW(peer->Window(), WM_SETFONT, reinterpret_cast<WPARAM>(Font(false)), TRUE);
      for (LabelPeer* label : peer->Labels()) label->Remeasure();
    }
  }
}

void WindowPeer::RestoreFocus() {
  if (lastFocus_ && IsWindow(lastFocus_) && IsChild(window_, lastFocus_) &&
      IsWindowVisible(lastFocus_) && IsWindowEnabled(lastFocus_)) {
    SetFocus(lastFocus_);
  } else {
    win32::FocusTabStop(window_, 0);
  }
}

LabelPeer::LabelPeer(WindowPeer* parent, const PeerDesign& design)
    : parent_(parent),
      text_(design.text),
      underline_(design.underline),
      codePage_(design.fixedText ? kFixedTextCodePage : CP_ACP) {
  rect_ = {Scaled(design.bounds.left), Scaled(design.bounds.top), 0, 0};
  Measure();
  if (parent_) parent_->Labels().push_back(this);
}

LabelPeer::~LabelPeer() {
  if (parent_) {
    auto& labels = parent_->Labels();
    labels.erase(std::remove(labels.begin(), labels.end(), this), labels.end());
  }
}

void LabelPeer::Measure() {
  win32::WindowDc screen(nullptr);
  const HGDIOBJ previous = SelectObject(screen.Get(), Font(underline_));
  const std::wstring wide = Wide(text_, codePage_);
  RECT r{0, 0, 0, 0};
  DrawTextW(screen.Get(), wide.c_str(), static_cast<int>(wide.size()), &r,
            DT_LEFT | DT_SINGLELINE | DT_CALCRECT);
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen.Get(), &metrics);
  SelectObject(screen.Get(), previous);
  rect_.right = rect_.left + (text_.empty() ? 0 : r.right);
  rect_.bottom = rect_.top + metrics.tmHeight;
}

LONG LabelPeer::TextWidth() const {
  std::wstring wide = Wide(text_, codePage_);
  while (!wide.empty() && (wide.back() == L' ' || wide.back() == L'\x3000')) wide.pop_back();
  win32::WindowDc screen(nullptr);
  const HGDIOBJ previous = SelectObject(screen.Get(), Font(underline_));
  RECT r{0, 0, 0, 0};
  DrawTextW(screen.Get(), wide.c_str(), static_cast<int>(wide.size()), &r,
            DT_LEFT | DT_SINGLELINE | DT_CALCRECT);
  SelectObject(screen.Get(), previous);
  return r.right;
}

void LabelPeer::Invalidate() const {
  if (parent_ && parent_->Window()) InvalidateRect(parent_->Window(), &rect_, TRUE);
}

WindowPeer::WindowPeer(TControl& owner, TWinControl* parent, const PeerDesign& design)
    : owner_(owner), kind_(design.kind), tabOrder_(design.tabOrder), text_(design.text) {
  if (kind_ == ControlKind::Image) return;  // the picture holder has no window
  RegisterClasses();
  HWND parentWindow = parent ? win32::WindowOf(*parent) : nullptr;
  int left = Scaled(design.bounds.left), top = Scaled(design.bounds.top);
  int width = Scaled(design.bounds.width), height = Scaled(design.bounds.height);
  const char* windowClass = "EDIT";
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  DWORD exStyle = 0;
  switch (kind_) {
    case ControlKind::Form: {
      windowClass = kContainerClass;
      style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
      RECT r{0, 0, width, height};
      AdjustWindowRectEx(&r, style, FALSE, exStyle);
      width = r.right - r.left;
      height = r.bottom - r.top;
      // Centred on the screen, whatever the stored position.
      left = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
      top = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
      parentWindow = win32::ApplicationWindow();  // the owner, which stands on the taskbar
      break;
    }
    case ControlKind::Panel:
      windowClass = kContainerClass;
      style |= WS_CLIPCHILDREN;
      exStyle = WS_EX_STATICEDGE | WS_EX_CONTROLPARENT;
      break;
    case ControlKind::Label:
    case ControlKind::Image:
      return;
    case ControlKind::Edit:
    case ControlKind::SpinEdit:
      style |= WS_TABSTOP | ES_AUTOHSCROLL | (kind_ == ControlKind::SpinEdit ? WS_CLIPCHILDREN : 0);
      exStyle = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::ComboBox:
      windowClass = "COMBOBOX";
      style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
      height += Scaled(kDropDownRows * kItemHeight + 2);  // the height includes the open list
      break;
    case ControlKind::Button:
      windowClass = "BUTTON";
      style |= WS_TABSTOP | BS_PUSHBUTTON;
      break;
  }
  window_ = CreateWindowExA(exStyle, windowClass, design.text.c_str(), style, left, top, width,
                            height, parentWindow, nullptr, Instance(), nullptr);
  if (kind_ == ControlKind::Form) WriteShownText(ShownText::Fixed(design.text));
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  Registry().push_back(this);
  if (kind_ != ControlKind::Form) {
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(Font(false)), FALSE);
    // A later control lies above an earlier one.
    SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if (design.maxLength > 0) {
    SendMessageA(window_, kind_ == ControlKind::ComboBox ? CB_LIMITTEXT : EM_LIMITTEXT,
                 static_cast<WPARAM>(design.maxLength), 0);
  }
  if (kind_ == ControlKind::ComboBox) {
    if (design.maxLength == 0) SendMessageA(window_, CB_LIMITTEXT, 0, 0);  // no limit at all
    SendMessageA(window_, CB_SETITEMHEIGHT, 0, Scaled(kItemHeight));
  }
  if (kind_ == ControlKind::SpinEdit) {
    editProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SpinEditProc)));
    AddSpinButtons();
  }
  if (!design.hint.empty()) AddHint(design.hint);
}

// The two arrow buttons, stacked at the right end; the text stops short of them.
void WindowPeer::AddSpinButtons() {
  RECT client;
  GetClientRect(window_, &client);
  const int w = Scaled(kSpinButtonWidth);
  const int half = client.bottom / 2;
  const HWND up =
      CreateWindowExA(0, kSpinButtonClass, "", WS_CHILD | WS_VISIBLE, client.right - w, 0, w, half,
                      window_, reinterpret_cast<HMENU>(1), Instance(), nullptr);
  const HWND down = CreateWindowExA(0, kSpinButtonClass, "", WS_CHILD | WS_VISIBLE,
                                    client.right - w, half, w, client.bottom - half, window_,
                                    reinterpret_cast<HMENU>(2), Instance(), nullptr);
  SetWindowLongPtrA(up, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrA(down, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SendMessageA(window_, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, w + 1));
}

// The standard hint window: after 500 ms, gone after 2500 ms, 50 ms from one control to the next.
HWND HintWindow() {
  static const HWND hints = [] {
    const HWND window = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                        win32::ApplicationWindow(), nullptr, Instance(), nullptr);
    SendMessageW(window, TTM_SETDELAYTIME, TTDT_INITIAL, 500);
    SendMessageW(window, TTM_SETDELAYTIME, TTDT_AUTOPOP, 2500);
    SendMessageW(window, TTM_SETDELAYTIME, TTDT_RESHOW, 50);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(Font(false)), FALSE);
    return window;
  }();
  return hints;
}

void WindowPeer::AddHint(const AnsiString& hint) {
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
  add(window_);
  for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    add(child);  // the spin field's arrows show its hint too
  }
}

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
  WindowPeer* self = PeerOfWindow(window);
  const bool isForm = self && self->Kind() == ControlKind::Form;
  switch (message) {
    case WM_CLOSE:
      if (!isForm) break;
      // Close box, system menu, Alt+F4: no question asked, the run ends.
      win32::Deliver([] { Application().Terminate(); });
      return 0;
    case WM_ENDSESSION:
      if (!isForm) break;
      if (wParam) win32::Deliver([] { Application().EndNow(); });
      return 0;
    case WM_ACTIVATE:
      if (!isForm) break;
      if (LOWORD(wParam) == WA_INACTIVE) {
        self->RememberFocus(GetFocus());
      } else if (!HIWORD(wParam)) {  // not while minimised
        self->RestoreFocus();
      }
      return 0;
    case WM_SETFOCUS:
      if (!isForm) break;
      // The window itself takes no keys: a control of it does. Minimised, the window holds the
      // focus itself, and the control that had it gets it back once the window is restored.
      self->RememberFocus(reinterpret_cast<HWND>(wParam));
      if (!IsIconic(window)) self->RestoreFocus();
      return 0;
    case WM_PAINT:
      if (self && !self->Labels().empty()) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        for (const LabelPeer* label : self->Labels()) label->Paint(dc);
        EndPaint(window, &ps);
        return 0;
      }
      break;
    case WM_COMMAND:
      if (lParam == 0) break;
      if (WindowPeer* child = PeerOfWindow(reinterpret_cast<HWND>(lParam))) {
        ChildNotified(*child, HIWORD(wParam));
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

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

LRESULT CALLBACK SpinEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowPeer* peer = PeerOfWindow(window);
  if (peer == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  auto& spin = static_cast<TSpinEdit&>(peer->Owner());
  static bool skipSecondByte = false;
  switch (message) {
    case WM_KEYDOWN:
      if (wParam == VK_UP || wParam == VK_DOWN) {
        win32::Deliver([&] { spin.Step(wParam == VK_UP ? 1 : -1); });
        return 0;
      }
      break;
    case WM_CHAR: {
      if (skipSecondByte) {  // the rest of a refused double-byte character
        skipSecondByte = false;
        return 0;
      }
      const auto byte = static_cast<unsigned char>(wParam);
      if (IsDBCSLeadByte(byte)) {
        skipSecondByte = true;
        MessageBeep(0);
        return 0;
      }
      wchar_t c = 0;
      const char narrow = static_cast<char>(byte);
      MultiByteToWideChar(CP_ACP, 0, &narrow, 1, &c, 1);
      if (!SpinTakes(c)) {
        MessageBeep(0);
        return 0;
      }
      break;
    }
    case WM_KILLFOCUS: {
      const LRESULT result = CallWindowProcA(peer->EditProc(), window, message, wParam, lParam);
      win32::Deliver([&] { spin.ClampOnExit(); });
      return result;
    }
    default:
      break;
  }
  return CallWindowProcA(peer->EditProc(), window, message, wParam, lParam);
}

// An arrow of the spin field: a step at the release over it, and while it is held, one step
// after 400 ms and then every 100 ms, each only while the pointer is over it.
LRESULT CALLBACK SpinButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowPeer* peer = PeerOfWindow(window);
  const bool up = GetDlgCtrlID(window) == 1;
  auto pointerOver = [window] {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(window, &p);
    RECT r;
    GetClientRect(window, &r);
    return PtInRect(&r, p) != FALSE;
  };
  auto step = [&] {
    if (peer) {
      auto& spin = static_cast<TSpinEdit&>(peer->Owner());
      win32::Deliver([&] { spin.Step(up ? 1 : -1); });
    }
  };
  switch (message) {
    case WM_LBUTTONDOWN:
      if (peer) SetFocus(peer->Window());
      SetCapture(window);
      SetTimer(window, 1, kFirstRepeatMs, nullptr);
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_TIMER:
      if (GetCapture() == window) {
        if (pointerOver()) step();
        SetTimer(window, 1, kRepeatMs, nullptr);
      }
      return 0;
    case WM_MOUSEMOVE:
      if (GetCapture() == window) InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == window) {
        const bool over = pointerOver();
        ReleaseCapture();
        if (over) step();
      }
      return 0;
    case WM_CAPTURECHANGED:
      KillTimer(window, 1);
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      RECT r;
      GetClientRect(window, &r);
      const bool pushed = GetCapture() == window && pointerOver();
      DrawFrameControl(dc, &r, DFC_SCROLL,
                       (up ? DFCS_SCROLLUP : DFCS_SCROLLDOWN) | (pushed ? DFCS_PUSHED : 0));
      EndPaint(window, &ps);
      return 0;
    }
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
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
  if (design.kind == ControlKind::Label) {
    auto* container = parent ? dynamic_cast<WindowPeer*>(&parent->Peer()) : nullptr;
    return std::make_unique<LabelPeer>(container, design);
  }
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

RECT LabelBounds(const TControl& label) {
  auto* peer = dynamic_cast<const LabelPeer*>(&label.Peer());
  return peer ? peer->Rect() : RECT{};
}

int Scaled(int pixels) {
  static const int dpi = [] {
    SetProcessDPIAware();
    WindowDc screen(nullptr);
    return screen ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
  }();
  return MulDiv(pixels, dpi, 96);
}

const std::wstring& WindowFontFace() {
  std::wstring& face = Fonts().face;
  if (face.empty()) {
    for (const char* candidate : kFontFaces) {
      const std::wstring wide = Wide(candidate, kFixedTextCodePage);
      if (FontInstalled(wide)) return face = wide;
    }
    face = SystemMessageFontFace();
  }
  return face;
}

std::wstring SystemMessageFontFace() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  return metrics.lfMessageFont.lfFaceName;
}

void UseWindowFontFace(const std::wstring& face) {
  WindowFonts& fonts = Fonts();
  fonts.face = face;
  fonts.height = 0;
  fonts.Retire();
}

HFONT WindowFont() {
  return Font(false);
}

std::wstring WideText(const ShownText& text) {
  std::wstring wide;
  for (const ShownText::Part& part : text.Parts()) {
    wide += Wide(part.bytes, part.fixed ? kFixedTextCodePage : CP_ACP);
  }
  return wide;
}

void TimerElapsed(UINT_PTR id) {
  auto found = Timers().find(id);
  if (found != Timers().end()) {
    TTimer* timer = found->second;
    Deliver([timer] { timer->Elapsed(); });
  }
}

// Tab and Shift+Tab through the tab stops of the window, in their stored order; the edits and
// the spin field select their whole text when the keyboard brings the focus.
void FocusTabStop(HWND form, int direction) {
  std::vector<WindowPeer*> stops;
  for (WindowPeer* peer : WindowPeer::Registry()) {
    if (peer->TabOrder() >= 0 && IsChild(form, peer->Window()) && IsWindowVisible(peer->Window()) &&
        IsWindowEnabled(peer->Window())) {
      stops.push_back(peer);
    }
  }
  if (stops.empty()) return;
  std::sort(stops.begin(), stops.end(),
            [](WindowPeer* a, WindowPeer* b) { return a->TabOrder() < b->TabOrder(); });
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
  WindowPeer* target = stops[static_cast<std::size_t>(next)];
  SetFocus(target->Window());
  if (target->Kind() == ControlKind::Edit || target->Kind() == ControlKind::SpinEdit) {
    SendMessageA(target->Window(), EM_SETSEL, 0, -1);
  }
}

// Keys the window handles for its controls: Tab, and Enter on a focused button.
bool HandleWindowKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !msg.hwnd) return false;
  const HWND form = GetAncestor(msg.hwnd, GA_ROOT);
  WindowPeer* formPeer = PeerOfWindow(form);
  if (!formPeer || formPeer->Kind() != ControlKind::Form) return false;
  // Also when the window itself holds the focus: Tab goes to the first stop, Shift+Tab to the
  // last.
  if (msg.wParam == VK_TAB) {
    FocusTabStop(form, GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
    return true;
  }
  if (msg.wParam == VK_RETURN && msg.hwnd != form) {
    WindowPeer* peer = PeerOfWindow(msg.hwnd);
    if (peer && peer->Kind() == ControlKind::Button) {
      SendMessageA(msg.hwnd, BM_CLICK, 0, 0);
      return true;
    }
  }
  return false;
}

}  // namespace win32
}  // namespace zinnow
