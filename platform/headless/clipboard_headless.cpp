#include <memory>
#include <variant>
#include <vector>

#include "platform/clipboard.h"
#include "platform/headless/headless.h"

namespace zinnow {
namespace {

struct Entry {
  ClipboardFormat format;
  std::shared_ptr<void> data;
};

struct Board {
  std::vector<Entry> entries;
  std::uint32_t sequence = 1;
  bool open = false;
  int heldFor = 0;
  int openAttempts = 0;
  std::function<void()> onOpened;
};

Board& TheBoard() {
  static Board board;
  return board;
}

template <typename T>
void Put(ClipboardFormat format, T value) {
  Board& board = TheBoard();
  board.entries.push_back({format, std::make_shared<T>(std::move(value))});
  ++board.sequence;
}

const Entry* Find(ClipboardFormat format) {
  for (const Entry& e : TheBoard().entries) {
    if (e.format == format) return &e;
  }
  return nullptr;
}

// As on Windows, a device-independent bitmap alone also offers a bitmap, listed after every
// format that was put.
const Entry* SynthesizedBitmap() {
  if (Find(kCfBitmap) != nullptr) return nullptr;
  return Find(kCfDib);
}

}  // namespace

namespace clipboard {

bool HasFormat(ClipboardFormat format) {
  return Find(format) != nullptr || (format == kCfBitmap && SynthesizedBitmap() != nullptr);
}

std::uint32_t SequenceNumber() {
  return TheBoard().sequence;
}

bool TryOpen() {
  Board& board = TheBoard();
  ++board.openAttempts;
  if (board.heldFor > 0) {
    --board.heldFor;
    return false;
  }
  if (board.onOpened) board.onOpened();
  board.open = true;
  return true;
}

void Close() {
  TheBoard().open = false;
}

ClipboardFormat NextFormat(ClipboardFormat previous) {
  if (!TheBoard().open) return 0;
  std::vector<ClipboardFormat> listed = headless::ClipboardFormats();
  if (SynthesizedBitmap() != nullptr) listed.push_back(kCfBitmap);
  bool passed = previous == 0;
  for (ClipboardFormat format : listed) {
    if (passed) return format;
    passed = format == previous;
  }
  return 0;
}

ClipboardHandle Data(ClipboardFormat format) {
  if (!TheBoard().open) return nullptr;
  if (const Entry* e = Find(format)) return e->data.get();
  if (format == kCfBitmap) {
    if (const Entry* dib = SynthesizedBitmap()) return dib->data.get();
  }
  return nullptr;
}

void Empty() {
  Board& board = TheBoard();
  if (!board.open) return;
  board.entries.clear();
  ++board.sequence;
}

}  // namespace clipboard

namespace headless {

void ClipboardEmpty() {
  TheBoard().entries.clear();
  ++TheBoard().sequence;
}

void ClipboardPutBitmap(const Picture& picture) {
  Put(kCfBitmap, picture);
}
void ClipboardPutDib(const Picture& picture) {
  Put(kCfDib, picture);
}
void ClipboardPutPalette(const std::vector<PaletteEntry>& palette) {
  Put(kCfPalette, palette);
}
void ClipboardPutMetafile(const std::vector<std::uint8_t>& bytes) {
  Put(kCfEnhMetafile, bytes);
}
void ClipboardPutText(const AnsiString& text) {
  Put(kCfText, text);
}

std::vector<ClipboardFormat> ClipboardFormats() {
  std::vector<ClipboardFormat> formats;
  for (const Entry& e : TheBoard().entries) formats.push_back(e.format);
  return formats;
}

void ClipboardHeldFor(int opens) {
  TheBoard().heldFor = opens;
}
int ClipboardOpenAttempts() {
  return TheBoard().openAttempts;
}
void OnClipboardOpened(std::function<void()> action) {
  TheBoard().onOpened = std::move(action);
}

void ResetClipboard() {
  TheBoard() = Board();
}

}  // namespace headless
}  // namespace zinnow
