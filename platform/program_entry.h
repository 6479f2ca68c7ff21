#pragma once

namespace zinnow {

// The program's own entry, written by the program on top of this library; the backend's start
// of the process calls it and ends the process with what it returns.
int ZinnowMain();

}  // namespace zinnow
