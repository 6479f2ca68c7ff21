#include "capture/file_naming.h"

#include "platform/text.h"

namespace zinnow {

AnsiString NumberText(std::int32_t number, int digits) {
  const bool negative = number < 0;
  std::uint32_t magnitude =
      negative ? 0u - static_cast<std::uint32_t>(number) : static_cast<std::uint32_t>(number);
  AnsiString reversed;
  do {
    reversed.push_back(static_cast<char>('0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  while (static_cast<int>(reversed.size()) < digits) reversed.push_back('0');
  if (negative) reversed.push_back('-');
  return AnsiString(reversed.rbegin(), reversed.rend());
}

AnsiString JoinPath(const AnsiString& folder, const AnsiString& name, const CodePage& page) {
  if (folder.empty()) return AnsiString();
  const std::size_t last = LastCharStart(folder, page);
  const bool endsInBackslash = last == folder.size() - 1 && folder[last] == '\\';
  return endsInBackslash ? folder + name : folder + '\\' + name;
}

AnsiString JoinPath(const AnsiString& folder, const AnsiString& name) {
  return JoinPath(folder, name, SystemCodePage());
}

}  // namespace zinnow
