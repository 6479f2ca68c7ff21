#pragma once

#include "platform/ansi_string.h"
#include "platform/code_page.h"
#include "platform/shown_text.h"

namespace zinnow {

// The text of the error box: the message, with "." appended when its last character (not byte)
// begins with a byte above "." (0x2E). So a letter, a digit, a half-width katakana or a
// double-byte character gets one; ".", a blank, "!" or ")" leaves the message as it is.
AnsiString ErrorBoxText(const AnsiString& message, const CodePage& page);
// The same for a message in parts: its last character is read in the code page of the last
// part, Shift_JIS for the program's own texts, `systemPage` for the others.
ShownText ErrorBoxText(const ShownText& message, const CodePage& systemPage);

}  // namespace zinnow
