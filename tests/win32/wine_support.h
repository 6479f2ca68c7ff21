#pragma once

// Helpers of the Windows tests: another process to act on the desktop, message pumping, folders.
#include <windows.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/application.h"

namespace zinnow::test {

inline std::string HelperPath() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string self(path, n);
  return self.substr(0, self.find_last_of('\\') + 1) + "clip_helper.exe";
}

inline bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Handles messages until the condition holds or the time is up; says whether it held.
inline bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Application().ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

// Another program, started with the helper's arguments.
class Helper {
 public:
  explicit Helper(const std::string& arguments) {
    std::string command = "\"" + HelperPath() + "\" " + arguments;
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &si, &process_);
    if (started_) CloseHandle(process_.hThread);
  }
  ~Helper() {
    if (started_) {
      WaitForSingleObject(process_.hProcess, 10000);
      CloseHandle(process_.hProcess);
    }
  }
  Helper(const Helper&) = delete;
  Helper& operator=(const Helper&) = delete;

  // Waits for the helper to end, handling our messages meanwhile; its exit code, or -1.
  int Finish() {
    if (!started_) return -1;
    PumpUntil([&] { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }, 10000);
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<int>(code);
  }

 private:
  bool started_ = false;
  PROCESS_INFORMATION process_{};
};

inline int RunHelper(const std::string& arguments) {
  return Helper(arguments).Finish();
}

// A helper that holds something until `ms` have passed; returns once it holds it.
class Holder {
 public:
  Holder(const std::string& what, int ms, const std::string& readyFile)
      : ready_(readyFile), helper_(what + " " + std::to_string(ms) + " \"" + readyFile + "\"") {
    PumpUntil([&] { return FileExists(ready_); });
  }
  ~Holder() {
    helper_.Finish();
    DeleteFileA(ready_.c_str());
  }
  bool Holding() const { return FileExists(ready_); }

 private:
  std::string ready_;
  Helper helper_;
};

// A fresh folder under the temporary folder, removed with its files afterwards.
class TempFolder {
 public:
  TempFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static int counter = 0;
    path_ = std::string(base) + "zinnow-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++counter);
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TempFolder() {
    for (const std::string& name : Files()) DeleteFileA((path_ + "\\" + name).c_str());
    RemoveDirectoryA(path_.c_str());
  }
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "\\" + name; }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path_ + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string path_;
};

}  // namespace zinnow::test
