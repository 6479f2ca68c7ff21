#include "platform/text.h"

namespace zinnow {
namespace {

// The capital of a double-byte Shift_JIS letter (lead and second byte) folded to its small
// letter; other characters as they are.
unsigned FoldShiftJis(unsigned lead, unsigned second) {
  const unsigned c = lead << 8 | second;
  if (c >= 0x8260 && c <= 0x8279) return c + 0x21;  // Ａ..Ｚ to ａ..ｚ
  if (c >= 0x839F && c <= 0x83B6) return c + 0x20;  // Greek
  if (c >= 0x8440 && c <= 0x8460) {                 // Cyrillic: the small ones skip 0x847F
    const unsigned index = c - 0x8440;
    return 0x8470 + index + (index >= 15 ? 1 : 0);
  }
  return c;
}

// One character's value with letter case folded, starting at `i`; `i` moves past it.
unsigned FoldedCharAt(const AnsiString& text, std::size_t& i, const CodePage& page, bool shiftJis) {
  const std::size_t next = NextCharStart(text, i, page);
  const unsigned byte = static_cast<unsigned char>(text[i]);
  const bool doubleByte = next - i == 2;
  i = next;
  if (doubleByte) {
    const unsigned second = static_cast<unsigned char>(text[next - 1]);
    return shiftJis ? FoldShiftJis(byte, second) : (byte << 8 | second);
  }
  return byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte;
}

}  // namespace

std::size_t NextCharStart(const AnsiString& text, std::size_t i, const CodePage& page) {
  const bool lead = page.IsLeadByte(static_cast<unsigned char>(text[i]));
  return lead && i + 1 < text.size() ? i + 2 : i + 1;
}

bool SameTextIgnoringCase(const AnsiString& a, const AnsiString& b, const CodePage& page) {
  const bool shiftJis = page == ShiftJisCodePage();
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (FoldedCharAt(a, i, page, shiftJis) != FoldedCharAt(b, j, page, shiftJis)) return false;
  }
  return i == a.size() && j == b.size();
}

bool SameTextIgnoringCase(const AnsiString& a, const AnsiString& b) {
  return SameTextIgnoringCase(a, b, SystemCodePage());
}

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
  for (std::size_t i = 0; i < path.size(); i = NextCharStart(path, i, page)) {
    if (path[i] == '\\' || path[i] == ':') cut = i + 1;
  }
  return path.substr(0, cut);
}

}  // namespace zinnow
