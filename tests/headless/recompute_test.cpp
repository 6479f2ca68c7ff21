// The recompute and the settings handlers on the headless backend, driven as a user would.
#include <gtest/gtest.h>

#include "app/zin_form.h"
#include "platform/application.h"
#include "platform/headless/headless.h"
#include "tests/support/temp_folder.h"

namespace zinnow {
namespace {

using headless::StateOf;
using headless::UserTypes;

class Recompute : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Reset();
    form_.Edit1Change(nullptr);  // the start-up recompute
  }
  void TearDown() override { headless::Reset(); }

  AnsiString Folder() const { return folder_.Path(); }

  test::TempFolder folder_;
  TZinForm form_;
};

TEST_F(Recompute, StartStateWithAnEmptyFolderText) {
  EXPECT_EQ(form_.Label4->Caption(), "svbmp000.bmp");
  EXPECT_EQ(form_.SpinEdit1->Text(), "0");  // the design's "1" is replaced
  EXPECT_EQ(form_.GetFileNumber(), 0);
  EXPECT_EQ(form_.GetSaveFolder(), "");
  EXPECT_EQ(form_.GetTargetPath(), "");  // no folder: no path, so nothing can be written
  EXPECT_FALSE(form_.Timer1->Enabled());
}

TEST_F(Recompute, FolderTextNamesAnExistingFolder) {
  UserTypes(*form_.Edit1, Folder());
  EXPECT_EQ(form_.GetSaveFolder(), Folder() + "\\");
  EXPECT_EQ(form_.GetTargetPath(), Folder() + "\\svbmp000.bmp");
  EXPECT_TRUE(form_.Timer1->Enabled());

  UserTypes(*form_.Edit1, Folder() + "\\");  // the same with its backslash
  EXPECT_EQ(form_.GetTargetPath(), Folder() + "\\svbmp000.bmp");
  EXPECT_TRUE(form_.Timer1->Enabled());
}

TEST_F(Recompute, PollingOnlyForAnExistingFolder) {
  std::ofstream(folder_.File("afile")) << "x";
  struct Case {
    AnsiString text;
    bool polling;
  } cases[] = {
      {Folder(), true},
      {Folder() + "\\afile", false},    // a file is no folder
      {Folder() + "\\missing", false},  // not there (yet)
      {"", false},
  };
  for (const Case& c : cases) {
    UserTypes(*form_.Edit1, c.text);
    EXPECT_EQ(form_.Timer1->Enabled(), c.polling) << c.text;
  }
  // Creating the folder afterwards changes nothing until the next recompute.
  std::filesystem::create_directory(folder_.File("missing"));
  UserTypes(*form_.Edit1, Folder() + "\\missing");
  EXPECT_TRUE(form_.Timer1->Enabled());
}

TEST_F(Recompute, SpinTexts) {
  struct Case {
    const char* typed;
    const char* shown;
    std::int32_t number;
    const char* name;
  } cases[] = {
      {"007", "7", 7, "svbmp007.bmp"},
      {"+5", "5", 5, "svbmp005.bmp"},
      {" 5", "5", 5, "svbmp005.bmp"},
      {"$1F", "31", 31, "svbmp031.bmp"},
      {"-5", "0", 0, "svbmp000.bmp"},
      {"-", "0", 0, "svbmp000.bmp"},
      {"", "0", 0, "svbmp000.bmp"},
      {"abc", "0", 0, "svbmp000.bmp"},
      {"1234", "1234", 1234, "svbmp1234.bmp"},
      {"99999", "99999", 99999, "svbmp99999.bmp"},
      {"123456", "99999", 99999, "svbmp99999.bmp"},  // a paste beyond the maximum
  };
  for (const Case& c : cases) {
    UserTypes(*form_.SpinEdit1, c.typed);
    EXPECT_EQ(form_.SpinEdit1->Text(), c.shown) << c.typed;
    EXPECT_EQ(form_.GetFileNumber(), c.number) << c.typed;
    EXPECT_EQ(form_.Label4->Caption(), c.name) << c.typed;
  }
}

TEST_F(Recompute, NegativeNumberBecomesZeroThroughTheNestedRecompute) {
  UserTypes(*form_.Edit1, Folder());
  UserTypes(*form_.SpinEdit1, "-5");
  // The outer recompute wrote "-005" first, then the nested one the name for 0.
  EXPECT_EQ(StateOf(*form_.Label4).writes.back(), "svbmp000.bmp");
  EXPECT_EQ(form_.GetTargetPath(), Folder() + "\\svbmp000.bmp");
  EXPECT_EQ(StateOf(*form_.SpinEdit1).writes.back(), "0");
  EXPECT_EQ(form_.GetFileNumber(), 0);
}

TEST_F(Recompute, DigitTemplateTyping) {
  struct Case {
    const char* typed;
    const char* shown;
    const char* name;
  } cases[] = {
      {"0005", "0000", "svbmp0000.bmp"},  // a digit typed after "000"
      {"000"
       "表",
       "00000", "svbmp00000.bmp"},  // one double-byte character adds two
      {"00", "00", "svbmp00.bmp"},  // one deleted
      {"", "", "svbmp0.bmp"},       // no template: the plain number
      {"abc", "000", "svbmp000.bmp"},
  };
  for (const Case& c : cases) {
    UserTypes(*form_.Edit3, c.typed);
    EXPECT_EQ(form_.Edit3->Text(), c.shown) << c.typed;
    EXPECT_EQ(form_.Label4->Caption(), c.name) << c.typed;
  }
}

TEST_F(Recompute, TemplateRewriteReentersOnce) {
  int runs = 0;
  auto handler = form_.Edit3->OnChange;
  form_.Edit3->OnChange = [&](TObject* s) {
    ++runs;
    handler(s);
  };
  UserTypes(*form_.Edit3, "00a");
  EXPECT_EQ(runs, 2);  // the user's change, then the handler's own rewrite
  EXPECT_EQ(StateOf(*form_.Edit3).writes, std::vector<AnsiString>{"000"});
}

TEST_F(Recompute, PrefixAndFolderKeepEveryByte) {
  UserTypes(*form_.Edit2, "a&b\\c");
  EXPECT_EQ(form_.Label4->Caption(), "a&b\\c000.bmp");
  // A folder ending in a double-byte character whose second byte is 0x5C gets its backslash.
  UserTypes(*form_.Edit1, "C:\\\x95\x5c");
  EXPECT_EQ(form_.GetTargetPath(), "C:\\\x95\x5c\\a&b\\c000.bmp");
}

TEST_F(Recompute, EqualTextsRewriteNothing) {
  UserTypes(*form_.Edit1, Folder());
  const std::size_t labelWrites = StateOf(*form_.Label4).writes.size();
  const std::size_t spinWrites = StateOf(*form_.SpinEdit1).writes.size();
  const int starts = headless::TimerStarts(*form_.Timer1);
  form_.Edit1Change(nullptr);
  form_.Edit1Change(nullptr);
  EXPECT_EQ(StateOf(*form_.Label4).writes.size(), labelWrites);
  EXPECT_EQ(StateOf(*form_.SpinEdit1).writes.size(), spinWrites);
  EXPECT_EQ(headless::TimerStarts(*form_.Timer1), starts);  // a running interval goes on
}

TEST_F(Recompute, RefusedTimerIsReportedAndAskedForAgain) {
  std::vector<AnsiString> errors;
  Application().OnException = [&](const std::exception& e) { errors.push_back(e.what()); };
  headless::RefuseTimers(true);
  UserTypes(*form_.Edit1, Folder());
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "ﾀｲﾏｰを取得できません");
  EXPECT_FALSE(form_.Timer1->Enabled());

  headless::RefuseTimers(false);
  UserTypes(*form_.Edit2, "shot");  // any later recompute gets polling going
  EXPECT_TRUE(form_.Timer1->Enabled());
  EXPECT_TRUE(headless::TimerRunning(*form_.Timer1));
  Application().OnException = nullptr;
}

}  // namespace
}  // namespace zinnow

namespace zinnow {
namespace {

// An error box holds the ticks back, so a failure that recurs at every tick opens one box.
TEST(ErrorBox, TicksWaitWhileItIsOpen) {
  headless::Reset();
  TZinForm form;
  form.Edit1Change(nullptr);
  test::TempFolder folder;
  headless::UserTypes(*form.Edit1, folder.Path());
  int ticks = 0;
  form.Timer1->OnTimer = [&](TObject*) { ++ticks; };
  headless::WhileErrorBoxOpen([&] { headless::Tick(*form.Timer1); });
  Application().SetTitle("Zinnow");
  Application().ShowErrorBox(ShownText::Fixed("ｽﾄﾘｰﾑへの書き込みｴﾗｰ."));
  EXPECT_EQ(ticks, 0);
  EXPECT_EQ(headless::ErrorBoxes(), std::vector<AnsiString>{"ｽﾄﾘｰﾑへの書き込みｴﾗｰ."});
  headless::Tick(*form.Timer1);
  EXPECT_EQ(ticks, 1);
  headless::Reset();
}

}  // namespace
}  // namespace zinnow
