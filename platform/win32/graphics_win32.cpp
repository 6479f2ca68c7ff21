#include <windows.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/exceptions.h"
#include "platform/graphics.h"
#include "platform/messages.h"
#include "platform/win32/handles.h"
#include "platform/win32/windows_backend.h"

namespace zinnow {
namespace {

using win32::PaletteSelection;
using win32::Selection;
using win32::UniqueBitmap;
using win32::UniqueMemoryDc;
using win32::UniquePalette;
using win32::WindowDc;

[[noreturn]] void ThrowOutOfResources() {
  throw EOutOfResources(win32::SystemErrorText(GetLastError()));
}

template <typename T>
T Required(T object) {
  if (!object) ThrowOutOfResources();
  return object;
}

// A header with room for a full colour table (or the three masks that take its place).
struct BitmapInfo {
  BITMAPINFOHEADER header{};
  RGBQUAD colors[256]{};
  BITMAPINFO* Get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

std::vector<PaletteEntry> ReadPalette(HPALETTE palette) {
  WORD count = 0;
  if (!palette || GetObjectA(palette, sizeof(count), &count) == 0 || count == 0) return {};
  std::vector<PALETTEENTRY> native(std::min<WORD>(count, 256));
  const UINT got = GetPaletteEntries(palette, 0, static_cast<UINT>(native.size()), native.data());
  native.resize(got);
  std::vector<PaletteEntry> entries;
  for (const PALETTEENTRY& e : native) entries.push_back({e.peRed, e.peGreen, e.peBlue, e.peFlags});
  return entries;
}

UniquePalette MakePalette(const std::vector<PaletteEntry>& entries) {
  if (entries.empty()) return UniquePalette();
  struct {
    WORD version = 0x300;
    WORD count = 0;
    PALETTEENTRY entries[256];
  } logical;
  logical.count = static_cast<WORD>(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    logical.entries[i] = {entries[i].red, entries[i].green, entries[i].blue, entries[i].flags};
  }
  return UniquePalette(Required(CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical))));
}

std::vector<RgbQuad> SectionColorTable(HDC dc, HBITMAP section) {
  Selection selected(dc, section);
  RGBQUAD table[256];
  const UINT count = selected.Succeeded() ? GetDIBColorTable(dc, 0, 256, table) : 0;
  std::vector<RgbQuad> colors;
  for (UINT i = 0; i < count; ++i) {
    colors.push_back({table[i].rgbBlue, table[i].rgbGreen, table[i].rgbRed, 0});
  }
  return colors;
}

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

// The image of the picture released last, kept for the next picture of the same form. The pages
// of a new screen-sized image fault in one by one on first touch, which costs more than the copy
// into it; pictures of one size follow each other, so the next one finds its memory ready. One
// image at most is kept; a picture of another form replaces it.
class SpareSection {
 public:
  static SpareSection& Instance() {
    static SpareSection spare;
    return spare;
  }

  // A section made with `info`: the kept one when it has that form, otherwise a new one (always
  // a new one for a colour table).
  UniqueBitmap Take(HDC screen, BitmapInfo& info, void** pixels) {
    if (section_ && SameSectionForm(madeWith_, info)) {
      DIBSECTION ds{};
      if (GetObjectA(section_.Get(), sizeof(ds), &ds) == sizeof(ds) && ds.dsBm.bmBits) {
        *pixels = ds.dsBm.bmBits;
        return std::move(section_);
      }
    }
    if (info.header.biBitCount > 8) section_.Reset();  // another form: the kept one goes first
    *pixels = nullptr;
    UniqueBitmap made(
        Required(CreateDIBSection(screen, info.Get(), DIB_RGB_COLORS, pixels, nullptr, 0)));
    if (*pixels == nullptr) ThrowOutOfResources();
    return made;
  }

  void Keep(UniqueBitmap section, const BitmapInfo& madeWith) {
    if (!section || madeWith.header.biBitCount <= 8) return;
    section_ = std::move(section);
    madeWith_ = madeWith;
  }

 private:
  UniqueBitmap section_;
  BitmapInfo madeWith_;
};

// Copies the whole of `source` onto `target`, a bitmap of the same size, palettes realised on
// both sides. A copy that Windows fails to draw fails the transfer: the file must never get
// pixels that are not the picture's (a white area, or an earlier picture's in a reused image).
void CopyWhole(HDC screen, HBITMAP source, HPALETTE sourcePalette, HBITMAP target,
               HPALETTE targetPalette, int width, int height) {
  UniqueMemoryDc sourceDc(Required(CreateCompatibleDC(screen)));
  UniqueMemoryDc targetDc(Required(CreateCompatibleDC(screen)));
  Selection sourceSelected(sourceDc.Get(), source);
  if (!sourceSelected.Succeeded()) ThrowOutOfResources();
  Selection targetSelected(targetDc.Get(), target);
  if (!targetSelected.Succeeded()) ThrowOutOfResources();
  PaletteSelection sourcePal(sourceDc.Get(), sourcePalette);
  PaletteSelection targetPal(targetDc.Get(), targetPalette);
  if (!BitBlt(targetDc.Get(), 0, 0, width, height, sourceDc.Get(), 0, 0, SRCCOPY)) {
    ThrowOutOfResources();
  }
}

// Reads every row of `source` into `pixels` in the format `info` describes; fails when Windows
// reads fewer.
void ReadAllRows(HDC screen, HBITMAP source, int rows, void* pixels, const BitmapInfo& info) {
  BitmapInfo query = info;
  if (GetDIBits(screen, source, 0, static_cast<UINT>(rows), pixels, query.Get(), DIB_RGB_COLORS) !=
      rows) {
    ThrowOutOfResources();
  }
}

// Copies a device bitmap onto `target`, a bitmap of the same size at the display's depth. A
// device bitmap of another depth (an 8-bit one on a 32-bit display) cannot be selected into a
// drawing context of the display, so its rows are read through the system's conversion to 32
// bits instead, into the target when it is a 32-bit image, else by way of a buffer.
void CopyToDisplayDepth(HDC screen, HBITMAP source, const BITMAP& described, HPALETTE sourcePalette,
                        HBITMAP target, HPALETTE targetPalette, void* targetPixels,
                        int displayDepth) {
  const int width = described.bmWidth, height = described.bmHeight;
  const int depth = described.bmBitsPixel * described.bmPlanes;
  if (depth == displayDepth || depth == 1) {
    CopyWhole(screen, source, sourcePalette, target, targetPalette, width, height);
    return;
  }
  BitmapInfo info;
  info.header = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  PaletteSelection palette(screen, sourcePalette);
  if (targetPixels != nullptr && displayDepth == 32) {
    ReadAllRows(screen, source, height, targetPixels, info);
    return;
  }
  std::vector<std::uint32_t> rows(static_cast<std::size_t>(width) * height);
  ReadAllRows(screen, source, height, rows.data(), info);
  if (SetDIBits(screen, target, 0, static_cast<UINT>(height), rows.data(), info.Get(),
                DIB_RGB_COLORS) != height) {
    ThrowOutOfResources();
  }
}

}  // namespace

struct TBitmap::Impl {
  UniqueBitmap held;
  BITMAP description{};
  bool heldIsSection = false;
  BitmapInfo heldMadeWith;
  std::vector<PaletteEntry> paletteEntries;
  UniquePalette palette;
  // The device-independent image: for a section source the held image itself.
  UniqueBitmap section;
  std::optional<DibImage> dib;

  BitmapInfo sectionMadeWith;

  ~Impl() {
    if (heldIsSection) SpareSection::Instance().Keep(std::move(held), heldMadeWith);
    SpareSection::Instance().Keep(std::move(section), sectionMadeWith);
  }

  // The header and masks the section was made with: Wine reports bit-field compression for
  // every 16-bit section, so its own description would not say what was asked for.
  void DescribeSection(HBITMAP sectionBitmap, const BitmapInfo& madeWith);
};

void TBitmap::Impl::DescribeSection(HBITMAP sectionBitmap, const BitmapInfo& madeWith) {
  DIBSECTION ds{};
  if (GetObjectA(sectionBitmap, sizeof(ds), &ds) != sizeof(ds)) ThrowOutOfResources();
  DibImage image;
  const BITMAPINFOHEADER& h = madeWith.header;
  image.header = {40,
                  h.biWidth,
                  h.biHeight,
                  1,
                  h.biBitCount,
                  h.biCompression,
                  h.biSizeImage,
                  h.biXPelsPerMeter,
                  h.biYPelsPerMeter,
                  h.biClrUsed,
                  h.biClrImportant};
  if (h.biCompression == BI_BITFIELDS) std::memcpy(image.masks, madeWith.colors, 12);
  UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  if (!dc) throw EInvalidOperation(messages::kCannotDrawOnCanvas);
  image.colors = SectionColorTable(dc.Get(), sectionBitmap);
  if (image.colors.empty()) image.colors = ColorTableFromPalette(paletteEntries);
  image.pixels = static_cast<const std::uint8_t*>(ds.dsBm.bmBits);
  image.pixelBytes = DibPixelBytes(image.header);
  dib = std::move(image);
}

TBitmap::TBitmap(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TBitmap::~TBitmap() = default;

std::unique_ptr<TBitmap> TBitmap::FromClipboard(ClipboardHandle bitmap, ClipboardHandle palette) {
  if (bitmap == nullptr) throw EInvalidGraphic(messages::kUnsupportedClipboardData);
  const auto source = static_cast<HBITMAP>(bitmap);
  DIBSECTION ds{};
  if (GetObjectA(source, sizeof(ds), &ds) < static_cast<int>(sizeof(BITMAP))) {
    throw EInvalidGraphic(messages::kInvalidBitmapImage);
  }
  const bool sourceIsSection = ds.dsBm.bmBits != nullptr;
  const int width = ds.dsBm.bmWidth;
  const int height = ds.dsBm.bmHeight;

  auto impl = std::make_unique<Impl>();
  const auto clipboardPalette = static_cast<HPALETTE>(palette);
  impl->paletteEntries = ReadPalette(clipboardPalette);
  impl->palette = MakePalette(impl->paletteEntries);

  WindowDc screen(nullptr);
  if (!screen) ThrowOutOfResources();

  const bool monochrome = ds.dsBm.bmPlanes == 1 && ds.dsBm.bmBitsPixel == 1;
  const int displayDepth =
      GetDeviceCaps(screen.Get(), BITSPIXEL) * GetDeviceCaps(screen.Get(), PLANES);
  if (!sourceIsSection && !monochrome && displayDepth == 32) {
    // On a 32-bit display the copy at the display's depth is made straight into the
    // device-independent image the file is written from: the same pixels, one copy fewer.
    BitmapInfo info;
    info.header = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pixels = nullptr;
    impl->held = SpareSection::Instance().Take(screen.Get(), info, &pixels);
    CopyToDisplayDepth(screen.Get(), source, ds.dsBm, clipboardPalette, impl->held.Get(),
                       impl->palette.Get(), pixels, displayDepth);
    impl->heldIsSection = true;
    impl->heldMadeWith = info;
  } else if (!sourceIsSection) {
    impl->held.Reset(Required(monochrome ? CreateBitmap(width, height, 1, 1, nullptr)
                                         : CreateCompatibleBitmap(screen.Get(), width, height)));
    CopyToDisplayDepth(screen.Get(), source, ds.dsBm, clipboardPalette, impl->held.Get(),
                       impl->palette.Get(), nullptr, displayDepth);
  } else {
    BitmapInfo info;
    const BITMAPINFOHEADER& h = ds.dsBmih;
    info.header = h;
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biPlanes = 1;
    const int bits = h.biBitCount;
    if (bits <= 8) {
      std::vector<RgbQuad> table = ColorTableFromPalette(impl->paletteEntries);
      if (table.empty()) {
        UniqueMemoryDc dc(Required(CreateCompatibleDC(screen.Get())));
        table = SectionColorTable(dc.Get(), source);
      }
      std::copy(table.begin(), table.end(), reinterpret_cast<RgbQuad*>(info.colors));
    } else if (h.biCompression == BI_BITFIELDS) {
      DWORD masks[3] = {ds.dsBitfields[0], ds.dsBitfields[1], ds.dsBitfields[2]};
      if (masks[0] == 0 && masks[1] == 0 && masks[2] == 0) {
        const DWORD at16[3] = {0xF800, 0x07E0, 0x001F};
        const DWORD at32[3] = {0xFF0000, 0xFF00, 0xFF};
        std::copy_n(bits == 16 ? at16 : at32, 3, masks);
      }
      std::memcpy(info.colors, masks, sizeof(masks));
    }
    void* pixels = nullptr;
    impl->held = SpareSection::Instance().Take(screen.Get(), info, &pixels);
    const int rows = height < 0 ? -height : height;
    if (bits > 8) {
      ReadAllRows(screen.Get(), source, rows, pixels, info);
    } else {
      CopyWhole(screen.Get(), source, clipboardPalette, impl->held.Get(), impl->palette.Get(),
                width, rows);
    }
    impl->heldIsSection = true;
    impl->heldMadeWith = info;
  }
  if (GetObjectA(impl->held.Get(), sizeof(impl->description), &impl->description) == 0) {
    ThrowOutOfResources();
  }
  return std::unique_ptr<TBitmap>(new TBitmap(std::move(impl)));
}

int TBitmap::Width() const {
  return impl_->description.bmWidth;
}
int TBitmap::Height() const {
  return impl_->description.bmHeight;
}
int TBitmap::Depth() const {
  return impl_->description.bmBitsPixel * impl_->description.bmPlanes;
}

const DibImage& TBitmap::DeviceIndependentImage() {
  Impl& m = *impl_;
  if (m.dib) return *m.dib;
  if (m.heldIsSection) {
    m.DescribeSection(m.held.Get(), m.heldMadeWith);
    return *m.dib;
  }

  const int width = m.description.bmWidth;
  const int height = m.description.bmHeight;
  const int depth = Depth();
  BitmapInfo info;
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = height;
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(depth);

  WindowDc screen(nullptr);
  if (!screen) ThrowOutOfResources();
  if (depth <= 8) {
    std::vector<RgbQuad> table;
    if (depth == 1) {
      table = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    } else {
      table = ColorTableFromPalette(m.paletteEntries);
    }
    if (table.empty()) {
      UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
      if (!dc) throw EInvalidOperation(messages::kCannotDrawOnCanvas);
      BitmapInfo query = info;
      GetDIBits(dc.Get(), m.held.Get(), 0, 0, nullptr, query.Get(), DIB_RGB_COLORS);
      std::copy_n(query.colors, 256, info.colors);
    } else {
      std::copy(table.begin(), table.end(), reinterpret_cast<RgbQuad*>(info.colors));
    }
  }
  void* pixels = nullptr;
  m.section = SpareSection::Instance().Take(screen.Get(), info, &pixels);
  m.sectionMadeWith = info;
  if (depth > 8) {
    ReadAllRows(screen.Get(), m.held.Get(), height, pixels, info);
  } else {
    CopyWhole(screen.Get(), m.held.Get(), m.palette.Get(), m.section.Get(), m.palette.Get(), width,
              height);
  }
  m.DescribeSection(m.section.Get(), info);
  return *m.dib;
}

struct TMetafile::Impl {
  win32::UniqueEnhMetafile copy;
};

TMetafile::TMetafile(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TMetafile::~TMetafile() = default;

std::unique_ptr<TMetafile> TMetafile::FromClipboard(ClipboardHandle enhancedMetafile) {
  if (enhancedMetafile == nullptr) throw EInvalidGraphic(messages::kUnsupportedClipboardData);
  auto impl = std::make_unique<Impl>();
  impl->copy.Reset(
      Required(CopyEnhMetaFileA(static_cast<HENHMETAFILE>(enhancedMetafile), nullptr)));
  return std::unique_ptr<TMetafile>(new TMetafile(std::move(impl)));
}

std::vector<std::uint8_t> TMetafile::Bytes() const {
  const UINT size = GetEnhMetaFileBits(impl_->copy.Get(), 0, nullptr);
  if (size == 0) ThrowOutOfResources();
  std::vector<std::uint8_t> bytes(size);
  if (GetEnhMetaFileBits(impl_->copy.Get(), size, bytes.data()) != size) ThrowOutOfResources();
  return bytes;
}

}  // namespace zinnow
