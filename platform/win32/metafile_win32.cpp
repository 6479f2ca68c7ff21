// The program's copy of a clipboard metafile, and its bytes.
#include <windows.h>

#include "platform/exceptions.h"
#include "platform/graphics.h"
#include "platform/messages.h"
#include "platform/win32/handles.h"
#include "platform/win32/out_of_resources_win32.h"

namespace zinnow {

using win32::Required;
using win32::ThrowOutOfResources;

struct TMetafile::Impl {
  win32::UniqueEnhMetafile copy;
};

TMetafile::TMetafile(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TMetafile::~TMetafile() = default;

std::unique_ptr<TMetafile> TMetafile::FromClipboard(ClipboardHandle enhancedMetafile) {
  if (enhancedMetafile == nullptr) throw EInvalidGraphic(messages::kUnsupportedClipboardData);
  auto impl = std::make_unique<Impl>();
  impl->copy.Reset(
      Required(CopyEnhMetaFileA(static_cast<HENHMETAFILE>(enhancedMetafile), nullptr)));
  return std::unique_ptr<TMetafile>(new TMetafile(std::move(impl)));
}

std::vector<std::uint8_t> TMetafile::Bytes() const {
  const UINT size = GetEnhMetaFileBits(impl_->copy.Get(), 0, nullptr);
  if (size == 0) ThrowOutOfResources();
  std::vector<std::uint8_t> bytes(size);
  if (GetEnhMetaFileBits(impl_->copy.Get(), size, bytes.data()) != size) ThrowOutOfResources();
  return bytes;
}

}  // namespace zinnow
