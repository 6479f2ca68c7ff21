// Timers live on the utility window; their id leads back to the timer.
#include <map>

#include "platform/application.h"
#include "platform/controls.h"
#include "platform/win32/windows_backend.h"

namespace zinnow {
namespace {

std::map<UINT_PTR, TTimer*>& Timers() {
  static std::map<UINT_PTR, TTimer*> timers;
  return timers;
}

class WindowTimerPeer : public TimerPeer {
 public:
  explicit WindowTimerPeer(TTimer& owner) : id_(NextId()) { Timers()[id_] = &owner; }
  ~WindowTimerPeer() override {
    Stop();
    Timers().erase(id_);
  }
  bool Start(unsigned intervalMs) override {
    running_ = SetTimer(win32::UtilityWindow(), id_, intervalMs, nullptr) != 0;
    return running_;
  }
  // A timer never started asks for no utility window: making one can fail, and this runs in
  // the destructor too.
  void Stop() override {
    if (running_) KillTimer(win32::UtilityWindow(), id_);
    running_ = false;
  }

 private:
  static UINT_PTR NextId() {
    static UINT_PTR next = 1;
    return next++;
  }
  UINT_PTR id_;
  bool running_ = false;
};

}  // namespace

std::unique_ptr<TimerPeer> CreateTimerPeer(TTimer& owner) {
  return std::make_unique<WindowTimerPeer>(owner);
}

void win32::TimerElapsed(UINT_PTR id) {
  auto found = Timers().find(id);
  if (found != Timers().end()) Application().DeliverTick(*found->second);
}

}  // namespace zinnow
