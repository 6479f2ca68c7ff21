#pragma once

#include <cstdint>

namespace zinnow {

using ClipboardFormat = unsigned;
using ClipboardHandle = void*;

inline constexpr ClipboardFormat kCfText = 1;
inline constexpr ClipboardFormat kCfBitmap = 2;
inline constexpr ClipboardFormat kCfMetafilePict = 3;
inline constexpr ClipboardFormat kCfDib = 8;
inline constexpr ClipboardFormat kCfPalette = 9;
inline constexpr ClipboardFormat kCfEnhMetafile = 14;

// The desktop's clipboard, shared with every other program (backend).
namespace clipboard {

// Whether the format is on the clipboard (a bitmap too when only a device-independent one is:
// the system converts on demand). Does not open the clipboard.
bool HasFormat(ClipboardFormat format);

// The format "PNG", registered by name, that some programs put a picture in (Wine's bridge to
// the X11 clipboard turns an image/png into it).
ClipboardFormat PngFormat();

// Changes with every change of the clipboard's content.
std::uint32_t SequenceNumber();

// One attempt to open the clipboard for the program's window.
bool TryOpen();
void Close();

// While open: the formats in the clipboard's own order, then 0.
ClipboardFormat NextFormat(ClipboardFormat previous);
// While open: the data of a format, null when absent.
ClipboardHandle Data(ClipboardFormat format);
// While open: removes everything.
void Empty();

}  // namespace clipboard

// The clipboard open for the program's window for the life of this object. Another program may
// hold it for a moment (on Wine, its clipboard manager does whenever the X11 clipboard
// changes), so the open is tried a few times, a few milliseconds apart.
class ScopedClipboard {
 public:
  static constexpr int kTries = 5;
  static constexpr int kPauseMs = 5;

  ScopedClipboard();
  ~ScopedClipboard();
  ScopedClipboard(const ScopedClipboard&) = delete;
  ScopedClipboard& operator=(const ScopedClipboard&) = delete;

  bool IsOpen() const { return open_; }

 private:
  bool open_ = false;
};

}  // namespace zinnow
