#include <windows.h>

#include "platform/clipboard.h"
#include "platform/win32/windows_backend.h"
#include "platform/win32/wine_handover_win32.h"

namespace zinnow::clipboard {

bool HasFormat(ClipboardFormat format) {
  return IsClipboardFormatAvailable(format) != FALSE;
}

ClipboardFormat PngFormat() {
  static const ClipboardFormat png = RegisterClipboardFormatA("PNG");
  return png;
}

std::uint32_t SequenceNumber() {
  return GetClipboardSequenceNumber();
}

bool TryOpen() {
  return OpenClipboard(win32::ClipboardWindow()) != FALSE;
}

void Close() {
  CloseClipboard();
}

ClipboardFormat NextFormat(ClipboardFormat previous) {
  return EnumClipboardFormats(previous);
}

ClipboardHandle Data(ClipboardFormat format) {
  // Wine keeps the block another program's picture arrived in: taken back there.
  return win32::ClipboardDataReclaimed(format);
}

void Empty() {
  EmptyClipboard();
}

}  // namespace zinnow::clipboard
