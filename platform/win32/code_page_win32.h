#pragma once

#include "platform/code_page.h"

namespace zinnow {

// The lead-byte ranges that Windows reports for a code page (GetCPInfo). A code page that
// Windows does not know reads as single-byte.
CodePage ReadCodePage(unsigned codePage);

}  // namespace zinnow
