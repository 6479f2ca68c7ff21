#include "platform/text.h"

namespace zinnow {

std::size_t LastCharStart(const AnsiString& text, const CodePage& page) {
  if (text.empty()) return 0;
  const std::size_t last = text.size() - 1;
  std::size_t leadRun = 0;
  while (leadRun < last && page.IsLeadByte(static_cast<unsigned char>(text[last - 1 - leadRun]))) {
    ++leadRun;
  }
  return leadRun % 2 == 1 ? last - 1 : last;
}

}  // namespace zinnow
