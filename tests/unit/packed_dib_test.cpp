#include "platform/packed_dib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

namespace zinnow {
namespace {

struct Form {
  std::uint32_t headerSize = 40;
  std::int32_t width = 3;
  std::int32_t height = 2;
  std::uint16_t planes = 1;
  std::uint16_t bits = 24;
  std::uint32_t compression = 0;
  std::uint32_t clrUsed = 0;
};

// The bytes a program puts: the header, then `tail` bytes of whatever follows it.
std::vector<std::uint8_t> Packed(const Form& f, std::size_t tail) {
  std::vector<std::uint8_t> bytes(40 + tail, 0xA5);
  auto put = [&](std::size_t at, auto value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);
  };
  put(0, f.headerSize);
  put(4, f.width);
  put(8, f.height);
  put(12, f.planes);
  put(14, f.bits);
  put(16, f.compression);
  put(20, std::uint32_t{0});
  put(32, f.clrUsed);
  return bytes;
}

TEST(PackedDib, WherePartsLie) {
  struct Case {
    const char* name;
    Form form;
    std::size_t colors, pixelsAt, pixelBytes;
  };
  const Case cases[] = {
      {"24 bits, rows padded by 3", {40, 3, 2, 1, 24}, 0, 40, 24},
      {"24 bits, top row first", {40, 4, -2, 1, 24}, 0, 40, 24},
      {"8 bits, every index's entry", {40, 5, 2, 1, 8}, 256, 1064, 16},
      {"8 bits, a short table", {40, 5, 2, 1, 8, 0, 2}, 2, 48, 16},
      {"16 bits with masks", {40, 3, 2, 1, 16, 3}, 0, 52, 16},
      {"32 bits with masks and a table", {40, 1, 1, 1, 32, 3, 2}, 2, 60, 4},
      {"32 bits with an optional table", {40, 2, 1, 1, 32, 0, 3}, 3, 52, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto exact = Packed(c.form, c.pixelsAt - 40 + c.pixelBytes);
    const auto dib = ReadPackedDib(exact.data(), exact.size());
    ASSERT_TRUE(dib.has_value());
    EXPECT_EQ(dib->colorCount, c.colors);
    EXPECT_EQ(dib->pixelsAt, c.pixelsAt);
    EXPECT_EQ(dib->pixelBytes, c.pixelBytes);
    EXPECT_EQ(dib->header.width, c.form.width);
    EXPECT_EQ(dib->header.height, c.form.height);
    EXPECT_EQ(dib->header.bitCount, c.form.bits);
    // One byte fewer than the rows need is no picture.
    EXPECT_FALSE(ReadPackedDib(exact.data(), exact.size() - 1).has_value());
  }
}

TEST(PackedDib, FormsNotDrawnDirectlyGiveNothing) {
  const std::int32_t huge = std::numeric_limits<std::int32_t>::max();
  struct Case {
    const char* name;
    Form form;
  };
  const Case cases[] = {
      {"a version 5 header", {124}},
      {"a core header", {12}},
      {"two planes", {40, 3, 2, 2}},
      {"1 bit", {40, 3, 2, 1, 1}},
      {"4 bits", {40, 3, 2, 1, 4}},
      {"run-length coded", {40, 3, 2, 1, 8, 1}},
      {"masks at 24 bits", {40, 3, 2, 1, 24, 3}},
      {"a compressed image of another kind", {40, 3, 2, 1, 32, 4}},
      {"no width", {40, 0, 2}},
      {"a negative width", {40, -3, 2}},
      {"no height", {40, 3, 0}},
      {"the most negative height", {40, 3, std::numeric_limits<std::int32_t>::min()}},
      {"a table of 257 entries", {40, 3, 2, 1, 8, 0, 257}},
      {"rows beyond any memory", {40, huge, huge, 1, 32}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto bytes = Packed(c.form, 4096);
    EXPECT_FALSE(ReadPackedDib(bytes.data(), bytes.size()).has_value());
  }
  const auto header = Packed(Form{}, 0);
  EXPECT_FALSE(ReadPackedDib(header.data(), 39).has_value());
  EXPECT_FALSE(ReadPackedDib(nullptr, 100).has_value());
}

}  // namespace
}  // namespace zinnow
