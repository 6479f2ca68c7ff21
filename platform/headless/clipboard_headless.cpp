#include <memory>
#include <vector>

#include "platform/application.h"
#include "platform/clipboard.h"
#include "platform/headless/headless.h"
#include "platform/headless/state.h"

namespace zinnow {
namespace {

using headless::ClipboardEntry;

headless::ClipboardState& Board() {
  return headless::TheState().clipboard;
}

template <typename T>
void Put(ClipboardFormat format, T value) {
  Board().entries.push_back({format, std::make_shared<T>(std::move(value))});
  ++Board().sequence;
}

const ClipboardEntry* Find(ClipboardFormat format) {
  for (const ClipboardEntry& e : Board().entries) {
    if (e.format == format) return &e;
  }
  return nullptr;
}

// As on Windows, a device-independent bitmap alone also offers a bitmap, listed after every
// format that was put.
const ClipboardEntry* SynthesizedBitmap() {
  if (Find(kCfBitmap) != nullptr) return nullptr;
  return Find(kCfDib);
}

}  // namespace

namespace clipboard {

bool HasFormat(ClipboardFormat format) {
  return Find(format) != nullptr || (format == kCfBitmap && SynthesizedBitmap() != nullptr);
}

ClipboardFormat PngFormat() {
  return headless::kPngFormat;
}

std::uint32_t SequenceNumber() {
  return Board().sequence;
}

bool TryOpen() {
  headless::ClipboardState& board = Board();
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
  Board().open = false;
}

ClipboardFormat NextFormat(ClipboardFormat previous) {
  if (!Board().open) return 0;
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
  if (!Board().open) return nullptr;
  if (const ClipboardEntry* e = Find(format)) return e->data.get();
  if (format == kCfBitmap) {
    if (const ClipboardEntry* dib = SynthesizedBitmap()) return dib->data.get();
  }
  return nullptr;
}

void Empty() {
  if (!Board().open) return;
  headless::ClipboardEmpty();
}

}  // namespace clipboard

namespace headless {

void ClipboardEmpty() {
  Board().entries.clear();
  ++Board().sequence;
}

void ClipboardPutBitmap(const Picture& picture) {
  Put(kCfBitmap, picture);
}
void ClipboardPutDib(const Picture& picture) {
  Put(kCfDib, picture);
}
void ClipboardPutPng(const Picture& decoded) {
  Put(kPngFormat, decoded);
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
  for (const ClipboardEntry& e : Board().entries) formats.push_back(e.format);
  return formats;
}

void ClipboardNotice() {
  Application().DeliverClipboardChange();
}

void ClipboardHeldFor(int opens) {
  Board().heldFor = opens;
}
int ClipboardOpenAttempts() {
  return Board().openAttempts;
}
void OnClipboardOpened(std::function<void()> action) {
  Board().onOpened = std::move(action);
}

}  // namespace headless
}  // namespace zinnow
