#pragma once

// The device-independent sections pictures are kept in, and the one kept for the next picture.
#include <windows.h>

#include "platform/win32/handles.h"

namespace zinnow::win32 {

// A header with room for a full colour table (or the three masks that take its place).
struct BitmapInfo {
  BITMAPINFOHEADER header{};
  RGBQUAD colors[256]{};
  BITMAPINFO* Get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

// A device-independent section: the bitmap, the header it was made with, and its pixels. The
// header is kept because Wine reports bit-field compression for every 16-bit section, so the
// section's own description would not say what was asked for.
struct DibSection {
  UniqueBitmap bitmap;
  BitmapInfo madeWith;
  void* pixels = nullptr;
};

// A section made with `form`, lent to one picture: the image of the picture released last when
// that has the same size and pixel layout and no colour table, otherwise a new one. The pages of
// a new screen-sized image fault in one by one on first touch, which costs more than the copy
// into it; pictures of one size follow each other, so the next one finds its memory ready. When
// the picture goes, its section is kept for the next one (one at most; one with a colour table
// is not kept). Fails with EOutOfResources.
class LentSection {
 public:
  LentSection(HDC screen, const BitmapInfo& form);
  ~LentSection();
  LentSection(const LentSection&) = delete;
  LentSection& operator=(const LentSection&) = delete;

  const DibSection& Get() const { return section_; }

 private:
  DibSection section_;
};

}  // namespace zinnow::win32
