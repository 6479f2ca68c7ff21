#include <time.h>
#include <unistd.h>

#include "platform/headless/headless.h"
#include "platform/headless/state.h"
#include "platform/system.h"

namespace zinnow {

void PauseMilliseconds(int milliseconds) {
  timespec pause{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
  nanosleep(&pause, nullptr);
}

AnsiString ExecutablePath() {
  return headless::TheState().executablePath;
}

unsigned ProcessId() {
  return static_cast<unsigned>(getpid());
}

namespace headless {

void SetExecutablePath(const AnsiString& path) {
  TheState().executablePath = path;
}

}  // namespace headless
}  // namespace zinnow
