// How fast a picture reaches disk: drives zinnow.exe from outside, and in turns with it the floor,
// the bare reader (bare_reader.cpp), fed the same pictures at the same moments; then the soak.
//   cycle_bench ZINNOW_EXE BARE_READER_EXE WORK_FOLDER [CAPTURES] [SOAK_CAPTURES]
// Prints `NAME: VALUE UNIT` lines. WORK_FOLDER keeps, for a closer look, floor-steps.txt (the
// bare reader's steps) and floor-puts.txt and program-puts.txt: a line "N PUT COMPLETE" a picture,
// the wall clock in Unix ms when it was put and when its file was found complete.
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
using zinnow::bench::UnixMs;

constexpr double kWaitMs = 10000;  // a picture not saved by then is missed
constexpr int kBlock = 20;         // pictures a side takes in one turn

long long FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Whether the file has its full size and its writer has closed it: it opens only then, since
// both writers hold it without sharing while they write. Checked only once the file exists, so
// that this never stands in the way of the writer creating it.
bool Complete(const std::string& path, long long expected) {
  if (FileSize(path) != expected) return false;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
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
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(p * (values.size() - 1) + 0.5)];
}

std::string FileName(const std::string& folder, int number) {
  char name[64];
  std::snprintf(name, sizeof name, "\\svbmp%03d.bmp", number);
  return folder + name;
}

bool Start(const std::string& command, const std::string& folder, PROCESS_INFORMATION& process) {
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  std::string line = command;
  return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &si, &process) != FALSE;
}

// Closes the window of that title, as its close box does, and waits for the process to end; a
// process that stays is ended.
void Stop(const char* title, PROCESS_INFORMATION& process) {
  if (HWND window = FindWindowA(nullptr, title)) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
    std::printf("%s did not close\n", title);
    TerminateProcess(process.hProcess, 1);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

struct Latencies {
  std::vector<double> ms;
  int missed = 0;
};

// One writer of the pictures: the program or the floor, started afresh for each block.
struct Side {
  std::string command;
  const char* title;  // of the window that closes it, and that says it has started
  std::string ready;  // a file whose presence says it listens, or empty
  std::string folder;
  FILE* puts = nullptr;
  Latencies latencies;
};

constexpr int kWidth = 1920, kHeight = 1080;
constexpr long long kFileBytes = 54 + 4LL * kWidth * kHeight;

// Puts one picture, at a spread-out 0 to 99 ms after the last one was saved (a user copies at
// any moment, not in step with the program's polling), and waits for it as the writer's next
// numbered file. How long that took from the put; negative for a miss. The clipboard is empty
// again when this returns: a missed picture is taken back, and a late file counted, so that the
// next file name is known again.
double Capture(HWND owner, Side& side, int& saved, int seed, int pauseIndex) {
  HBITMAP bitmap = Picture(kWidth, kHeight, static_cast<unsigned>(seed));
  const std::string file = FileName(side.folder, saved);
  const double pause = Now();
  while (Now() - pause < (static_cast<unsigned>(pauseIndex) * 2654435761u >> 16) % 100) PumpFor(1);
  if (!Put(owner, bitmap)) return -1;
  const double put = Now();  // the picture is on the clipboard from here
  const double putWall = UnixMs();
  while (!Complete(file, kFileBytes) && Now() - put < kWaitMs) PumpFor(1);
  double latency = -1;
  if (Complete(file, kFileBytes)) {
    latency = Now() - put;
    if (side.puts) std::fprintf(side.puts, "%d %.1f %.1f\n", seed, putWall, putWall + latency);
  }
  // The writer empties the clipboard after saving: wait for that before the next picture.
  while (IsClipboardFormatAvailable(CF_BITMAP) && Now() - put < kWaitMs) PumpFor(1);
  if (IsClipboardFormatAvailable(CF_BITMAP) && OpenClipboard(owner)) {
    EmptyClipboard();
    CloseClipboard();
  }
  if (FileSize(file) >= 0) {
    DeleteFileA(file.c_str());
    ++saved;
  }
  return latency;
}

// Until the side has its window (or, with a ready file, has made it), for at most 30 s, and a
// moment past that for the rest of its start.
void WaitUntilReady(const Side& side) {
  for (const double start = Now(); Now() - start < 30000; PumpFor(10)) {
    if (side.ready.empty() ? FindWindowA(nullptr, side.title) != nullptr
                           : FileSize(side.ready) >= 0) {
      break;
    }
  }
  PumpFor(200);
}

// One block: the side started, one picture to warm it up (its first capture makes what later
// ones reuse), then pictures `first` to `first + count - 1`, then the side closed.
bool MeasureBlock(HWND owner, const std::string& work, Side& side, int first, int count) {
  PROCESS_INFORMATION process{};
  if (!Start(side.command, work, process)) return false;
  WaitUntilReady(side);
  int saved = 0;
  Capture(owner, side, saved, 1000000 + first, first);
  for (int i = first; i < first + count; ++i) {
    const double latency = Capture(owner, side, saved, i, i);
    if (latency >= 0) {
      side.latencies.ms.push_back(latency);
    } else {
      std::printf("capture %d did not arrive\n", i);
      ++side.latencies.missed;
    }
  }
  Stop(side.title, process);
  if (!side.ready.empty()) DeleteFileA(side.ready.c_str());
  return true;
}

void PrintLatencies(const char* name, const Latencies& latencies) {
  std::printf("%s_median: %.1f ms\n", name, Percentile(latencies.ms, 0.5));
  std::printf("%s_p95: %.1f ms\n", name, Percentile(latencies.ms, 0.95));
  std::printf("%s_missed: %d pictures\n", name, latencies.missed);
}

double MemoryMb(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  GetProcessMemoryInfo(process, &counters, sizeof(counters));
  return counters.PagefileUsage / 1048576.0;  // Wine's private committed memory
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  const std::string exe = argv[1];
  const std::string reader = argv[2];
  const std::string work = argv[3];
  const int captures = argc > 4 ? std::atoi(argv[4]) : 200;
  const int soak = argc > 5 ? std::atoi(argv[5]) : 0;
  const std::string pictures = work + "\\pictures";
  const std::string floor = work + "\\floor";
  CreateDirectoryA(work.c_str(), nullptr);
  CreateDirectoryA(pictures.c_str(), nullptr);
  CreateDirectoryA(floor.c_str(), nullptr);
  CopyFileA(exe.c_str(), (work + "\\zinnow.exe").c_str(), FALSE);
  FILE* history = std::fopen((work + "\\path.txt").c_str(), "wb");
  std::fprintf(history, "%s\r\n", pictures.c_str());
  std::fclose(history);

  HWND owner =
      CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  OpenClipboard(owner);
  EmptyClipboard();
  CloseClipboard();

  const std::string steps = work + "\\floor-steps.txt";
  // The floor and the program in turns, a block of pictures each, so that the load on the
  // machine falls on both alike; the same pictures at the same moments for both.
  const std::string ready = work + "\\floor-ready";
  Side floorSide{"\"" + reader + "\" \"" + floor + "\" bitmap \"" + steps + "\" \"" + ready + "\"",
                 "Zinnow bare reader",
                 ready,
                 floor,
                 std::fopen((work + "\\floor-puts.txt").c_str(), "w"),
                 {}};
  Side programSide{"\"" + work + "\\zinnow.exe\"",
                   "Quorrel",
                   "",
                   pictures,
                   std::fopen((work + "\\program-puts.txt").c_str(), "w"),
                   {}};
  for (int first = 0; first < captures; first += kBlock) {
    const int count = std::min(kBlock, captures - first);
    if (!MeasureBlock(owner, work, floorSide, first, count) ||
        !MeasureBlock(owner, work, programSide, first, count)) {
      return 3;
    }
  }
  for (FILE* puts : {floorSide.puts, programSide.puts}) {
    if (puts) std::fclose(puts);
  }
  const Latencies& latencies = programSide.latencies;
  const Latencies& floorLatencies = floorSide.latencies;

  std::printf("picture: 1920x1080 32 bits, %d captures\n", captures);
  PrintLatencies("latency", latencies);
  PrintLatencies("floor_latency", floorLatencies);
  std::printf("latency_median_over_floor: %.2f x\n",
              Percentile(latencies.ms, 0.5) / Percentile(floorLatencies.ms, 0.5));
  std::printf("latency_p95_over_floor: %.2f x\n",
              Percentile(latencies.ms, 0.95) / Percentile(floorLatencies.ms, 0.95));

  // The soak, in the program started afresh: pictures of changing size back to back, each
  // checked and removed. Its memory is taken after the first ten and at the end.
  if (soak > 0) {
    PROCESS_INFORMATION program{};
    if (!Start(programSide.command, work, program)) return 3;
    WaitUntilReady(programSide);
    const double soakStart = Now();
    double memoryEarly = MemoryMb(program.hProcess);
    int wrong = 0, lost = 0;
    for (int i = 0; i < soak; ++i) {
      const int n = captures + i;
      const int w = 64 + (i * 37) % 577, h = 48 + (i * 53) % 411;
      HBITMAP bitmap = Picture(w, h, static_cast<unsigned>(n));
      const std::string file = FileName(pictures, i - lost);
      if (!Put(owner, bitmap)) return 4;
      const double put = Now();
      while (!Complete(file, 54 + 4LL * w * h) && Now() - put < kWaitMs) PumpFor(1);
      while (IsClipboardFormatAvailable(CF_BITMAP) && Now() - put < kWaitMs) PumpFor(1);
      if (FileSize(file) < 0) {
        ++lost;
      } else if (!SavedExactly(file, w, h, static_cast<unsigned>(n))) {
        ++wrong;
      }
      DeleteFileA(file.c_str());
      if (i == std::min(9, soak - 1)) memoryEarly = MemoryMb(program.hProcess);
    }
    const double memoryEnd = MemoryMb(program.hProcess);
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
    std::printf("soak_memory_after_ten: %.1f MB\n", memoryEarly);
    std::printf("soak_memory_end: %.1f MB\n", memoryEnd);
    std::printf("soak_memory_growth: %.1f MB\n", memoryEnd - memoryEarly);
    Stop(programSide.title, program);
  }
  return 0;
}
