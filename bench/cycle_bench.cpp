// How fast a picture reaches disk, and what idling costs: drives zinnow.exe from outside.
//   cycle_bench ZINNOW_EXE WORK_FOLDER [CAPTURES] [IDLE_SECONDS]
// Prints `NAME: VALUE UNIT` lines.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

long long FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

double CpuMs(HANDLE process) {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(process, &created, &exited, &kernel, &user);
  auto ms = [](FILETIME t) {
    return ((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

HBITMAP Picture(int width, int height, unsigned seed) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  for (std::size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = static_cast<std::uint32_t>((i + seed) * 2654435761u) & 0xFFFFFF;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  SetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

bool Put(HWND owner, HBITMAP bitmap) {
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
    if (!Put(owner, bitmap)) return 4;
    const double put = Now();  // the picture is on the clipboard from here
    while (FileSize(file) != expected) {
      if (Now() - put > 10000) {
        std::printf("capture %d did not arrive\n", i);
        return 5;
      }
      Sleep(1);
    }
    latencies.push_back(Now() - put);
    DeleteFileA(file.c_str());
    // The program empties the clipboard after saving: wait for that before the next picture.
    while (IsClipboardFormatAvailable(CF_BITMAP) && Now() - put < 10000) Sleep(1);
  }
  std::printf("picture: %dx%d 32 bits, %d captures\n", width, height, captures);
  std::printf("latency_median: %.1f ms\n", Percentile(latencies, 0.5));
  std::printf("latency_p95: %.1f ms\n", Percentile(latencies, 0.95));
  std::printf("idle_cpu: %.3f %%\n", idleCpu);
  PostMessageA(FindWindowA(nullptr, "Quorrel"), WM_CLOSE, 0, 0);
  WaitForSingleObject(program.hProcess, 10000);
  return 0;
}
