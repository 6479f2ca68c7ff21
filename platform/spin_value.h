#pragma once

#include <cstdint>
#include <optional>

#include "platform/ansi_string.h"

namespace zinnow {

// The spin field's value as read from its text: blanks in front, then an optional sign and
// decimal digits, or "$" and hexadecimal digits, and nothing after. Any other text, the empty one
// too, and a number beyond 32 bits read as 0, the field's minimum. The value is not clamped.
std::int32_t ReadSpinInteger(const AnsiString& text);

// The same reading, telling apart a text that is no such number.
std::optional<std::int32_t> ParseSpinInteger(const AnsiString& text);

}  // namespace zinnow
