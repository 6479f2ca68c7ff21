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

AnsiString FolderOfPath(const AnsiString& path, const CodePage& page) {
  std::size_t cut = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const unsigned char byte = static_cast<unsigned char>(path[i]);
    if (page.IsLeadByte(byte)) {
      ++i;
    } else if (byte == '\\' || byte == ':') {
      cut = i + 1;
    }
  }
  return path.substr(0, cut);
}

}  // namespace zinnow
