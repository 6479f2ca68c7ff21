#include "platform/win32/code_page_win32.h"

#include <windows.h>

#include <vector>

namespace zinnow {

CodePage ReadCodePage(unsigned codePage) {
  CPINFO info{};
  if (!GetCPInfo(codePage, &info)) return CodePage();
  // LeadByte holds pairs of range bounds, ended by a pair of zeros.
  std::vector<CodePage::Range> ranges;
  for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
    ranges.push_back({info.LeadByte[i], info.LeadByte[i + 1]});
  }
  return CodePage::WithLeadRanges(ranges);
}

const CodePage& SystemCodePage() {
  static const CodePage page = GetSystemMetrics(SM_DBCSENABLED) ? ReadCodePage(CP_ACP) : CodePage();
  return page;
}

}  // namespace zinnow
