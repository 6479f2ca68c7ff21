#pragma once

// What the benchmarks share: a millisecond clock, pictures whose every pixel is known, and
// putting one on the clipboard as another program would.
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "tests/win32/picture_fixture.h"

namespace zinnow::bench {

inline double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The wall clock in milliseconds since 1970, comparable across processes and with the shell's
// `date +%s%3N`.
inline double UnixMs() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const unsigned long long ticks =
      (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return (static_cast<double>(ticks) - 116444736000000000.0) / 10000.0;
}

inline std::uint32_t Pixel(std::size_t i, unsigned seed) {
  return static_cast<std::uint32_t>((i + seed) * 2654435761u) & 0xFFFFFF;
}

inline HBITMAP Picture(int width, int height, unsigned seed) {
  return test::ScreenBitmap(width, height, [&](int x, int y) {
    return Pixel(static_cast<std::size_t>(y) * width + x, seed);
  });
}

// Waits up to `ms` while handling this thread's messages, as the program a user copies from
// does: the clipboard tells its owner when it is emptied and waits for the answer.
inline void PumpFor(DWORD ms) {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

// Owns `bitmap` from here on, as the clipboard does.
inline bool Put(HWND owner, HBITMAP bitmap) {
  for (int i = 0; i < 200; ++i) {
    if (OpenClipboard(owner)) {
      EmptyClipboard();
      const bool ok = SetClipboardData(CF_BITMAP, bitmap) != nullptr;
      CloseClipboard();
      return ok;
    }
    Sleep(1);
  }
  return false;
}

}  // namespace zinnow::bench
