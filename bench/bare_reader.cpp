// The floor the program is measured against: a reader that does only what a capture must. Told
// of each change by a clipboard format listener, it opens the clipboard, takes the picture, writes
// it with one WriteFile of header and bits to FOLDER\svbmpNNN.bmp, empties the clipboard.
//   bare_reader FOLDER [bitmap|dib] [STEPS_FILE [READY_FILE]]
// bitmap (the default): CF_BITMAP, its rows read with GetDIBits at 32 bits, bottom row first,
//   into a buffer kept between captures: the same file the program writes.
// dib: CF_DIB as it is, behind a file header.
// STEPS_FILE: added to, a line a capture with the wall clock (Unix ms) at each step:
//   N notice opened data bits written emptied
// and a line "# NOTICE WHY seq=N" for a notice that gave no picture.
// READY_FILE: created once the listener is in place.
// Runs until its hidden window, titled "Zinnow bare reader", is closed.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_support.h"

namespace {

using zinnow::bench::UnixMs;

constexpr char kTitle[] = "Zinnow bare reader";

struct Reader {
  std::string folder;
  UINT format = CF_BITMAP;
  FILE* steps = nullptr;
  HWND window = nullptr;
  int count = 0;
  std::vector<unsigned char> buffer;  // file header and bits, kept between captures
};

Reader reader;

void PutFileHeader(std::size_t fileBytes, std::size_t bitsOffset) {
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfSize = static_cast<DWORD>(fileBytes);
  file.bfOffBits = static_cast<DWORD>(bitsOffset);
  std::memcpy(reader.buffer.data(), &file, sizeof(file));
}

// The file's bytes into the buffer: how many, 0 when the clipboard's data is not a picture.
std::size_t TakeBitmap(HANDLE data) {
  const auto bitmap = static_cast<HBITMAP>(data);
  BITMAP described{};
  if (GetObjectA(bitmap, sizeof(described), &described) < static_cast<int>(sizeof(described))) {
    return 0;
  }
  const int width = described.bmWidth, height = described.bmHeight;
  const std::size_t offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  const std::size_t bytes = offset + static_cast<std::size_t>(width) * height * 4;
  if (reader.buffer.size() < bytes) reader.buffer.resize(bytes);
  PutFileHeader(bytes, offset);
  BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::memcpy(reader.buffer.data() + sizeof(BITMAPFILEHEADER), &info, sizeof(info));
  HDC screen = GetDC(nullptr);
  const int rows =
      GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), reader.buffer.data() + offset,
                reinterpret_cast<BITMAPINFO*>(reader.buffer.data() + 14), DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return rows == height ? bytes : 0;
}

std::size_t TakeDib(HANDLE data) {
  const SIZE_T size = GlobalSize(data);
  const auto* dib = static_cast<const BITMAPINFOHEADER*>(GlobalLock(data));
  if (dib == nullptr) return 0;
  if (size < sizeof(BITMAPINFOHEADER)) {
    GlobalUnlock(data);
    return 0;
  }
  std::size_t colors = dib->biClrUsed;
  if (colors == 0 && dib->biBitCount <= 8) colors = std::size_t{1} << dib->biBitCount;
  const std::size_t masks = dib->biCompression == BI_BITFIELDS ? 12 : 0;
  const std::size_t offset = sizeof(BITMAPFILEHEADER) + dib->biSize + masks + 4 * colors;
  const std::size_t bytes = sizeof(BITMAPFILEHEADER) + size;
  if (reader.buffer.size() < bytes) reader.buffer.resize(bytes);
  PutFileHeader(bytes, offset);
  std::memcpy(reader.buffer.data() + sizeof(BITMAPFILEHEADER), dib, size);
  GlobalUnlock(data);
  return bytes;
}

bool WriteOnce(std::size_t bytes) {
  char name[32];
  std::snprintf(name, sizeof name, "\\svbmp%03d.bmp", reader.count);
  HANDLE file = CreateFileA((reader.folder + name).c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok =
      WriteFile(file, reader.buffer.data(), static_cast<DWORD>(bytes), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes;
}

// A notice that gave no picture, as a line of its own: "# NOTICE_MS WHY seq=N".
void NoPicture(double notice, const char* why) {
  if (!reader.steps) return;
  std::fprintf(reader.steps, "# %.1f %s seq=%lu\n", notice, why, GetClipboardSequenceNumber());
  std::fflush(reader.steps);
}

void Capture() {
  const double notice = UnixMs();
  if (!IsClipboardFormatAvailable(reader.format)) {  // our own emptying, or no picture
    NoPicture(notice, "no-picture");
    return;
  }
  // Another program may hold the clipboard for a moment (Wine's import of the X11 clipboard).
  bool open = false;
  for (int i = 0; i < 500 && !(open = OpenClipboard(reader.window)); ++i) Sleep(1);
  if (!open) {
    NoPicture(notice, "not-opened");
    return;
  }
  const double opened = UnixMs();
  HANDLE data = GetClipboardData(reader.format);
  const double got = UnixMs();
  const std::size_t bytes = data == nullptr              ? 0
                            : reader.format == CF_BITMAP ? TakeBitmap(data)
                                                         : TakeDib(data);
  const double bits = UnixMs();
  const bool saved = bytes > 0 && WriteOnce(bytes);
  const double written = UnixMs();
  if (saved) EmptyClipboard();
  CloseClipboard();
  const double emptied = UnixMs();
  if (!saved) {
    NoPicture(notice, data == nullptr ? "no-data" : bytes == 0 ? "not-a-picture" : "not-written");
    return;
  }
  if (reader.steps) {
    std::fprintf(reader.steps, "%d %.1f %.1f %.1f %.1f %.1f %.1f\n", reader.count, notice, opened,
                 got, bits, written, emptied);
    std::fflush(reader.steps);
  }
  ++reader.count;
}

LRESULT CALLBACK ReaderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLIPBOARDUPDATE:
      Capture();
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  reader.folder = argv[1];
  if (argc > 2 && std::strcmp(argv[2], "dib") == 0) reader.format = CF_DIB;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = ReaderProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "ZinnowBareReader";
  RegisterClassExA(&wc);
  // A hidden top-level window, so that it can be found by its title and closed.
  reader.window = CreateWindowExA(0, wc.lpszClassName, kTitle, WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                  nullptr, wc.hInstance, nullptr);
  if (!reader.window || !AddClipboardFormatListener(reader.window)) return 3;
  if (argc > 3 && !(reader.steps = std::fopen(argv[3], "a"))) return 4;
  if (argc > 4) {
    FILE* ready = std::fopen(argv[4], "w");
    if (!ready) return 4;
    std::fclose(ready);
  }
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  RemoveClipboardFormatListener(reader.window);
  if (reader.steps) std::fclose(reader.steps);
  return 0;
}
