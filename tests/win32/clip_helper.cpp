// Another program on the desktop, for the tests: fills the clipboard the way picture programs do,
// or holds the clipboard or a file open for a while.
//   clip_helper bitmap W H [SEED]   a screen-compatible bitmap
//   clip_helper series W H N SEED   N such bitmaps of seeds SEED, SEED + 1, ..., each put once the
//                                   clipboard no longer offers the one before (a reader emptied
//                                   it); exit code 5 when one stays for 60 s
//   clip_helper mono W H            a monochrome bitmap
//   clip_helper palette W H         a bitmap with a 256-entry palette
//   clip_helper dib W H             only a device-independent bitmap (CF_DIB, 24 bits)
//   clip_helper dib-form FORM W H up|down [bitmap-first|bitmap-after SEED]
//                                   a device-independent bitmap of that form (see DibOfForm),
//                                   rows stored bottom row first (up) or top row first (down);
//                                   with a bitmap `bitmap W H SEED` put before or after it
//   clip_helper png KIND W H [bitmap-after SEED]
//                                   a picture in the registered format "PNG" alone (see
//                                   PngOfKind), or with a bitmap `bitmap W H SEED` after it
//   clip_helper emf-first FILE      an enhanced metafile listed before a bitmap; its bytes to FILE
//   clip_helper text                only text
//   clip_helper empty               nothing
//   clip_helper has-bitmap          exit code 0 when the clipboard offers a bitmap, 1 when not
//   clip_helper hold READY RELEASE  the clipboard held open until the file RELEASE exists (at most
//                                   30 s); READY created once it is held
//   clip_helper lock PATH READY RELEASE
//                                   PATH held open without sharing, the same way
//   clip_helper expect W H SEED FILE the bitmap file a 32-bit display gives for `bitmap W H SEED`
//   clip_helper close TITLE         closes the top-level window of that title, as its close box
//   clip_helper click TITLE TEXT    clicks the button labelled TEXT in that window
//   clip_helper end-session TITLE   tells the window the logon is ending
//   clip_helper box TITLE FILE      waits for a message box of that title, writes its text to
//                                   FILE and presses its OK button
//   clip_helper formats KIND...     small pictures and text put in that order; KIND is one of
//                                   text, bitmap, dib, emf, palette
//   clip_helper metafilepict-first FILE
//                                   an old-style metafile picture listed before a bitmap; FILE
//                                   gets the enhanced metafile the system derives from it
//   clip_helper bitmap8 W H FILE    an 8-bit device bitmap; FILE gets the 32-bit rows, bottom row
//                                   first, that the system's own conversion gives for it
//   clip_helper after-transfer WINDOW READY put W H SEED
//   clip_helper after-transfer WINDOW READY hold RELEASE
//                                   watches for the window (a handle in hex) to open and close the
//                                   clipboard (READY is created once it watches), then takes the
//                                   clipboard at once and puts `bitmap W H SEED`, or holds it until
//                                   RELEASE exists. Exit code 0 when the clipboard still held what
//                                   the window had read (it had not emptied it yet), 6 when it had
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tests/win32/picture_fixture.h"
#include "tests/win32/png_fixture.h"

namespace {

using zinnow::test::FixtureBit;
using zinnow::test::FixtureBitmap;
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

// A device-independent bitmap of one of the forms programs put, every byte of every pixel
// varied (the top bit of 5-5-5 pixels and the fourth byte of 32-bit ones too), the padding of
// each row filled with bytes that must not show:
//   rgb16, rgb24, rgb32   uncompressed
//   bf16                  5-6-5 masks
//   bf32, bf32-bgr        8-8-8 masks, red in the high or in the low byte
//   pal8, pal8-16         8-bit indices into a table of 256 or of 16 colours
HGLOBAL DibOfForm(const char* form, int w, int h, bool topDown, std::uint32_t seed) {
  struct Form {
    const char* name;
    WORD bits;
    DWORD compression;
    DWORD masks[3];
    DWORD colors;
  };
  static const Form forms[] = {
      {"rgb16", 16, BI_RGB, {}, 0},
      {"rgb24", 24, BI_RGB, {}, 0},
      {"rgb32", 32, BI_RGB, {}, 0},
      {"bf16", 16, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}, 0},
      {"bf32", 32, BI_BITFIELDS, {0xFF0000, 0xFF00, 0xFF}, 0},
      {"bf32-bgr", 32, BI_BITFIELDS, {0xFF, 0xFF00, 0xFF0000}, 0},
      {"pal8", 8, BI_RGB, {}, 256},
      {"pal8-16", 8, BI_RGB, {}, 16},
  };
  const Form* f = nullptr;
  for (const Form& candidate : forms) {
    if (!std::strcmp(candidate.name, form)) f = &candidate;
  }
  if (f == nullptr) return nullptr;
  const int stride = ((w * f->bits + 31) / 32) * 4;
  const std::size_t masks = f->compression == BI_BITFIELDS ? sizeof(f->masks) : 0;
  const std::size_t head = sizeof(BITMAPINFOHEADER) + masks + 4 * f->colors;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, head + stride * h);
  auto* bytes = static_cast<std::uint8_t*>(GlobalLock(memory));
  BITMAPINFOHEADER header = {sizeof(BITMAPINFOHEADER),
                             w,
                             topDown ? -h : h,
                             1,
                             f->bits,
                             f->compression,
                             static_cast<DWORD>(stride * h),
                             0,
                             0,
                             f->colors == 256 ? 0 : f->colors,
                             0};
  std::memcpy(bytes, &header, sizeof(header));
  std::memcpy(bytes + sizeof(header), f->masks, masks);
  auto value = [seed](std::uint32_t i) {
    return (i * 2654435761u + seed * 40503u) ^ (i * 97u + seed) << 13;
  };
  for (DWORD i = 0; i < f->colors; ++i) {
    const std::uint32_t v = value(i + 1000);
    const std::uint8_t quad[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                  static_cast<std::uint8_t>(v >> 16), 0};
    std::memcpy(bytes + sizeof(header) + masks + 4 * i, quad, 4);
  }
  std::uint8_t* rows = bytes + head;
  std::memset(rows, 0xEE, stride * h);
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = rows + stride * y;
    for (int x = 0; x < w; ++x) {
      std::uint32_t v = value(static_cast<std::uint32_t>(y * w + x));
      if (f->colors) v %= f->colors;
      std::memcpy(row + x * (f->bits / 8), &v, f->bits / 8);
    }
  }
  GlobalUnlock(memory);
  return memory;
}

HGLOBAL Memory(const std::vector<std::uint8_t>& bytes) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
  GlobalUnlock(memory);
  return memory;
}

// rgb, rgba: the fixture's PNG without and with alpha; truncated: one cut off in its rows;
// other: bytes that are no PNG at all.
std::vector<std::uint8_t> PngOfKind(const char* kind, int w, int h) {
  if (!std::strcmp(kind, "rgb")) return zinnow::test::FixturePng(w, h, false);
  if (!std::strcmp(kind, "rgba")) return zinnow::test::FixturePng(w, h, true);
  if (!std::strcmp(kind, "truncated")) return zinnow::test::TruncatedPng(w, h);
  return std::vector<std::uint8_t>(64, 0x5A);
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

HBITMAP EightBitBitmap(int w, int h) {
  const int stride = (w + 1) & ~1;  // device-dependent rows are word-aligned
  std::vector<std::uint8_t> bits(stride * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) bits[y * stride + x] = static_cast<std::uint8_t>(x * 37 + y * 11);
  }
  return CreateBitmap(w, h, 1, 8, bits.data());
}

// The rows of `bitmap` as the system converts them to 32 bits, bottom row first.
std::vector<std::uint8_t> Rows32Of(HBITMAP bitmap, int w, int h) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<std::uint8_t> rows(4 * w * h);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, h, rows.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return rows;
}

HMETAFILE OldMetafile() {
  HDC dc = CreateMetaFileA(nullptr);
  Rectangle(dc, 1, 2, 30, 40);
  LineTo(dc, 20, 9);
  return CloseMetaFile(dc);
}

HGLOBAL MetafilePicture() {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
  auto* picture = static_cast<METAFILEPICT*>(GlobalLock(memory));
  *picture = {MM_ANISOTROPIC, 800, 1000, OldMetafile()};
  GlobalUnlock(memory);
  return memory;
}

HGLOBAL Text(const char* text) {
  return Memory(std::vector<std::uint8_t>(text, text + std::strlen(text) + 1));
}

bool WriteFileBytes(const char* path, const void* data, std::size_t size) {
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

bool PutKind(const char* kind) {
  if (!std::strcmp(kind, "text")) return SetClipboardData(CF_TEXT, Text("words"));
  if (!std::strcmp(kind, "bitmap")) return SetClipboardData(CF_BITMAP, FixtureBitmap(3, 2, 0));
  if (!std::strcmp(kind, "dib")) return SetClipboardData(CF_DIB, Dib24(3, 2));
  if (!std::strcmp(kind, "emf")) return SetClipboardData(CF_ENHMETAFILE, Metafile());
  if (!std::strcmp(kind, "palette")) return SetClipboardData(CF_PALETTE, Palette256());
  return false;
}

// Until the test says so by making the file, or for a generous while should it never come.
void WaitForRelease(const char* release) {
  const DWORD start = GetTickCount();
  while (GetFileAttributesA(release) == INVALID_FILE_ATTRIBUTES && GetTickCount() - start < 30000) {
    Sleep(5);
  }
}

// Takes the clipboard right after the window's first open and close of it. Whether the window
// has emptied it in between is read from the sequence number, not guessed from timing.
int AfterTransfer(HWND window, const char* ready, int argc, char** argv) {
  HWND owner = Owner();
  const bool put = !std::strcmp(argv[0], "put") && argc == 4;
  const bool hold = !std::strcmp(argv[0], "hold") && argc == 2;
  if (!put && !hold) return 2;
  HBITMAP bitmap =
      put ? FixtureBitmap(std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3])) : nullptr;
  Touch(ready);
  const DWORD start = GetTickCount();
  while (GetOpenClipboardWindow() != window) {
    if (GetTickCount() - start > 20000) return 3;
  }
  const DWORD taken = GetClipboardSequenceNumber();
  while (!OpenClipboard(owner)) {
    if (GetTickCount() - start > 20000) return 3;
  }
  const bool before = GetClipboardSequenceNumber() == taken;
  if (put) {
    EmptyClipboard();
    SetClipboardData(CF_BITMAP, bitmap);
  } else {
    WaitForRelease(argv[1]);
  }
  CloseClipboard();
  return before ? 0 : 6;
}

// Until the clipboard offers no bitmap, handling the messages of the owner meanwhile (the
// emptying reader tells the owner, and waits for it).
bool WaitUntilEmptied(DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (IsClipboardFormatAvailable(CF_BITMAP)) {
    if (GetTickCount() - start > timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  return true;
}

// The next picture is made while the reader takes the one before.
int Series(int w, int h, int count, int firstSeed) {
  HWND owner = Owner();
  AddClipboardFormatListener(owner);  // woken by each change
  for (int i = 0; i < count; ++i) {
    HBITMAP bitmap = FixtureBitmap(w, h, firstSeed + i);
    if (i > 0 && !WaitUntilEmptied(60000)) return 5;
    if (!OpenFor(owner)) return 3;
    EmptyClipboard();
    const bool ok = SetClipboardData(CF_BITMAP, bitmap);
    CloseClipboard();
    if (!ok) return 4;
  }
  return 0;
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
    ok = SetClipboardData(CF_BITMAP, FixtureBitmap(w, h, argc > 4 ? std::atoi(argv[4]) : 0));
  } else if (!std::strcmp(what, "mono")) {
    ok = SetClipboardData(CF_BITMAP, MonoBitmap(w, h));
  } else if (!std::strcmp(what, "palette")) {
    ok = SetClipboardData(CF_BITMAP, FixtureBitmap(w, h, 0)) &&
         SetClipboardData(CF_PALETTE, Palette256());
  } else if (!std::strcmp(what, "dib")) {
    ok = SetClipboardData(CF_DIB, Dib24(w, h));
  } else if (!std::strcmp(what, "dib-form") && (argc == 6 || argc == 8)) {
    // dib-form FORM W H up|down [bitmap-first|bitmap-after SEED]
    const int bw = std::atoi(argv[3]), bh = std::atoi(argv[4]);
    HGLOBAL dib = DibOfForm(argv[2], bw, bh, !std::strcmp(argv[5], "down"), 0);
    const bool bitmapFirst = argc == 8 && !std::strcmp(argv[6], "bitmap-first");
    HBITMAP bitmap = argc == 8 ? FixtureBitmap(bw, bh, std::atoi(argv[7])) : nullptr;
    ok = dib != nullptr && (!bitmapFirst || SetClipboardData(CF_BITMAP, bitmap)) &&
         SetClipboardData(CF_DIB, dib) &&
         (!bitmap || bitmapFirst || SetClipboardData(CF_BITMAP, bitmap));
  } else if (!std::strcmp(what, "png") && (argc == 5 || argc == 7)) {
    // png KIND W H [bitmap-after SEED]
    const int pw = std::atoi(argv[3]), ph = std::atoi(argv[4]);
    ok = SetClipboardData(RegisterClipboardFormatA("PNG"), Memory(PngOfKind(argv[2], pw, ph))) &&
         (argc == 5 || SetClipboardData(CF_BITMAP, FixtureBitmap(pw, ph, std::atoi(argv[6]))));
  } else if (!std::strcmp(what, "emf-first")) {
    HENHMETAFILE emf = Metafile();
    const UINT size = GetEnhMetaFileBits(emf, 0, nullptr);
    std::vector<BYTE> bytes(size);
    GetEnhMetaFileBits(emf, size, bytes.data());
    if (FILE* f = std::fopen(argv[2], "wb")) {
      std::fwrite(bytes.data(), 1, size, f);
      std::fclose(f);
    }
    ok = SetClipboardData(CF_ENHMETAFILE, emf) &&
         SetClipboardData(CF_BITMAP, FixtureBitmap(4, 3, 0));
  } else if (!std::strcmp(what, "metafilepict-first") && argc == 3) {
    ok = SetClipboardData(CF_METAFILEPICT, MetafilePicture()) &&
         SetClipboardData(CF_BITMAP, FixtureBitmap(4, 3, 0));
    CloseClipboard();
    if (!ok || !OpenFor(owner)) return 4;
    const auto emf = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
    std::vector<BYTE> bytes(emf ? GetEnhMetaFileBits(emf, 0, nullptr) : 0);
    ok = !bytes.empty() && GetEnhMetaFileBits(emf, bytes.size(), bytes.data()) == bytes.size() &&
         WriteFileBytes(argv[2], bytes.data(), bytes.size());
  } else if (!std::strcmp(what, "bitmap8") && argc == 5) {
    HBITMAP bitmap = EightBitBitmap(w, h);
    const auto rows = Rows32Of(bitmap, w, h);
    ok = bitmap && WriteFileBytes(argv[4], rows.data(), rows.size()) &&
         SetClipboardData(CF_BITMAP, bitmap);
  } else if (!std::strcmp(what, "formats")) {
    for (int i = 2; i < argc && ok; ++i) ok = PutKind(argv[i]);
  } else if (!std::strcmp(what, "empty")) {
    ok = true;
  } else if (!std::strcmp(what, "text")) {
    ok = SetClipboardData(CF_TEXT, Text("words"));
  } else {
    ok = false;
  }
  CloseClipboard();
  return ok ? 0 : 4;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  if (!std::strcmp(argv[1], "after-transfer") && argc >= 5) {
    const auto window = reinterpret_cast<HWND>(std::strtoull(argv[2], nullptr, 16));
    return AfterTransfer(window, argv[3], argc - 4, argv + 4);
  }
  if (!std::strcmp(argv[1], "series") && argc == 6) {
    return Series(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
  }
  if (!std::strcmp(argv[1], "has-bitmap") && argc == 2) {
    return IsClipboardFormatAvailable(CF_BITMAP) ? 0 : 1;
  }
  if (!std::strcmp(argv[1], "hold") && argc == 4) {
    HWND owner = Owner();
    if (!OpenFor(owner)) return 3;
    Touch(argv[2]);
    WaitForRelease(argv[3]);
    CloseClipboard();
    return 0;
  }
  if (!std::strcmp(argv[1], "lock") && argc == 5) {
    HANDLE file = CreateFileA(argv[2], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    Touch(argv[3]);
    WaitForRelease(argv[4]);
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
  if (!std::strcmp(argv[1], "click") && argc == 4) {
    HWND window = WaitForWindow(nullptr, argv[2]);
    if (!window) return 3;
    struct Wanted {
      const char* text;
      HWND button = nullptr;
    } wanted{argv[3]};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM lParam) -> BOOL {
          auto* w = reinterpret_cast<Wanted*>(lParam);
          char text[64] = "";
          GetWindowTextA(child, text, sizeof text);
          if (std::strcmp(text, w->text) != 0) return TRUE;
          w->button = child;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&wanted));
    return wanted.button && PostMessageA(wanted.button, BM_CLICK, 0, 0) ? 0 : 4;
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
