#pragma once

// Helpers of the Windows tests: another process to act on the desktop, message pumping, folders.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "platform/application.h"
#include "tests/support/temp_folder.h"

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
    // On a machine under load Wine now and then fails to start a process: try again at once, and
    // say why when it does not start at all.
    for (int attempt = 0; attempt < 5 && !started_; ++attempt) {
      started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                nullptr, &si, &process_);
    }
    if (started_) {
      CloseHandle(process_.hThread);
    } else {
      std::fprintf(stderr, "could not start %s: error %lu\n", command.c_str(), GetLastError());
    }
  }
  ~Helper() {
    if (started_) {
      WaitForSingleObject(process_.hProcess, 30000);
      CloseHandle(process_.hProcess);
    }
  }
  Helper(const Helper&) = delete;
  Helper& operator=(const Helper&) = delete;

  // Waits for the helper to end, handling our messages meanwhile; its exit code, or -1.
  int Finish() {
    if (!started_) return -1;
    PumpUntil([&] { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }, 30000);
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

// A helper that holds something (`hold`, or `lock PATH`) from the moment the constructor returns
// until Release, or the end of this object: never for a time that must be long enough.
class Holder {
 public:
  Holder(const std::string& what, const std::string& readyFile)
      : ready_(readyFile),
        release_(readyFile + ".release"),
        helper_(what + " \"" + ready_ + "\" \"" + release_ + "\"") {
    PumpUntil([&] { return FileExists(ready_); });
  }
  ~Holder() { Release(); }
  bool Holding() const { return FileExists(ready_) && !FileExists(release_); }
  // Lets go, and waits until the helper has.
  void Release() {
    if (released_) return;
    released_ = true;
    if (FILE* f = std::fopen(release_.c_str(), "wb")) std::fclose(f);
    helper_.Finish();
    DeleteFileA(ready_.c_str());
    DeleteFileA(release_.c_str());
  }

 private:
  std::string ready_;
  std::string release_;
  Helper helper_;
  bool released_ = false;
};

}  // namespace zinnow::test
