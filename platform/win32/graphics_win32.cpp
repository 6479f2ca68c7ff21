#include <windows.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/exceptions.h"
#include "platform/graphics.h"
#include "platform/messages.h"
#include "platform/packed_dib.h"
#include "platform/win32/dib_section_win32.h"
#include "platform/win32/handles.h"
#include "platform/win32/out_of_resources_win32.h"
#include "platform/win32/png_win32.h"
#include "platform/win32/scope_exit.h"
#include "platform/win32/windows_backend.h"

namespace zinnow {
namespace {

using win32::BitmapInfo;
using win32::DibSection;
using win32::LentSection;
using win32::LockedGlobal;
using win32::PaletteSelection;
using win32::Required;
using win32::ScopeExit;
using win32::Selection;
using win32::ThrowOutOfResources;
using win32::UniqueBitmap;
using win32::UniqueMemoryDc;
using win32::UniquePalette;
using win32::WindowDc;

int DisplayDepth(HDC screen) {
  return GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
}

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

// A bitmap to copy from, with the palette its colour indices are read with.
struct Source {
  HBITMAP bitmap = nullptr;
  HPALETTE palette = nullptr;
  DIBSECTION described{};  // a device bitmap fills only the BITMAP part

  bool IsSection() const { return described.dsBm.bmBits != nullptr; }
  bool IsMonochrome() const {
    return described.dsBm.bmPlanes == 1 && described.dsBm.bmBitsPixel == 1;
  }
  int Depth() const { return described.dsBm.bmBitsPixel * described.dsBm.bmPlanes; }
  int Width() const { return described.dsBm.bmWidth; }
  int Height() const { return described.dsBm.bmHeight; }
};

// The header of a bitmap of this size and depth without masks or colour table, bottom row first.
BitmapInfo PlainForm(int width, int height, int depth) {
  BitmapInfo form;
  form.header.biSize = sizeof(BITMAPINFOHEADER);
  form.header.biWidth = width;
  form.header.biHeight = height;
  form.header.biPlanes = 1;
  form.header.biBitCount = static_cast<WORD>(depth);
  form.header.biCompression = BI_RGB;
  return form;
}

// The masks of a bit-field section into `form`; the usual ones of its depth when it names none.
void CopyMasks(const DIBSECTION& described, BitmapInfo& form) {
  DWORD masks[3] = {described.dsBitfields[0], described.dsBitfields[1], described.dsBitfields[2]};
  if (masks[0] == 0 && masks[1] == 0 && masks[2] == 0) {
    const DWORD at16[3] = {0xF800, 0x07E0, 0x001F};
    const DWORD at32[3] = {0xFF0000, 0xFF00, 0xFF};
    std::copy_n(described.dsBmih.biBitCount == 16 ? at16 : at32, 3, masks);
  }
  std::memcpy(form.colors, masks, sizeof(masks));
}

// The colour table a bitmap of 8 bits or fewer has itself: a section's own, or what the system
// gives for a device bitmap in the form `form` asks for.
std::vector<RgbQuad> OwnColorTable(const Source& source, const BitmapInfo& form, HDC dc) {
  if (source.IsSection()) return SectionColorTable(dc, source.bitmap);
  BitmapInfo query = form;
  GetDIBits(dc, source.bitmap, 0, 0, nullptr, query.Get(), DIB_RGB_COLORS);
  const auto* colors = reinterpret_cast<const RgbQuad*>(query.colors);
  return std::vector<RgbQuad>(colors, colors + 256);
}

// The form of the section a picture is kept in. A section source keeps its own header; a device
// bitmap is kept at `deviceDepth` bits. At 8 bits or fewer the colour table is black and white
// for a monochrome device bitmap, else the clipboard palette's, else the source's own. `dc` is a
// drawing context of the display's, to read the source's own table with.
BitmapInfo SectionForm(const Source& source, int deviceDepth,
                       const std::vector<PaletteEntry>& palette, HDC dc) {
  BitmapInfo form;
  if (source.IsSection()) {
    form.header = source.described.dsBmih;
    form.header.biSize = sizeof(BITMAPINFOHEADER);
    form.header.biPlanes = 1;
  } else {
    form = PlainForm(source.Width(), source.Height(), deviceDepth);
  }
  const BITMAPINFOHEADER& h = form.header;
  if (h.biBitCount > 8) {
    if (h.biCompression == BI_BITFIELDS) CopyMasks(source.described, form);
    return form;
  }
  std::vector<RgbQuad> table;
  if (!source.IsSection() && h.biBitCount == 1) {
    table = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  } else {
    table = ColorTableFromPalette(palette);
    if (table.empty()) table = OwnColorTable(source, form, dc);
  }
  std::copy(table.begin(), table.end(), reinterpret_cast<RgbQuad*>(form.colors));
  return form;
}

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

// Reads every row of `source` into `pixels` in the format `info` describes, through the
// system's conversion; fails when Windows reads fewer. The caller realises the palette the
// source's colour indices mean.
void ReadAllRows(HDC screen, HBITMAP source, int rows, void* pixels, const BitmapInfo& info) {
  BitmapInfo query = info;
  if (GetDIBits(screen, source, 0, static_cast<UINT>(rows), pixels, query.Get(), DIB_RGB_COLORS) !=
      rows) {
    ThrowOutOfResources();
  }
}

// Whether `source` is drawn onto a section of `form` as it is rather than read through the
// system's conversion: a section with a colour table takes the source's colours with the palettes
// realised, and a 32-bit section takes a device bitmap of a 32-bit display as it is (the direct
// path of such a display).
bool DrawnAsItIs(const Source& source, const BitmapInfo& form) {
  const int bits = form.header.biBitCount;
  return bits <= 8 || (bits == 32 && !source.IsSection() && source.Depth() == 32);
}

// Fills the whole of `section` from `source`.
void FillSection(HDC screen, const Source& source, const DibSection& section,
                 HPALETTE sectionPalette) {
  const BITMAPINFOHEADER& h = section.madeWith.header;
  const int rows = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  if (DrawnAsItIs(source, section.madeWith)) {
    CopyWhole(screen, source.bitmap, source.palette, section.bitmap.Get(), sectionPalette,
              h.biWidth, rows);
  } else {
    PaletteSelection palette(screen, source.palette);
    ReadAllRows(screen, source.bitmap, rows, section.pixels, section.madeWith);
  }
}

// A copy of a device bitmap at the display's depth; a monochrome one stays monochrome. A device
// bitmap of another depth (an 8-bit one on a 16-bit display) cannot be selected into a drawing
// context of the display, so its rows are read through the system's conversion to 32 bits and
// written into the copy.
UniqueBitmap CopyAtDisplayDepth(HDC screen, const Source& source, HPALETTE copyPalette,
                                int displayDepth) {
  const int width = source.Width(), height = source.Height();
  UniqueBitmap copy(Required(source.IsMonochrome()
                                 ? CreateBitmap(width, height, 1, 1, nullptr)
                                 : CreateCompatibleBitmap(screen, width, height)));
  if (source.Depth() == displayDepth || source.IsMonochrome()) {
    CopyWhole(screen, source.bitmap, source.palette, copy.Get(), copyPalette, width, height);
    return copy;
  }
  const BitmapInfo info = PlainForm(width, height, 32);
  PaletteSelection palette(screen, source.palette);
  std::vector<std::uint32_t> rows(static_cast<std::size_t>(width) * height);
  ReadAllRows(screen, source.bitmap, height, rows.data(), info);
  BitmapInfo write = info;
  if (SetDIBits(screen, copy.Get(), 0, static_cast<UINT>(height), rows.data(), write.Get(),
                DIB_RGB_COLORS) != height) {
    ThrowOutOfResources();
  }
  return copy;
}

// The plain description of a section's image, its colour table read with `dc`.
DibImage DescribeSection(const DibSection& section, const std::vector<PaletteEntry>& palette,
                         HDC dc) {
  DibImage image;
  const BITMAPINFOHEADER& h = section.madeWith.header;
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
  if (h.biCompression == BI_BITFIELDS) std::memcpy(image.masks, section.madeWith.colors, 12);
  image.colors = SectionColorTable(dc, section.bitmap.Get());
  if (image.colors.empty()) image.colors = ColorTableFromPalette(palette);
  image.pixels = static_cast<const std::uint8_t*>(section.pixels);
  image.pixelBytes = DibPixelBytes(image.header);
  return image;
}

}  // namespace

// The picture is held in one of two ways: copied straight into the device-independent section
// the file is written from, or as a copy of a device bitmap at the display's depth from which
// the section is made when the file is written.
struct TBitmap::Impl {
  std::vector<PaletteEntry> paletteEntries;
  UniquePalette palette;  // our copy of the clipboard's palette, null when there was none
  UniqueBitmap copy;      // null when the picture went straight into the section
  DIBSECTION copyDescribed{};
  std::optional<LentSection> section;
  std::optional<DibImage> dib;  // the section described, once the file asks for it

  Source Copy() const { return {copy.Get(), palette.Get(), copyDescribed}; }

  // The section is the picture's once it is filled; one that could not be filled goes back, so
  // that a later call makes it anew.
  void MakeSection(HDC screen, const Source& source, int deviceDepth, HDC dc) {
    section.emplace(screen, SectionForm(source, deviceDepth, paletteEntries, dc));
    ScopeExit unfilled([&] { section.reset(); });
    FillSection(screen, source, section->Get(), palette.Get());
    unfilled.Dismiss();
  }
};

TBitmap::TBitmap(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TBitmap::~TBitmap() = default;

std::unique_ptr<TBitmap> TBitmap::FromClipboard(ClipboardHandle bitmap, ClipboardHandle palette) {
  if (bitmap == nullptr) throw EInvalidGraphic(messages::kUnsupportedClipboardData);
  Source source;
  source.bitmap = static_cast<HBITMAP>(bitmap);
  source.palette = static_cast<HPALETTE>(palette);
  if (GetObjectA(source.bitmap, sizeof(source.described), &source.described) <
      static_cast<int>(sizeof(BITMAP))) {
    throw EInvalidGraphic(messages::kInvalidBitmapImage);
  }

  auto impl = std::make_unique<Impl>();
  impl->paletteEntries = ReadPalette(source.palette);
  impl->palette = MakePalette(impl->paletteEntries);

  WindowDc screen(nullptr);
  if (!screen) ThrowOutOfResources();
  const int displayDepth = DisplayDepth(screen.Get());
  // A section source is copied into a section of its own form. On a 32-bit display the copy of a
  // device bitmap at the display's depth is made straight into the device-independent image the
  // file is written from as well: the same pixels, one copy fewer.
  if (source.IsSection() || (!source.IsMonochrome() && displayDepth == 32)) {
    UniqueMemoryDc dc(Required(CreateCompatibleDC(screen.Get())));
    impl->MakeSection(screen.Get(), source, displayDepth, dc.Get());
  } else {
    impl->copy = CopyAtDisplayDepth(screen.Get(), source, impl->palette.Get(), displayDepth);
    if (GetObjectA(impl->copy.Get(), sizeof(BITMAP), &impl->copyDescribed.dsBm) == 0) {
      ThrowOutOfResources();
    }
  }
  return std::unique_ptr<TBitmap>(new TBitmap(std::move(impl)));
}

// The bitmap the system builds from a device-independent one is a device bitmap at the display's
// depth; the image the file is written from is that bitmap drawn into a section of the same
// depth, without masks or colour table. Drawing the device-independent rows straight into such
// a section goes through the same conversion, and gives the same image, on a display of 16 or
// 32 bits; on a palette display, where colours are matched to the system palette, it might not.
std::unique_ptr<TBitmap> TBitmap::FromClipboardDib(ClipboardHandle dib, ClipboardHandle palette) {
  WindowDc screen(nullptr);
  if (!screen) ThrowOutOfResources();
  const int displayDepth = DisplayDepth(screen.Get());
  if (displayDepth != 16 && displayDepth != 32) return nullptr;
  const LockedGlobal memory(static_cast<HGLOBAL>(dib));
  const std::optional<PackedDib> form = ReadPackedDib(memory.Bytes(), memory.Size());
  if (!form) return nullptr;

  auto impl = std::make_unique<Impl>();
  impl->paletteEntries = ReadPalette(static_cast<HPALETTE>(palette));
  impl->palette = MakePalette(impl->paletteEntries);
  const int width = form->header.width;
  const int rows = form->header.height < 0 ? -form->header.height : form->header.height;
  impl->section.emplace(screen.Get(), PlainForm(width, rows, displayDepth));
  const auto* info = reinterpret_cast<const BITMAPINFO*>(memory.Bytes());
  if (SetDIBits(screen.Get(), impl->section->Get().bitmap.Get(), 0, static_cast<UINT>(rows),
                memory.Bytes() + form->pixelsAt, info, DIB_RGB_COLORS) != rows) {
    ThrowOutOfResources();
  }
  return std::unique_ptr<TBitmap>(new TBitmap(std::move(impl)));
}

// The decoded picture becomes a device bitmap at the display's depth, as a program that copies a
// picture puts it, and is copied from there the way such a bitmap is.
std::unique_ptr<TBitmap> TBitmap::FromClipboardPng(ClipboardHandle png) {
  if (png == nullptr) throw EInvalidGraphic(messages::kUnsupportedClipboardData);
  win32::DecodedPicture picture;
  {
    const LockedGlobal memory(static_cast<HGLOBAL>(png));
    picture = win32::DecodePng(memory.Bytes(), memory.Size());
  }
  WindowDc screen(nullptr);
  if (!screen) ThrowOutOfResources();
  BitmapInfo rows = PlainForm(picture.width, -picture.height, 32);
  const UniqueBitmap bitmap(Required(CreateDIBitmap(
      screen.Get(), &rows.header, CBM_INIT, picture.pixels.data(), rows.Get(), DIB_RGB_COLORS)));
  return FromClipboard(bitmap.Get(), nullptr);
}

const DibImage& TBitmap::DeviceIndependentImage() {
  Impl& m = *impl_;
  if (m.dib) return *m.dib;
  UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  if (!dc) throw EInvalidOperation(messages::kCannotDrawOnCanvas);
  if (!m.section) {
    WindowDc screen(nullptr);
    if (!screen) ThrowOutOfResources();
    const Source copy = m.Copy();
    m.MakeSection(screen.Get(), copy, copy.Depth(), dc.Get());
  }
  m.dib = DescribeSection(m.section->Get(), m.paletteEntries, dc.Get());
  return *m.dib;
}

}  // namespace zinnow
