// The window's font: its face, its height scaled to the screen, and its fitting to the layout.
#include <algorithm>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/out_of_resources_win32.h"
#include "platform/win32/peers_win32.h"
#include "platform/win32/windows_backend.h"

namespace zinnow::win32 {
namespace {

// "ＭＳ Ｐゴシック", 12 pixels at 96 dpi. Where it is not installed, a font of the same metrics
// under another name (its English name on Windows, the IPA font on Linux desktops), and only then
// the system's font for messages.
constexpr const char* kFontFaces[] = {"ＭＳ Ｐゴシック", "MS PGothic", "IPAPGothic"};

bool FontInstalled(const std::wstring& face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  face.copy(wanted.lfFaceName, LF_FACESIZE - 1);
  bool found = false;
  WindowDc screen(nullptr);
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
  UniqueFont normal;
  UniqueFont underlined;
  // Fonts replaced by smaller ones: windows made before may still hold them.
  std::vector<UniqueFont> retired;

  int Height() const { return height ? height : Scaled(kFontHeight); }
  void Retire() {
    retired.push_back(std::move(normal));
    retired.push_back(std::move(underlined));
  }
};

WindowFonts& Fonts() {
  static WindowFonts fonts;
  return fonts;
}

// Whether every label of this container shows its text, blanks at its end aside, before the
// next windowed control on its row (or the container's edge).
bool LabelsFit(const NativeControl& container) {
  RECT client;
  GetClientRect(container.Window(), &client);
  for (const LabelPeer* label : container.Labels()) {
    const RECT& at = label->Rect();
    LONG room = client.right - at.left;
    for (const NativeControl* peer : NativeControl::Registry()) {
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

bool WindowLabelsFit(HWND form) {
  for (const NativeControl* peer : NativeControl::Registry()) {
    if ((peer->Window() == form || IsChild(form, peer->Window())) && !LabelsFit(*peer)) {
      return false;
    }
  }
  return true;
}

// Every window made before gets the smaller font, and its labels are measured again.
void ShowSmallerFont(HWND form) {
  SendMessageW(HintWindow(), WM_SETFONT, reinterpret_cast<WPARAM>(Font(false)), FALSE);
  for (NativeControl* peer : NativeControl::Registry()) {
    if (!IsChild(form, peer->Window())) continue;
    SendMessageW(peer->Window(), WM_SETFONT, reinterpret_cast<WPARAM>(Font(false)), TRUE);
    for (LabelPeer* label : peer->Labels()) label->Remeasure();
  }
}

}  // namespace

HFONT Font(bool underline) {
  WindowFonts& fonts = Fonts();
  UniqueFont& font = underline ? fonts.underlined : fonts.normal;
  if (!font) {
    font.Reset(Required(CreateFontW(-fonts.Height(), 0, 0, 0, FW_NORMAL, FALSE, underline, FALSE,
                                    SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                    WindowFontFace().c_str())));
  }
  return font.Get();
}

// The layout was made for the metrics of the window's own font. A wider face (the system's font
// for messages, where no face of those metrics is installed) is made smaller, a pixel at a time,
// until no label's text runs under the control beside it.
void FitFontToLayout(HWND form) {
  const int smallest = Scaled(kFontHeight) * 2 / 3;
  WindowFonts& fonts = Fonts();
  while (!WindowLabelsFit(form) && fonts.Height() > smallest) {
    fonts.height = fonts.Height() - 1;
    fonts.Retire();
    ShowSmallerFont(form);
  }
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

}  // namespace zinnow::win32
