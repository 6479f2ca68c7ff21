#include "platform/packed_dib.h"

#include <cstring>
#include <limits>

namespace zinnow {
namespace {

constexpr std::uint32_t kBiRgb = 0;

template <typename T>
T Field(const std::uint8_t* data, std::size_t at) {
  T value;
  std::memcpy(&value, data + at, sizeof(T));
  return value;
}

bool DrawnDirectly(std::uint16_t bits, std::uint32_t compression) {
  if (compression == kBiRgb) return bits == 8 || bits == 16 || bits == 24 || bits == 32;
  return compression == kBiBitfields && (bits == 16 || bits == 32);
}

}  // namespace

std::optional<PackedDib> ReadPackedDib(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kHeaderBytes = 40;
  if (data == nullptr || size < kHeaderBytes) return std::nullopt;
  PackedDib dib;
  BitmapInfoHeader& h = dib.header;
  h.size = Field<std::uint32_t>(data, 0);
  h.width = Field<std::int32_t>(data, 4);
  h.height = Field<std::int32_t>(data, 8);
  h.planes = Field<std::uint16_t>(data, 12);
  h.bitCount = Field<std::uint16_t>(data, 14);
  h.compression = Field<std::uint32_t>(data, 16);
  h.sizeImage = Field<std::uint32_t>(data, 20);
  h.xPelsPerMeter = Field<std::int32_t>(data, 24);
  h.yPelsPerMeter = Field<std::int32_t>(data, 28);
  h.clrUsed = Field<std::uint32_t>(data, 32);
  h.clrImportant = Field<std::uint32_t>(data, 36);
  if (h.size != kHeaderBytes || h.planes != 1 || !DrawnDirectly(h.bitCount, h.compression) ||
      h.width <= 0 || h.height == 0 || h.height == std::numeric_limits<std::int32_t>::min()) {
    return std::nullopt;
  }
  // A table of 8 bits' pixels has every index's entry unless it says how many it has; above 8
  // bits a table is optional and counted the same way.
  dib.colorCount = h.clrUsed != 0 ? h.clrUsed : (h.bitCount <= 8 ? 1u << h.bitCount : 0);
  if (dib.colorCount > 256) return std::nullopt;
  const std::size_t masks = h.compression == kBiBitfields ? 12 : 0;
  dib.pixelsAt = kHeaderBytes + masks + 4 * dib.colorCount;
  const std::size_t stride = DibStride(h.width, h.bitCount);
  const std::size_t rows = static_cast<std::size_t>(h.height < 0 ? -h.height : h.height);
  if (stride > (std::numeric_limits<std::size_t>::max() - dib.pixelsAt) / rows) return std::nullopt;
  dib.pixelBytes = stride * rows;
  if (size < dib.pixelsAt || size - dib.pixelsAt < dib.pixelBytes) return std::nullopt;
  return dib;
}

}  // namespace zinnow
