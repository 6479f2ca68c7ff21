#pragma once

// PNG pictures for the tests, written here byte by byte (the image data deflated as stored
// blocks), so that every pixel is known without any codec.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/win32/picture_fixture.h"

namespace zinnow::test {

inline std::uint32_t PngAlpha(int x, int y) {
  return static_cast<std::uint32_t>(x * 50 + y * 30 + 7) & 0xFF;
}

namespace png_detail {

inline void Big32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

inline std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

inline void Chunk(std::vector<std::uint8_t>& out, const char* type,
                  const std::vector<std::uint8_t>& data) {
  Big32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  Big32(out, Crc32(out.data() + start, out.size() - start));
}

}  // namespace png_detail

// A PNG of the fixture's colours (FixturePixel with `seed`), with the alpha PngAlpha when
// `alpha` is set: colour type 6 (red, green, blue, alpha) or 2 (red, green, blue), 8 bits each.
inline std::vector<std::uint8_t> FixturePng(int width, int height, bool alpha,
                                            std::uint32_t seed = 0) {
  using namespace png_detail;
  std::vector<std::uint8_t> raw;
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = FixturePixel(x, y, seed);
      raw.insert(raw.end(), {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                             static_cast<std::uint8_t>(p)});
      if (alpha) raw.push_back(static_cast<std::uint8_t>(PngAlpha(x, y)));
    }
  }
  std::vector<std::uint8_t> z = {0x78, 0x01};
  for (std::size_t at = 0, n = 0; at < raw.size(); at += n) {
    n = std::min<std::size_t>(65535, raw.size() - at);
    z.push_back(at + n == raw.size() ? 1 : 0);  // the last block says so
    z.insert(z.end(), {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                       static_cast<std::uint8_t>(~n), static_cast<std::uint8_t>(~n >> 8)});
    z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
  }
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  Big32(z, b << 16 | a);

  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  Big32(header, static_cast<std::uint32_t>(width));
  Big32(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, static_cast<std::uint8_t>(alpha ? 6 : 2), 0, 0, 0});
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", {});
  return png;
}

// The same picture cut off in the middle of its image data: the header reads, the rows do not.
inline std::vector<std::uint8_t> TruncatedPng(int width, int height) {
  std::vector<std::uint8_t> png = FixturePng(width, height, false);
  png.resize(33 + 8 + (png.size() - 33 - 8 - 12) / 2);
  return png;
}

}  // namespace zinnow::test
