#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zinnow {

// The 40-byte info header of a device-independent bitmap, field by field.
struct BitmapInfoHeader {
  std::uint32_t size = 40;
  std::int32_t width = 0;
  std::int32_t height = 0;  // positive: bottom row first
  std::uint16_t planes = 1;
  std::uint16_t bitCount = 0;
  std::uint32_t compression = 0;  // 0 none, 3 bit-field masks
  std::uint32_t sizeImage = 0;
  std::int32_t xPelsPerMeter = 0;
  std::int32_t yPelsPerMeter = 0;
  std::uint32_t clrUsed = 0;
  std::uint32_t clrImportant = 0;
};

inline constexpr std::uint32_t kBiBitfields = 3;

// One colour-table entry as files store it.
struct RgbQuad {
  std::uint8_t blue = 0;
  std::uint8_t green = 0;
  std::uint8_t red = 0;
  std::uint8_t reserved = 0;
  friend bool operator==(const RgbQuad&, const RgbQuad&) = default;
};

// One palette entry as the graphics system keeps it.
struct PaletteEntry {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t flags = 0;
};

// A plain description of a device-independent image: what a bitmap file is written from.
// The pixel rows are not copied: they stay where the image keeps them.
struct DibImage {
  BitmapInfoHeader header;
  std::uint32_t masks[3] = {0, 0, 0};  // red, green, blue; used with bit-field compression
  std::vector<RgbQuad> colors;
  const std::uint8_t* pixels = nullptr;
  std::size_t pixelBytes = 0;
};

// Bytes of one row, padded to whole 32-bit words.
inline std::size_t DibStride(std::int32_t width, int bitsPerPixel) {
  return ((static_cast<std::size_t>(width < 0 ? -std::int64_t{width} : width) * bitsPerPixel + 31) /
          32) *
         4;
}

inline std::size_t DibPixelBytes(const BitmapInfoHeader& header) {
  const std::int64_t rows = header.height < 0 ? -std::int64_t{header.height} : header.height;
  return DibStride(header.width, header.bitCount) * static_cast<std::size_t>(rows);
}

// Palette entries (red, green, blue, flags) as a colour table (blue, green, red, 0), at most 256.
std::vector<RgbQuad> ColorTableFromPalette(const std::vector<PaletteEntry>& palette);

}  // namespace zinnow
