#pragma once

// Under Wine 8 to 10, reading a bitmap, a palette or an enhanced metafile that another process put
// on the clipboard leaves behind, in our process heap, the block the data arrived in: user32's
// unmarshal_data (dlls/user32/clipboard.c) receives it into a GlobalAlloc(GMEM_FIXED) block, builds
// the object from it (CreateBitmapIndirect, CreatePalette, SetEnhMetaFileBits, each of which
// copies) and never frees the block. One picture's bytes a capture. This takes those blocks back,
// and only those: a block is freed when it is new since before the read and holds exactly what the
// hand-over of the returned object wrote, and it is the only such block.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zinnow::win32 {

// GetClipboardData; under the versions of Wine that leave the block behind, for CF_BITMAP,
// CF_PALETTE and CF_ENHMETAFILE, the block is freed afterwards. Other formats, and Windows
// itself, get GetClipboardData alone.
HANDLE ClipboardDataReclaimed(UINT format);

// Whether the text of wine_get_version ("8.0", "9.22", "10.0-rc1") names a version that leaves
// the block behind: 8, 9 and 10.
bool WineVersionLeavesHandover(const char* version);

// Whether the reads reclaim: decided once, from the Wine the program runs under. For tests: set
// it, to see the leak the reclaim prevents.
bool ReclaimsHandover();
void UseHandoverReclaim(bool on);

// A busy block of the process heap.
struct HeapBlock {
  const void* data = nullptr;
  std::size_t size = 0;
  // Wine's GlobalAlloc(GMEM_FIXED) gives its blocks their own address as the heap's user value;
  // other blocks of the heap (HeapAlloc's, such as the metafile's own copy of its bits) have none.
  bool fixedGlobal = false;
};

// The blocks of at least `minimum` bytes in use in the process heap, in address order. With
// `before`, only those not in it (by address and size), each with its mark looked up.
std::vector<HeapBlock> ProcessHeapBlocks(std::size_t minimum,
                                         const std::vector<HeapBlock>* before = nullptr);

// The returned object as its hand-over block holds it.
struct HandedOver {
  UINT format = 0;
  BITMAP bitmap{};                     // CF_BITMAP: GetObject of the bitmap
  std::vector<std::uint8_t> firstRow;  // CF_BITMAP: its top row, as GetBitmapBits gives it
  std::vector<PALETTEENTRY> entries;   // CF_PALETTE: all its entries
  std::vector<std::uint8_t> metafile;  // CF_ENHMETAFILE: GetEnhMetaFileBits
};

// Describes a handle GetClipboardData returned; false for one the hand-over cannot have made
// (a section, an empty palette, another format).
bool DescribeHandedOver(UINT format, HANDLE handle, HandedOver& handed);

// The one block of `after` that is new since `before` (in address order), marked as a fixed
// global block, and holds exactly the hand-over of `handed`; null when there is none, or more
// than one, so that nothing is freed when anything is in doubt. Reads the blocks' bytes only.
const void* HandoverLeftover(const std::vector<HeapBlock>& before,
                             const std::vector<HeapBlock>& after, const HandedOver& handed);

}  // namespace zinnow::win32
