#pragma once

#include <cstdint>

#include "platform/ansi_string.h"
#include "platform/code_page.h"

namespace zinnow {

// The number part of a file name: the decimal digits of the number, zero-filled to `digits`
// digits, "-" in front of a negative number, never cut and never empty ("%n.nd" as printf-style
// formatting is meant, with 0 written as "0" even for no digits).
AnsiString NumberText(std::int32_t number, int digits);

// The folder and the name with one backslash between them, unless the folder's last character
// (not byte: in Shift_JIS a final 0x5C can be the second byte of a character) already is one.
// An empty folder gives an empty path: with no folder there is nothing to point a file at, and
// a bare name would land in whatever the current folder happens to be.
AnsiString JoinPath(const AnsiString& folder, const AnsiString& name, const CodePage& page);
AnsiString JoinPath(const AnsiString& folder, const AnsiString& name);

}  // namespace zinnow
