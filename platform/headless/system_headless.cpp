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

// Folds A to Z only, and never the second byte of a double-byte character.
AnsiString Folded(const AnsiString& text) {
  const CodePage& page = SystemCodePage();
  AnsiString folded = text;
  for (std::size_t i = 0; i < folded.size(); ++i) {
    const unsigned char byte = static_cast<unsigned char>(folded[i]);
    if (page.IsLeadByte(byte)) {
      ++i;
    } else if (byte >= 'A' && byte <= 'Z') {
      folded[i] = static_cast<char>(byte - 'A' + 'a');
    }
  }
  return folded;
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

bool SameTextIgnoringCase(const AnsiString& a, const AnsiString& b) {
  return a.size() == b.size() && Folded(a) == Folded(b);
}

namespace headless {

void SetExecutablePath(const AnsiString& path) {
  ExecutablePathSetting() = path;
}

}  // namespace headless
}  // namespace zinnow
