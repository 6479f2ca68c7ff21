// The block Wine's clipboard leaves in our process after another program's picture is read: taken
// back at each read, and never a block that is not exactly that one.
#include <windows.h>

#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "capture/picture_transfer.h"
#include "platform/clipboard.h"
#include "platform/win32/wine_handover_win32.h"
#include "tests/win32/picture_fixture.h"
#include "tests/win32/wine_support.h"

namespace zinnow {
namespace {

using win32::HandedOver;
using win32::HandoverLeftover;
using win32::HeapBlock;

TEST(WineHandoverVersion, OnlyEightToTenLeaveTheBlockBehind) {
  struct Case {
    const char* version;
    bool leaves;
  };
  const Case cases[] = {
      {"8.0", true},                                             // Debian 12's
      {"8.21", true},                                            // a development release
      {"9.0", true},   {"10.0", true},      {"10.0-rc1", true},  // a release candidate
      {"10", true},                                              // no minor number
      {"7.22", false},  // before the clipboard moved its cache to win32u
      {"11.0", false},  // not known to leave it
      {"1.8", false},  {"80.0", false},     {"1000.0", false},
      {"", false},     {"wine-8.0", false},  // garbage: not a version's text
      {" 8.0", false}, {"8x", false},       {nullptr, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(win32::WineVersionLeavesHandover(c.version), c.leaves)
        << (c.version ? c.version : "(none)");
  }
}

// The recognition, on blocks made here: what the hand-over of a small bitmap, a palette and a
// metafile leaves, and blocks that differ from it in one respect each.
class HandoverRecognition : public ::testing::Test {
 protected:
  // A block of `size` bytes with room to spare, so that a size may be told larger than the bytes.
  struct Made {
    std::vector<std::uint8_t> bytes;
    HeapBlock block;
  };
  static Made Block(const std::vector<std::uint8_t>& content) {
    Made made;
    made.bytes.assign(content.size() + 64, 0);
    std::memcpy(made.bytes.data(), content.data(), content.size());
    made.block = {made.bytes.data(), content.size(), true};
    return made;
  }
  static const void* Found(const std::vector<HeapBlock>& before,
                           const std::vector<HeapBlock>& after, const HandedOver& handed) {
    return HandoverLeftover(before, after, handed);
  }
  // One block a case, made by `make` and then changed: found when new and `found` says so, never
  // when it was noted before the read, whatever it holds.
  struct Change {
    const char* change;
    std::function<void(Made&)> apply;
    bool found;
  };
  static void ExpectFound(const std::vector<Change>& cases, const std::function<Made()>& make,
                          const HandedOver& handed) {
    for (const Change& c : cases) {
      SCOPED_TRACE(c.change);
      Made made = make();
      c.apply(made);
      EXPECT_EQ(Found({}, {made.block}, handed), c.found ? made.block.data : nullptr);
      EXPECT_EQ(Found({made.block}, {made.block}, handed), nullptr);
    }
  }
};

// The bytes Wine's hand-over of `bitmap` leaves at `at`: the BITMAP, pointing just past itself
// (nowhere without `at`), then the rows.
std::vector<std::uint8_t> BitmapHandover(HBITMAP bitmap, std::uint8_t* at) {
  BITMAP bm{};
  GetObjectA(bitmap, sizeof bm, &bm);
  std::vector<std::uint8_t> bytes(sizeof(BITMAP) + bm.bmWidthBytes * bm.bmHeight);
  bm.bmBits = at ? at + sizeof(BITMAP) : nullptr;
  std::memcpy(bytes.data(), &bm, sizeof bm);
  GetBitmapBits(bitmap, bm.bmWidthBytes * bm.bmHeight, bytes.data() + sizeof(BITMAP));
  return bytes;
}

TEST_F(HandoverRecognition, BitmapOnlyTheExactNewBlock) {
  HBITMAP bitmap = test::FixtureBitmap(5, 3, 7);  // rows of 20 bytes; every pixel differs
  HandedOver handed;
  ASSERT_TRUE(win32::DescribeHandedOver(CF_BITMAP, bitmap, handed));
  ASSERT_EQ(handed.bitmap.bmWidthBytes, 20);

  auto header = [](Made& m) { return reinterpret_cast<BITMAP*>(m.bytes.data()); };
  const std::vector<Change> cases = {
      {"none", [](Made&) {}, true},
      {"not a fixed global block", [](Made& m) { m.block.fixedGlobal = false; }, false},
      {"one byte shorter", [](Made& m) { --m.block.size; }, false},
      {"one byte longer", [](Made& m) { ++m.block.size; }, false},
      {"bits not set", [&](Made& m) { header(m)->bmBits = nullptr; }, false},
      {"bits a byte further",
       [&](Made& m) { header(m)->bmBits = static_cast<std::uint8_t*>(header(m)->bmBits) + 1; },
       false},
      {"another width", [&](Made& m) { header(m)->bmWidth = 4; }, false},
      {"another height", [&](Made& m) { header(m)->bmHeight = -3; }, false},
      {"another row width", [&](Made& m) { header(m)->bmWidthBytes = 22; }, false},
      {"another depth", [&](Made& m) { header(m)->bmBitsPixel = 24; }, false},
      {"two planes", [&](Made& m) { header(m)->bmPlanes = 2; }, false},
      {"another type", [&](Made& m) { header(m)->bmType = 1; }, false},
      {"a byte of the top row differs", [](Made& m) { m.bytes[sizeof(BITMAP) + 19] ^= 1; }, false},
  };
  ExpectFound(
      cases,
      [&] {
        Made made;
        made.bytes.resize(sizeof(BITMAP) + 60 + 64);
        const auto bytes = BitmapHandover(bitmap, made.bytes.data());
        std::memcpy(made.bytes.data(), bytes.data(), bytes.size());
        made.block = {made.bytes.data(), bytes.size(), true};
        return made;
      },
      handed);
  DeleteObject(bitmap);
}

TEST_F(HandoverRecognition, BitmapAmongOthers) {
  HBITMAP bitmap = test::FixtureBitmap(5, 3, 7);
  HandedOver handed;
  ASSERT_TRUE(win32::DescribeHandedOver(CF_BITMAP, bitmap, handed));
  std::vector<std::uint8_t> first(sizeof(BITMAP) + 60), second(sizeof(BITMAP) + 60);
  std::memcpy(first.data(), BitmapHandover(bitmap, first.data()).data(), first.size());
  std::memcpy(second.data(), BitmapHandover(bitmap, second.data()).data(), second.size());
  const HeapBlock a{first.data(), first.size(), true};
  const HeapBlock b{second.data(), second.size(), true};
  const HeapBlock other{second.data(), 24, true};  // a block of another thread's, say
  const HeapBlock sameSizeElsewhere{first.data(), first.size() + 32, true};

  EXPECT_EQ(Found({}, {other, a}, handed), a.data);
  EXPECT_EQ(Found({sameSizeElsewhere}, {a}, handed), a.data);  // the same address, another size
  EXPECT_EQ(Found({}, {a, b}, handed), nullptr);               // two alike: neither
  EXPECT_EQ(Found({a}, {a, b}, handed), b.data);
  DeleteObject(bitmap);
}

TEST_F(HandoverRecognition, PaletteOnlyTheExactNewBlock) {
  struct {
    WORD version = 0x300;
    WORD count = 3;
    PALETTEENTRY entries[3] = {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, PC_RESERVED}};
  } logical;
  HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical));
  HandedOver handed;
  ASSERT_TRUE(win32::DescribeHandedOver(CF_PALETTE, palette, handed));
  ASSERT_EQ(handed.entries.size(), 3u);
  std::vector<std::uint8_t> content(sizeof logical);
  std::memcpy(content.data(), &logical, sizeof logical);

  const std::vector<Change> cases = {
      {"none", [](Made&) {}, true},
      {"not a fixed global block", [](Made& m) { m.block.fixedGlobal = false; }, false},
      {"another version", [](Made& m) { m.bytes[0] = 1; }, false},
      {"one entry fewer told", [](Made& m) { m.bytes[2] = 2; }, false},
      {"an entry's flags differ", [](Made& m) { m.bytes[4 + 11] = 0; }, false},
      {"an entry's colour differs", [](Made& m) { m.bytes[4 + 4] = 40; }, false},
      {"an entry longer", [](Made& m) { m.block.size += 4; }, false},
      {"a byte shorter", [](Made& m) { --m.block.size; }, false},
  };
  ExpectFound(
      cases, [&] { return Block(content); }, handed);
  DeleteObject(palette);
}

HENHMETAFILE SmallMetafile() {
  HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  Rectangle(dc, 1, 2, 30, 40);
  return CloseEnhMetaFile(dc);
}

// The metafile's own copy of its bits is new at the read too, and alike; Wine's HeapAlloc leaves
// it unmarked.
TEST_F(HandoverRecognition, MetafileOnlyTheExactNewMarkedBlock) {
  HENHMETAFILE metafile = SmallMetafile();
  HandedOver handed;
  ASSERT_TRUE(win32::DescribeHandedOver(CF_ENHMETAFILE, metafile, handed));
  ASSERT_GT(handed.metafile.size(), 88u);

  const std::vector<Change> cases = {
      {"none", [](Made&) {}, true},
      {"not a fixed global block", [](Made& m) { m.block.fixedGlobal = false; }, false},
      {"the last byte differs", [](Made& m) { m.bytes[m.block.size - 1] ^= 1; }, false},
      {"the first byte differs", [](Made& m) { m.bytes[0] ^= 1; }, false},
      {"a byte shorter", [](Made& m) { --m.block.size; }, false},
      {"a byte longer", [](Made& m) { ++m.block.size; }, false},
  };
  ExpectFound(
      cases, [&] { return Block(handed.metafile); }, handed);

  Made leftover = Block(handed.metafile), copy = Block(handed.metafile);
  copy.block.fixedGlobal = false;
  EXPECT_EQ(Found({}, {copy.block, leftover.block}, handed), leftover.block.data);
  copy.block.fixedGlobal = true;
  EXPECT_EQ(Found({}, {copy.block, leftover.block}, handed), nullptr);
  DeleteEnhMetaFile(metafile);
}

// A description only of what the hand-over can have made.
TEST_F(HandoverRecognition, DescribesOnlyWhatCanBeHandedOver) {
  HandedOver handed;
  EXPECT_FALSE(win32::DescribeHandedOver(CF_BITMAP, nullptr, handed));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, 4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  EXPECT_FALSE(win32::DescribeHandedOver(CF_BITMAP, section, handed));  // never sent as such
  DeleteObject(section);
  HENHMETAFILE metafile = SmallMetafile();
  EXPECT_FALSE(win32::DescribeHandedOver(CF_METAFILEPICT, metafile, handed));
  DeleteEnhMetaFile(metafile);
}

// Reads with the reclaim on or off, restored afterwards.
class ReclaimSwitch {
 public:
  explicit ReclaimSwitch(bool on) : was_(win32::ReclaimsHandover()) {
    win32::UseHandoverReclaim(on);
  }
  ~ReclaimSwitch() { win32::UseHandoverReclaim(was_); }
  ReclaimSwitch(const ReclaimSwitch&) = delete;
  ReclaimSwitch& operator=(const ReclaimSwitch&) = delete;

 private:
  bool was_;
};

bool UnderWineThatLeavesTheBlock() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  FARPROC version = GetProcAddress(ntdll, "wine_get_version");
  return version && win32::WineVersionLeavesHandover(reinterpret_cast<const char* (*)()>(
                        reinterpret_cast<void (*)()>(version))());
}

void EmptyTheClipboard() {
  ScopedClipboard open;
  ASSERT_TRUE(open.IsOpen());
  clipboard::Empty();
}

// The blocks in use in the process heap, in address order: the test's own walk, apart from the
// one it checks.
using Blocks = std::vector<std::pair<const void*, SIZE_T>>;

Blocks BusyBlocks() {
  Blocks blocks;
  HANDLE heap = GetProcessHeap();
  HeapLock(heap);
  PROCESS_HEAP_ENTRY entry{};
  while (HeapWalk(heap, &entry)) {
    if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) blocks.emplace_back(entry.lpData, entry.cbData);
  }
  HeapUnlock(heap);
  std::sort(blocks.begin(), blocks.end());
  return blocks;
}

// What the hand-over of an object leaves: its bytes, and for a bitmap the place of the pointer
// to the rows, which points just past the BITMAP of the block that holds it.
struct Leftover {
  std::vector<std::uint8_t> bytes;
  bool bitmap = false;

  bool HeldBy(const void* data, SIZE_T size) const {
    if (size != bytes.size()) return false;
    std::vector<std::uint8_t> want = bytes;
    if (bitmap) {
      BITMAP header;
      std::memcpy(&header, want.data(), sizeof header);
      header.bmBits =
          const_cast<std::uint8_t*>(static_cast<const std::uint8_t*>(data)) + sizeof(BITMAP);
      std::memcpy(want.data(), &header, sizeof header);
    }
    return std::memcmp(data, want.data(), size) == 0;
  }
};

Leftover LeftoverOf(ClipboardFormat format, ClipboardHandle data) {
  Leftover leftover;
  if (format == kCfBitmap) {
    leftover.bytes = BitmapHandover(static_cast<HBITMAP>(data), nullptr);
    leftover.bitmap = true;
  } else if (format == kCfPalette) {
    const auto palette = static_cast<HPALETTE>(data);
    const WORD count = static_cast<WORD>(GetPaletteEntries(palette, 0, 0, nullptr));
    leftover.bytes.resize(4 + 4 * count);
    const WORD header[2] = {0x300, count};
    std::memcpy(leftover.bytes.data(), header, 4);
    GetPaletteEntries(palette, 0, count, reinterpret_cast<PALETTEENTRY*>(&leftover.bytes[4]));
  } else {
    const auto metafile = static_cast<HENHMETAFILE>(data);
    leftover.bytes.resize(GetEnhMetaFileBits(metafile, 0, nullptr));
    GetEnhMetaFileBits(metafile, leftover.bytes.size(), leftover.bytes.data());
  }
  return leftover;
}

// How many blocks not in `before` (by address and size) hold the leftover.
int NewBlocksHolding(const Blocks& before, const Leftover& leftover) {
  int count = 0;
  for (const auto& [data, size] : BusyBlocks()) {
    const bool old = std::binary_search(before.begin(), before.end(), std::make_pair(data, size));
    if (!old && leftover.HeldBy(data, size)) ++count;
  }
  return count;
}

class HandoverReclaim : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!UnderWineThatLeavesTheBlock()) GTEST_SKIP() << "not a Wine that leaves the block";
    EXPECT_TRUE(win32::ReclaimsHandover());  // decided from the version found at the start
    EmptyTheClipboard();
  }
  void TearDown() override { EmptyTheClipboard(); }
  test::TempFolder folder_;
};

// Each format another program put, read with the reclaim off and on. Off, the block the
// hand-over left stays after the system has deleted the objects it made (at the emptying): the
// check sees the leak. On, nothing of it stays; had the reclaim freed the object's own copy
// instead (a metafile keeps one, alike), Wine's block would be what stays. The objects read stay
// whole meanwhile.
TEST_F(HandoverReclaim, EachFormatLeavesNothingBehind) {
  struct Case {
    std::string put;
    ClipboardFormat format;
  };
  const std::string reference = folder_.File("reference.emf");
  const Case cases[] = {
      {"bitmap 64 48 3", kCfBitmap},
      {"mono 33 7", kCfBitmap},  // rows of 6 bytes, 5 of them used
      {"palette 5 3", kCfPalette},
      {"emf-first \"" + reference + "\"", kCfEnhMetafile},
  };
  for (const Case& c : cases) {
    for (const bool on : {false, true}) {
      SCOPED_TRACE(c.put + (on ? ", reclaim on" : ", reclaim off"));
      ReclaimSwitch reclaim(on);
      ASSERT_EQ(test::RunHelper(c.put), 0);
      ScopedClipboard open;
      ASSERT_TRUE(open.IsOpen());
      const Blocks before = BusyBlocks();
      const ClipboardHandle data = clipboard::Data(c.format);
      ASSERT_NE(data, nullptr);
      const Leftover leftover = LeftoverOf(c.format, data);
      ASSERT_FALSE(leftover.bytes.empty());
      if (c.format == kCfEnhMetafile) {
        EXPECT_EQ(leftover.bytes, test::ReadBytes(reference));
      }
      clipboard::Empty();
      EXPECT_EQ(NewBlocksHolding(before, leftover), on ? 0 : 1);
      EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
    }
  }
}

// A block of the very shape and content of the one the read will leave, there before the read:
// not new, so it stays allocated and unchanged, while the read's own is taken back.
TEST_F(HandoverReclaim, BlockAlikeFromBeforeTheReadStaysIntact) {
  HBITMAP same = test::FixtureBitmap(64, 48, 5);
  const std::size_t size = BitmapHandover(same, nullptr).size();
  auto* probe = static_cast<std::uint8_t*>(GlobalAlloc(GMEM_FIXED, size));
  ASSERT_NE(probe, nullptr);
  const std::vector<std::uint8_t> content = BitmapHandover(same, probe);
  std::memcpy(probe, content.data(), size);
  const Leftover leftover{content, true};
  DeleteObject(same);

  ASSERT_EQ(test::RunHelper("bitmap 64 48 5"), 0);
  {
    ScopedClipboard open;
    ASSERT_TRUE(open.IsOpen());
    const Blocks before = BusyBlocks();
    // The picture read is the probe's.
    ASSERT_TRUE(LeftoverOf(kCfBitmap, clipboard::Data(kCfBitmap)).HeldBy(probe, content.size()));
    EXPECT_EQ(NewBlocksHolding(before, leftover), 0);
    EXPECT_EQ(NewBlocksHolding({}, leftover), 1);  // the probe
  }
  EXPECT_EQ(HeapSize(GetProcessHeap(), 0, probe), content.size());
  EXPECT_EQ(std::memcmp(probe, content.data(), content.size()), 0);
  GlobalFree(probe);
}

SIZE_T Committed() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PagefileUsage;  // Wine leaves PrivateUsage at 0
}

// The bitmap file a 32-bit display gives for `bitmap W H SEED`, into `file`.
void ExpectedFile(int w, int h, std::uint32_t seed, std::vector<std::uint8_t>& file) {
  const std::uint32_t image = 4u * w * h;
  file.resize(54 + image);
  const BITMAPFILEHEADER head{0x4D42, 54 + image, 0, 0, 54};
  const BITMAPINFOHEADER info{40, w, h, 1, 32, BI_RGB, image, 0, 0, 0, 0};
  std::memcpy(file.data(), &head, sizeof head);
  std::memcpy(file.data() + sizeof head, &info, sizeof info);
  std::uint8_t* at = file.data() + 54;
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x, at += 4) {
      const std::uint32_t p = test::FixturePixel(x, y, seed) & 0xFFFFFF;
      std::memcpy(at, &p, 4);  // blue, green, red, 0
    }
  }
}

void ReadFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return;
  std::fseek(f, 0, SEEK_END);
  bytes.resize(std::ftell(f));
  std::fseek(f, 0, SEEK_SET);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
  std::fclose(f);
}

constexpr int kWidth = 1920, kHeight = 1080;
constexpr SIZE_T kPicture = 4u * kWidth * kHeight;

// `count` pictures put by another program, each taken, saved and emptied as the program does,
// each file checked byte for byte. The memory committed once `baseline` pictures were taken, and
// at the end.
void CaptureSeries(const test::TempFolder& folder, int count, int baseline, SIZE_T& atBaseline,
                   SIZE_T& atEnd) {
  test::Helper helper("series " + std::to_string(kWidth) + " " + std::to_string(kHeight) + " " +
                      std::to_string(count) + " 1");
  const std::string target = folder.File("svbmp000.bmp");
  std::vector<std::uint8_t> expected, saved;
  TPicture holder;
  for (int i = 0; i < count; ++i) {
    SCOPED_TRACE(testing::Message() << "picture " << i);
    // Put, and let go by the helper.
    ASSERT_TRUE(test::PumpUntil(
        [] { return clipboard::HasFormat(kCfBitmap) && GetOpenClipboardWindow() == nullptr; },
        60000));
    const std::uint32_t taken = TakeClipboardPicture(holder);
    WritePictureFile(holder, target);
    ASSERT_TRUE(EmptyClipboardIfUnchanged(taken));
    ReadFile(target, saved);
    ExpectedFile(kWidth, kHeight, 1 + i, expected);
    ASSERT_TRUE(saved == expected);
    if (i + 1 == baseline) atBaseline = Committed();
  }
  holder.Assign(nullptr);
  atEnd = Committed();
  EXPECT_EQ(helper.Finish(), 0);
}

// 200 pictures of 1920 x 1080: at the end, memory within two pictures and 10 MB of where it was
// after the first ten.
TEST_F(HandoverReclaim, TwoHundredPicturesKeepMemoryFlat) {
  SIZE_T afterTen = 0, atEnd = 0;
  CaptureSeries(folder_, 200, 10, afterTen, atEnd);
  std::printf("committed after 10 pictures %zu MB, after 200 %zu MB\n", afterTen >> 20,
              atEnd >> 20);
  EXPECT_LE(atEnd, afterTen + 2 * kPicture + (10u << 20));
}

// The same without the reclaim: each picture's block stays, and memory grows far past that
// bound (this leaves them in the test process).
TEST_F(HandoverReclaim, WithoutTheReclaimEachPictureStays) {
  ReclaimSwitch off(false);
  SIZE_T afterTwo = 0, atEnd = 0;
  CaptureSeries(folder_, 14, 2, afterTwo, atEnd);
  std::printf("without the reclaim: after 2 pictures %zu MB, after 14 %zu MB\n", afterTwo >> 20,
              atEnd >> 20);
  EXPECT_GT(atEnd, afterTwo + 2 * kPicture + (10u << 20));
  EXPECT_GE(atEnd, afterTwo + 10 * kPicture);
}

}  // namespace
}  // namespace zinnow
