#include <optional>

#include "platform/exceptions.h"
#include "platform/graphics.h"
#include "platform/headless/headless.h"
#include "platform/messages.h"

namespace zinnow {

// The headless display is 32 bits deep: a copy is made at that depth, a monochrome source
// stays monochrome.
struct TBitmap::Impl {
  headless::Picture held;
  std::vector<PaletteEntry> palette;
  std::optional<DibImage> dib;
  std::vector<std::uint8_t> dibPixels;
};

TBitmap::TBitmap(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TBitmap::~TBitmap() = default;

std::unique_ptr<TBitmap> TBitmap::FromClipboard(ClipboardHandle bitmap, ClipboardHandle palette) {
  if (bitmap == nullptr) throw EInvalidGraphic(messages::kUnsupportedClipboardData);
  const auto& source = *static_cast<const headless::Picture*>(bitmap);
  if (source.width <= 0 || source.height <= 0 ||
      source.pixels.size() != static_cast<std::size_t>(source.width) * source.height) {
    throw EInvalidGraphic(messages::kInvalidBitmapImage);
  }
  auto impl = std::make_unique<Impl>();
  impl->held = source;
  if (source.bitsPerPixel != 1) {
    impl->held.bitsPerPixel = 32;
    for (std::uint32_t& p : impl->held.pixels) p &= 0x00FFFFFF;
  }
  if (palette != nullptr) {
    const auto& entries = *static_cast<const std::vector<PaletteEntry>*>(palette);
    impl->palette.assign(entries.begin(),
                         entries.begin() + std::min<std::size_t>(entries.size(), 256));
  }
  return std::unique_ptr<TBitmap>(new TBitmap(std::move(impl)));
}

// The headless display is 32 bits deep: a device-independent bitmap of 32 bits is copied as it
// is, any other is left to the bitmap the clipboard makes of it.
std::unique_ptr<TBitmap> TBitmap::FromClipboardDib(ClipboardHandle dib, ClipboardHandle palette) {
  if (dib == nullptr || static_cast<const headless::Picture*>(dib)->bitsPerPixel != 32) {
    return nullptr;
  }
  return FromClipboard(dib, palette);
}

std::unique_ptr<TBitmap> TBitmap::FromClipboardPng(ClipboardHandle png) {
  if (png == nullptr) throw EInvalidGraphic(messages::kUnsupportedClipboardData);
  const auto& decoded = *static_cast<const headless::Picture*>(png);
  if (decoded.pixels.empty()) throw EInvalidGraphic(messages::kInvalidBitmapImage);
  return FromClipboard(png, nullptr);  // the alpha goes as a bitmap's fourth byte does
}

const DibImage& TBitmap::DeviceIndependentImage() {
  Impl& m = *impl_;
  if (m.dib) return *m.dib;
  DibImage image;
  image.header.width = m.held.width;
  image.header.height = m.held.height;
  image.header.bitCount = static_cast<std::uint16_t>(m.held.bitsPerPixel);
  if (m.held.bitsPerPixel == 1) {
    image.colors = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  } else {
    image.colors = ColorTableFromPalette(m.palette);
  }
  const std::size_t stride = DibStride(m.held.width, m.held.bitsPerPixel);
  m.dibPixels.assign(stride * m.held.height, 0);
  for (int y = 0; y < m.held.height; ++y) {
    std::uint8_t* row = m.dibPixels.data() + stride * (m.held.height - 1 - y);  // bottom-up
    for (int x = 0; x < m.held.width; ++x) {
      const std::uint32_t p = m.held.pixels[static_cast<std::size_t>(y) * m.held.width + x];
      if (m.held.bitsPerPixel == 1) {
        if (p != 0) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      } else {
        row[x * 4 + 0] = static_cast<std::uint8_t>(p);
        row[x * 4 + 1] = static_cast<std::uint8_t>(p >> 8);
        row[x * 4 + 2] = static_cast<std::uint8_t>(p >> 16);
      }
    }
  }
  image.pixels = m.dibPixels.data();
  image.pixelBytes = m.dibPixels.size();
  m.dib = std::move(image);
  return *m.dib;
}

struct TMetafile::Impl {
  std::vector<std::uint8_t> bytes;
};

TMetafile::TMetafile(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TMetafile::~TMetafile() = default;

std::unique_ptr<TMetafile> TMetafile::FromClipboard(ClipboardHandle enhancedMetafile) {
  if (enhancedMetafile == nullptr) throw EInvalidGraphic(messages::kUnsupportedClipboardData);
  auto impl = std::make_unique<Impl>();
  impl->bytes = *static_cast<const std::vector<std::uint8_t>*>(enhancedMetafile);
  return std::unique_ptr<TMetafile>(new TMetafile(std::move(impl)));
}

std::vector<std::uint8_t> TMetafile::Bytes() const {
  return impl_->bytes;
}

}  // namespace zinnow
