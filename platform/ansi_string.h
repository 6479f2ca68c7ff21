#pragma once

#include <string>

namespace zinnow {

// Text as the system keeps it: bytes in the ANSI code page (Shift_JIS for this program).
// Lengths count bytes, so a double-byte character counts 2. Compared byte for byte.
using AnsiString = std::string;

}  // namespace zinnow
