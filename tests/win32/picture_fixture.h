#pragma once

// Pictures for the transfer tests: every pixel differs, and every channel is a multiple of 8 so
// that a 5-5-5 conversion is exact both ways. The bitmap maker serves the benchmarks too.
#include <windows.h>

#include <cstdint>
#include <vector>

namespace zinnow::test {

inline std::uint32_t FixturePixel(int x, int y, std::uint32_t seed = 0) {
  const std::uint32_t r = ((x * 5 + y * 3 + seed) * 8) & 0xF8;
  const std::uint32_t g = ((x * 3 + y * 11 + 2 + seed) * 8) & 0xF8;
  const std::uint32_t b = ((x * 7 + y * 5 + 5 + seed * 3) * 8) & 0xF8;
  return r << 16 | g << 8 | b;
}

// One bit a pixel: 1 (white) where the fixture pattern says so.
inline bool FixtureBit(int x, int y) {
  return ((x * 3 + y * 5) % 7) < 3;
}

// A bitmap compatible with the screen, as picture programs put one on the clipboard, with
// `pixelAt(x, y)` (0x00RRGGBB) at every pixel.
template <typename PixelAt>
HBITMAP ScreenBitmap(int width, int height, PixelAt pixelAt) {
  std::vector<std::uint32_t> pixels;
  pixels.reserve(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixels.push_back(pixelAt(x, y));
  }
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  SetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

inline HBITMAP FixtureBitmap(int width, int height, std::uint32_t seed = 0) {
  return ScreenBitmap(width, height, [seed](int x, int y) { return FixturePixel(x, y, seed); });
}

// The pixel rows of a bottom-up 32-bit image: blue, green, red, 0.
inline std::vector<std::uint8_t> Rows32(int width, int height, std::uint32_t seed = 0) {
  std::vector<std::uint8_t> rows;
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = FixturePixel(x, y, seed);
      rows.insert(rows.end(), {static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 8),
                               static_cast<std::uint8_t>(p >> 16), 0});
    }
  }
  return rows;
}

}  // namespace zinnow::test
