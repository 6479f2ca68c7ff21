#include "platform/headless/headless.h"

namespace zinnow::headless {

void ResetClipboard();
void ResetFiles();

void Reset() {
  ResetClipboard();
  ResetFiles();
  RefuseTimers(false);
}

}  // namespace zinnow::headless
