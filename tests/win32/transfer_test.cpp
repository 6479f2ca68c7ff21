// The picture transfer and the file layouts with the real clipboard and GDI, the clipboard filled
// by another process.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "capture/picture_transfer.h"
#include "platform/clipboard.h"
#include "platform/exceptions.h"
#include "platform/graphics.h"
#include "platform/messages.h"
#include "tests/win32/picture_fixture.h"
#include "tests/win32/wine_support.h"

namespace zinnow {
namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

struct Layout {
  std::uint32_t fileSize, offset;
  std::int32_t width, height;
  std::uint16_t bits;
  std::uint32_t imageSize, colorsUsed;
};

void ExpectLayout(const std::vector<std::uint8_t>& b, const Layout& l) {
  ASSERT_EQ(b.size(), l.fileSize);
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(U32(b, 2), l.fileSize);
  EXPECT_EQ(U32(b, 6), 0u);
  EXPECT_EQ(U32(b, 10), l.offset);
  EXPECT_EQ(U32(b, 14), 40u);
  EXPECT_EQ(static_cast<std::int32_t>(U32(b, 18)), l.width);
  EXPECT_EQ(static_cast<std::int32_t>(U32(b, 22)), l.height);
  EXPECT_EQ(b[26] | b[27] << 8, 1);
  EXPECT_EQ(b[28] | b[29] << 8, l.bits);
  EXPECT_EQ(U32(b, 30), 0u);  // no compression
  EXPECT_EQ(U32(b, 34), l.imageSize);
  EXPECT_EQ(U32(b, 46), l.colorsUsed);
}

std::vector<std::uint8_t> Tail(const std::vector<std::uint8_t>& b, std::size_t from) {
  return from <= b.size() ? std::vector<std::uint8_t>(b.begin() + from, b.end())
                          : std::vector<std::uint8_t>();
}

class Transfer : public ::testing::Test {
 public:
  std::vector<std::uint8_t> Save() {
    TakeClipboardPicture(holder_);
    WritePictureFile(holder_, Target());
    return test::ReadBytes(Target());
  }
  // The file the clipboard's bitmap gives, taken as a bitmap whatever else is there.
  std::vector<std::uint8_t> SaveFromTheBitmap() {
    TPicture holder;
    {
      ScopedClipboard open;
      holder.Assign(
          TBitmap::FromClipboard(clipboard::Data(kCfBitmap), clipboard::Data(kCfPalette)));
    }
    const std::string target = folder_.File("bitmap.bmp");
    WritePictureFile(holder, target);
    return test::ReadBytes(target);
  }
  std::string Target() const { return folder_.File("svbmp000.bmp"); }
  static int Depth() {
    HDC screen = GetDC(nullptr);
    const int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    return bits;
  }

 protected:
  test::TempFolder folder_;
  TPicture holder_;
};

TEST_F(Transfer, BitmapAtThirtyTwoBits) {
  ASSERT_EQ(Depth(), 32);
  ASSERT_EQ(test::RunHelper("bitmap 3 2"), 0);
  ASSERT_TRUE(clipboard::HasFormat(kCfBitmap));
  const auto b = Save();
  ExpectLayout(b, {78, 54, 3, 2, 32, 24, 0});
  EXPECT_EQ(Tail(b, 54), test::Rows32(3, 2));
  EXPECT_TRUE(clipboard::HasFormat(kCfBitmap));  // the transfer changes nothing on the clipboard
}

TEST_F(Transfer, MonochromeStaysOneBit) {
  ASSERT_EQ(test::RunHelper("mono 3 2"), 0);
  const auto b = Save();
  ExpectLayout(b, {70, 62, 3, 2, 1, 8, 2});
  EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 54, b.begin() + 62),
            (std::vector<std::uint8_t>{0, 0, 0, 0, 255, 255, 255, 0}));
  for (int y = 0; y < 2; ++y) {
    const std::uint8_t row = b[62 + 4 * (1 - y)];  // bottom row first
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ((row >> (7 - x)) & 1, test::FixtureBit(x, y) ? 1 : 0) << x << "," << y;
    }
  }
}

TEST_F(Transfer, PaletteTravelsWithTheBitmap) {
  ASSERT_EQ(test::RunHelper("palette 3 2"), 0);
  const auto b = Save();
  ExpectLayout(b, {1102, 1078, 3, 2, 32, 24, 256});
  for (int i = 0; i < 256; ++i) {
    const std::size_t at = 54 + 4 * i;
    EXPECT_EQ(b[at], (i * 7) & 0xFF);  // blue, green, red, 0
    EXPECT_EQ(b[at + 1], 255 - i);
    EXPECT_EQ(b[at + 2], i);
    EXPECT_EQ(b[at + 3], 0);
  }
  EXPECT_EQ(Tail(b, 1078), test::Rows32(3, 2));
}

TEST_F(Transfer, DeviceIndependentOnlyIsSavedAtTheDisplayDepth) {
  ASSERT_EQ(test::RunHelper("dib 3 2"), 0);
  ASSERT_TRUE(clipboard::HasFormat(kCfBitmap));
  const auto b = Save();
  ExpectLayout(b, {78, 54, 3, 2, 32, 24, 0});
  EXPECT_EQ(Tail(b, 54), test::Rows32(3, 2));
}

// A metafile listed before the bitmap: the file holds the enhanced metafile's own bytes, the ones
// a reader of CF_ENHMETAFILE gets; for an old-style metafile picture, the enhanced metafile the
// system derives from it.
TEST_F(Transfer, MetafileListedFirstGivesTheEnhancedMetafileBytes) {
  for (const char* put : {"emf-first", "metafilepict-first"}) {
    SCOPED_TRACE(put);
    const std::string reference = folder_.File("reference.emf");
    ASSERT_EQ(test::RunHelper(std::string(put) + " \"" + reference + "\""), 0);
    const auto b = Save();
    const auto expected = test::ReadBytes(reference);
    ASSERT_GT(expected.size(), 44u);
    EXPECT_EQ(U32(expected, 0), 1u);            // the header record
    EXPECT_EQ(U32(expected, 40), 0x464D4520u);  // " EMF"
    EXPECT_EQ(b, expected);
  }
}

// An 8-bit device bitmap on a 32-bit display is saved at the display's depth with the colours
// the system's own conversion gives it.
TEST_F(Transfer, EightBitDeviceBitmapIsSavedAtTheDisplayDepth) {
  ASSERT_EQ(Depth(), 32);
  const std::string reference = folder_.File("reference.rows");
  ASSERT_EQ(test::RunHelper("bitmap8 5 3 \"" + reference + "\""), 0);
  const auto rows = test::ReadBytes(reference);
  ASSERT_EQ(rows.size(), 5u * 3 * 4);
  ASSERT_NE(std::vector<std::uint8_t>(rows.begin(), rows.begin() + 4),
            std::vector<std::uint8_t>(rows.begin() + 4, rows.begin() + 8));  // colours that differ
  const auto b = Save();
  ExpectLayout(b, {54 + 60, 54, 5, 3, 32, 60, 0});
  EXPECT_EQ(Tail(b, 54), rows);
}

TEST_F(Transfer, TextAloneIsNoPicture) {
  ASSERT_EQ(test::RunHelper("text"), 0);
  EXPECT_FALSE(clipboard::HasFormat(kCfBitmap));
  try {
    TakeClipboardPicture(holder_);
    FAIL() << "no picture to take";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), messages::kInvalidClipboardFormat);
  }
  EXPECT_EQ(holder_.Graphic(), nullptr);
}

TEST_F(Transfer, ClipboardHeldByAnotherProgramFailsAndKeepsTheHeldPicture) {
  ASSERT_EQ(test::RunHelper("bitmap 3 2"), 0);
  TakeClipboardPicture(holder_);
  TGraphic* earlier = holder_.Graphic();
  test::Holder holder("hold", folder_.File("ready"));
  ASSERT_TRUE(holder.Holding());
  try {
    TakeClipboardPicture(holder_);
    FAIL() << "the clipboard is held";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), messages::kInvalidClipboardFormat);
  }
  EXPECT_EQ(holder_.Graphic(), earlier);
}

TEST_F(Transfer, FileHeldOpenWithoutSharingStaysAsItWas) {
  ASSERT_EQ(test::RunHelper("bitmap 3 2"), 0);
  TakeClipboardPicture(holder_);
  { std::ofstream(Target(), std::ios::binary) << "old"; }
  {
    test::Holder lock("lock \"" + Target() + "\"", folder_.File("ready"));
    ASSERT_TRUE(lock.Holding());
    try {
      WritePictureFile(holder_, Target());
      FAIL() << "the file is held";
    } catch (const EFCreateError& e) {
      EXPECT_EQ(e.Message(), "ﾌｧｲﾙ " + Target() + " を作成できません");
    }
  }
  EXPECT_EQ(test::ReadBytes(Target()), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
}

// The emptying after a save, with another program's picture put between the transfer and it:
// the new picture stays for the next attempt. With nothing put in between, it empties.
TEST_F(Transfer, EmptyingLeavesAPictureCopiedAfterTheTransfer) {
  ASSERT_EQ(test::RunHelper("bitmap 3 2 1"), 0);
  const std::uint32_t taken = TakeClipboardPicture(holder_);
  ASSERT_EQ(test::RunHelper("bitmap 5 3 2"), 0);
  ASSERT_NE(clipboard::SequenceNumber(), taken);
  EXPECT_TRUE(EmptyClipboardIfUnchanged(taken));
  ASSERT_TRUE(clipboard::HasFormat(kCfBitmap));
  EXPECT_EQ(Tail(Save(), 54), test::Rows32(5, 3, 2));  // the new picture, whole

  const std::uint32_t again = TakeClipboardPicture(holder_);
  EXPECT_TRUE(EmptyClipboardIfUnchanged(again));
  EXPECT_FALSE(clipboard::HasFormat(kCfBitmap));
}

// Another program holds the clipboard at the emptying: it says so and leaves the picture; once
// the clipboard is free the same call empties it.
TEST_F(Transfer, EmptyingGivesUpWhileAnotherProgramHoldsTheClipboard) {
  ASSERT_EQ(test::RunHelper("bitmap 3 2"), 0);
  const std::uint32_t taken = TakeClipboardPicture(holder_);
  {
    test::Holder holder("hold", folder_.File("ready"));
    ASSERT_TRUE(holder.Holding());
    EXPECT_FALSE(EmptyClipboardIfUnchanged(taken));
    EXPECT_TRUE(clipboard::HasFormat(kCfBitmap));
  }
  EXPECT_EQ(clipboard::SequenceNumber(), taken);
  EXPECT_TRUE(EmptyClipboardIfUnchanged(taken));
  EXPECT_FALSE(clipboard::HasFormat(kCfBitmap));
}

TEST_F(Transfer, ExistingFileIsReplaced) {
  { std::ofstream(Target(), std::ios::binary) << std::string(500, 'x'); }
  ASSERT_EQ(test::RunHelper("bitmap 3 2"), 0);
  EXPECT_EQ(Save().size(), 78u);
}

TEST_F(Transfer, NothingHeldWritesNothing) {
  WritePictureFile(holder_, Target());
  EXPECT_FALSE(test::FileExists(Target()));
}

// The rows of a bottom-up 16-bit (5-5-5) image, each padded to four bytes.
std::vector<std::uint8_t> Rows16(int width, int height, std::uint32_t seed) {
  std::vector<std::uint8_t> rows;
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = test::FixturePixel(x, y, seed);
      const std::uint32_t v =
          ((p >> 19) & 0x1F) << 10 | ((p >> 11) & 0x1F) << 5 | ((p >> 3) & 0x1F);
      rows.insert(rows.end(), {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)});
    }
    if (width % 2) rows.insert(rows.end(), {0, 0});
  }
  return rows;
}

// Pictures one after another through the same holder, of one size and of others in between:
// each file holds its own picture, never pixels of an earlier one.
void ExpectSeriesSavedExactly(Transfer& t, int bits) {
  struct Shot {
    int width, height;
    std::uint32_t seed;
  };
  const Shot shots[] = {{3, 2, 1}, {3, 2, 2}, {5, 4, 3}, {3, 2, 4}, {3, 2, 5}, {2, 3, 6}};
  for (const Shot& s : shots) {
    SCOPED_TRACE(testing::Message() << s.width << "x" << s.height << " seed " << s.seed);
    ASSERT_EQ(test::RunHelper("bitmap " + std::to_string(s.width) + " " + std::to_string(s.height) +
                              " " + std::to_string(s.seed)),
              0);
    const auto b = t.Save();
    const auto rows =
        bits == 32 ? test::Rows32(s.width, s.height, s.seed) : Rows16(s.width, s.height, s.seed);
    EXPECT_EQ(Tail(b, 54), rows);
  }
}

// A picture put as a device-independent bitmap is saved from that as it would be from the bitmap
// the system builds of it: in every form, both row orders, rows padded by 0 to 3 bytes. That the
// picture was taken from the device-independent bitmap shows when a different bitmap is put
// after it; a bitmap put before it is the one saved.
void ExpectDibSavedAsItsBitmapIs(Transfer& t, int depth) {
  for (const char* form :
       {"rgb24", "rgb32", "rgb16", "bf16", "bf32", "bf32-bgr", "pal8", "pal8-16"}) {
    for (int width = 4; width <= 7; ++width) {
      const std::string picture =
          std::string(form) + " " + std::to_string(width) + " 3 " + (width % 2 ? "down" : "up");
      SCOPED_TRACE(picture);
      ASSERT_EQ(test::RunHelper("dib-form " + picture), 0);
      const auto direct = t.Save();
      const std::size_t stride = ((width * depth + 31) / 32) * 4;
      ASSERT_EQ(direct.size(), 54 + 3 * stride);
      EXPECT_EQ(direct, t.SaveFromTheBitmap());

      ASSERT_EQ(test::RunHelper("dib-form " + picture + " bitmap-after 9"), 0);
      EXPECT_EQ(t.Save(), direct);
      EXPECT_NE(t.SaveFromTheBitmap(), direct);
    }
  }
  ASSERT_EQ(test::RunHelper("dib-form rgb24 5 3 up bitmap-first 9"), 0);
  const auto bitmapFirst = t.Save();
  EXPECT_EQ(bitmapFirst, t.SaveFromTheBitmap());
  ASSERT_EQ(test::RunHelper("bitmap 5 3 9"), 0);
  EXPECT_EQ(bitmapFirst, t.Save());
}

TEST_F(Transfer, DibListedFirstIsSavedAsItsBitmapWouldBe) {
  ASSERT_EQ(Depth(), 32);
  ExpectDibSavedAsItsBitmapIs(*this, 32);
}

TEST_F(Transfer, Depth16DibListedFirstIsSavedAsItsBitmapWouldBe) {
  ASSERT_EQ(Depth(), 16);
  ExpectDibSavedAsItsBitmapIs(*this, 16);
}

// A picture in the format "PNG" alone is saved as a bitmap of its colours would be: the colour
// channels as stored, the alpha gone (as a bitmap's fourth byte goes), odd widths and heights.
TEST_F(Transfer, PngAloneIsSavedWithItsColours) {
  ASSERT_EQ(Depth(), 32);
  for (const char* kind : {"rgb", "rgba"}) {
    for (const auto& [width, height] : {std::pair{3, 2}, std::pair{5, 7}, std::pair{1, 1}}) {
      SCOPED_TRACE(testing::Message() << kind << " " << width << "x" << height);
      ASSERT_EQ(test::RunHelper(std::string("png ") + kind + " " + std::to_string(width) + " " +
                                std::to_string(height)),
                0);
      ASSERT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
      ASSERT_TRUE(ClipboardOffersPicture());
      const auto b = Save();
      ExpectLayout(b, {static_cast<std::uint32_t>(54 + 4 * width * height), 54, width, height, 32,
                       static_cast<std::uint32_t>(4 * width * height), 0});
      EXPECT_EQ(Tail(b, 54), test::Rows32(width, height));
      EXPECT_TRUE(clipboard::HasFormat(clipboard::PngFormat()));  // nothing changed there
    }
  }
}

// A PNG that does not decode fails the transfer and leaves the holder and the clipboard as they
// were; beside a bitmap, the PNG is not what is taken.
TEST_F(Transfer, PngThatDoesNotDecodeFailsAndABitmapBesideItWins) {
  ASSERT_EQ(test::RunHelper("bitmap 3 2 4"), 0);
  Save();
  const TGraphic* earlier = holder_.Graphic();
  for (const char* kind : {"truncated", "garbage"}) {
    SCOPED_TRACE(kind);
    ASSERT_EQ(test::RunHelper(std::string("png ") + kind + " 4 3"), 0);
    const std::uint32_t before = clipboard::SequenceNumber();
    EXPECT_THROW(TakeClipboardPicture(holder_), EInvalidGraphic);
    EXPECT_EQ(holder_.Graphic(), earlier);
    EXPECT_EQ(clipboard::SequenceNumber(), before);
    EXPECT_TRUE(clipboard::HasFormat(clipboard::PngFormat()));
  }
  ASSERT_EQ(test::RunHelper("png garbage 3 2 bitmap-after 6"), 0);
  EXPECT_EQ(Tail(Save(), 54), test::Rows32(3, 2, 6));
}

TEST_F(Transfer, Depth16PngIsSavedAsItsBitmapWouldBe) {
  ASSERT_EQ(Depth(), 16);
  ASSERT_EQ(test::RunHelper("png rgba 5 3"), 0);
  const auto b = Save();
  ExpectLayout(b, {54 + 12 * 3, 54, 5, 3, 16, 12 * 3, 0});
  EXPECT_EQ(Tail(b, 54), Rows16(5, 3, 0));
}

TEST_F(Transfer, SeriesOfPicturesEachSavedExactly) {
  ASSERT_EQ(Depth(), 32);
  ExpectSeriesSavedExactly(*this, 32);
}

// Runs on a display of 16 bits only (its own session).
TEST_F(Transfer, Depth16GivesFiveFiveFive) {
  ASSERT_EQ(Depth(), 16);
  ASSERT_EQ(test::RunHelper("bitmap 3 2"), 0);
  const auto b = Save();
  ExpectLayout(b, {70, 54, 3, 2, 16, 16, 0});
  EXPECT_EQ(Tail(b, 54), Rows16(3, 2, 0));
}

TEST_F(Transfer, Depth16SeriesOfPicturesEachSavedExactly) {
  ASSERT_EQ(Depth(), 16);
  ExpectSeriesSavedExactly(*this, 16);
}

}  // namespace
}  // namespace zinnow
