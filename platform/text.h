#pragma once

#include <cstddef>

#include "platform/ansi_string.h"
#include "platform/code_page.h"

namespace zinnow {

// Index of the first byte of the text's last character; the size of the text when it is empty.
// A final byte is the second byte of a double-byte character when the unbroken run of lead
// bytes right before it is odd in length (that run can only be read from the end this way).
std::size_t LastCharStart(const AnsiString& text, const CodePage& page);

}  // namespace zinnow
