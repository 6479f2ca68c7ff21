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

}  // namespace

std::uint32_t TakeClipboardPicture(TPicture& holder) {
  ScopedClipboard open;
  if (!open.IsOpen()) throw Exception(messages::kInvalidClipboardFormat);

  for (ClipboardFormat format = clipboard::NextFormat(0); format != 0;
       format = clipboard::NextFormat(format)) {
    if (format != kCfBitmap && !IsMetafileFormat(format)) continue;
    const ClipboardHandle data = clipboard::Data(format);
    const ClipboardHandle palette = clipboard::Data(kCfPalette);
    if (format == kCfBitmap) {
      holder.Assign(TBitmap::FromClipboard(data, palette));
    } else {
      // The enhanced form, which the system derives from a metafile picture too.
      holder.Assign(TMetafile::FromClipboard(clipboard::Data(kCfEnhMetafile)));
    }
    // Read while the clipboard is still ours: rendering on request may itself count as a change.
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
