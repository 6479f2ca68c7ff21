// The folder history on the headless backend: path.txt in a folder of the host's.
#include <gtest/gtest.h>

#include <random>

#include "app/zin_form.h"
#include "capture/history_file.h"
#include "platform/application.h"
#include "platform/exceptions.h"
#include "platform/headless/headless.h"
#include "tests/support/temp_folder.h"

namespace zinnow {
namespace {

using Entries = std::vector<AnsiString>;

class FolderHistory : public ::testing::Test {
 protected:
  void SetUp() override { ResetBackend(); }
  void TearDown() override {
    headless::Reset();
    Application().OnException = nullptr;
  }

  // A fresh backend whose program lives in program_.
  void ResetBackend() {
    headless::Reset();
    headless::SetExecutablePath(program_.Path() + "\\zinnow.exe");
  }
  void WriteHistory(const std::string& bytes) {
    std::ofstream(program_.File("path.txt"), std::ios::binary) << bytes;
  }
  std::string History() const {
    const auto bytes = test::ReadBytes(program_.File("path.txt"));
    return std::string(bytes.begin(), bytes.end());
  }
  Entries List() const { return headless::StateOf(*form_.Edit1).items; }
  AnsiString Data(const char* name) const {
    std::filesystem::create_directories(data_.File(name));
    return data_.Path() + "\\" + name;
  }

  test::TempFolder program_;
  test::TempFolder data_;
  TZinForm form_;
};

TEST_F(FolderHistory, NoFileGivesTheFallbackUnselected) {
  form_.FormCreate(nullptr);
  EXPECT_EQ(form_.GetProgramFolder(), program_.Path() + "\\");
  EXPECT_EQ(List(), Entries{"c:\\"});
  EXPECT_EQ(form_.Edit1->Text(), "");
  EXPECT_FALSE(form_.Timer1->Enabled());
  form_.FormDestroy(nullptr);
  EXPECT_EQ(History(), "c:\\\r\n");
}

TEST_F(FolderHistory, ExistingFirstEntryIsSelectedAndPollingIsOn) {
  const AnsiString shots = Data("shots");
  WriteHistory(shots + "\r\nC:\\other");
  form_.FormCreate(nullptr);
  EXPECT_EQ(form_.Edit1->Text(), shots);
  EXPECT_TRUE(form_.Timer1->Enabled());
  EXPECT_EQ(List(), (Entries{shots, "C:\\other"}));  // found as entry 1, nothing added
  form_.FormDestroy(nullptr);
  EXPECT_EQ(History(), shots + "\r\nC:\\other\r\n");
}

TEST_F(FolderHistory, MissingFirstEntryIsShownWithPollingOff) {
  WriteHistory(data_.Path() + "\\gone\r\n");
  form_.FormCreate(nullptr);
  EXPECT_EQ(form_.Edit1->Text(), data_.Path() + "\\gone");
  EXPECT_FALSE(form_.Timer1->Enabled());
}

TEST_F(FolderHistory, FileContentsAtStart) {
  struct Case {
    std::string bytes;
    Entries list;
    AnsiString shown;
    std::string saved;
  } cases[] = {
      {"", {}, "", ""},  // an empty file stays empty
      {"A\r\nB", {"A", "B"}, "A", "A\r\nB\r\n"},
      {"\r\nA", {"", "A"}, "", "\r\nA\r\n"},  // an empty first entry is selected
      {std::string("A\0B", 3), {"A"}, "A", "A\r\n"},
  };
  for (const Case& c : cases) {
    TZinForm form;
    WriteHistory(c.bytes);
    form.FormCreate(nullptr);
    EXPECT_EQ(headless::StateOf(*form.Edit1).items, c.list);
    EXPECT_EQ(form.Edit1->Text(), c.shown);
    form.FormDestroy(nullptr);
    EXPECT_EQ(History(), c.saved);
  }
}

TEST_F(FolderHistory, LookupIgnoresLetterCaseOnly) {
  const AnsiString upper = Data("Data");
  const AnsiString lower = Data("data");  // the host tells the two apart; the history does not
  WriteHistory(upper + "\r\n");
  form_.FormCreate(nullptr);
  headless::UserTypes(*form_.Edit1, lower);
  EXPECT_EQ(List(), Entries{upper});
  headless::UserTypes(*form_.Edit1, upper + "\\");  // a trailing backslash is another entry
  EXPECT_EQ(List(), (Entries{upper + "\\", upper}));
}

TEST_F(FolderHistory, TypingKeyByKeyRecordsEveryExistingStep) {
  form_.FormCreate(nullptr);
  const AnsiString work = Data("Work");
  AnsiString typed;
  for (char c : work) {
    typed += c;
    headless::UserTypes(*form_.Edit1, typed);
  }
  ASSERT_GE(List().size(), 3u);
  EXPECT_EQ(List()[0], work);
  EXPECT_EQ(List()[1], data_.Path() + "\\");  // the folder with its backslash, before "W"
  EXPECT_EQ(List()[2], data_.Path());
  EXPECT_EQ(List().back(), "c:\\");
}

TEST_F(FolderHistory, AtMostTwentyOneEntriesAreKept) {
  struct Case {
    int lines;
    std::size_t after;
    bool twentyFirstRemoved;
  } cases[] = {{19, 20, false}, {20, 21, false}, {21, 21, true}, {30, 30, true}};
  for (const Case& c : cases) {
    Entries lines;
    for (int i = 1; i <= c.lines; ++i) lines.push_back("C:\\line" + std::to_string(i));
    WriteHistory(JoinHistoryLines(lines));
    TZinForm form;
    form.FormCreate(nullptr);
    const AnsiString added = Data("new");
    headless::UserTypes(*form.Edit1, added);
    const Entries& list = headless::StateOf(*form.Edit1).items;
    ASSERT_EQ(list.size(), c.after) << c.lines;
    EXPECT_EQ(list[0], added);
    const bool has21 = std::find(list.begin(), list.end(), "C:\\line21") != list.end();
    EXPECT_EQ(has21, !c.twentyFirstRemoved && c.lines >= 21) << c.lines;
    if (c.lines == 30) {
      EXPECT_EQ(list[20], "C:\\line20");
      EXPECT_EQ(list[21], "C:\\line22");
      EXPECT_EQ(list.back(), "C:\\line30");
    }
  }
}

TEST_F(FolderHistory, AFolderAlreadyThereKeepsItsPlace) {
  const AnsiString a = Data("a"), b = Data("b");
  WriteHistory(a + "\r\n" + b + "\r\n");
  form_.FormCreate(nullptr);
  headless::UserTypes(*form_.Edit1, b);
  EXPECT_EQ(List(), (Entries{a, b}));
}

TEST_F(FolderHistory, ListThatRefusesALineFallsBack) {
  WriteHistory("C:\\one\r\nC:\\two-is-too-long\r\n");
  headless::LimitListText(*form_.Edit1, 12);
  form_.FormCreate(nullptr);
  EXPECT_EQ(List(), (Entries{"C:\\one", "c:\\"}));
  EXPECT_EQ(form_.Edit1->Text(), "");
}

// A failure of another kind than the platform's own, memory running short on a huge file: the
// same fallback, and start-up goes on to the first recompute.
TEST_F(FolderHistory, AnyFailureWhileLoadingFallsBack) {
  WriteHistory("C:\\one\r\nC:\\two\r\nC:\\three\r\n");
  headless::RunOutOfMemoryInList(*form_.Edit1, 1);
  EXPECT_NO_THROW(form_.FormCreate(nullptr));
  EXPECT_EQ(List(), (Entries{"C:\\one", "c:\\"}));
  EXPECT_EQ(form_.Edit1->Text(), "");
  EXPECT_EQ(form_.GetFileNumber(), 0);
  EXPECT_EQ(form_.Label4->Caption(), "svbmp000.bmp");  // the recompute ran
}

TEST_F(FolderHistory, FailedSaveKeepsTheOldFileAndLeavesNoTemporary) {
  const std::string old = "C:\\old\r\n";
  struct Case {
    const char* what;
    std::function<void()> arrange;
    AnsiString message;
  } cases[] = {
      {"path.txt held open by another program",
       [&] { headless::HoldFileOpen(program_.Path() + "\\path.txt"); },
       EFCreateError(program_.Path() + "\\path.txt").Message()},
      {"the temporary file cannot be created",
       [&] {
         headless::HoldFileOpen(program_.Path() + "\\path.txt." + std::to_string(getpid()) +
                                ".tmp");
       },
       EFCreateError(program_.Path() + "\\path.txt").Message()},
      {"a full disk", [] { headless::LimitDiskSpace(3); }, EWriteError().Message()},
  };
  for (const Case& c : cases) {
    ResetBackend();
    WriteHistory(old);
    TZinForm form;
    form.FormCreate(nullptr);
    form.Edit1->Insert(0, "C:\\new");
    c.arrange();
    try {
      form.FormDestroy(nullptr);
      ADD_FAILURE() << c.what << ": no failure";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.message) << c.what;
    }
    headless::Reset();
    EXPECT_EQ(History(), old) << c.what;
    EXPECT_EQ(program_.Files(), std::vector<std::string>{"path.txt"}) << c.what;
  }
}

TEST_F(FolderHistory, HostileFilesAreReadAndWrittenBackWhole) {
  std::mt19937 random(7);
  std::string binary(1 << 20, '\0');
  for (char& c : binary) c = static_cast<char>(random() % 255 + 1);  // no zero: all of it counts
  std::string manyLines;
  for (int i = 0; i < 100000; ++i) manyLines += "C:\\folder" + std::to_string(i) + "\r\n";
  const std::string files[] = {std::string(10 << 20, 'x'), manyLines, binary};
  for (const std::string& bytes : files) {
    WriteHistory(bytes);
    TZinForm form;
    form.FormCreate(nullptr);
    form.FormDestroy(nullptr);
    EXPECT_EQ(SplitHistoryLines(History()), SplitHistoryLines(bytes));
  }
}

}  // namespace
}  // namespace zinnow
