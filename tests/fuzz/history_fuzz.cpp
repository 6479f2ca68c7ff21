// libFuzzer: any bytes as a history file. What is read and written back reads again as the same
// list, and no entry holds a line break or a zero byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "capture/history_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto entries = zinnow::SplitHistoryLines(bytes);
  for (const auto& entry : entries) {
    if (entry.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) std::abort();
  }
  const auto written = zinnow::JoinHistoryLines(entries);
  if (zinnow::SplitHistoryLines(written) != entries) std::abort();
  if (zinnow::JoinHistoryLines(zinnow::SplitHistoryLines(written)) != written) std::abort();
  return 0;
}
