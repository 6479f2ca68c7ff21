#include "platform/code_page.h"

namespace zinnow {

// The headless backend stands for a Japanese system.
const CodePage& SystemCodePage() {
  static const CodePage page = ShiftJisCodePage();
  return page;
}

}  // namespace zinnow
