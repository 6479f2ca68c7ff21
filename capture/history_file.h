#pragma once

#include <string_view>
#include <vector>

#include "platform/ansi_string.h"

namespace zinnow {

// The entries of a history file: a line ends at CR, at LF, or at CR LF (one break); LF CR and
// CR CR are two breaks with an empty entry between; a last line without a break is an entry; a
// break at the very end adds none; a zero byte ends the text. Nothing else is looked at, so
// leading bytes (a byte-order mark too) belong to the first entry.
std::vector<AnsiString> SplitHistoryLines(std::string_view bytes);

// The file's text: every entry followed by CR LF, the last one too.
AnsiString JoinHistoryLines(const std::vector<AnsiString>& entries);

}  // namespace zinnow
