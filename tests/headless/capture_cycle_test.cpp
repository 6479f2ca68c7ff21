// The polling tick on the headless backend: a clipboard filled by the test, real host files.
#include <gtest/gtest.h>

#include <functional>

#include "app/zin_form.h"
#include "platform/application.h"
#include "platform/headless/headless.h"
#include "tests/support/temp_folder.h"

namespace zinnow {
namespace {

using headless::StateOf;

// 3 x 2, a different colour in every pixel.
headless::Picture SmallPicture(std::uint32_t seed = 0) {
  headless::Picture p{3, 2, 32, {}};
  for (std::uint32_t i = 0; i < 6; ++i) p.pixels.push_back(0x102030u * (i + 1) + seed);
  return p;
}

void Le(std::vector<unsigned char>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// The bitmap file the headless display (32 bits deep) gives for a picture, built here field by
// field: headers, the colour table (black and white at 1 bit, else the palette's), then the
// rows bottom row first, each padded to four bytes; at 32 bits blue, green, red, 0.
std::vector<unsigned char> ExpectedFile(const headless::Picture& p,
                                        const std::vector<PaletteEntry>& palette = {}) {
  const bool mono = p.bitsPerPixel == 1;
  const int bits = mono ? 1 : 32;
  const std::uint32_t stride = ((p.width * bits + 31) / 32) * 4;
  const std::uint32_t image = stride * p.height;
  const std::uint32_t colors = mono ? 2 : static_cast<std::uint32_t>(palette.size());
  const std::uint32_t offset = 54 + 4 * colors;
  std::vector<unsigned char> f = {'B', 'M'};
  Le(f, offset + image, 4);
  Le(f, 0, 4);
  Le(f, offset, 4);
  for (std::uint32_t v :
       {40u, static_cast<std::uint32_t>(p.width), static_cast<std::uint32_t>(p.height)}) {
    Le(f, v, 4);
  }
  Le(f, 1, 2);
  Le(f, bits, 2);
  for (std::uint32_t v : {0u, image, 0u, 0u, colors, 0u}) Le(f, v, 4);
  if (mono) {
    f.insert(f.end(), {0, 0, 0, 0, 255, 255, 255, 0});
  } else {
    for (const PaletteEntry& e : palette) f.insert(f.end(), {e.blue, e.green, e.red, 0});
  }
  for (int y = p.height - 1; y >= 0; --y) {
    std::vector<unsigned char> row(stride, 0);
    for (int x = 0; x < p.width; ++x) {
      const std::uint32_t v = p.pixels[static_cast<std::size_t>(y) * p.width + x];
      if (mono) {
        if (v) row[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
      } else {
        row[x * 4] = static_cast<unsigned char>(v);
        row[x * 4 + 1] = static_cast<unsigned char>(v >> 8);
        row[x * 4 + 2] = static_cast<unsigned char>(v >> 16);
      }
    }
    f.insert(f.end(), row.begin(), row.end());
  }
  return f;
}

// A different value in every pixel and every channel, so that flips and swaps show.
headless::Picture Fixture(int width, int height, int bitsPerPixel, std::uint32_t seed = 0) {
  headless::Picture p{width, height, bitsPerPixel, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (bitsPerPixel == 1) {
        p.pixels.push_back((x * 3 + y * 5 + seed) % 7 < 3 ? 1 : 0);
      } else {
        const std::uint32_t r = (x * 40 + y * 3 + seed) & 0xFF;
        const std::uint32_t g = (x * 7 + y * 50 + 1) & 0xFF;
        const std::uint32_t b = (x * 13 + y * 29 + 2 + seed) & 0xFF;
        p.pixels.push_back(r << 16 | g << 8 | b);
      }
    }
  }
  return p;
}

class CaptureCycle : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Reset();
    form_.Edit1Change(nullptr);
    headless::UserTypes(*form_.Edit1, folder_.Path());
    ASSERT_TRUE(form_.Timer1->Enabled());
    StateOf(form_).writes.clear();
  }
  void TearDown() override { headless::Reset(); }

  void Tick() { headless::Tick(*form_.Timer1); }
  // A tick during which another program holds the clipboard from the emptying's first open on,
  // for `refusals` opens (the transfer's open is the one before).
  void TickWithTheEmptyingHeld(int refusals) {
    int opens = 0;
    headless::OnClipboardOpened([&] {
      if (++opens == 1) headless::ClipboardHeldFor(refusals);
    });
    Tick();
    headless::OnClipboardOpened(nullptr);
  }
  std::string File(const char* name) const { return folder_.File(name); }
  AnsiString Saving(const char* name) const {
    return AnsiString(kSavingCaption) + folder_.Path() + "\\" + name;
  }

  test::TempFolder folder_;
  TZinForm form_;
};

TEST_F(CaptureCycle, NothingToCaptureChangesNothing) {
  Tick();
  headless::ClipboardPutText("words");
  Tick();
  headless::ClipboardEmpty();
  headless::ClipboardPutMetafile({1, 2, 3});  // a metafile alone is no bitmap
  Tick();
  EXPECT_TRUE(StateOf(form_).writes.empty());
  EXPECT_EQ(form_.Caption(), "Quorrel");
  EXPECT_TRUE(folder_.Files().empty());
  EXPECT_EQ(headless::ClipboardOpenAttempts(), 0);  // an idle tick never opens the clipboard
}

TEST_F(CaptureCycle, SavesEmptiesAndAdvances) {
  headless::ClipboardPutBitmap(SmallPicture());
  Tick();
  EXPECT_EQ(folder_.Files(), std::vector<std::string>{"svbmp000.bmp"});
  EXPECT_EQ(test::ReadBytes(File("svbmp000.bmp")), ExpectedFile(SmallPicture()));
  EXPECT_TRUE(headless::ClipboardFormats().empty());
  EXPECT_EQ(form_.GetFileNumber(), 1);
  EXPECT_EQ(form_.SpinEdit1->Text(), "0");  // shown until the next recompute
  EXPECT_EQ(form_.Label4->Caption(), "svbmp000.bmp");
  EXPECT_EQ(StateOf(form_).writes, (std::vector<AnsiString>{Saving("svbmp000.bmp"), "Quorrel"}));
  EXPECT_EQ(StateOf(form_).repaints, 1);

  Tick();  // nothing left to save
  headless::ClipboardPutBitmap(SmallPicture(1));
  Tick();
  EXPECT_EQ(folder_.Files(), (std::vector<std::string>{"svbmp000.bmp", "svbmp001.bmp"}));
  EXPECT_EQ(test::ReadBytes(File("svbmp001.bmp")), ExpectedFile(SmallPicture(1)));
  EXPECT_EQ(form_.GetFileNumber(), 2);
}

// Each kind of picture the clipboard can hold, saved and compared byte for byte with the file
// built above: sizes that are not square, rows that need padding at one bit, a palette, a
// device-independent bitmap alone.
TEST_F(CaptureCycle, SavedFileHoldsThePictureByteForByte) {
  enum class As { Bitmap, BitmapWithPalette, DibOnly };
  struct Case {
    const char* what;
    headless::Picture picture;
    As as;
  } cases[] = {
      {"32 bits, 3 x 2", Fixture(3, 2, 32, 1), As::Bitmap},
      {"32 bits, 1 x 1", Fixture(1, 1, 32, 2), As::Bitmap},
      {"32 bits, 2 x 5", Fixture(2, 5, 32, 3), As::Bitmap},
      {"24 bits become 32", Fixture(4, 3, 24, 4), As::Bitmap},
      {"1 bit, 3 x 2", Fixture(3, 2, 1), As::Bitmap},
      {"1 bit, 33 x 3: rows of two words", Fixture(33, 3, 1, 1), As::Bitmap},
      {"with a palette", Fixture(3, 2, 32, 5), As::BitmapWithPalette},
      {"a device-independent bitmap alone", Fixture(5, 3, 32, 6), As::DibOnly},
  };
  const std::vector<PaletteEntry> palette = {{10, 20, 30, 0}, {40, 50, 60, 0}, {70, 80, 90, 0}};
  int number = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.as == As::DibOnly) {
      headless::ClipboardPutDib(c.picture);
    } else {
      headless::ClipboardPutBitmap(c.picture);
    }
    if (c.as == As::BitmapWithPalette) headless::ClipboardPutPalette(palette);
    Tick();
    const std::string name = "svbmp00" + std::to_string(number++) + ".bmp";
    EXPECT_EQ(test::ReadBytes(File(name.c_str())),
              ExpectedFile(c.picture,
                           c.as == As::BitmapWithPalette ? palette : std::vector<PaletteEntry>{}));
    EXPECT_TRUE(headless::ClipboardFormats().empty());
  }
  EXPECT_EQ(form_.GetFileNumber(), number);
}

// A notice of the change saves the picture at once, with no tick; the notice of the program's
// own emptying finds nothing and does nothing.
TEST_F(CaptureCycle, ANoticeAloneSavesThePicture) {
  form_.WatchClipboard();
  headless::ClipboardPutBitmap(SmallPicture(2));
  headless::ClipboardNotice();
  EXPECT_EQ(test::ReadBytes(File("svbmp000.bmp")), ExpectedFile(SmallPicture(2)));
  EXPECT_EQ(form_.GetFileNumber(), 1);
  EXPECT_TRUE(headless::ClipboardFormats().empty());
  EXPECT_EQ(StateOf(form_).writes, (std::vector<AnsiString>{Saving("svbmp000.bmp"), "Quorrel"}));
  headless::ClipboardNotice();
  EXPECT_EQ(folder_.Files(), std::vector<std::string>{"svbmp000.bmp"});
  EXPECT_EQ(form_.GetFileNumber(), 1);
}

// No capture on a notice while polling is off (no folder, or the chooser open) or while an
// error box is open; the next notice after that saves the picture.
TEST_F(CaptureCycle, NoticesFollowPollingAndAreHeldWhileAnErrorBoxIsOpen) {
  form_.WatchClipboard();
  headless::ClipboardPutBitmap(SmallPicture());
  form_.Timer1->SetEnabled(false);
  headless::ClipboardNotice();
  EXPECT_TRUE(folder_.Files().empty());
  form_.Timer1->SetEnabled(true);
  bool noticed = false;
  headless::WhileErrorBoxOpen([&] {
    headless::ClipboardNotice();
    noticed = true;
  });
  Application().ShowErrorBox(ShownText::Fixed("ｽﾄﾘｰﾑへの書き込みｴﾗｰ."));
  headless::WhileErrorBoxOpen(nullptr);
  ASSERT_TRUE(noticed);
  EXPECT_TRUE(folder_.Files().empty());
  EXPECT_EQ(form_.GetFileNumber(), 0);
  headless::ClipboardNotice();
  EXPECT_EQ(folder_.Files(), std::vector<std::string>{"svbmp000.bmp"});
}

// A window that is gone is told nothing more.
TEST_F(CaptureCycle, NoticesStopWithTheWindow) {
  {
    TZinForm other;
    other.WatchClipboard();
  }
  form_.WatchClipboard();
  headless::ClipboardPutBitmap(SmallPicture());
  {
    TZinForm other;  // made and gone without watching: the window's watch stays
  }
  headless::ClipboardNotice();
  EXPECT_EQ(form_.GetFileNumber(), 1);
}

TEST_F(CaptureCycle, FailedWriteLeavesPictureAndNumber) {
  headless::ClipboardPutBitmap(SmallPicture());
  headless::HoldFileOpen(folder_.Path() + "\\svbmp000.bmp");
  Tick();
  Tick();
  EXPECT_EQ(form_.GetFileNumber(), 0);
  EXPECT_EQ(headless::ClipboardFormats(), std::vector<ClipboardFormat>{kCfBitmap});
  const AnsiString failed = Saving("svbmp000.bmp") + "   失敗";
  EXPECT_EQ(StateOf(form_).writes,
            (std::vector<AnsiString>{Saving("svbmp000.bmp"), failed, "Quorrel",
                                     Saving("svbmp000.bmp"), failed, "Quorrel"}));
  EXPECT_EQ(form_.Caption(), "Quorrel");
}

// Another program holds the clipboard for a moment (Wine's clipboard manager does at every change
// of the X11 clipboard): the transfer's open and the emptying's each try five times, so four
// refused opens are waited out within the tick.
TEST_F(CaptureCycle, ClipboardHeldBrieflyIsWaitedFor) {
  headless::ClipboardPutBitmap(SmallPicture());
  headless::ClipboardHeldFor(4);
  Tick();
  EXPECT_EQ(folder_.Files(), std::vector<std::string>{"svbmp000.bmp"});
  EXPECT_EQ(form_.GetFileNumber(), 1);
  EXPECT_TRUE(headless::ClipboardFormats().empty());

  headless::ClipboardPutBitmap(SmallPicture(1));
  TickWithTheEmptyingHeld(4);
  EXPECT_EQ(form_.GetFileNumber(), 2);
  EXPECT_TRUE(headless::ClipboardFormats().empty()) << "emptied within the same tick";
}

TEST_F(CaptureCycle, ClipboardHeldLongerFailsTheTransfer) {
  headless::ClipboardPutBitmap(SmallPicture());
  headless::ClipboardHeldFor(5);
  Tick();
  EXPECT_TRUE(folder_.Files().empty());
  EXPECT_EQ(form_.GetFileNumber(), 0);
  Tick();  // released: saved once
  EXPECT_EQ(folder_.Files(), std::vector<std::string>{"svbmp000.bmp"});
  EXPECT_EQ(test::ReadBytes(File("svbmp000.bmp")), ExpectedFile(SmallPicture()));
  EXPECT_EQ(form_.GetFileNumber(), 1);
}

TEST_F(CaptureCycle, PictureCopiedWhileSavingIsNotLost) {
  headless::ClipboardPutBitmap(SmallPicture());
  int opens = 0;
  // Right after the transfer's open, another program puts a new picture; the next open is the
  // emptying's, which must find the change and leave the clipboard alone.
  headless::OnClipboardOpened([&] {
    if (++opens == 2) {
      headless::ClipboardEmpty();
      headless::ClipboardPutBitmap(SmallPicture(7));
    }
  });
  Tick();
  headless::OnClipboardOpened(nullptr);
  EXPECT_EQ(form_.GetFileNumber(), 1);
  EXPECT_EQ(headless::ClipboardFormats(), std::vector<ClipboardFormat>{kCfBitmap});
  Tick();
  EXPECT_EQ(folder_.Files(), (std::vector<std::string>{"svbmp000.bmp", "svbmp001.bmp"}));
  EXPECT_EQ(test::ReadBytes(File("svbmp000.bmp")), ExpectedFile(SmallPicture()));
  EXPECT_EQ(test::ReadBytes(File("svbmp001.bmp")), ExpectedFile(SmallPicture(7)));
  EXPECT_TRUE(headless::ClipboardFormats().empty());
}

TEST_F(CaptureCycle, PictureIsNotSavedTwiceWhenEmptyingFails) {
  headless::ClipboardPutBitmap(SmallPicture());
  TickWithTheEmptyingHeld(5);
  EXPECT_EQ(form_.GetFileNumber(), 1);
  EXPECT_EQ(headless::ClipboardFormats(), std::vector<ClipboardFormat>{kCfBitmap});
  Tick();  // only the emptying is tried again
  EXPECT_EQ(folder_.Files(), std::vector<std::string>{"svbmp000.bmp"});
  EXPECT_EQ(test::ReadBytes(File("svbmp000.bmp")), ExpectedFile(SmallPicture()));
  EXPECT_TRUE(headless::ClipboardFormats().empty());
  EXPECT_EQ(form_.GetFileNumber(), 1);
}

TEST_F(CaptureCycle, NewPictureAfterAFailedEmptyingIsSaved) {
  headless::ClipboardPutBitmap(SmallPicture());
  TickWithTheEmptyingHeld(5);
  headless::ClipboardEmpty();
  headless::ClipboardPutBitmap(SmallPicture(3));
  Tick();
  EXPECT_EQ(folder_.Files(), (std::vector<std::string>{"svbmp000.bmp", "svbmp001.bmp"}));
  EXPECT_EQ(test::ReadBytes(File("svbmp001.bmp")), ExpectedFile(SmallPicture(3)));
  EXPECT_EQ(form_.GetFileNumber(), 2);
}

TEST_F(CaptureCycle, VanishedFolderStopsPollingAndFails) {
  headless::ClipboardPutBitmap(SmallPicture());
  const AnsiString gone = folder_.File("gone");
  std::filesystem::create_directory(gone);
  headless::UserTypes(*form_.Edit1, gone);
  ASSERT_TRUE(form_.Timer1->Enabled());  // polling the folder before it vanishes
  std::filesystem::remove(gone);
  Tick();
  EXPECT_FALSE(form_.Timer1->Enabled());
  EXPECT_EQ(form_.GetFileNumber(), 0);
  EXPECT_EQ(headless::ClipboardFormats(), std::vector<ClipboardFormat>{kCfBitmap});
}

TEST_F(CaptureCycle, EmptyFolderTextWritesNoFileAnywhere) {
  headless::UserTypes(*form_.Edit1, "");
  headless::ClipboardPutBitmap(SmallPicture());
  // Polling can be on with an empty text (the folder button turns it on whatever the text).
  form_.Timer1->SetEnabled(true);
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(folder_.Path());
  Tick();
  std::filesystem::current_path(cwd);
  EXPECT_TRUE(folder_.Files().empty());
  EXPECT_EQ(form_.GetFileNumber(), 0);
  EXPECT_FALSE(form_.Timer1->Enabled());
  EXPECT_EQ(headless::ClipboardFormats(), std::vector<ClipboardFormat>{kCfBitmap});
}

TEST_F(CaptureCycle, NumbersGoOnPast99999) {
  headless::UserTypes(*form_.SpinEdit1, "99999");
  headless::ClipboardPutBitmap(SmallPicture());
  Tick();
  headless::ClipboardPutBitmap(SmallPicture(1));
  Tick();
  EXPECT_EQ(folder_.Files(), (std::vector<std::string>{"svbmp100000.bmp", "svbmp99999.bmp"}));
  EXPECT_EQ(form_.GetFileNumber(), 100001);
  EXPECT_EQ(form_.SpinEdit1->Text(), "99999");
  headless::UserTypes(*form_.Edit2, "x");  // editing the prefix keeps the number
  EXPECT_EQ(form_.GetFileNumber(), 100001);
  EXPECT_EQ(form_.Label4->Caption(), "x100001.bmp");
}

TEST_F(CaptureCycle, MetafileListedFirstIsSavedAsItsBytes) {
  const std::vector<std::uint8_t> emf = {1, 0, 0, 0, 0x20, 0x45, 0x4D, 0x46};
  headless::ClipboardPutMetafile(emf);
  headless::ClipboardPutBitmap(SmallPicture());
  Tick();
  const auto bytes = test::ReadBytes(File("svbmp000.bmp"));
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), emf);
}

// Which of the formats a program put is saved: a device-independent bitmap listed before the
// bitmap is the picture, where it can be copied directly (the headless display copies 32 bits
// only); otherwise, and after a metafile, the order is as it always was.
TEST_F(CaptureCycle, FormatListedFirstIsTheOneSaved) {
  const headless::Picture dib = Fixture(3, 2, 32, 7), bitmap = Fixture(3, 2, 32, 8);
  const headless::Picture monoDib = Fixture(3, 2, 1, 1);
  const std::vector<std::uint8_t> emf = {1, 0, 0, 0, 0x20, 0x45, 0x4D, 0x46};
  struct Case {
    const char* what;
    std::function<void()> put;
    std::vector<unsigned char> saved;
  } cases[] = {
      {"the DIB, then the bitmap",
       [&] { headless::ClipboardPutDib(dib), headless::ClipboardPutBitmap(bitmap); },
       ExpectedFile(dib)},
      {"the bitmap, then the DIB",
       [&] { headless::ClipboardPutBitmap(bitmap), headless::ClipboardPutDib(dib); },
       ExpectedFile(bitmap)},
      {"a DIB not copied directly, then the bitmap",
       [&] { headless::ClipboardPutDib(monoDib), headless::ClipboardPutBitmap(bitmap); },
       ExpectedFile(bitmap)},
      {"the DIB, a metafile, then the bitmap",
       [&] {
         headless::ClipboardPutDib(dib);
         headless::ClipboardPutMetafile(emf);
         headless::ClipboardPutBitmap(bitmap);
       },
       std::vector<unsigned char>(emf.begin(), emf.end())},
  };
  int number = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.put();
    Tick();
    const std::string name = "svbmp00" + std::to_string(number++) + ".bmp";
    EXPECT_EQ(test::ReadBytes(File(name.c_str())), c.saved);
    EXPECT_TRUE(headless::ClipboardFormats().empty());
  }
}

// A PNG picture with no bitmap and no metafile beside it is saved like a bitmap of its colours
// (the alpha dropped), emptied and numbered the same way; beside a metafile it is no picture, and
// one that does not decode fails the attempt and stays.
TEST_F(CaptureCycle, PngWithoutABitmapIsAPictureToo) {
  headless::Picture png = Fixture(3, 2, 32, 9);
  headless::Picture withAlpha = png;
  for (std::uint32_t& p : withAlpha.pixels) p |= 0x80000000u;
  headless::ClipboardPutPng(withAlpha);
  Tick();
  EXPECT_EQ(test::ReadBytes(File("svbmp000.bmp")), ExpectedFile(png));
  EXPECT_TRUE(headless::ClipboardFormats().empty());
  EXPECT_EQ(form_.GetFileNumber(), 1);

  headless::ClipboardPutMetafile({1, 0, 0, 0, 0x20, 0x45, 0x4D, 0x46});
  headless::ClipboardPutPng(png);
  Tick();
  EXPECT_EQ(folder_.Files(), std::vector<std::string>{"svbmp000.bmp"});
  EXPECT_EQ(headless::ClipboardOpenAttempts(), 2);  // the one save's transfer and emptying only

  headless::ClipboardEmpty();
  headless::ClipboardPutPng(headless::Picture{4, 3, 32, {}});  // does not decode
  StateOf(form_).writes.clear();
  Tick();
  EXPECT_EQ(StateOf(form_).writes,
            (std::vector<AnsiString>{Saving("svbmp001.bmp"), Saving("svbmp001.bmp") + kFailedSuffix,
                                     "Quorrel"}));
  EXPECT_EQ(headless::ClipboardFormats(), std::vector<ClipboardFormat>{headless::kPngFormat});
  EXPECT_EQ(form_.GetFileNumber(), 1);
}

TEST_F(CaptureCycle, FailedTransferKeepsTheEarlierPicture) {
  headless::ClipboardPutBitmap(SmallPicture());
  Tick();
  TGraphic* earlier = form_.Image1->Picture.Graphic();
  ASSERT_NE(earlier, nullptr);
  headless::ClipboardPutBitmap(headless::Picture{0, 0, 32, {}});  // no valid bitmap
  Tick();
  EXPECT_EQ(form_.Image1->Picture.Graphic(), earlier);
  EXPECT_EQ(folder_.Files(), std::vector<std::string>{"svbmp000.bmp"});
}

TEST_F(CaptureCycle, FullDiskLeavesHeadersAndAFailure) {
  headless::ClipboardPutBitmap(SmallPicture());
  headless::LimitDiskSpace(54 + 10);  // room for the headers and part of the rows
  Tick();
  const auto partial = test::ReadBytes(File("svbmp000.bmp"));
  const auto whole = ExpectedFile(SmallPicture());
  EXPECT_EQ(partial, std::vector<unsigned char>(whole.begin(), whole.begin() + 64));
  EXPECT_EQ(form_.GetFileNumber(), 0);
  EXPECT_EQ(headless::ClipboardFormats(), std::vector<ClipboardFormat>{kCfBitmap});
}

}  // namespace
}  // namespace zinnow
