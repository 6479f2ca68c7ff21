#pragma once

#include <bitset>

namespace zinnow {

// What the double-byte rules of a code page need: which bytes lead a two-byte character.
class CodePage {
 public:
  // A code page of single-byte characters only.
  CodePage() = default;

  // The lead-byte ranges [first, last] as a code page reports them.
  struct Range {
    unsigned char first;
    unsigned char last;
  };
  template <typename Ranges>
  static CodePage WithLeadRanges(const Ranges& ranges) {
    CodePage page;
    for (const Range& range : ranges) page.AddLeadRange(range);
    return page;
  }
  static CodePage WithLeadRanges(std::initializer_list<Range> ranges) {
    CodePage page;
    for (const Range& range : ranges) page.AddLeadRange(range);
    return page;
  }

  bool HasDoubleByteCharacters() const { return lead_.any(); }
  bool IsLeadByte(unsigned char byte) const { return lead_[byte]; }

  friend bool operator==(const CodePage&, const CodePage&) = default;

 private:
  void AddLeadRange(Range range) {
    for (unsigned b = range.first; b <= range.last; ++b) lead_.set(b);
  }

  std::bitset<256> lead_;
};

// Code page 932 as its definition gives it: lead bytes 0x81-0x9F and 0xE0-0xFC.
inline CodePage ShiftJisCodePage() {
  return CodePage::WithLeadRanges({{0x81, 0x9F}, {0xE0, 0xFC}});
}

// The facts of the system's ANSI code page, read once (backend).
const CodePage& SystemCodePage();

}  // namespace zinnow
