// What the capture and the history rely on from files and folders, proven against whichever
// backend is linked: the host's files through the headless backend, Windows files under Wine
// with another process holding them.
#include <gtest/gtest.h>

#include "platform/exceptions.h"
#include "platform/file_stream.h"
#include "tests/contract/driver.h"

namespace zinnow {
namespace {

void WriteText(const AnsiString& path, const AnsiString& text) {
  TFileStream file(path);
  file.Write(text.data(), text.size());
}

AnsiString ReadText(const AnsiString& path) {
  AnsiString text = "(unreadable)";
  ReadWholeFile(path, text);
  return text;
}

class FilesContract : public ::testing::Test {
 protected:
  test::ScratchFolder folder_;
};

TEST_F(FilesContract, CreatingReplacesAWholeFile) {
  const AnsiString path = folder_.File("svbmp000.bmp");
  WriteText(path, "a longer old text");
  WriteText(path, "new");
  EXPECT_EQ(ReadText(path), "new");
}

// A file another program holds open without sharing cannot be created anew; the error names
// it, and what the file held stays.
TEST_F(FilesContract, TargetHeldOpenFailsWithTheCreateErrorNamingIt) {
  const AnsiString path = folder_.File("svbmp000.bmp");
  WriteText(path, "old");
  {
    test::FileHeldElsewhere held(path);
    try {
      TFileStream file(path);
      FAIL() << "the file is held";
    } catch (const EFCreateError& e) {
      EXPECT_EQ(e.Message(), "ﾌｧｲﾙ " + path + " を作成できません");
    }
  }
  EXPECT_EQ(ReadText(path), "old");
}

TEST_F(FilesContract, MissingFolderFailsWithTheCreateError) {
  const AnsiString path = folder_.File("gone") + "\\svbmp000.bmp";
  EXPECT_THROW(TFileStream file(path), EFCreateError);
  EXPECT_THROW(TFileStream file(""), EFCreateError);
}

// The history's reading: a held file counts as missing, and the text given is left as it was.
TEST_F(FilesContract, ReadingAHeldFileCountsAsMissing) {
  const AnsiString path = folder_.File("path.txt");
  WriteText(path, "C:\\shots\r\n");
  AnsiString bytes = "before";
  {
    test::FileHeldElsewhere held(path);
    EXPECT_FALSE(ReadWholeFile(path, bytes));
    EXPECT_EQ(bytes, "before");
  }
  EXPECT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_EQ(bytes, "C:\\shots\r\n");
  EXPECT_FALSE(ReadWholeFile(folder_.File("none.txt"), bytes));
}

// The history's replacement onto a held file fails and keeps both files as they were.
TEST_F(FilesContract, ReplacingOntoAHeldFileKeepsTheSource) {
  const AnsiString target = folder_.File("path.txt");
  const AnsiString source = folder_.File("path.txt.1.tmp");
  WriteText(target, "old");
  WriteText(source, "new");
  {
    test::FileHeldElsewhere held(target);
    EXPECT_FALSE(MoveOver(source, target));
  }
  EXPECT_EQ(ReadText(source), "new");
  EXPECT_EQ(ReadText(target), "old");
  EXPECT_TRUE(MoveOver(source, target));
  EXPECT_EQ(ReadText(target), "new");
  AnsiString gone;
  EXPECT_FALSE(ReadWholeFile(source, gone)) << "moved, not copied";
}

TEST_F(FilesContract, FolderTest) {
  WriteText(folder_.File("a file"), "x");
  struct Case {
    AnsiString path;
    bool folder;
    const char* why;
  } cases[] = {
      {folder_.Path(), true, "an existing folder"},
      {folder_.Path() + "\\", true, "the same with a trailing backslash"},
      {"", false, "no text"},
      {folder_.File("a file"), false, "a file"},
      {folder_.File("a file") + "\\", false, "a file with a trailing backslash"},
      {folder_.File("none"), false, "nothing of that name"},
  };
  for (const Case& c : cases) EXPECT_EQ(DirectoryExists(c.path), c.folder) << c.why;
}

}  // namespace
}  // namespace zinnow
