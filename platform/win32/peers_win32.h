#pragma once

// What the control peers of the Win32 backend share among their files.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/ansi_string.h"
#include "platform/peer.h"
#include "platform/shown_text.h"
#include "platform/win32/handles.h"

namespace zinnow {
class TControl;
}

namespace zinnow::win32 {

inline constexpr char kContainerClass[] = "TZinnowContainer";
inline constexpr char kSpinButtonClass[] = "TZinnowSpinButton";
// The program's own texts are Shift_JIS, whatever the system's code page.
inline constexpr UINT kFixedTextCodePage = 932;
// The layout's font height, in pixels at 96 dpi.
inline constexpr int kFontHeight = 12;

HINSTANCE Instance();
// The container's and the spin arrows' window classes, registered once.
void RegisterClasses();
LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SpinButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

std::wstring Wide(const AnsiString& text, UINT codePage);
// A window's text as the bytes of the system's code page.
AnsiString WindowText(HWND window);

// The window's font, underlined or not (font_win32.cpp).
HFONT Font(bool underline);

class NativeControl;

// A label has no window: its parent paints it, so windowed controls always lie above it. It
// sizes itself to its caption and paints the panel's colour behind it.
class LabelPeer : public ControlPeer {
 public:
  LabelPeer(NativeControl* parent, const PeerDesign& design);
  ~LabelPeer() override;

  AnsiString Text() const override { return text_; }
  void WriteText(const AnsiString& text) override;
  void SetVisible(bool visible) override;
  void Paint(HDC dc) const;
  const RECT& Rect() const { return rect_; }
  // The width of the text without the blanks at its end (they only carry the underline).
  LONG TextWidth() const;
  // After a change of the window's font.
  void Remeasure();

 private:
  void Measure();
  void Invalidate() const;

  NativeControl* parent_;
  AnsiString text_;
  RECT rect_{};
  bool underline_;
  bool visible_ = true;
  UINT codePage_;
};

// A control with a window of its own: the window, the control it belongs to, its place in the
// tab order, and the windowless labels it paints.
class NativeControl {
 public:
  NativeControl(TControl& owner, TWinControl* parent, const PeerDesign& design);
  virtual ~NativeControl();
  NativeControl(const NativeControl&) = delete;
  NativeControl& operator=(const NativeControl&) = delete;

  HWND Window() const { return window_.Get(); }
  TControl& Owner() const { return owner_; }
  ControlKind Kind() const { return kind_; }
  int TabOrder() const { return tabOrder_; }
  std::vector<LabelPeer*>& Labels() { return labels_; }
  const std::vector<LabelPeer*>& Labels() const { return labels_; }

  // A notification the window sent its parent.
  virtual void Notified(WORD code) { (void)code; }

  // The control that last had the keyboard focus gets it back when the window is active again;
  // with none, the first tab stop, as at the start.
  void RememberFocus(HWND focus);
  void RestoreFocus();

  // Every windowed control, for the tab order and the font's fitting.
  static std::vector<NativeControl*>& Registry();

 protected:
  void ShowChild(bool visible) const;
  void RepaintNow() const;

 private:
  TControl& owner_;
  ControlKind kind_;
  int tabOrder_;
  UniqueWindow window_;
  std::vector<LabelPeer*> labels_;
  HWND lastFocus_ = nullptr;
};

NativeControl* PeerOfWindow(HWND window);

// The form, a panel, an edit or a button. A window caption is kept as the bytes it was given and
// shown in Unicode, so that the program's own texts in it read right on a system of any code page.
class WindowPeer : public ControlPeer, public NativeControl {
 public:
  WindowPeer(TControl& owner, TWinControl* parent, const PeerDesign& design);

  AnsiString Text() const override;
  void WriteText(const AnsiString& text) override;
  void WriteShownText(const ShownText& text) override;
  void Repaint() override { RepaintNow(); }
  void SetVisible(bool visible) override;
  void Notified(WORD code) override;

 private:
  AnsiString text_;
};

// The spin field (spin_field_win32.cpp).
std::unique_ptr<ControlPeer> CreateSpinFieldPeer(TControl& owner, TWinControl* parent,
                                                 const PeerDesign& design);

// The hint shown over a control and over the windows inside it; none for an empty hint
// (hint_window_win32.cpp).
HWND HintWindow();
void AddHint(HWND control, const AnsiString& hint);

// Makes the window's font smaller until every label of the window fits beside the control next
// to it (font_win32.cpp).
void FitFontToLayout(HWND form);

// The two arrows of a spin field (spin_arrows_win32.cpp).
void AddSpinArrows(HWND field, NativeControl& peer);

}  // namespace zinnow::win32
