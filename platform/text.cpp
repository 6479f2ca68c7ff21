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
  const unsigned byte = static_cast<unsigned char>(text[i++]);
  if (page.IsLeadByte(static_cast<unsigned char>(byte)) && i < text.size()) {
    const unsigned second = static_cast<unsigned char>(text[i++]);
    return shiftJis ? FoldShiftJis(byte, second) : (byte << 8 | second);
  }
  return byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte;
}

}  // namespace

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
