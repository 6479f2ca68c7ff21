#pragma once

// Move-only owners of Windows handles, each holding what its release needs.
#include <windows.h>

#include <utility>

namespace zinnow::win32 {

template <typename Handle, typename Traits>
class Unique {
 public:
  Unique() = default;
  explicit Unique(Handle handle) : handle_(handle) {}
  ~Unique() { Reset(); }
  Unique(Unique&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, Traits::Invalid());
    }
    return *this;
  }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::Invalid(); }
  void Reset(Handle handle = Traits::Invalid()) {
    if (handle_ != Traits::Invalid()) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

struct BitmapTraits {
  static HBITMAP Invalid() { return nullptr; }
  static void Close(HBITMAP h) { DeleteObject(h); }
};
struct PaletteTraits {
  static HPALETTE Invalid() { return nullptr; }
  static void Close(HPALETTE h) { DeleteObject(h); }
};
struct MemoryDcTraits {
  static HDC Invalid() { return nullptr; }
  static void Close(HDC h) { DeleteDC(h); }
};
struct EnhMetafileTraits {
  static HENHMETAFILE Invalid() { return nullptr; }
  static void Close(HENHMETAFILE h) { DeleteEnhMetaFile(h); }
};
struct FileTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct FontTraits {
  static HFONT Invalid() { return nullptr; }
  static void Close(HFONT h) { DeleteObject(h); }
};

using UniqueBitmap = Unique<HBITMAP, BitmapTraits>;
using UniquePalette = Unique<HPALETTE, PaletteTraits>;
using UniqueMemoryDc = Unique<HDC, MemoryDcTraits>;
using UniqueEnhMetafile = Unique<HENHMETAFILE, EnhMetafileTraits>;
using UniqueFile = Unique<HANDLE, FileTraits>;
using UniqueFont = Unique<HFONT, FontTraits>;

// A window's drawing context from GetDC, released with the window it came from.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// The memory of a global handle, locked for reading while this lives.
class LockedGlobal {
 public:
  explicit LockedGlobal(HGLOBAL memory)
      : memory_(memory),
        bytes_(memory ? static_cast<const BYTE*>(GlobalLock(memory)) : nullptr),
        size_(bytes_ ? GlobalSize(memory) : 0) {}
  ~LockedGlobal() {
    if (bytes_) GlobalUnlock(memory_);
  }
  LockedGlobal(const LockedGlobal&) = delete;
  LockedGlobal& operator=(const LockedGlobal&) = delete;
  const BYTE* Bytes() const { return bytes_; }
  SIZE_T Size() const { return size_; }

 private:
  HGLOBAL memory_;
  const BYTE* bytes_;
  SIZE_T size_;
};

// An object selected into a drawing context; the previous one goes back on release.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selection() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  // A bitmap that cannot be selected (already selected elsewhere, wrong kind) gives no previous.
  bool Succeeded() const { return previous_ && previous_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A palette selected (in the background) into a drawing context and realised.
class PaletteSelection {
 public:
  PaletteSelection(HDC dc, HPALETTE palette) : dc_(dc) {
    if (palette) {
      previous_ = SelectPalette(dc, palette, TRUE);
      RealizePalette(dc);
    }
  }
  ~PaletteSelection() {
    if (previous_) SelectPalette(dc_, previous_, TRUE);
  }
  PaletteSelection(const PaletteSelection&) = delete;
  PaletteSelection& operator=(const PaletteSelection&) = delete;

 private:
  HDC dc_;
  HPALETTE previous_ = nullptr;
};

}  // namespace zinnow::win32
