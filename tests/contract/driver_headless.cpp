#include "platform/application.h"
#include "platform/headless/headless.h"
#include "tests/contract/driver.h"

namespace zinnow::test {

void UserTypes(TTextControl& control, const AnsiString& text) {
  headless::UserTypes(control, text);
}

void UserPicksNext(TComboBox& control) {
  const auto& items = headless::StateOf(control).items;
  int next = 0;
  for (int i = 0; i < static_cast<int>(items.size()); ++i) {
    if (items[i] == control.Text()) next = i + 1;
  }
  headless::UserPicks(control, next);
}

void UserPressesUp(TSpinEdit& control) {
  Application().Dispatch([&] { control.Step(1); });
}
void UserPressesDown(TSpinEdit& control) {
  Application().Dispatch([&] { control.Step(-1); });
}

}  // namespace zinnow::test
