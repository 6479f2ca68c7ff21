#pragma once

#include "platform/ansi_string.h"
#include "platform/code_page.h"

namespace zinnow {

// The text of the error box: the message, with "." appended when its last character (not byte)
// begins with a byte above "." (0x2E). So a letter, a digit, a half-width katakana or a
// double-byte character gets one; ".", a blank, "!" or ")" leaves the message as it is.
AnsiString ErrorBoxText(const AnsiString& message, const CodePage& page);

}  // namespace zinnow
