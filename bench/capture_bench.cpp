// Captures of a big picture, step by step (hand-over, transfer, write, emptying): a first one, then
// three more in the steady state, each in turn with the floor, the bare hand-over of another
// process's picture (GetClipboardData(CF_BITMAP), GetDIBits) and one write of the same bytes.
// Then the memory a thousand small captures keep. Prints `NAME: VALUE UNIT`; the steady figures
// are medians of the three.
//   capture_bench [WIDTH HEIGHT FOLDER]
//   capture_bench put WIDTH HEIGHT   (its own helper: puts the picture and ends)
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "capture/picture_transfer.h"
#include "platform/clipboard.h"

#include "bench/bench_support.h"

namespace {

using zinnow::bench::Now;

// Puts the picture from a process of its own, as the program a user copies from would: reading
// another process's clipboard content is what the program does at every capture.
bool PutFromAnotherProcess(const char* self, int width, int height) {
  std::string command =
      "\"" + std::string(self) + "\" put " + std::to_string(width) + " " + std::to_string(height);
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &process)) {
    return false;
  }
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code == 0;
}

long long MemoryInUse() {
  PROCESS_MEMORY_COUNTERS counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
  return static_cast<long long>(counters.PagefileUsage);  // Wine's private committed memory
}

// A thousand transfers and writes of one small picture against a thousand bare clipboard reads
// in the same run (Wine's own GetClipboardData keeps about a kilobyte per call while the content
// stays, so the bare reads are the yardstick). A leaked picture or bitmap object per capture
// would show many times over.
bool MeasureCaptureMemory(const char* self, const std::string& target) {
  if (!PutFromAnotherProcess(self, 64, 48)) return false;
  zinnow::TPicture holder;
  auto capture = [&] {
    zinnow::TakeClipboardPicture(holder);
    zinnow::WritePictureFile(holder, target);
  };
  for (int i = 0; i < 100; ++i) capture();
  const long long start = MemoryInUse();
  for (int i = 0; i < 1000; ++i) {
    zinnow::ScopedClipboard open;
    zinnow::clipboard::Data(zinnow::kCfBitmap);
    zinnow::clipboard::Data(zinnow::kCfPalette);
  }
  const long long afterReads = MemoryInUse();
  for (int i = 0; i < 1000; ++i) capture();
  const long long afterCaptures = MemoryInUse();
  std::printf("memory_1000_bare_reads: %lld KiB\n", (afterReads - start) / 1024);
  std::printf("memory_1000_small_captures: %lld KiB\n", (afterCaptures - afterReads) / 1024);
  std::printf("memory_captures_over_reads: %lld KiB\n",
              ((afterCaptures - afterReads) - (afterReads - start)) / 1024);
  return true;
}

struct Steps {
  double handOver = 0, copy = 0, write = 0, empty = 0;
  double Total() const { return handOver + copy + write + empty; }
};

// One capture as the program makes it, into the picture it keeps. The system's part of the
// transfer first, handing over the other process's bitmap: the transfer that follows finds it
// ready and makes the program's own copy.
bool Capture(zinnow::TPicture& holder, const std::string& target, Steps& steps) {
  const double t0 = Now();
  {
    zinnow::ScopedClipboard open;
    if (zinnow::clipboard::Data(zinnow::kCfBitmap) == nullptr) return false;
  }
  const double t1 = Now();
  const std::uint32_t taken = zinnow::TakeClipboardPicture(holder);
  const double t2 = Now();
  zinnow::WritePictureFile(holder, target);
  const double t3 = Now();
  zinnow::EmptyClipboardIfUnchanged(taken);
  const double t4 = Now();
  steps = {t1 - t0, t2 - t1, t3 - t2, t4 - t3};
  return true;
}

// The floor of a capture: the hand-over, the bits read with GetDIBits at 32 bits into a buffer
// kept between calls, and one write of header and bits. The emptying after it, as the program's,
// is not counted.
bool BareCapture(HWND owner, const std::string& target, std::vector<unsigned char>& buffer,
                 Steps& steps) {
  const double t0 = Now();
  if (!OpenClipboard(owner)) return false;
  const auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  const double t1 = Now();
  BITMAP described{};
  if (!bitmap || !GetObjectA(bitmap, sizeof(described), &described)) {
    CloseClipboard();
    return false;
  }
  const int width = described.bmWidth, height = described.bmHeight;
  const std::size_t offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  const std::size_t bytes = offset + static_cast<std::size_t>(width) * height * 4;
  if (buffer.size() < bytes) buffer.resize(bytes);
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(bytes), 0, 0, static_cast<DWORD>(offset)};
  std::memcpy(buffer.data(), &file, sizeof(file));
  BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::memcpy(buffer.data() + sizeof(file), &info, sizeof(info));
  HDC screen = GetDC(nullptr);
  const int rows =
      GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), buffer.data() + offset,
                reinterpret_cast<BITMAPINFO*>(buffer.data() + sizeof(file)), DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  const double t2 = Now();
  HANDLE out = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  const bool ok = out != INVALID_HANDLE_VALUE &&
                  WriteFile(out, buffer.data(), static_cast<DWORD>(bytes), &written, nullptr) &&
                  written == bytes;
  if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  const double t3 = Now();
  EmptyClipboard();
  CloseClipboard();
  steps = {t1 - t0, t2 - t1, t3 - t2, 0};
  return rows == height && ok;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The medians of each step and of the totals.
Steps MedianSteps(const std::vector<Steps>& runs, double& total) {
  std::vector<double> h, c, w, e, t;
  for (const Steps& r : runs) {
    h.push_back(r.handOver);
    c.push_back(r.copy);
    w.push_back(r.write);
    e.push_back(r.empty);
    t.push_back(r.Total());
  }
  total = Median(t);
  return {Median(h), Median(c), Median(w), Median(e)};
}

void PrintSteps(const char* name, const Steps& steps, double total) {
  std::printf("%s_hand_over: %.1f ms\n", name, steps.handOver);
  std::printf("%s_copy: %.1f ms\n", name, steps.copy);
  std::printf("%s_write: %.1f ms\n", name, steps.write);
  if (steps.empty > 0) std::printf("%s_empty: %.1f ms\n", name, steps.empty);
  std::printf("%s_total: %.1f ms\n", name, total);
}

}  // namespace

int main(int argc, char** argv) {
  HWND owner =
      CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  if (argc == 4 && std::strcmp(argv[1], "put") == 0) {
    const int w = std::atoi(argv[2]), h = std::atoi(argv[3]);
    return zinnow::bench::Put(owner, zinnow::bench::Picture(w, h, 0)) ? 0 : 1;
  }
  const int width = argc > 2 ? std::atoi(argv[1]) : 3840;
  const int height = argc > 2 ? std::atoi(argv[2]) : 2160;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = argc > 3 ? argv[3] : temp;
  const std::string target = folder + "\\zinnow-bench.bmp";

  // The program keeps its picture from one capture to the next: so does the holder here.
  zinnow::TPicture holder;
  Steps first;
  if (!PutFromAnotherProcess(argv[0], width, height) || !Capture(holder, target, first)) return 1;
  PROCESS_MEMORY_COUNTERS counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));  // one capture's peak

  // The floor keeps its buffer from one call to the next; its first call warms it up.
  std::vector<unsigned char> buffer;
  Steps warm;
  if (!PutFromAnotherProcess(argv[0], width, height) || !BareCapture(owner, target, buffer, warm)) {
    return 1;
  }
  std::vector<Steps> steady(3), floor(3);
  for (std::size_t i = 0; i < steady.size(); ++i) {
    if (!PutFromAnotherProcess(argv[0], width, height) || !Capture(holder, target, steady[i]) ||
        !PutFromAnotherProcess(argv[0], width, height) ||
        !BareCapture(owner, target, buffer, floor[i])) {
      return 1;
    }
  }
  DeleteFileA(target.c_str());

  double steadyTotal = 0, floorTotal = 0;
  const Steps steadyMedian = MedianSteps(steady, steadyTotal);
  const Steps floorMedian = MedianSteps(floor, floorTotal);
  std::printf("picture: %dx%d 32 bits\n", width, height);
  PrintSteps("capture_first", first, first.Total());
  PrintSteps("capture_steady", steadyMedian, steadyTotal);
  PrintSteps("capture_floor", floorMedian, floorTotal);
  std::printf("capture_steady_over_floor: %.2f x\n", steadyTotal / floorTotal);
  // The same without the system's hand-over: what the program's own code costs.
  std::printf("capture_own_over_floor: %.2f x\n",
              (steadyMedian.copy + steadyMedian.write + steadyMedian.empty) /
                  (floorMedian.copy + floorMedian.write));
  const std::size_t bytes = 54 + static_cast<std::size_t>(width) * height * 4;
  std::printf("picture_bytes: %.1f MB\n", bytes / 1048576.0);
  std::printf("peak_memory: %.1f MB\n", counters.PeakPagefileUsage / 1048576.0);
  if (!MeasureCaptureMemory(argv[0], target)) return 1;
  DeleteFileA(target.c_str());
  return 0;
}
