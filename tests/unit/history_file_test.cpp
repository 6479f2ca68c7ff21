#include "capture/history_file.h"

#include <gtest/gtest.h>

namespace zinnow {
namespace {

using Entries = std::vector<AnsiString>;

TEST(HistoryFile, LineRules) {
  struct Case {
    std::string bytes;
    Entries entries;
    const char* why;
  } cases[] = {
      {"", {}, "an empty file"},
      {"A\r\nB", {"A", "B"}, "a last line without a break"},
      {"A\r\nB\r\n", {"A", "B"}, "a break at the very end adds nothing"},
      {"A\nB\rC\r\n", {"A", "B", "C"}, "LF, CR and CR LF each end a line"},
      {"A\r\n\r\nB", {"A", "", "B"}, "an empty line"},
      {"A\n\rB", {"A", "", "B"}, "LF CR is two breaks"},
      {"A\r\rB", {"A", "", "B"}, "CR CR is two breaks"},
      {"\r\nA", {"", "A"}, "an empty first line"},
      {std::string("A\0B", 3), {"A"}, "a zero byte ends the text"},
      {std::string("A\r\nB\0C\r\n", 8), {"A", "B"}, "the bytes before the zero are the last entry"},
      {std::string("\0A", 2), {}, "a zero byte first"},
      {"\xEF\xBB\xBF"
       "C:\\a",
       {"\xEF\xBB\xBF"
        "C:\\a"},
       "a byte-order mark belongs to the first entry"},
      {"C:\\\x95\x5c\r\n\x83\x5c", {"C:\\\x95\x5c", "\x83\x5c"}, "double-byte characters"},
      {"\r", {""}, "a lone break is one empty entry"},
      {"\n\n", {"", ""}, "two breaks"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitHistoryLines(c.bytes), c.entries) << c.why;
  }
}

TEST(HistoryFile, WritingEndsEveryEntryWithCrLf) {
  EXPECT_EQ(JoinHistoryLines({}), "");
  EXPECT_EQ(JoinHistoryLines({"c:\\"}), "c:\\\r\n");
  EXPECT_EQ(JoinHistoryLines({"A", "", "B"}), "A\r\n\r\nB\r\n");
}

TEST(HistoryFile, WhatIsWrittenReadsBackAsTheSameList) {
  const Entries lists[] = {
      {},
      {""},
      {"", ""},
      {"A", "", "B"},
      {"C:\\Data", "c:\\data", "C:\\Data\\"},
      {std::string(5000, 'x')},
  };
  for (const Entries& list : lists) {
    EXPECT_EQ(SplitHistoryLines(JoinHistoryLines(list)), list);
  }
}

}  // namespace
}  // namespace zinnow
