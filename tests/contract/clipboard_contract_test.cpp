// What the capture relies on from the clipboard, proven against whichever backend is linked: the
// headless one on the host, the desktop's real clipboard under Wine filled by another process.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/clipboard.h"
#include "platform/graphics.h"
#include "tests/contract/driver.h"

namespace zinnow {
namespace {

std::vector<ClipboardFormat> ListedFormats() {
  ScopedClipboard open;
  EXPECT_TRUE(open.IsOpen());
  std::vector<ClipboardFormat> formats;
  for (ClipboardFormat f = clipboard::NextFormat(0); f != 0; f = clipboard::NextFormat(f)) {
    formats.push_back(f);
  }
  return formats;
}

class ClipboardContract : public ::testing::Test {
 protected:
  void TearDown() override { test::OtherProgramEmpties(); }
};

// A device-independent bitmap alone also offers a bitmap, listed after what was put, that the
// picture classes take.
TEST_F(ClipboardContract, DeviceIndependentBitmapAloneOffersABitmap) {
  test::OtherProgramPuts({kCfDib});
  EXPECT_TRUE(clipboard::HasFormat(kCfDib));
  EXPECT_TRUE(clipboard::HasFormat(kCfBitmap));
  const auto formats = ListedFormats();
  ASSERT_FALSE(formats.empty());
  EXPECT_EQ(formats[0], kCfDib);
  EXPECT_NE(std::find(formats.begin() + 1, formats.end(), kCfBitmap), formats.end());

  ScopedClipboard open;
  ASSERT_TRUE(open.IsOpen());
  const ClipboardHandle bitmap = clipboard::Data(kCfBitmap);
  ASSERT_NE(bitmap, nullptr);
  auto taken = TBitmap::FromClipboard(bitmap, nullptr);
  EXPECT_EQ(taken->DeviceIndependentImage().header.width, 3);
  EXPECT_EQ(taken->DeviceIndependentImage().header.height, 2);
}

TEST_F(ClipboardContract, FormatsComeInTheOrderTheyWerePut) {
  const std::vector<std::vector<ClipboardFormat>> orders = {
      {kCfEnhMetafile, kCfBitmap, kCfText},
      {kCfText, kCfBitmap},
      {kCfBitmap, kCfEnhMetafile},
  };
  for (const auto& order : orders) {
    test::OtherProgramPuts(order);
    const auto formats = ListedFormats();
    ASSERT_GE(formats.size(), order.size());
    // The system may list formats it derives after them.
    EXPECT_EQ(std::vector<ClipboardFormat>(formats.begin(), formats.begin() + order.size()), order);
  }
}

TEST_F(ClipboardContract, NothingPutNothingListed) {
  test::OtherProgramPuts({});
  EXPECT_FALSE(clipboard::HasFormat(kCfBitmap));
  EXPECT_TRUE(ListedFormats().empty());
  ScopedClipboard open;
  EXPECT_EQ(clipboard::Data(kCfBitmap), nullptr);
}

// The emptying's guard rests on this: the number moves with every change of content, and only
// then.
TEST_F(ClipboardContract, SequenceNumberChangesWithTheContentOnly) {
  test::OtherProgramPuts({kCfBitmap});
  const std::uint32_t put = clipboard::SequenceNumber();
  { ScopedClipboard open; }
  EXPECT_EQ(clipboard::SequenceNumber(), put) << "an open and a close change nothing";
  {
    ScopedClipboard open;
    clipboard::Data(kCfBitmap);
  }
  EXPECT_EQ(clipboard::SequenceNumber(), put) << "nor does reading";

  test::OtherProgramPuts({kCfBitmap});
  const std::uint32_t second = clipboard::SequenceNumber();
  EXPECT_NE(second, put) << "another program's put";
  {
    ScopedClipboard open;
    ASSERT_TRUE(open.IsOpen());
    clipboard::Empty();
  }
  EXPECT_NE(clipboard::SequenceNumber(), second) << "our own emptying";
  EXPECT_FALSE(clipboard::HasFormat(kCfBitmap));
}

// Held by another program: the scoped open gives up after its tries and leaves nothing open;
// once it is free the clipboard opens again.
TEST_F(ClipboardContract, ScopedOpenGivesUpWhileAnotherProgramHoldsIt) {
  test::OtherProgramPuts({kCfBitmap});
  {
    test::ClipboardHeldElsewhere held;
    ScopedClipboard open;
    EXPECT_FALSE(open.IsOpen());
    EXPECT_EQ(clipboard::NextFormat(0), 0u);
    EXPECT_TRUE(clipboard::HasFormat(kCfBitmap)) << "the test for a format needs no open";
  }
  ScopedClipboard open;
  EXPECT_TRUE(open.IsOpen());
  EXPECT_NE(clipboard::Data(kCfBitmap), nullptr);
}

}  // namespace
}  // namespace zinnow
