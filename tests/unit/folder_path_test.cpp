#include "platform/folder_path.h"

#include <gtest/gtest.h>

#include <set>

namespace zinnow {
namespace {

// Each path's normal form, and the parent of that form.
TEST(FolderPath, NormalFormAndParent) {
  const CodePage sjis = ShiftJisCodePage();
  struct Case {
    const char* path;
    const char* normal;
    const char* parent;
  } cases[] = {
      {"C:\\", "C:\\", "C:\\"},  // a root is its own parent
      {"C:", "C:\\", "C:\\"},    // a drive alone is its root
      {"C:\\\\", "C:\\", "C:\\"},
      {"C:\\a", "C:\\a", "C:\\"},
      {"C:\\a\\b", "C:\\a\\b", "C:\\a"},
      {"C:\\a\\b\\", "C:\\a\\b", "C:\\a"},
      {"C:\\a\\b\\\\\\", "C:\\a\\b", "C:\\a"},     // every final backslash goes
      {"C:\\\x95\x5c", "C:\\\x95\x5c", "C:\\"},    // the final 0x5C is the second byte of 'table'
      {"C:\\\x95\x5c\\", "C:\\\x95\x5c", "C:\\"},  // a real backslash after it goes
      {"C:\\\x95\x5c\\b", "C:\\\x95\x5c\\b", "C:\\\x95\x5c"},  // a parent ending in it keeps it
      {"C:\\a\x95\x5c", "C:\\a\x95\x5c", "C:\\"},              // that second byte is no separator
      {"\\\\server\\share\\", "\\\\server\\share", "\\\\server"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NormalFolderPath(c.path, sjis), c.normal) << c.path;
    EXPECT_EQ(ParentFolder(c.normal, sjis), c.parent) << c.path;
  }
}

TEST(NearestExistingFolder, ClimbsToTheFirstFolderThatExists) {
  const CodePage sjis = ShiftJisCodePage();
  const std::set<AnsiString> existing = {"C:\\", "C:\\data", "C:\\\x95\x5c"};
  std::vector<AnsiString> asked;
  const auto isFolder = [&](const AnsiString& path) {
    asked.push_back(path);
    return existing.count(path) != 0;
  };
  struct Case {
    const char* path;
    const char* nearest;
  } cases[] = {
      {"C:\\data", "C:\\data"},
      {"C:\\data\\", "C:\\data"},  // asked in normal form
      {"C:\\data\\new\\deeper", "C:\\data"},
      {"C:\\none", "C:\\"},
      {"C:\\\x95\x5c\\new", "C:\\\x95\x5c"},
      {"D:\\gone\\too", "D:\\"},  // no folder at all: the root is where it stops
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NearestExistingFolder(c.path, isFolder, sjis), c.nearest) << c.path;
  }
  asked.clear();
  NearestExistingFolder("C:\\data\\new\\deeper\\", isFolder, sjis);
  EXPECT_EQ(asked, (std::vector<AnsiString>{"C:\\data\\new\\deeper", "C:\\data\\new", "C:\\data"}));
}

}  // namespace
}  // namespace zinnow
