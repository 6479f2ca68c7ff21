#include "capture/bitmap_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/exceptions.h"

namespace zinnow {
namespace {

// Keeps every write apart, so the count and the bytes of each can be checked.
class RecordingSink : public ByteSink {
 public:
  void Write(const void* data, std::size_t size) override {
    const auto* p = static_cast<const std::uint8_t*>(data);
    writes.emplace_back(p, p + size);
  }
  std::vector<std::uint8_t> All() const {
    std::vector<std::uint8_t> all;
    for (const auto& w : writes) all.insert(all.end(), w.begin(), w.end());
    return all;
  }
  std::vector<std::vector<std::uint8_t>> writes;
};

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

// An image whose pixel bytes all differ, so a reordered or cut row shows.
struct Fixture {
  DibImage image;
  std::vector<std::uint8_t> pixels;
};
Fixture Image(int width, int height, int bits, std::size_t colors, std::uint32_t compression = 0) {
  Fixture f;
  f.image.header.width = width;
  f.image.header.height = height;
  f.image.header.bitCount = static_cast<std::uint16_t>(bits);
  f.image.header.compression = compression;
  f.pixels.resize(DibPixelBytes(f.image.header));
  for (std::size_t i = 0; i < f.pixels.size(); ++i)
    f.pixels[i] = static_cast<std::uint8_t>(i * 7 + 1);
  for (std::size_t i = 0; i < colors; ++i) {
    f.image.colors.push_back(
        {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 9, 0});
  }
  f.image.pixels = f.pixels.data();
  f.image.pixelBytes = f.pixels.size();
  return f;
}

TEST(BitmapFile, LayoutTable) {
  struct Case {
    const char* what;
    int width, height, bits;
    std::size_t colors;
    std::uint32_t compression;
    std::size_t stride, offset, fileSize, writes;
  } cases[] = {
      {"3 x 2 at 32 bits", 3, 2, 32, 0, 0, 12, 54, 78, 3},
      {"3 x 2 at 24 bits", 3, 2, 24, 0, 0, 12, 54, 78, 3},  // 9 bytes a row, padded by 3
      {"3 x 2 at 16 bits", 3, 2, 16, 0, 0, 8, 54, 70, 3},   // padded by 2
      {"3 x 2 monochrome", 3, 2, 1, 2, 0, 4, 62, 70, 4},
      {"3 x 2 with a 256-entry palette", 3, 2, 32, 256, 0, 12, 1078, 1102, 4},
      {"5 x 3 at 8 bits", 5, 3, 8, 256, 0, 8, 1078, 1102, 4},  // padded by 3
      {"6 x 1 at 4 bits", 6, 1, 4, 16, 0, 4, 118, 122, 4},     // padded by 1
      {"4 x 2 at 8 bits", 4, 2, 8, 256, 0, 4, 1078, 1086, 4},  // no padding
      {"2 x 2 at 16 bits, bit fields", 2, 2, 16, 0, 3, 4, 66, 74, 4},
      {"2 x -2 at 32 bits, top row first", 2, -2, 32, 0, 0, 8, 54, 70, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f = Image(c.width, c.height, c.bits, c.colors, c.compression);
    f.image.masks[0] = 0x7C00;
    f.image.masks[1] = 0x03E0;
    f.image.masks[2] = 0x001F;
    RecordingSink sink;
    WriteBitmapFile(f.image, sink);
    const auto b = sink.All();
    ASSERT_EQ(b.size(), c.fileSize);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(U32(b, 2), c.fileSize);
    EXPECT_EQ(U32(b, 6), 0u);
    EXPECT_EQ(U32(b, 10), c.offset);
    EXPECT_EQ(U32(b, 14), 40u);
    EXPECT_EQ(static_cast<std::int32_t>(U32(b, 18)), c.width);
    EXPECT_EQ(static_cast<std::int32_t>(U32(b, 22)), c.height);
    EXPECT_EQ(U16(b, 26), 1);
    EXPECT_EQ(U16(b, 28), c.bits);
    EXPECT_EQ(U32(b, 30), c.compression);
    EXPECT_EQ(U32(b, 34), c.stride * (c.height < 0 ? -c.height : c.height));
    EXPECT_EQ(U32(b, 46), c.colors);
    EXPECT_EQ(sink.writes.size(), c.writes);
    // The pixel rows come last, whole and in one write.
    EXPECT_EQ(sink.writes.back(), f.pixels);
    if (c.compression == 3) {
      EXPECT_EQ(U32(b, 54), 0x7C00u);
    }
    if (c.colors > 0) {
      EXPECT_EQ(b[54], 0);
      EXPECT_EQ(b[55], 255);
      EXPECT_EQ(b[56], 9);
      EXPECT_EQ(b[57], 0);
    }
  }
}

TEST(BitmapFile, KeepsTheSourcesOwnHeaderFields) {
  Fixture f = Image(2, 2, 32, 0);
  f.image.header.xPelsPerMeter = 3780;
  f.image.header.yPelsPerMeter = 3779;
  f.image.header.clrImportant = 5;
  f.image.header.clrUsed = 0;
  RecordingSink sink;
  WriteBitmapFile(f.image, sink);
  const auto b = sink.All();
  EXPECT_EQ(U32(b, 38), 3780u);
  EXPECT_EQ(U32(b, 42), 3779u);
  EXPECT_EQ(U32(b, 46), 0u);
  EXPECT_EQ(U32(b, 50), 5u);
}

// A sink that stores only so many bytes, like a disk that fills up.
class FullDisk : public ByteSink {
 public:
  explicit FullDisk(std::size_t room) : room_(room) {}
  void Write(const void*, std::size_t size) override {
    const std::size_t stored = std::min(size, room_);
    room_ -= stored;
    written += stored;
    if (stored != size) throw EWriteError();
  }
  std::size_t written = 0;

 private:
  std::size_t room_;
};

TEST(BitmapFile, ShortWriteStopsWithAWriteError) {
  Fixture f = Image(3, 2, 32, 0);
  FullDisk disk(60);
  EXPECT_THROW(WriteBitmapFile(f.image, disk), EWriteError);
  EXPECT_EQ(disk.written, 60u);  // headers whole, the rows cut
}

}  // namespace
}  // namespace zinnow
