#include "capture/picture_transfer.h"

#include "capture/bitmap_file.h"
#include "platform/clipboard.h"
#include "platform/exceptions.h"
#include "platform/file_stream.h"
#include "platform/messages.h"

namespace zinnow {
namespace {

bool IsMetafileFormat(ClipboardFormat format) {
  return format == kCfMetafilePict || format == kCfEnhMetafile;
}

// The clipboard's bitmap. A picture put as a device-independent bitmap is copied from that,
// where the backend makes the same image of it that the bitmap would give: the system then
// need not build the bitmap first.
std::unique_ptr<TBitmap> TakeBitmap(bool dibListedFirst) {
  const ClipboardHandle palette = clipboard::Data(kCfPalette);
  if (dibListedFirst) {
    if (auto bitmap = TBitmap::FromClipboardDib(clipboard::Data(kCfDib), palette)) return bitmap;
  }
  return TBitmap::FromClipboard(clipboard::Data(kCfBitmap), palette);
}

}  // namespace

bool ClipboardOffersPicture() {
  if (clipboard::HasFormat(kCfBitmap)) return true;
  return clipboard::HasFormat(clipboard::PngFormat()) && !clipboard::HasFormat(kCfEnhMetafile) &&
         !clipboard::HasFormat(kCfMetafilePict);
}

std::uint32_t TakeClipboardPicture(TPicture& holder) {
  ScopedClipboard open;
  if (!open.IsOpen()) throw Exception(messages::kInvalidClipboardFormat);

  bool dibListedFirst = false;
  bool pngListed = false;
  for (ClipboardFormat format = clipboard::NextFormat(0); format != 0;
       format = clipboard::NextFormat(format)) {
    if (format == kCfDib) dibListedFirst = true;
    if (format == clipboard::PngFormat()) pngListed = true;
    if (format != kCfBitmap && !IsMetafileFormat(format)) continue;
    if (format == kCfBitmap) {
      holder.Assign(TakeBitmap(dibListedFirst));
    } else {
      // The enhanced form, which the system derives from a metafile picture too.
      holder.Assign(TMetafile::FromClipboard(clipboard::Data(kCfEnhMetafile)));
    }
    // Read while the clipboard is still ours: rendering on request may itself count as a change.
    return clipboard::SequenceNumber();
  }
  if (pngListed) {
    holder.Assign(TBitmap::FromClipboardPng(clipboard::Data(clipboard::PngFormat())));
    return clipboard::SequenceNumber();
  }
  throw Exception(messages::kInvalidClipboardFormat);
}

void WritePictureFile(TPicture& holder, const AnsiString& path) {
  TGraphic* graphic = holder.Graphic();
  if (graphic == nullptr) return;
  TFileStream file(path);
  if (auto* bitmap = dynamic_cast<TBitmap*>(graphic)) {
    WriteBitmapFile(bitmap->DeviceIndependentImage(), file);
  } else if (auto* metafile = dynamic_cast<TMetafile*>(graphic)) {
    const std::vector<std::uint8_t> bytes = metafile->Bytes();
    file.Write(bytes.data(), bytes.size());
  }
}

bool EmptyClipboardIfUnchanged(std::uint32_t takenSequence) {
  ScopedClipboard open;
  if (!open.IsOpen()) return false;
  if (clipboard::SequenceNumber() == takenSequence) clipboard::Empty();
  return true;
}

}  // namespace zinnow
