// One capture of a big picture, step by step: transfer, write, emptying. Prints `NAME: VALUE UNIT`.
//   capture_bench [WIDTH HEIGHT FOLDER]
//   capture_bench put WIDTH HEIGHT   (its own helper: puts the picture and ends)
#include <windows.h>

#include <psapi.h>

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
  if (!PutFromAnotherProcess(argv[0], width, height)) return 1;

  zinnow::TPicture holder;
  const double t0 = Now();
  // The system's part of the transfer first: handing over the other process's bitmap. The
  // transfer that follows finds it ready and makes the program's own copy.
  {
    zinnow::ScopedClipboard open;
    if (zinnow::clipboard::Data(zinnow::kCfBitmap) == nullptr) return 1;
  }
  const double tHanded = Now();
  const std::uint32_t taken = zinnow::TakeClipboardPicture(holder);
  const double t1 = Now();
  zinnow::WritePictureFile(holder, target);
  const double t2 = Now();
  zinnow::EmptyClipboardIfUnchanged(taken);
  const double t3 = Now();
  PROCESS_MEMORY_COUNTERS counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters,
                       sizeof(counters));  // before the floor's buffers
  // The floor in the same run: the same bytes copied once in memory, and written once to the
  // same disk.
  const std::size_t bytes = 54 + static_cast<std::size_t>(width) * height * 4;
  std::vector<char> source(bytes, 7), copy(bytes);
  const double f0 = Now();
  std::memcpy(copy.data(), source.data(), bytes);
  const double f1 = Now();
  const std::string raw = folder + "\\zinnow-bench.raw";
  HANDLE file = CreateFileA(raw.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, copy.data(), static_cast<DWORD>(bytes), &written, nullptr);
  CloseHandle(file);
  const double f2 = Now();
  DeleteFileA(raw.c_str());

  std::printf("picture: %dx%d 32 bits\n", width, height);
  std::printf("capture_transfer: %.1f ms\n", t1 - t0);
  std::printf("capture_transfer_system: %.1f ms\n", tHanded - t0);
  std::printf("capture_transfer_copy: %.1f ms\n", t1 - tHanded);
  std::printf("capture_write: %.1f ms\n", t2 - t1);
  std::printf("capture_empty: %.1f ms\n", t3 - t2);
  std::printf("capture_total: %.1f ms\n", t3 - t0);
  std::printf("floor_copy: %.1f ms\n", f1 - f0);
  std::printf("floor_write: %.1f ms\n", f2 - f1);
  std::printf("capture_over_floor: %.2f x\n", (t3 - t0) / ((f1 - f0) + (f2 - f1)));
  // The same without the system's hand-over: what the program's own code costs.
  std::printf("capture_own_over_floor: %.2f x\n", (t3 - tHanded) / ((f1 - f0) + (f2 - f1)));
  std::printf("picture_bytes: %.1f MB\n", bytes / 1048576.0);
  std::printf("peak_memory: %.1f MB\n", counters.PeakPagefileUsage / 1048576.0);
  DeleteFileA(target.c_str());
  if (!MeasureCaptureMemory(argv[0], target)) return 1;
  DeleteFileA(target.c_str());
  return 0;
}
