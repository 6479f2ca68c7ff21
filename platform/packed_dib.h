#pragma once

// A device-independent bitmap as the clipboard carries one: its info header, the bit-field
// masks or colour table, then the pixel rows, in one block of memory.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/dib_image.h"

namespace zinnow {

struct PackedDib {
  BitmapInfoHeader header;
  std::size_t colorCount = 0;  // colour-table entries after the header (and masks)
  std::size_t pixelsAt = 0;    // offset of the first row
  std::size_t pixelBytes = 0;  // every row, padded
};

// Where the parts of the `size` bytes at `data` lie, when they hold a whole picture of a form the
// image can be drawn from directly: a 40-byte header, one plane, a width and height not zero,
// uncompressed at 8, 16, 24 or 32 bits, or with bit-field masks at 16 or 32 bits, a colour table
// of at most 256 entries. Anything else, shorter data included, gives nothing.
std::optional<PackedDib> ReadPackedDib(const std::uint8_t* data, std::size_t size);

}  // namespace zinnow
