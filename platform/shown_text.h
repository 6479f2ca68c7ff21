#pragma once

#include <vector>

#include "platform/ansi_string.h"

namespace zinnow {

// A text as the program shows it, in parts by where their bytes come from: the program's own
// fixed texts are Shift_JIS on every system, the parts that come from the system or the user
// (paths, the system's messages) are in the system's ANSI code page. A backend that shows text
// in Unicode converts each part by its own code page; the bytes joined are the text the program
// compares and keeps.
class ShownText {
 public:
  struct Part {
    AnsiString bytes;
    bool fixed;  // the program's own Shift_JIS text
  };

  ShownText() = default;
  static ShownText Fixed(const AnsiString& text) { return ShownText().AddFixed(text); }
  static ShownText System(const AnsiString& text) { return ShownText().AddSystem(text); }

  ShownText& AddFixed(const AnsiString& text) { return Add(text, true); }
  ShownText& AddSystem(const AnsiString& text) { return Add(text, false); }

  const std::vector<Part>& Parts() const { return parts_; }
  AnsiString Bytes() const {
    AnsiString bytes;
    for (const Part& part : parts_) bytes += part.bytes;
    return bytes;
  }

 private:
  ShownText& Add(const AnsiString& text, bool fixed) {
    if (!text.empty()) parts_.push_back({text, fixed});
    return *this;
  }

  std::vector<Part> parts_;
};

}  // namespace zinnow
