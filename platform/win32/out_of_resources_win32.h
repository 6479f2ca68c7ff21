#pragma once

// A system object that cannot be made (a window, a window class, a font, a drawing object)
// fails with EOutOfResources, carrying the system's text for the last error.
#include <windows.h>

#include "platform/exceptions.h"
#include "platform/win32/windows_backend.h"

namespace zinnow::win32 {

[[noreturn]] inline void ThrowOutOfResources() {
  throw EOutOfResources(SystemErrorText(GetLastError()));
}

// What was made, or the failure when nothing was.
template <typename T>
T Required(T made) {
  if (!made) ThrowOutOfResources();
  return made;
}

}  // namespace zinnow::win32
