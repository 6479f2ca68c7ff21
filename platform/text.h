#pragma once

#include <cstddef>

#include "platform/ansi_string.h"
#include "platform/code_page.h"

namespace zinnow {

// Where the character after the one that starts at `i` starts: two bytes on from a lead byte,
// one from any other byte. A lead byte with nothing after it is a character of its own.
std::size_t NextCharStart(const AnsiString& text, std::size_t i, const CodePage& page);

// Index of the first byte of the text's last character; the size of the text when it is empty.
// A final byte is the second byte of a double-byte character when the unbroken run of lead
// bytes right before it is odd in length (that run can only be read from the end this way).
std::size_t LastCharStart(const AnsiString& text, const CodePage& page);

// The path cut after its last "\" or ":" (the second byte of a double-byte character is never
// one); empty when it has neither.
AnsiString FolderOfPath(const AnsiString& path, const CodePage& page);

// Whether two texts are equal but for letter case: A to Z, and in Shift_JIS also the full-width
// Latin, Greek and Cyrillic letters. Every other byte, the second bytes of double-byte
// characters included, must be equal.
bool SameTextIgnoringCase(const AnsiString& a, const AnsiString& b, const CodePage& page);
// The same in the system's ANSI code page.
bool SameTextIgnoringCase(const AnsiString& a, const AnsiString& b);

}  // namespace zinnow
