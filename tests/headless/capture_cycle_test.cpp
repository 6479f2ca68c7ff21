// The polling tick on the headless backend: a clipboard filled by the test, real host files.
#include <gtest/gtest.h>

#include "app/zin_form.h"
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

class CaptureCycle : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Reset();
    form_.Edit1Change(nullptr);
    headless::UserTypes(*form_.Edit1, folder_.Str());
    ASSERT_TRUE(form_.Timer1->Enabled());
    StateOf(form_).writes.clear();
  }
  void TearDown() override { headless::Reset(); }

  void Tick() { headless::Tick(*form_.Timer1); }
  std::filesystem::path File(const char* name) const { return folder_.Path() / name; }
  AnsiString Saving(const char* name) const {
    return AnsiString(kSavingCaption) + folder_.Str() + "\\" + name;
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
  EXPECT_TRUE(test::FilesIn(folder_.Path()).empty());
  EXPECT_EQ(headless::ClipboardOpenAttempts(), 0);  // an idle tick never opens the clipboard
}

TEST_F(CaptureCycle, SavesEmptiesAndAdvances) {
  headless::ClipboardPutBitmap(SmallPicture());
  Tick();
  EXPECT_EQ(test::FilesIn(folder_.Path()), std::vector<std::string>{"svbmp000.bmp"});
  EXPECT_EQ(test::ReadBytes(File("svbmp000.bmp")).size(), 78u);
  EXPECT_TRUE(headless::ClipboardFormats().empty());
  EXPECT_EQ(form_.GetFileNumber(), 1);
  EXPECT_EQ(form_.SpinEdit1->Text(), "0");  // shown until the next recompute
  EXPECT_EQ(form_.Label4->Caption(), "svbmp000.bmp");
  EXPECT_EQ(StateOf(form_).writes, (std::vector<AnsiString>{Saving("svbmp000.bmp"), "Quorrel"}));
  EXPECT_EQ(StateOf(form_).repaints, 1);

  Tick();  // nothing left to save
  headless::ClipboardPutBitmap(SmallPicture(1));
  Tick();
  EXPECT_EQ(test::FilesIn(folder_.Path()),
            (std::vector<std::string>{"svbmp000.bmp", "svbmp001.bmp"}));
  EXPECT_EQ(form_.GetFileNumber(), 2);
}

TEST_F(CaptureCycle, FailedWriteLeavesPictureAndNumber) {
  headless::ClipboardPutBitmap(SmallPicture());
  headless::HoldFileOpen(folder_.Str() + "\\svbmp000.bmp");
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

TEST_F(CaptureCycle, ClipboardHeldBrieflyIsWaitedFor) {
  headless::ClipboardPutBitmap(SmallPicture());
  headless::ClipboardHeldFor(ScopedClipboard::kTries - 1);
  Tick();
  EXPECT_EQ(test::FilesIn(folder_.Path()), std::vector<std::string>{"svbmp000.bmp"});
  EXPECT_EQ(form_.GetFileNumber(), 1);
}

TEST_F(CaptureCycle, ClipboardHeldLongerFailsTheTransfer) {
  headless::ClipboardPutBitmap(SmallPicture());
  headless::ClipboardHeldFor(ScopedClipboard::kTries);
  Tick();
  EXPECT_TRUE(test::FilesIn(folder_.Path()).empty());
  EXPECT_EQ(form_.GetFileNumber(), 0);
  Tick();  // released: saved once
  EXPECT_EQ(test::FilesIn(folder_.Path()), std::vector<std::string>{"svbmp000.bmp"});
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
  EXPECT_EQ(test::FilesIn(folder_.Path()),
            (std::vector<std::string>{"svbmp000.bmp", "svbmp001.bmp"}));
  EXPECT_NE(test::ReadBytes(File("svbmp000.bmp")), test::ReadBytes(File("svbmp001.bmp")));
  EXPECT_TRUE(headless::ClipboardFormats().empty());
}

TEST_F(CaptureCycle, PictureIsNotSavedTwiceWhenEmptyingFails) {
  headless::ClipboardPutBitmap(SmallPicture());
  int opens = 0;
  headless::OnClipboardOpened([&] {
    if (++opens == 1) headless::ClipboardHeldFor(ScopedClipboard::kTries);  // held at the emptying
  });
  Tick();
  headless::OnClipboardOpened(nullptr);
  EXPECT_EQ(form_.GetFileNumber(), 1);
  EXPECT_EQ(headless::ClipboardFormats(), std::vector<ClipboardFormat>{kCfBitmap});
  Tick();  // only the emptying is tried again
  EXPECT_EQ(test::FilesIn(folder_.Path()), std::vector<std::string>{"svbmp000.bmp"});
  EXPECT_TRUE(headless::ClipboardFormats().empty());
  EXPECT_EQ(form_.GetFileNumber(), 1);
}

TEST_F(CaptureCycle, NewPictureAfterAFailedEmptyingIsSaved) {
  headless::ClipboardPutBitmap(SmallPicture());
  int opens = 0;
  headless::OnClipboardOpened([&] {
    if (++opens == 1) headless::ClipboardHeldFor(ScopedClipboard::kTries);
  });
  Tick();
  headless::OnClipboardOpened(nullptr);
  headless::ClipboardEmpty();
  headless::ClipboardPutBitmap(SmallPicture(3));
  Tick();
  EXPECT_EQ(test::FilesIn(folder_.Path()),
            (std::vector<std::string>{"svbmp000.bmp", "svbmp001.bmp"}));
  EXPECT_EQ(form_.GetFileNumber(), 2);
}

TEST_F(CaptureCycle, VanishedFolderStopsPollingAndFails) {
  headless::ClipboardPutBitmap(SmallPicture());
  const AnsiString gone = folder_.Str() + "\\gone";
  std::filesystem::create_directory(gone);
  headless::UserTypes(*form_.Edit1, gone);
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
  EXPECT_TRUE(test::FilesIn(folder_.Path()).empty());
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
  EXPECT_EQ(test::FilesIn(folder_.Path()),
            (std::vector<std::string>{"svbmp100000.bmp", "svbmp99999.bmp"}));
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

TEST_F(CaptureCycle, FailedTransferKeepsTheEarlierPicture) {
  headless::ClipboardPutBitmap(SmallPicture());
  Tick();
  TGraphic* earlier = form_.Image1->Picture.Graphic();
  ASSERT_NE(earlier, nullptr);
  headless::ClipboardPutBitmap(headless::Picture{0, 0, 32, {}});  // no valid bitmap
  Tick();
  EXPECT_EQ(form_.Image1->Picture.Graphic(), earlier);
  EXPECT_EQ(test::FilesIn(folder_.Path()), std::vector<std::string>{"svbmp000.bmp"});
}

TEST_F(CaptureCycle, FullDiskLeavesHeadersAndAFailure) {
  headless::ClipboardPutBitmap(SmallPicture());
  headless::LimitDiskSpace(54 + 10);  // room for the headers and part of the rows
  Tick();
  EXPECT_EQ(test::ReadBytes(File("svbmp000.bmp")).size(), 64u);
  EXPECT_EQ(form_.GetFileNumber(), 0);
  EXPECT_EQ(headless::ClipboardFormats(), std::vector<ClipboardFormat>{kCfBitmap});
}

}  // namespace
}  // namespace zinnow
