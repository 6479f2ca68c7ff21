#include "platform/win32/dib_section_win32.h"

#include <cstring>
#include <utility>

#include "platform/win32/out_of_resources_win32.h"

namespace zinnow::win32 {
namespace {

// Whether a section made with `a` can serve where one made with `b` is asked for: the same
// size and pixel layout, and no colour table (a table is part of what a section is made with).
bool SameSectionForm(const BitmapInfo& a, const BitmapInfo& b) {
  const BITMAPINFOHEADER& x = a.header;
  const BITMAPINFOHEADER& y = b.header;
  if (x.biBitCount <= 8 || x.biWidth != y.biWidth || x.biHeight != y.biHeight ||
      x.biBitCount != y.biBitCount || x.biCompression != y.biCompression) {
    return false;
  }
  return x.biCompression != BI_BITFIELDS || std::memcmp(a.colors, b.colors, 12) == 0;
}

// The image of the picture released last, kept for the next picture of the same form; a
// picture of another form replaces it.
class SpareSection {
 public:
  static SpareSection& Instance() {
    static SpareSection spare;
    return spare;
  }

  DibSection Take(HDC screen, const BitmapInfo& form) {
    if (kept_.bitmap && SameSectionForm(kept_.madeWith, form)) {
      DibSection taken = std::move(kept_);
      taken.madeWith = form;  // the same layout; the rest of the header is the new picture's
      return taken;
    }
    if (form.header.biBitCount > 8) kept_ = DibSection();  // another form: the kept one goes first
    DibSection made;
    made.madeWith = form;
    BitmapInfo info = form;
    made.bitmap.Reset(
        CreateDIBSection(screen, info.Get(), DIB_RGB_COLORS, &made.pixels, nullptr, 0));
    if (!made.bitmap || made.pixels == nullptr) ThrowOutOfResources();
    return made;
  }

  void Keep(DibSection section) {
    if (!section.bitmap || section.madeWith.header.biBitCount <= 8) return;
    kept_ = std::move(section);
  }

 private:
  DibSection kept_;
};

}  // namespace

LentSection::LentSection(HDC screen, const BitmapInfo& form)
    : section_(SpareSection::Instance().Take(screen, form)) {}

LentSection::~LentSection() {
  SpareSection::Instance().Keep(std::move(section_));
}

}  // namespace zinnow::win32
