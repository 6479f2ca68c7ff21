#include "platform/controls.h"

#include <algorithm>
#include <string>

#include "platform/exceptions.h"
#include "platform/graphics.h"
#include "platform/messages.h"
#include "platform/spin_value.h"

namespace zinnow {
namespace {

PeerDesign WithKind(ControlKind kind, PeerDesign design) {
  design.kind = kind;
  return design;
}

}  // namespace

TControl::TControl(TWinControl* parent, const PeerDesign& design)
    : TControl(design, CreateControlPeer(*this, parent, design)) {}

TControl::TControl(const PeerDesign& design, std::unique_ptr<ControlPeer> peer)
    : kind_(design.kind),
      visible_(design.kind != ControlKind::Form),  // a window is shown when the program says so
      peer_(std::move(peer)) {}

TControl::~TControl() = default;

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  peer_->SetVisible(visible);
}

TTextControl::TTextControl(TWinControl* parent, const PeerDesign& design,
                           ProgramChanges programChanges)
    : TWinControl(parent, design), programChanges_(programChanges) {}

TTextControl::TTextControl(const PeerDesign& design, std::unique_ptr<ControlPeer> peer,
                           ProgramChanges programChanges)
    : TWinControl(design, std::move(peer)), programChanges_(programChanges) {}

AnsiString TTextControl::Text() const {
  return Peer().Text();
}

void TTextControl::SetText(const AnsiString& text) {
  if (Peer().Text() == text) return;
  // The native side may report our own write as a change; it is not the user's.
  writing_ = true;
  try {
    Peer().WriteText(text);
  } catch (...) {
    writing_ = false;
    throw;
  }
  writing_ = false;
  if (programChanges_ == ProgramChanges::Fire) Change();
}

void TTextControl::UserChangedText() {
  if (!writing_) Change();
}

void TTextControl::Change() {
  if (OnChange) OnChange(this);
}

TEdit::TEdit(TWinControl* parent, PeerDesign design)
    : TTextControl(parent, WithKind(ControlKind::Edit, design), ProgramChanges::Fire) {}

TComboBox::TComboBox(TWinControl* parent, PeerDesign design)
    : TComboBox(WithKind(ControlKind::ComboBox, design),
                CreateListPeer(*this, parent, WithKind(ControlKind::ComboBox, design)).release()) {}

// The base owns the peer; the list keeps it typed.
TComboBox::TComboBox(const PeerDesign& design, ListPeer* list)
    : TTextControl(design, std::unique_ptr<ControlPeer>(list), ProgramChanges::Silent),
      list_(*list) {}

ListPeer& TComboBox::List() const {
  return list_;
}

int TComboBox::Count() const {
  return List().Count();
}

AnsiString TComboBox::Item(int index) const {
  return List().Item(index);
}

void TComboBox::Insert(int index, const AnsiString& text) {
  if (!List().Insert(index, text)) throw Exception(messages::kCannotInsertLine);
}

void TComboBox::Add(const AnsiString& text) {
  Insert(Count(), text);
}

void TComboBox::Delete(int index) {
  if (index >= 0 && index < Count()) List().Delete(index);
}

void TComboBox::Clear() {
  List().Clear();
}

void TComboBox::SetItemIndex(int index) {
  List().Select(index);
}

void TComboBox::UserPicked(int index) {
  List().Select(index);
  UserChangedText();
}

TSpinEdit::TSpinEdit(TWinControl* parent, PeerDesign design)
    : TTextControl(parent, WithKind(ControlKind::SpinEdit, design), ProgramChanges::Fire) {}

std::int32_t TSpinEdit::Value() const {
  return ReadSpinInteger(Text());
}

void TSpinEdit::SetValue(std::int64_t value) {
  const std::int64_t clamped = std::clamp<std::int64_t>(value, kMinValue, kMaxValue);
  SetText(std::to_string(clamped));
}

void TSpinEdit::Step(int delta) {
  SetValue(std::int64_t{Value()} + delta);
}

void TSpinEdit::ClampOnExit() {
  const std::optional<std::int32_t> value = ParseSpinInteger(Text());
  if (value && (*value < kMinValue || *value > kMaxValue)) SetValue(*value);
}

TLabel::TLabel(TWinControl* parent, PeerDesign design)
    : TControl(parent, WithKind(ControlKind::Label, design)) {}

AnsiString TLabel::Caption() const {
  return Peer().Text();
}

void TLabel::SetCaption(const AnsiString& caption) {
  if (Peer().Text() != caption) Peer().WriteText(caption);
}

TButton::TButton(TWinControl* parent, PeerDesign design)
    : TWinControl(parent, WithKind(ControlKind::Button, design)) {}

void TButton::UserClicked() {
  if (OnClick) OnClick(this);
}

TPanel::TPanel(TWinControl* parent, PeerDesign design)
    : TWinControl(parent, WithKind(ControlKind::Panel, design)) {}

TImage::TImage(TWinControl* parent, PeerDesign design)
    : TControl(parent, WithKind(ControlKind::Image, design)) {}

TTimer::TTimer(unsigned intervalMs) : intervalMs_(intervalMs), peer_(CreateTimerPeer(*this)) {}

TTimer::~TTimer() {
  if (enabled_) peer_->Stop();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  if (!enabled) {
    peer_->Stop();
    enabled_ = false;
    return;
  }
  peer_->Stop();
  if (!peer_->Start(intervalMs_)) throw EOutOfResources(messages::kNoTimers);
  enabled_ = true;
}

void TTimer::Elapsed() {
  if (enabled_ && OnTimer) OnTimer(this);
}

TForm::TForm(PeerDesign design) : TWinControl(nullptr, WithKind(ControlKind::Form, design)) {}

TForm::~TForm() {
  // Children go before their parents.
  while (!owned_.empty()) owned_.pop_back();
}

AnsiString TForm::Caption() const {
  return Peer().Text();
}

void TForm::SetCaption(const AnsiString& caption) {
  SetCaption(ShownText::Fixed(caption));
}

void TForm::SetCaption(const ShownText& caption) {
  if (Peer().Text() != caption.Bytes()) Peer().WriteShownText(caption);
}

void TForm::Repaint() {
  Peer().Repaint();
}

}  // namespace zinnow
