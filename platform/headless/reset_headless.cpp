#include "platform/headless/headless.h"

namespace zinnow::headless {

void ResetClipboard();
void ResetFiles();
void ResetApplication();

void Reset() {
  ResetClipboard();
  ResetFiles();
  ResetApplication();
  RefuseTimers(false);
}

}  // namespace zinnow::headless
