#pragma once

#include <exception>
#include <functional>

#include "platform/ansi_string.h"

namespace zinnow {

// The one application object: title, the message loop, and where failures that escape an event
// handler end up.
class TApplication {
 public:
  AnsiString Title;

  // Shows a failure that escaped an event handler. Set by the program; the default drops it.
  std::function<void(const std::exception&)> OnException;

  // Runs an event handler the way the message loop does: a failure that escapes it goes to
  // OnException, and the loop goes on.
  void Dispatch(const std::function<void()>& handler);

  // Handles the messages that are waiting, then returns (backend).
  void ProcessMessages();
};

TApplication& Application();

}  // namespace zinnow
