#include "platform/win32/peers_win32.h"
#include "platform/win32/windows_backend.h"

namespace zinnow::win32 {

std::wstring Wide(const AnsiString& text, UINT codePage) {
  if (text.empty()) return std::wstring();
  const int n =
      MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::wstring WideText(const ShownText& text) {
  std::wstring wide;
  for (const ShownText::Part& part : text.Parts()) {
    wide += Wide(part.bytes, part.fixed ? kFixedTextCodePage : CP_ACP);
  }
  return wide;
}

AnsiString WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return AnsiString();
  AnsiString text(static_cast<std::size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return text;
}

}  // namespace zinnow::win32
