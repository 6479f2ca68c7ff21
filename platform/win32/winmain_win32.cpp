// The start of the process on Windows: the program's own entry, with nothing of Windows' own.
#include <windows.h>

#include "platform/program_entry.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return zinnow::ZinnowMain();
}
