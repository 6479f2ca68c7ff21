#include <memory>
#include <new>

#include "platform/application.h"
#include "platform/application_backend.h"
#include "platform/controls.h"
#include "platform/folder_chooser.h"
#include "platform/headless/headless.h"
#include "platform/headless/state.h"

namespace zinnow {
namespace {

using headless::TheState;

// The record a test reads and changes, kept by every control's peer.
class Recorded {
 public:
  virtual ~Recorded() = default;
  headless::ControlState& Record() { return state_; }

 protected:
  headless::ControlState state_;
};

template <typename Interface>
class RecordedPeer : public Interface, public Recorded {
 public:
  explicit RecordedPeer(const PeerDesign& design) { state_.text = design.text; }

  AnsiString Text() const override { return state_.text; }
  void WriteText(const AnsiString& text) override {
    state_.text = text;
    state_.writes.push_back(text);
  }
  void Repaint() override { ++state_.repaints; }
  void SetVisible(bool visible) override { state_.visible = visible; }
};

using HeadlessPeer = RecordedPeer<ControlPeer>;

class HeadlessListPeer : public RecordedPeer<ListPeer> {
 public:
  using RecordedPeer::RecordedPeer;

  int Count() const override { return static_cast<int>(state_.items.size()); }
  AnsiString Item(int index) const override { return state_.items.at(index); }
  bool Insert(int index, const AnsiString& text) override {
    if (insertsBeforeNoMemory_ >= 0 && insertsBeforeNoMemory_-- == 0) throw std::bad_alloc();
    if (listLimit_ != 0 && ListBytes() + text.size() > listLimit_) return false;
    state_.items.insert(state_.items.begin() + index, text);
    return true;
  }
  void Delete(int index) override { state_.items.erase(state_.items.begin() + index); }
  void Clear() override { state_.items.clear(); }
  void Select(int index) override {
    if (index >= 0 && index < Count()) state_.text = state_.items[index];
  }

  std::size_t listLimit_ = 0;
  int insertsBeforeNoMemory_ = -1;

 private:
  std::size_t ListBytes() const {
    std::size_t bytes = 0;
    for (const AnsiString& item : state_.items) bytes += item.size();
    return bytes;
  }
};

class HeadlessTimerPeer : public TimerPeer {
 public:
  bool Start(unsigned) override {
    if (TheState().refuseTimers) return false;
    running_ = true;
    ++starts_;
    return true;
  }
  void Stop() override { running_ = false; }

  bool Running() const { return running_; }
  int Starts() const { return starts_; }

 private:
  bool running_ = false;
  int starts_ = 0;
};

Recorded& PeerOf(const TControl& control) {
  return dynamic_cast<Recorded&>(control.Peer());
}

const HeadlessTimerPeer& PeerOf(const TTimer& timer) {
  return static_cast<const HeadlessTimerPeer&>(timer.Peer());
}

}  // namespace

std::unique_ptr<ControlPeer> CreateControlPeer(TControl&, TWinControl*, const PeerDesign& design) {
  return std::make_unique<HeadlessPeer>(design);
}

std::unique_ptr<ListPeer> CreateListPeer(TComboBox&, TWinControl*, const PeerDesign& design) {
  return std::make_unique<HeadlessListPeer>(design);
}

std::unique_ptr<TimerPeer> CreateTimerPeer(TTimer&) {
  return std::make_unique<HeadlessTimerPeer>();
}

void TApplication::ProcessMessages() {}

// There is no window to stand for the program, and no message to wait for: the loop shows the
// form and leaves the rest to the test.
void CreateApplicationWindow(const AnsiString&) {}
void SetApplicationTitle(const AnsiString&) {}
void RunMessageLoop(TForm& mainForm) {
  mainForm.SetVisible(true);
}
void QuitMessageLoop() {}

void ShowModalErrorBox(const AnsiString&, const ShownText& text) {
  TheState().errorBoxes.push_back(text.Bytes());
  if (TheState().whileErrorBoxOpen) TheState().whileErrorBoxOpen();
}

bool SelectDirectory(AnsiString& folder) {
  return TheState().chooserUser ? TheState().chooserUser(folder) : false;
}

namespace headless {

ControlState& StateOf(const TControl& control) {
  return PeerOf(control).Record();
}

void UserTypes(TTextControl& control, const AnsiString& text) {
  ControlState& state = StateOf(control);
  if (state.text == text) return;
  state.text = text;
  Application().Dispatch([&] { control.UserChangedText(); });
}

void UserPicks(TComboBox& control, int index) {
  Application().Dispatch([&] { control.UserPicked(index); });
}

void UserClicks(TButton& button) {
  Application().Dispatch([&] { button.UserClicked(); });
}

void RunOutOfMemoryInList(TComboBox& control, int inserts) {
  dynamic_cast<HeadlessListPeer&>(control.Peer()).insertsBeforeNoMemory_ = inserts;
}

void LimitListText(TComboBox& control, std::size_t bytes) {
  dynamic_cast<HeadlessListPeer&>(control.Peer()).listLimit_ = bytes;
}

std::vector<AnsiString>& ErrorBoxes() {
  return TheState().errorBoxes;
}
void WhileErrorBoxOpen(std::function<void()> whileOpen) {
  TheState().whileErrorBoxOpen = std::move(whileOpen);
}

void ScriptChooser(std::function<bool(AnsiString& folder)> user) {
  TheState().chooserUser = std::move(user);
}

void Tick(TTimer& timer) {
  if (TimerRunning(timer)) Application().DeliverTick(timer);
}

bool TimerRunning(const TTimer& timer) {
  return PeerOf(timer).Running();
}
int TimerStarts(const TTimer& timer) {
  return PeerOf(timer).Starts();
}
void RefuseTimers(bool refuse) {
  TheState().refuseTimers = refuse;
}

}  // namespace headless
}  // namespace zinnow
