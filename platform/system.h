#pragma once

namespace zinnow {

// Lets the thread wait; for short pauses only (backend).
void PauseMilliseconds(int milliseconds);

}  // namespace zinnow
