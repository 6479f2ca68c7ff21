#include "platform/win32/wine_handover_win32.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace zinnow::win32 {
namespace {

using WineVersionFunction = const char*(CDECL*)();
using UserInfoFunction = BOOLEAN(NTAPI*)(HANDLE heap, ULONG flags, void* block, void** userValue,
                                         ULONG* userFlags);

template <typename Function>
Function NtdllFunction(const char* name) {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  FARPROC found = ntdll ? GetProcAddress(ntdll, name) : nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

// The reclaim's state, decided once at the first read.
struct HandoverState {
  bool reclaim = false;
  UserInfoFunction userInfo = nullptr;  // how a block's mark is read (ntdll)
};

HandoverState& State() {
  static HandoverState state = [] {
    HandoverState made;
    const auto wineVersion = NtdllFunction<WineVersionFunction>("wine_get_version");
    made.userInfo = NtdllFunction<UserInfoFunction>("RtlGetUserInfoHeap");
    made.reclaim = wineVersion && made.userInfo && WineVersionLeavesHandover(wineVersion());
    return made;
  }();
  return state;
}

bool IsHandedOverFormat(UINT format) {
  return format == CF_BITMAP || format == CF_PALETTE || format == CF_ENHMETAFILE;
}

// The smallest block the format's hand-over can leave: a bitmap of one 1-bit pixel (its rows
// are word-aligned), a palette of one entry, the oldest form of the metafile's header alone.
std::size_t SmallestBlock(UINT format) {
  switch (format) {
    case CF_BITMAP:
      return sizeof(BITMAP) + 2;
    case CF_PALETTE:
      return offsetof(LOGPALETTE, palPalEntry) + sizeof(PALETTEENTRY);
    default:
      return offsetof(ENHMETAHEADER, cbPixelFormat);
  }
}

// Wine's GlobalAlloc(GMEM_FIXED) (kernelbase's LocalAlloc) asks the heap for room for a user
// value and stores the block's own address there; HeapAlloc's blocks, such as the copy
// SetEnhMetaFileBits keeps of a metafile's bits, hold none.
bool FixedGlobal(HANDLE heap, const void* block) {
  void* userValue = nullptr;
  ULONG userFlags = 0;
  const UserInfoFunction userInfo = State().userInfo;
  return userInfo && userInfo(heap, 0, const_cast<void*>(block), &userValue, &userFlags) &&
         userValue == block;
}

bool Contains(const std::vector<HeapBlock>& blocks, const HeapBlock& block) {
  const auto at = std::lower_bound(
      blocks.begin(), blocks.end(), block.data,
      [](const HeapBlock& b, const void* data) { return std::less<const void*>()(b.data, data); });
  return at != blocks.end() && at->data == block.data && at->size == block.size;
}

const std::uint8_t* Bytes(const HeapBlock& block) {
  return static_cast<const std::uint8_t*>(block.data);
}

// marshal_data sends the BITMAP and then the rows, word-aligned; unmarshal_data points bmBits at
// the rows, just past the BITMAP, and the block has the size of what was received.
bool HoldsBitmap(const HeapBlock& block, const HandedOver& handed) {
  const BITMAP& want = handed.bitmap;
  const std::uint64_t rows = static_cast<std::uint64_t>(want.bmWidthBytes) *
                             std::abs(static_cast<long long>(want.bmHeight));
  if (block.size != sizeof(BITMAP) + rows) return false;
  if (handed.firstRow.size() != static_cast<std::size_t>(want.bmWidthBytes)) return false;
  BITMAP header;
  std::memcpy(&header, block.data, sizeof header);
  return header.bmType == want.bmType && header.bmWidth == want.bmWidth &&
         header.bmHeight == want.bmHeight && header.bmWidthBytes == want.bmWidthBytes &&
         header.bmPlanes == want.bmPlanes && header.bmBitsPixel == want.bmBitsPixel &&
         header.bmBits == Bytes(block) + sizeof(BITMAP) &&
         std::memcmp(Bytes(block) + sizeof(BITMAP), handed.firstRow.data(),
                     handed.firstRow.size()) == 0;
}

// A LOGPALETTE of version 0x300 with every entry (marshal_data's, received as it was sent).
bool HoldsPalette(const HeapBlock& block, const HandedOver& handed) {
  const std::size_t count = handed.entries.size();
  const std::size_t header = offsetof(LOGPALETTE, palPalEntry);
  if (count == 0 || block.size != header + count * sizeof(PALETTEENTRY)) return false;
  WORD version, entries;
  std::memcpy(&version, Bytes(block) + offsetof(LOGPALETTE, palVersion), sizeof version);
  std::memcpy(&entries, Bytes(block) + offsetof(LOGPALETTE, palNumEntries), sizeof entries);
  return version == 0x300 && entries == count &&
         std::memcmp(Bytes(block) + header, handed.entries.data(), count * sizeof(PALETTEENTRY)) ==
             0;
}

// The metafile's own bits, nothing before or after them.
bool HoldsMetafile(const HeapBlock& block, const HandedOver& handed) {
  return !handed.metafile.empty() && block.size == handed.metafile.size() &&
         std::memcmp(block.data, handed.metafile.data(), block.size) == 0;
}

bool Holds(const HeapBlock& block, const HandedOver& handed) {
  switch (handed.format) {
    case CF_BITMAP:
      return HoldsBitmap(block, handed);
    case CF_PALETTE:
      return HoldsPalette(block, handed);
    case CF_ENHMETAFILE:
      return HoldsMetafile(block, handed);
    default:
      return false;
  }
}

}  // namespace

bool WineVersionLeavesHandover(const char* version) {
  if (version == nullptr) return false;
  int major = 0;
  int digits = 0;
  for (; version[digits] >= '0' && version[digits] <= '9' && digits < 3; ++digits) {
    major = major * 10 + (version[digits] - '0');
  }
  const char after = version[digits];
  return digits > 0 && (after == '\0' || after == '.') && major >= 8 && major <= 10;
}

bool ReclaimsHandover() {
  return State().reclaim;
}

void UseHandoverReclaim(bool on) {
  State().reclaim = on;
}

std::vector<HeapBlock> ProcessHeapBlocks(std::size_t minimum,
                                         const std::vector<HeapBlock>* before) {
  HANDLE heap = GetProcessHeap();
  std::vector<HeapBlock> blocks;
  // The list lives in the C runtime's own heap, not the one walked.
  blocks.reserve(before ? 16 : 4096);
  if (!HeapLock(heap)) return blocks;
  PROCESS_HEAP_ENTRY entry{};
  while (HeapWalk(heap, &entry)) {
    if (!(entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) || entry.cbData < minimum) continue;
    HeapBlock block{entry.lpData, entry.cbData, false};
    if (before) {
      if (Contains(*before, block)) continue;
      block.fixedGlobal = FixedGlobal(heap, block.data);
    }
    blocks.push_back(block);
  }
  HeapUnlock(heap);
  std::sort(blocks.begin(), blocks.end(), [](const HeapBlock& a, const HeapBlock& b) {
    return std::less<const void*>()(a.data, b.data);
  });
  return blocks;
}

bool DescribeHandedOver(UINT format, HANDLE handle, HandedOver& handed) {
  handed = HandedOver{};
  handed.format = format;
  if (handle == nullptr) return false;
  switch (format) {
    case CF_BITMAP: {
      BITMAP& bm = handed.bitmap;
      if (GetObjectA(handle, sizeof bm, &bm) != sizeof bm || bm.bmBits != nullptr ||
          bm.bmWidthBytes <= 0) {
        return false;  // a section is never handed over between processes
      }
      handed.firstRow.resize(bm.bmWidthBytes);
      return GetBitmapBits(static_cast<HBITMAP>(handle), bm.bmWidthBytes, handed.firstRow.data()) ==
             bm.bmWidthBytes;
    }
    case CF_PALETTE: {
      WORD count = 0;
      if (GetObjectA(handle, sizeof count, &count) != sizeof count || count == 0) return false;
      handed.entries.resize(count);
      return GetPaletteEntries(static_cast<HPALETTE>(handle), 0, count, handed.entries.data()) ==
             count;
    }
    case CF_ENHMETAFILE: {
      const auto metafile = static_cast<HENHMETAFILE>(handle);
      const UINT size = GetEnhMetaFileBits(metafile, 0, nullptr);
      if (size == 0) return false;
      handed.metafile.resize(size);
      return GetEnhMetaFileBits(metafile, size, handed.metafile.data()) == size;
    }
    default:
      return false;
  }
}

const void* HandoverLeftover(const std::vector<HeapBlock>& before,
                             const std::vector<HeapBlock>& after, const HandedOver& handed) {
  const void* found = nullptr;
  for (const HeapBlock& block : after) {
    if (!block.fixedGlobal || Contains(before, block) || !Holds(block, handed)) continue;
    // Two alike (an earlier hand-over given up on, another thread's copy): which one Wine left
    // cannot be told, so neither is freed.
    if (found) return nullptr;
    found = block.data;
  }
  return found;
}

HANDLE ClipboardDataReclaimed(UINT format) {
  if (!IsHandedOverFormat(format) || !ReclaimsHandover()) return GetClipboardData(format);
  // Only blocks that could be the leftover are noted; the walk is a fraction of the read's time.
  const std::size_t minimum = SmallestBlock(format);
  const std::vector<HeapBlock> before = ProcessHeapBlocks(minimum);
  HANDLE data = GetClipboardData(format);
  // A format read before, of the same content, is Wine's cached object: nothing new to find.
  HandedOver handed;
  if (!DescribeHandedOver(format, data, handed)) return data;
  // Held from the walk to the free, so that no other thread's block can take the found one's
  // place in between. The lock is recursive: the walk's and GlobalFree's own take it again.
  HANDLE heap = GetProcessHeap();
  if (!HeapLock(heap)) return data;
  const std::vector<HeapBlock> fresh = ProcessHeapBlocks(minimum, &before);
  if (const void* leftover = HandoverLeftover(before, fresh, handed)) {
    GlobalFree(const_cast<void*>(leftover));
  }
  HeapUnlock(heap);
  return data;
}

}  // namespace zinnow::win32
