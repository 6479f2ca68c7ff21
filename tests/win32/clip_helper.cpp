// Another program on the desktop, for the tests: fills the clipboard the way picture programs do,
// or holds the clipboard or a file open for a while.
//   clip_helper bitmap W H [SEED]   a screen-compatible bitmap
//   clip_helper mono W H            a monochrome bitmap
//   clip_helper palette W H         a bitmap with a 256-entry palette
//   clip_helper dib W H             only a device-independent bitmap (CF_DIB, 24 bits)
//   clip_helper emf-first FILE      an enhanced metafile listed before a bitmap; its bytes to FILE
//   clip_helper text                only text
//   clip_helper empty               nothing
//   clip_helper hold MS READY       the clipboard held open for MS ms; READY created once it is
//   clip_helper lock PATH MS READY  PATH held open without sharing for MS ms
//   clip_helper expect W H SEED FILE the bitmap file a 32-bit display gives for `bitmap W H SEED`
//   clip_helper close TITLE         closes the top-level window of that title, as its close box
//   clip_helper end-session TITLE   tells the window the logon is ending
//   clip_helper box TITLE FILE      waits for a message box of that title, writes its text to
//                                   FILE and presses its OK button
//   clip_helper bitmap-while-saving WINDOW W H SEED
//                                   once the window (a handle in hex) shows the saving caption,
//                                   puts `bitmap W H SEED` as soon as the clipboard is free; exit
//                                   code 0 when the caption still showed saving at that moment
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

#include "tests/win32/picture_fixture.h"

namespace {

using zinnow::test::FixtureBit;
using zinnow::test::FixturePixel;

HWND Owner() {
  return CreateWindowExA(0, "STATIC", "clip_helper", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

bool OpenFor(HWND owner) {
  for (int i = 0; i < 200; ++i) {
    if (OpenClipboard(owner)) return true;
    Sleep(5);
  }
  return false;
}

HBITMAP ScreenBitmap(int w, int h, unsigned seed) {
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) pixels.push_back(FixturePixel(x, y, seed));
  }
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  SetDIBits(screen, bitmap, 0, h, pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

HBITMAP MonoBitmap(int w, int h) {
  const int stride = ((w + 15) / 16) * 2;  // device-dependent rows are word-aligned
  std::vector<std::uint8_t> bits(stride * h, 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (FixtureBit(x, y)) bits[y * stride + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
  }
  return CreateBitmap(w, h, 1, 1, bits.data());
}

HPALETTE Palette256() {
  struct {
    WORD version = 0x300;
    WORD count = 256;
    PALETTEENTRY entries[256];
  } logical;
  for (int i = 0; i < 256; ++i) {
    logical.entries[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i),
                          static_cast<BYTE>((i * 7) & 0xFF), 0};
  }
  return CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical));
}

HGLOBAL Dib24(int w, int h) {
  const int stride = ((w * 24 + 31) / 32) * 4;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + stride * h);
  auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(memory));
  *header = {sizeof(BITMAPINFOHEADER),       w, h, 1, 24, BI_RGB,
             static_cast<DWORD>(stride * h), 0, 0, 0, 0};
  auto* rows = reinterpret_cast<std::uint8_t*>(header + 1);
  std::memset(rows, 0xEE, stride * h);  // padding that must not show up anywhere
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = rows + stride * (h - 1 - y);
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = FixturePixel(x, y);
      row[x * 3] = static_cast<std::uint8_t>(p);
      row[x * 3 + 1] = static_cast<std::uint8_t>(p >> 8);
      row[x * 3 + 2] = static_cast<std::uint8_t>(p >> 16);
    }
  }
  GlobalUnlock(memory);
  return memory;
}

HENHMETAFILE Metafile() {
  HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  Rectangle(dc, 1, 2, 30, 40);
  MoveToEx(dc, 3, 3, nullptr);
  LineTo(dc, 20, 9);
  return CloseEnhMetaFile(dc);
}

HWND WaitForWindow(const char* windowClass, const char* title) {
  for (int i = 0; i < 400; ++i) {
    if (HWND window = FindWindowA(windowClass, title)) return window;
    Sleep(25);
  }
  return nullptr;
}

void Touch(const char* path) {
  if (FILE* f = std::fopen(path, "wb")) std::fclose(f);
}

int Put(int argc, char** argv) {
  const char* what = argv[1];
  HWND owner = Owner();
  if (!OpenFor(owner)) return 3;
  EmptyClipboard();
  const int w = argc > 2 ? std::atoi(argv[2]) : 0;
  const int h = argc > 3 ? std::atoi(argv[3]) : 0;
  bool ok = true;
  if (!std::strcmp(what, "bitmap")) {
    ok = SetClipboardData(CF_BITMAP, ScreenBitmap(w, h, argc > 4 ? std::atoi(argv[4]) : 0));
  } else if (!std::strcmp(what, "mono")) {
    ok = SetClipboardData(CF_BITMAP, MonoBitmap(w, h));
  } else if (!std::strcmp(what, "palette")) {
    ok = SetClipboardData(CF_BITMAP, ScreenBitmap(w, h, 0)) &&
         SetClipboardData(CF_PALETTE, Palette256());
  } else if (!std::strcmp(what, "dib")) {
    ok = SetClipboardData(CF_DIB, Dib24(w, h));
  } else if (!std::strcmp(what, "emf-first")) {
    HENHMETAFILE emf = Metafile();
    const UINT size = GetEnhMetaFileBits(emf, 0, nullptr);
    std::vector<BYTE> bytes(size);
    GetEnhMetaFileBits(emf, size, bytes.data());
    if (FILE* f = std::fopen(argv[2], "wb")) {
      std::fwrite(bytes.data(), 1, size, f);
      std::fclose(f);
    }
    ok =
        SetClipboardData(CF_ENHMETAFILE, emf) && SetClipboardData(CF_BITMAP, ScreenBitmap(4, 3, 0));
  } else if (!std::strcmp(what, "empty")) {
    ok = true;
  } else if (!std::strcmp(what, "text")) {
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 6);
    std::memcpy(GlobalLock(text), "words", 6);
    GlobalUnlock(text);
    ok = SetClipboardData(CF_TEXT, text);
  } else {
    ok = false;
  }
  CloseClipboard();
  return ok ? 0 : 4;
}

bool ShowsSaving(HWND window) {
  wchar_t caption[32] = L"";
  InternalGetWindowText(window, caption, 32);  // sends nothing: the window may be busy
  return std::wcsncmp(caption, L"保存処理中", 5) == 0;
}

// Puts a picture between the program's transfer and its emptying: the transfer holds the
// clipboard, so the first open that succeeds after the saving caption comes right after it.
int PutWhileSaving(HWND window, int w, int h, unsigned seed) {
  HWND owner = Owner();
  HBITMAP bitmap = ScreenBitmap(w, h, seed);
  const DWORD start = GetTickCount();
  while (!ShowsSaving(window)) {
    if (GetTickCount() - start > 10000) return 3;
    Sleep(1);
  }
  while (!OpenClipboard(owner)) {
    if (GetTickCount() - start > 10000) return 3;
    Sleep(1);
  }
  EmptyClipboard();
  const bool ok = SetClipboardData(CF_BITMAP, bitmap) != nullptr;
  CloseClipboard();
  if (!ok) return 4;
  return ShowsSaving(window) ? 0 : 5;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  if (!std::strcmp(argv[1], "bitmap-while-saving") && argc == 6) {
    const auto window = reinterpret_cast<HWND>(std::strtoull(argv[2], nullptr, 16));
    return PutWhileSaving(window, std::atoi(argv[3]), std::atoi(argv[4]),
                          static_cast<unsigned>(std::atoi(argv[5])));
  }
  if (!std::strcmp(argv[1], "hold") && argc == 4) {
    HWND owner = Owner();
    if (!OpenFor(owner)) return 3;
    Touch(argv[3]);
    Sleep(std::atoi(argv[2]));
    CloseClipboard();
    return 0;
  }
  if (!std::strcmp(argv[1], "lock") && argc == 5) {
    HANDLE file = CreateFileA(argv[2], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    Touch(argv[4]);
    Sleep(std::atoi(argv[3]));
    CloseHandle(file);
    return 0;
  }
  if (!std::strcmp(argv[1], "expect") && argc == 6) {
    const int w = std::atoi(argv[2]), h = std::atoi(argv[3]);
    const auto rows = zinnow::test::Rows32(w, h, std::atoi(argv[4]));
    const std::uint32_t size = 54 + static_cast<std::uint32_t>(rows.size());
    BITMAPFILEHEADER file{0x4D42, size, 0, 0, 54};
    BITMAPINFOHEADER info{40, w, h, 1, 32, BI_RGB, static_cast<DWORD>(rows.size()), 0, 0, 0, 0};
    FILE* f = std::fopen(argv[5], "wb");
    if (!f) return 3;
    std::fwrite(&file, sizeof file, 1, f);
    std::fwrite(&info, sizeof info, 1, f);
    std::fwrite(rows.data(), 1, rows.size(), f);
    std::fclose(f);
    return 0;
  }
  if (!std::strcmp(argv[1], "close") && argc == 3) {
    HWND window = WaitForWindow(nullptr, argv[2]);
    return window && PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 3;
  }
  if (!std::strcmp(argv[1], "end-session") && argc == 3) {
    HWND window = WaitForWindow(nullptr, argv[2]);
    if (!window) return 3;
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000,
                        &answer);
    if (!answer) return 4;
    SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000,
                        &answer);
    return 0;
  }
  if (!std::strcmp(argv[1], "box") && argc == 4) {
    HWND box = WaitForWindow("#32770", argv[2]);
    if (!box) return 3;
    char text[4096] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the box's message
    if (FILE* f = std::fopen(argv[3], "wb")) {
      std::fwrite(text, 1, std::strlen(text), f);
      std::fclose(f);
    }
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return 0;
  }
  return Put(argc, argv);
}
