#include <map>
#include <memory>

#include "platform/application.h"
#include "platform/controls.h"
#include "platform/folder_chooser.h"
#include "platform/headless/headless.h"

namespace zinnow {
namespace {

std::map<const TControl*, headless::ControlState*>& States() {
  static std::map<const TControl*, headless::ControlState*> states;
  return states;
}

class HeadlessPeer : public ListPeer {
 public:
  HeadlessPeer(const TControl& owner, const PeerDesign& design) : owner_(owner) {
    state_.text = design.text;
    state_.maxLength = design.maxLength;
    States()[&owner_] = &state_;
  }
  ~HeadlessPeer() override { States().erase(&owner_); }

  AnsiString Text() const override { return state_.text; }
  void WriteText(const AnsiString& text) override {
    state_.text = text;
    state_.writes.push_back(text);
  }
  void Repaint() override { ++state_.repaints; }
  void SetVisible(bool visible) override { state_.visible = visible; }

  int Count() const override { return static_cast<int>(state_.items.size()); }
  AnsiString Item(int index) const override { return state_.items.at(index); }
  bool Insert(int index, const AnsiString& text) override {
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

 private:
  std::size_t ListBytes() const {
    std::size_t bytes = 0;
    for (const AnsiString& item : state_.items) bytes += item.size();
    return bytes;
  }

  const TControl& owner_;
  headless::ControlState state_;
};

struct TimerRecord {
  bool running = false;
  int starts = 0;
};
std::map<const TTimer*, TimerRecord*>& Timers() {
  static std::map<const TTimer*, TimerRecord*> timers;
  return timers;
}
bool refuseTimers = false;

class HeadlessTimerPeer : public TimerPeer {
 public:
  explicit HeadlessTimerPeer(const TTimer& owner) : owner_(owner) { Timers()[&owner_] = &record_; }
  ~HeadlessTimerPeer() override { Timers().erase(&owner_); }
  bool Start(unsigned) override {
    if (refuseTimers) return false;
    record_.running = true;
    ++record_.starts;
    return true;
  }
  void Stop() override { record_.running = false; }

 private:
  const TTimer& owner_;
  TimerRecord record_;
};

HeadlessPeer& PeerOf(const TControl& control) {
  return static_cast<HeadlessPeer&>(control.Peer());
}

}  // namespace

std::unique_ptr<ControlPeer> CreateControlPeer(TControl& owner, TWinControl*,
                                               const PeerDesign& design) {
  return std::make_unique<HeadlessPeer>(owner, design);
}

std::unique_ptr<TimerPeer> CreateTimerPeer(TTimer& owner) {
  return std::make_unique<HeadlessTimerPeer>(owner);
}

void TApplication::ProcessMessages() {}

namespace {
AnsiString applicationTitle;
bool loopRunning = false;
std::vector<AnsiString> errorBoxes;
std::function<void()> whileErrorBoxOpen;
}  // namespace

void CreateApplicationWindow(const AnsiString& title) {
  applicationTitle = title;
}
void SetApplicationTitle(const AnsiString& title) {
  applicationTitle = title;
}

// There are no messages to wait for: the loop runs until a test ends it from inside.
void RunMessageLoop(TForm& mainForm) {
  mainForm.SetVisible(true);
  loopRunning = true;
}
void QuitMessageLoop() {
  loopRunning = false;
}

void ShowModalErrorBox(const AnsiString&, const ShownText& shown) {
  const AnsiString text = shown.Bytes();
  errorBoxes.push_back(text);
  if (whileErrorBoxOpen) whileErrorBoxOpen();
}

namespace headless {
extern std::function<bool(AnsiString&)> chooserUser;
}

bool SelectDirectory(AnsiString& folder) {
  return headless::chooserUser ? headless::chooserUser(folder) : false;
}

namespace headless {

ControlState& StateOf(const TControl& control) {
  return *States().at(&control);
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

void LimitListText(TComboBox& control, std::size_t bytes) {
  PeerOf(control).listLimit_ = bytes;
}

std::vector<AnsiString>& ErrorBoxes() {
  return errorBoxes;
}
void WhileErrorBoxOpen(std::function<void()> whileOpen) {
  whileErrorBoxOpen = std::move(whileOpen);
}
bool LoopRunning() {
  return loopRunning;
}

std::function<bool(AnsiString&)> chooserUser;
void ScriptChooser(std::function<bool(AnsiString& folder)> user) {
  chooserUser = std::move(user);
}

void ResetApplication() {
  chooserUser = nullptr;
  errorBoxes.clear();
  whileErrorBoxOpen = nullptr;
  loopRunning = false;
}
const AnsiString& ApplicationWindowTitle() {
  return applicationTitle;
}

void Tick(TTimer& timer) {
  if (TimerRunning(timer)) Application().Dispatch([&] { timer.Elapsed(); });
}

bool TimerRunning(const TTimer& timer) {
  return Timers().at(&timer)->running;
}
int TimerStarts(const TTimer& timer) {
  return Timers().at(&timer)->starts;
}
void RefuseTimers(bool refuse) {
  refuseTimers = refuse;
}

}  // namespace headless
}  // namespace zinnow
