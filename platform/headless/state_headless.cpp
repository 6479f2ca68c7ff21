#include "platform/headless/state.h"

#include "platform/headless/headless.h"

namespace zinnow::headless {

State& TheState() {
  static State state;
  return state;
}

void Reset() {
  TheState() = State();
}

}  // namespace zinnow::headless
