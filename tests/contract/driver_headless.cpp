#include <climits>

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

void OtherProgramPuts(const std::vector<ClipboardFormat>& formats) {
  const headless::Picture picture{3, 2, 32, {1, 2, 3, 4, 5, 6}};
  headless::ClipboardEmpty();
  for (ClipboardFormat format : formats) {
    if (format == kCfText) headless::ClipboardPutText("words");
    if (format == kCfBitmap) headless::ClipboardPutBitmap(picture);
    if (format == kCfDib) headless::ClipboardPutDib(picture);
    if (format == kCfEnhMetafile) headless::ClipboardPutMetafile({1, 0, 0, 0});
  }
}
void OtherProgramEmpties() {
  headless::ClipboardEmpty();
}

struct ClipboardHeldElsewhere::Impl {};
ClipboardHeldElsewhere::ClipboardHeldElsewhere() {
  headless::ClipboardHeldFor(INT_MAX);
}
ClipboardHeldElsewhere::~ClipboardHeldElsewhere() {
  headless::ClipboardHeldFor(0);
}

struct FileHeldElsewhere::Impl {
  AnsiString path;
};
FileHeldElsewhere::FileHeldElsewhere(const AnsiString& path) : impl_(new Impl{path}) {
  headless::HoldFileOpen(path);
}
FileHeldElsewhere::~FileHeldElsewhere() {
  headless::ReleaseFile(impl_->path);
}

}  // namespace zinnow::test
