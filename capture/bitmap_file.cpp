#include "capture/bitmap_file.h"

#include <cassert>
#include <cstdint>
#include <vector>

namespace zinnow {
namespace {

class LittleEndian {
 public:
  void U16(std::uint32_t v) {
    bytes_.push_back(static_cast<std::uint8_t>(v));
    bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  void U32(std::uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
  }
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace

void WriteBitmapFile(const DibImage& image, ByteSink& sink) {
  BitmapInfoHeader header = image.header;
  const bool masks = header.compression == kBiBitfields && header.bitCount > 8;
  const std::size_t maskBytes = masks ? 12 : 0;
  const std::size_t colors = image.colors.size();
  const std::size_t pixelBytes = DibPixelBytes(header);
  assert(image.pixelBytes >= pixelBytes);

  header.size = 40;
  header.sizeImage = static_cast<std::uint32_t>(pixelBytes);
  if (colors > 0) header.clrUsed = static_cast<std::uint32_t>(colors);
  const std::size_t offset = 14 + 40 + maskBytes + 4 * colors;

  LittleEndian file;
  file.U16(0x4D42);  // "BM"
  file.U32(static_cast<std::uint32_t>(offset + pixelBytes));
  file.U16(0);
  file.U16(0);
  file.U32(static_cast<std::uint32_t>(offset));

  LittleEndian info;
  info.U32(header.size);
  info.I32(header.width);
  info.I32(header.height);
  info.U16(header.planes);
  info.U16(header.bitCount);
  info.U32(header.compression);
  info.U32(header.sizeImage);
  info.I32(header.xPelsPerMeter);
  info.I32(header.yPelsPerMeter);
  info.U32(header.clrUsed);
  info.U32(header.clrImportant);

  sink.Write(file.Bytes().data(), file.Bytes().size());
  sink.Write(info.Bytes().data(), info.Bytes().size());
  if (masks) {
    LittleEndian m;
    for (std::uint32_t mask : image.masks) m.U32(mask);
    sink.Write(m.Bytes().data(), m.Bytes().size());
  }
  if (colors > 0) sink.Write(image.colors.data(), 4 * colors);
  if (pixelBytes > 0) sink.Write(image.pixels, pixelBytes);
}

}  // namespace zinnow
