#pragma once

// PNG pictures decoded with the system's imaging component.
#include <windows.h>

#include <cstdint>
#include <vector>

namespace zinnow::win32 {

// A decoded picture, top row first: blue, green, red and 0 in every pixel.
struct DecodedPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

// Decodes the `size` bytes at `data` as a PNG picture: its colour channels as it stores them
// (8 bits each), its transparency dropped. Fails with EInvalidGraphic when they do not decode
// (or the picture is too large to hold), with EOutOfResources when the component cannot be had.
DecodedPicture DecodePng(const BYTE* data, SIZE_T size);

}  // namespace zinnow::win32
