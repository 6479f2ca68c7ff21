#include "capture/history_file.h"

namespace zinnow {

std::vector<AnsiString> SplitHistoryLines(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\0'));
  std::vector<AnsiString> entries;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const char c = bytes[i];
    if (c != '\r' && c != '\n') {
      ++i;
      continue;
    }
    entries.emplace_back(bytes.substr(start, i - start));
    i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
    start = i;
  }
  if (start < bytes.size()) entries.emplace_back(bytes.substr(start));
  return entries;
}

AnsiString JoinHistoryLines(const std::vector<AnsiString>& entries) {
  std::size_t size = 0;
  for (const AnsiString& e : entries) size += e.size() + 2;
  AnsiString text;
  text.reserve(size);
  for (const AnsiString& e : entries) {
    text += e;
    text += "\r\n";
  }
  return text;
}

}  // namespace zinnow
