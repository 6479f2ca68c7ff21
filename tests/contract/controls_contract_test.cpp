// The rules the handlers rely on from their controls, proven against whichever backend is linked:
// the headless one on the host, the Win32 one under Wine.
#include <gtest/gtest.h>

#include "platform/controls.h"
#include "platform/text.h"
#include "tests/contract/driver.h"

namespace zinnow {
namespace {

PeerDesign Design(ControlKind kind, Bounds bounds, const char* text, int maxLength) {
  PeerDesign design;
  design.kind = kind;
  design.bounds = bounds;
  design.text = text;
  design.maxLength = maxLength;
  return design;
}

class ControlContract : public ::testing::Test {
 protected:
  // Counts change events, and whether each came inside a call of ours that set the text.
  template <typename Control>
  void Watch(Control& control) {
    control.OnChange = [this, &control](TObject* sender) {
      EXPECT_EQ(sender, &control);
      ++events_;
      if (inSetter_) ++eventsInSetter_;
      textsSeen_.push_back(control.Text());
    };
  }
  template <typename Control>
  void ProgramSets(Control& control, const AnsiString& text) {
    inSetter_ = true;
    control.SetText(text);
    inSetter_ = false;
  }

  TForm form_{Design(ControlKind::Form, {0, 0, 300, 120}, "contract", 0)};
  int events_ = 0;
  int eventsInSetter_ = 0;
  bool inSetter_ = false;
  std::vector<AnsiString> textsSeen_;
};

TEST_F(ControlContract, EditFiresForEveryChangeAndForNothingElse) {
  auto& edit = form_.Make<TEdit>(&form_, Design(ControlKind::Edit, {0, 0, 100, 20}, "svbmp", 20));
  Watch(edit);
  ProgramSets(edit, "svbmp");  // equal: nothing
  EXPECT_EQ(events_, 0);
  ProgramSets(edit, "shot");  // the program's change fires inside the call
  EXPECT_EQ(events_, 1);
  EXPECT_EQ(eventsInSetter_, 1);
  test::UserTypes(edit, "shot2");  // the user's change
  EXPECT_EQ(events_, 2);
  EXPECT_EQ(edit.Text(), "shot2");
  EXPECT_EQ(textsSeen_, (std::vector<AnsiString>{"shot", "shot2"}));
}

TEST_F(ControlContract, EditHandlerRewritingItsOwnTextIsEnteredTwice) {
  auto& edit = form_.Make<TEdit>(&form_, Design(ControlKind::Edit, {0, 0, 100, 20}, "000", 5));
  edit.OnChange = [&](TObject*) {
    ++events_;
    edit.SetText(AnsiString(edit.Text().size(), '0'));
  };
  test::UserTypes(edit, "0005");
  EXPECT_EQ(events_, 2);
  EXPECT_EQ(edit.Text(), "0000");
}

TEST_F(ControlContract, DropDownListFiresOnlyForTheUser) {
  auto& combo =
      form_.Make<TComboBox>(&form_, Design(ControlKind::ComboBox, {0, 0, 200, 20}, "", 0));
  Watch(combo);
  ProgramSets(combo, "C:\\typed");
  combo.Add("C:\\one");
  combo.Insert(0, "C:\\zero");
  combo.Add("C:\\two");
  combo.Delete(2);
  combo.Delete(7);  // past the end: nothing, no error
  EXPECT_EQ(events_, 0);
  EXPECT_EQ(combo.Text(), "C:\\typed");
  ASSERT_EQ(combo.Count(), 2);
  EXPECT_EQ(combo.Item(0), "C:\\zero");
  EXPECT_EQ(combo.Item(1), "C:\\one");

  combo.SetItemIndex(1);  // the program selects: text copied, no event
  EXPECT_EQ(combo.Text(), "C:\\one");
  EXPECT_EQ(events_, 0);

  test::UserTypes(combo, "C:\\x");
  EXPECT_EQ(events_, 1);
  EXPECT_EQ(textsSeen_.back(), "C:\\x");
}

TEST_F(ControlContract, DropDownPickHasTheEntryInTheEditPartWhenItFires) {
  auto& combo =
      form_.Make<TComboBox>(&form_, Design(ControlKind::ComboBox, {0, 0, 200, 20}, "", 0));
  combo.Add("C:\\first");
  combo.Add("C:\\second");
  Watch(combo);
  test::UserPicksNext(combo);
  test::UserPicksNext(combo);
  EXPECT_EQ(events_, 2);
  EXPECT_EQ(textsSeen_, (std::vector<AnsiString>{"C:\\first", "C:\\second"}));
}

TEST_F(ControlContract, ClearingTheListKeepsTheText) {
  auto& combo =
      form_.Make<TComboBox>(&form_, Design(ControlKind::ComboBox, {0, 0, 200, 20}, "", 0));
  combo.Add("C:\\a");
  ProgramSets(combo, "C:\\kept");
  combo.Clear();
  EXPECT_EQ(combo.Count(), 0);
  EXPECT_EQ(combo.Text(), "C:\\kept");
}

TEST_F(ControlContract, SpinFieldValueAndSteps) {
  auto& spin = form_.Make<TSpinEdit>(&form_, Design(ControlKind::SpinEdit, {0, 0, 65, 21}, "1", 5));
  Watch(spin);
  struct Step {
    const char* start;
    int direction;  // +1 up, -1 down
    const char* after;
    int events;
  } steps[] = {
      {"5", +1, "6", 1},         {"5", -1, "4", 1},
      {"99999", +1, "99999", 0},  // at the maximum: nothing
      {"0", -1, "0", 0},          // at the minimum: nothing
      {"abc", +1, "1", 1},        // no integer counts as 0
      {"-5", +1, "0", 1},         // stepped from the value read, then clamped
      {"$1F", -1, "30", 1},
  };
  for (const Step& s : steps) {
    spin.OnChange = nullptr;
    spin.SetText(s.start);
    Watch(spin);
    events_ = 0;
    if (s.direction > 0) {
      test::UserPressesUp(spin);
    } else {
      test::UserPressesDown(spin);
    }
    EXPECT_EQ(spin.Text(), s.after) << s.start;
    EXPECT_EQ(events_, s.events) << s.start;
  }

  spin.SetText("-5");
  EXPECT_EQ(spin.Value(), -5);  // read unclamped
  spin.SetValue(123456);
  EXPECT_EQ(spin.Text(), "99999");
  spin.SetValue(-3);
  EXPECT_EQ(spin.Text(), "0");
}

TEST_F(ControlContract, LabelAndCaptionKeepTheirText) {
  auto& label = form_.Make<TLabel>(&form_, Design(ControlKind::Label, {0, 0, 50, 12}, "Label4", 0));
  label.SetCaption("svbmp000.bmp");
  EXPECT_EQ(label.Caption(), "svbmp000.bmp");
  form_.SetCaption("保存処理中... C:\\a");
  EXPECT_EQ(form_.Caption(), "保存処理中... C:\\a");
}

}  // namespace
}  // namespace zinnow
