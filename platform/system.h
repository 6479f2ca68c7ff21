#pragma once

#include "platform/ansi_string.h"

namespace zinnow {

// Lets the thread wait; for short pauses only (backend).
void PauseMilliseconds(int milliseconds);

// The full path of the running program, in the ANSI code page.
AnsiString ExecutablePath();

unsigned ProcessId();

}  // namespace zinnow
