#include "platform/clipboard.h"

#include "platform/system.h"

namespace zinnow {

ScopedClipboard::ScopedClipboard() {
  for (int attempt = 0; attempt < kTries; ++attempt) {
    if (attempt > 0) PauseMilliseconds(kPauseMs);
    if (clipboard::TryOpen()) {
      open_ = true;
      return;
    }
  }
}

ScopedClipboard::~ScopedClipboard() {
  if (open_) clipboard::Close();
}

}  // namespace zinnow
