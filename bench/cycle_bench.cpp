// How fast a picture reaches disk, and what idling costs: drives zinnow.exe from outside.
//   cycle_bench ZINNOW_EXE WORK_FOLDER [CAPTURES] [IDLE_SECONDS] [SOAK_CAPTURES]
// Prints `NAME: VALUE UNIT` lines.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_support.h"

namespace {

using zinnow::bench::Now;
using zinnow::bench::Picture;
using zinnow::bench::Pixel;
using zinnow::bench::PumpFor;
using zinnow::bench::Put;

long long FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Whether the file has its full size and the program has closed it: it opens only then, since
// the program holds it without sharing while it writes. Checked only once the file exists, so
// that this never stands in the way of the program creating it.
bool Complete(const std::string& path, long long expected) {
  if (FileSize(path) != expected) return false;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

double CpuMs(HANDLE process) {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(process, &created, &exited, &kernel, &user);
  auto ms = [](FILETIME t) {
    return ((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

// Whether the file holds exactly the picture: a 32-bit bitmap file, bottom row first.
bool SavedExactly(const std::string& path, int width, int height, unsigned seed) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::vector<unsigned char> bytes(54 + static_cast<std::size_t>(width) * height * 4);
  const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
  const bool more = std::fgetc(f) != EOF;
  std::fclose(f);
  if (got != bytes.size() || more || bytes[0] != 'B' || bytes[1] != 'M') return false;
  const unsigned char* rows = bytes.data() + 54;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = Pixel(static_cast<std::size_t>(y) * width + x, seed);
      const unsigned char* q = rows + (static_cast<std::size_t>(height - 1 - y) * width + x) * 4;
      if (q[0] != (p & 0xFF) || q[1] != ((p >> 8) & 0xFF) || q[2] != (p >> 16) || q[3] != 0) {
        return false;
      }
    }
  }
  return true;
}

double Percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(p * (values.size() - 1) + 0.5)];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string exe = argv[1];
  const std::string work = argv[2];
  const int captures = argc > 3 ? std::atoi(argv[3]) : 200;
  const int idleSeconds = argc > 4 ? std::atoi(argv[4]) : 30;
  const std::string pictures = work + "\\pictures";
  CreateDirectoryA(work.c_str(), nullptr);
  CreateDirectoryA(pictures.c_str(), nullptr);
  CopyFileA(exe.c_str(), (work + "\\zinnow.exe").c_str(), FALSE);
  FILE* history = std::fopen((work + "\\path.txt").c_str(), "wb");
  std::fprintf(history, "%s\r\n", pictures.c_str());
  std::fclose(history);

  HWND owner =
      CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  OpenClipboard(owner);
  EmptyClipboard();
  CloseClipboard();
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION program{};
  std::string command = "\"" + work + "\\zinnow.exe\"";
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, work.c_str(),
                      &si, &program)) {
    return 3;
  }
  WaitForInputIdle(program.hProcess, 10000);
  Sleep(1000);

  const double idleStart = CpuMs(program.hProcess);
  Sleep(static_cast<DWORD>(idleSeconds) * 1000);
  const double idleCpu = (CpuMs(program.hProcess) - idleStart) / (idleSeconds * 1000.0) * 100.0;

  const int width = 1920, height = 1080;
  const long long expected = 54 + 4LL * width * height;
  std::vector<double> latencies;
  for (int i = 0; i < captures; ++i) {
    HBITMAP bitmap = Picture(width, height, static_cast<unsigned>(i));
    char name[64];
    std::snprintf(name, sizeof name, "\\svbmp%03d.bmp", i);
    const std::string file = pictures + name;
    // A user copies at any moment, not in step with the program's polling: wait a spread-out
    // 0 to 99 ms after the last capture before the next picture.
    const double pause = Now();
    while (Now() - pause < (static_cast<unsigned>(i) * 2654435761u >> 16) % 100) PumpFor(1);
    if (!Put(owner, bitmap)) return 4;
    const double put = Now();  // the picture is on the clipboard from here
    while (!Complete(file, expected)) {
      if (Now() - put > 10000) {
        std::printf("capture %d did not arrive\n", i);
        return 5;
      }
      PumpFor(1);
    }
    latencies.push_back(Now() - put);
    DeleteFileA(file.c_str());
    // The program empties the clipboard after saving: wait for that before the next picture.
    while (IsClipboardFormatAvailable(CF_BITMAP) && Now() - put < 10000) PumpFor(1);
  }
  std::printf("picture: %dx%d 32 bits, %d captures\n", width, height, captures);
  std::printf("latency_median: %.1f ms\n", Percentile(latencies, 0.5));
  std::printf("latency_p95: %.1f ms\n", Percentile(latencies, 0.95));
  std::printf("idle_cpu: %.3f %%\n", idleCpu);

  // The soak: pictures of changing size back to back, each checked and removed.
  const int soak = argc > 5 ? std::atoi(argv[5]) : 0;
  if (soak > 0) {
    auto memory = [&] {
      PROCESS_MEMORY_COUNTERS counters{};
      GetProcessMemoryInfo(program.hProcess, &counters, sizeof(counters));
      return counters.PagefileUsage / 1048576.0;
    };
    const double soakStart = Now();
    double memoryEarly = memory();
    int wrong = 0, lost = 0;
    for (int i = 0; i < soak; ++i) {
      const int n = captures + i;
      const int w = 64 + (i * 37) % 577, h = 48 + (i * 53) % 411;
      HBITMAP bitmap = Picture(w, h, static_cast<unsigned>(n));
      char name[64];
      std::snprintf(name, sizeof name, "\\svbmp%03d.bmp", n);
      const std::string file = pictures + name;
      if (!Put(owner, bitmap)) return 4;
      const double put = Now();
      while (!Complete(file, 54 + 4LL * w * h) && Now() - put < 10000) PumpFor(1);
      while (IsClipboardFormatAvailable(CF_BITMAP) && Now() - put < 10000) PumpFor(1);
      if (FileSize(file) < 0) {
        ++lost;
      } else if (!SavedExactly(file, w, h, static_cast<unsigned>(n))) {
        ++wrong;
      }
      DeleteFileA(file.c_str());
      if (i == std::min(99, soak - 1)) memoryEarly = memory();
    }
    int extra = 0;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((pictures + "\\*.bmp").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        ++extra;
        std::printf("left over: %s (%lu bytes)\n", data.cFileName, data.nFileSizeLow);
      } while (FindNextFileA(find, &data));
      FindClose(find);
    }
    std::printf("soak_captures: %d pictures\n", soak);
    std::printf("soak_time: %.1f s\n", (Now() - soakStart) / 1000.0);
    std::printf("soak_lost: %d pictures\n", lost);
    std::printf("soak_wrong: %d pictures\n", wrong);
    std::printf("soak_extra_files: %d files\n", extra);
    std::printf("soak_memory_growth: %.1f MB\n", memory() - memoryEarly);
  }
  PostMessageA(FindWindowA(nullptr, "Quorrel"), WM_CLOSE, 0, 0);
  WaitForSingleObject(program.hProcess, 10000);
  return 0;
}
