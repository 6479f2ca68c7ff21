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

  // Copies the clipboard's device-independent bitmap (CF_DIB) straight into the image a file is
  // written from, at the display's depth: the same image FromClipboard makes of the bitmap the
  // system would build from it, without that bitmap being built. Null where the same image
  // cannot be promised (a form or display the copy is not made for, data shorter than its
  // header says): the bitmap is then the one to take. Fails with EOutOfResources.
  static std::unique_ptr<TBitmap> FromClipboardDib(ClipboardHandle dib, ClipboardHandle palette);

  // Decodes the clipboard's PNG picture and copies it as FromClipboard copies a bitmap of the
  // same colours: the colour channels as the picture stores them, its transparency dropped.
  // Fails with EInvalidGraphic when it does not decode, or EOutOfResources.
  static std::unique_ptr<TBitmap> FromClipboardPng(ClipboardHandle png);

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
