#pragma once

// Move-only owners of Windows handles, each holding what its release needs.
#include <windows.h>

#include <type_traits>
#include <utility>

namespace zinnow::win32 {

// INVALID_HANDLE_VALUE is no constant expression, so the handle types that use it for "none"
// are given it by this.
struct InvalidHandleValue {
  HANDLE operator()() const { return INVALID_HANDLE_VALUE; }
};

// The owner of one handle: `Close(handle)` runs once, when the owner is reset or goes while it
// holds a handle other than `Invalid`. `Invalid` is nullptr (the handle type's zero value), or
// a function object that gives it. Moving leaves the source empty; Release gives the handle up
// without closing it. The handle may be a small struct of all that its release needs.
template <typename H, auto Close, auto Invalid = nullptr>
class UniqueHandle {
 public:
  static H None() {
    if constexpr (std::is_null_pointer_v<decltype(Invalid)>) {
      return H{};
    } else {
      return Invalid();
    }
  }

  UniqueHandle() = default;
  explicit UniqueHandle(H handle) : handle_(handle) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  const H& Get() const { return handle_; }
  explicit operator bool() const { return !(handle_ == None()); }
  void Reset(H handle = None()) {
    const H closed = std::exchange(handle_, handle);
    if (!(closed == None())) Close(closed);
  }
  [[nodiscard]] H Release() { return std::exchange(handle_, None()); }

 private:
  H handle_ = None();
};

using UniqueBitmap = UniqueHandle<HBITMAP, &DeleteObject>;
using UniquePalette = UniqueHandle<HPALETTE, &DeleteObject>;
using UniqueFont = UniqueHandle<HFONT, &DeleteObject>;
using UniqueMemoryDc = UniqueHandle<HDC, &DeleteDC>;
using UniqueEnhMetafile = UniqueHandle<HENHMETAFILE, &DeleteEnhMetaFile>;
using UniqueFile = UniqueHandle<HANDLE, &CloseHandle, InvalidHandleValue{}>;
using UniqueFind = UniqueHandle<HANDLE, &FindClose, InvalidHandleValue{}>;
using UniqueWindow = UniqueHandle<HWND, &DestroyWindow>;
// Memory the system allocated for us, such as FormatMessage's text.
using UniqueLocalMemory = UniqueHandle<HLOCAL, &LocalFree>;

// A window's drawing context from GetDC, released with the window it came from.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : held_(Got(window, GetDC(window))) {}
  HDC Get() const { return held_.Get().dc; }
  explicit operator bool() const { return static_cast<bool>(held_); }

 private:
  struct Held {
    HWND window = nullptr;
    HDC dc = nullptr;
    bool operator==(const Held&) const = default;
  };
  static Held Got(HWND window, HDC dc) { return dc ? Held{window, dc} : Held{}; }
  static void GiveBack(const Held& h) { ReleaseDC(h.window, h.dc); }
  UniqueHandle<Held, &WindowDc::GiveBack> held_;
};

// The memory of a global handle, locked for reading while this lives.
class LockedGlobal {
 public:
  explicit LockedGlobal(HGLOBAL memory) : held_(Locked(memory)) {}
  const BYTE* Bytes() const { return held_.Get().bytes; }
  SIZE_T Size() const { return held_.Get().size; }

 private:
  struct Held {
    HGLOBAL memory = nullptr;
    const BYTE* bytes = nullptr;
    SIZE_T size = 0;
    bool operator==(const Held&) const = default;
  };
  static Held Locked(HGLOBAL memory) {
    const auto* bytes = memory ? static_cast<const BYTE*>(GlobalLock(memory)) : nullptr;
    return bytes ? Held{memory, bytes, GlobalSize(memory)} : Held{};
  }
  static void Unlock(const Held& h) { GlobalUnlock(h.memory); }
  UniqueHandle<Held, &LockedGlobal::Unlock> held_;
};

// What a selection into a drawing context puts back when it ends: the object it replaced.
template <typename Object>
struct ReplacedSelection {
  HDC dc = nullptr;
  Object previous = nullptr;
  bool operator==(const ReplacedSelection&) const = default;
};

// An object selected into a drawing context; the previous one goes back on release.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : held_(Selected(dc, SelectObject(dc, object))) {}
  // A bitmap that cannot be selected (already selected elsewhere, wrong kind) gives no previous.
  bool Succeeded() const { return static_cast<bool>(held_); }

 private:
  using Held = ReplacedSelection<HGDIOBJ>;
  static Held Selected(HDC dc, HGDIOBJ previous) {
    return previous && previous != HGDI_ERROR ? Held{dc, previous} : Held{};
  }
  static void Restore(const Held& h) { SelectObject(h.dc, h.previous); }
  UniqueHandle<Held, &Selection::Restore> held_;
};

// A palette selected (in the background) into a drawing context and realised.
class PaletteSelection {
 public:
  PaletteSelection(HDC dc, HPALETTE palette) : held_(Selected(dc, palette)) {}

 private:
  using Held = ReplacedSelection<HPALETTE>;
  static Held Selected(HDC dc, HPALETTE palette) {
    if (!palette) return Held{};
    const HPALETTE previous = SelectPalette(dc, palette, TRUE);
    RealizePalette(dc);
    return previous ? Held{dc, previous} : Held{};
  }
  static void Restore(const Held& h) { SelectPalette(h.dc, h.previous, TRUE); }
  UniqueHandle<Held, &PaletteSelection::Restore> held_;
};

// The drawing context of one WM_PAINT, ended when this goes. It stays with the message it
// answers, so it does not move.
class Painting {
 public:
  explicit Painting(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  ~Painting() { EndPaint(window_, &paint_); }
  Painting(const Painting&) = delete;
  Painting& operator=(const Painting&) = delete;
  HDC Dc() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

}  // namespace zinnow::win32
