#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/clipboard.h"
#include "platform/controls.h"
#include "platform/dib_image.h"

namespace zinnow {

class TGraphic {
 public:
  virtual ~TGraphic() = default;
};

// A private copy of a clipboard bitmap, with the clipboard palette's copy when there was one.
class TBitmap : public TGraphic {
 public:
  ~TBitmap() override;

  // Copies the clipboard's bitmap (and palette, when the handle is not null). The clipboard's
  // objects are not kept. Fails with EInvalidGraphic or EOutOfResources.
  static std::unique_ptr<TBitmap> FromClipboard(ClipboardHandle bitmap, ClipboardHandle palette);

  // The device-independent image a file is written from: made by the first call and kept with
  // the bitmap. Fails with EOutOfResources or EInvalidOperation.
  const DibImage& DeviceIndependentImage();

  struct Impl;

 private:
  explicit TBitmap(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// A private in-memory copy of an enhanced metafile.
class TMetafile : public TGraphic {
 public:
  ~TMetafile() override;

  // Copies the clipboard's enhanced metafile; fails with EInvalidGraphic when there is none.
  static std::unique_ptr<TMetafile> FromClipboard(ClipboardHandle enhancedMetafile);

  // The metafile's whole byte stream.
  std::vector<std::uint8_t> Bytes() const;

  struct Impl;

 private:
  explicit TMetafile(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// Holds one graphic or none, and owns it. The old graphic goes only when a new one is complete.
class TPicture {
 public:
  TGraphic* Graphic() const { return graphic_.get(); }
  void Assign(std::unique_ptr<TGraphic> graphic) { graphic_ = std::move(graphic); }

 private:
  std::unique_ptr<TGraphic> graphic_;
};

// The picture holder's control: never shown, it only owns the picture.
class TImage : public TControl {
 public:
  TImage(TWinControl* parent, PeerDesign design);
  TPicture Picture;
};

}  // namespace zinnow
