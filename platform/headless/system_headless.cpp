#include <time.h>
#include <unistd.h>

#include <cctype>

#include "platform/code_page.h"
#include "platform/headless/headless.h"
#include "platform/system.h"
#include "platform/text.h"

namespace zinnow {
namespace {

AnsiString& ExecutablePathSetting() {
  static AnsiString path = "C:\\Zinnow\\zinnow.exe";
  return path;
}

}  // namespace

void PauseMilliseconds(int milliseconds) {
  timespec pause{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
  nanosleep(&pause, nullptr);
}

AnsiString ExecutablePath() {
  return ExecutablePathSetting();
}

unsigned ProcessId() {
  return static_cast<unsigned>(getpid());
}

namespace headless {

void SetExecutablePath(const AnsiString& path) {
  ExecutablePathSetting() = path;
}

}  // namespace headless
}  // namespace zinnow
