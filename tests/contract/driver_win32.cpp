#include <windows.h>

#include "platform/win32/windows_backend.h"
#include "tests/contract/driver.h"
#include "tests/win32/wine_support.h"

namespace zinnow::test {
namespace {

HWND EditWindowOf(TTextControl& control) {
  HWND window = win32::WindowOf(control);
  if (control.Kind() == ControlKind::ComboBox) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    GetComboBoxInfo(window, &info);
    return info.hwndItem;
  }
  return window;
}

void Key(HWND window, WPARAM key) {
  SendMessageA(window, WM_KEYDOWN, key, 1);
  SendMessageA(window, WM_KEYUP, key, 0xC0000001);
}

}  // namespace

void UserTypes(TTextControl& control, const AnsiString& text) {
  HWND edit = EditWindowOf(control);
  SendMessageA(edit, EM_SETSEL, 0, -1);
  SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void UserPicksNext(TComboBox& control) {
  Key(EditWindowOf(control), VK_DOWN);
}
void UserPressesUp(TSpinEdit& control) {
  Key(win32::WindowOf(control), VK_UP);
}
void UserPressesDown(TSpinEdit& control) {
  Key(win32::WindowOf(control), VK_DOWN);
}

void OtherProgramPuts(const std::vector<ClipboardFormat>& formats) {
  std::string kinds;
  for (ClipboardFormat format : formats) {
    if (format == kCfText) kinds += " text";
    if (format == kCfBitmap) kinds += " bitmap";
    if (format == kCfDib) kinds += " dib";
    if (format == kCfEnhMetafile) kinds += " emf";
  }
  RunHelper("formats" + kinds);
}
void OtherProgramEmpties() {
  RunHelper("empty");
}

// The helper holds for a fixed time; the end waits for it to let go.
struct ClipboardHeldElsewhere::Impl {
  TempFolder folder;
  Holder holder{"hold", folder.File("ready")};
};
ClipboardHeldElsewhere::ClipboardHeldElsewhere() : impl_(new Impl) {}
ClipboardHeldElsewhere::~ClipboardHeldElsewhere() = default;

struct FileHeldElsewhere::Impl {
  TempFolder folder;
  Holder holder;
  explicit Impl(const AnsiString& path) : holder("lock \"" + path + "\"", folder.File("ready")) {}
};
FileHeldElsewhere::FileHeldElsewhere(const AnsiString& path) : impl_(new Impl(path)) {}
FileHeldElsewhere::~FileHeldElsewhere() = default;

}  // namespace zinnow::test
