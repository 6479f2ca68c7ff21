#pragma once

#include <exception>
#include <functional>

#include "platform/ansi_string.h"
#include "platform/shown_text.h"

namespace zinnow {

class TForm;
class TTimer;

// The one application object: the title that names the program to the desktop (its hidden
// owner window carries it), the message loop, and where failures that escape an event handler
// end up.
class TApplication {
 public:
  // Creates the hidden owner window that stands for the program on the taskbar (backend).
  void Initialize();
  void SetTitle(const AnsiString& title);

  // Shows a failure that escaped an event handler. The program sets it; without one the
  // failure is dropped.
  std::function<void(const std::exception&)> OnException;

  // Runs an event handler the way the message loop does: a failure that escapes it goes to
  // OnException, and the loop goes on.
  void Dispatch(const std::function<void()>& handler);

  // Handles the messages that are waiting, then returns (backend).
  void ProcessMessages();

  // Shows the main form and handles messages until the program is asked to end: its window is
  // closed, or the logon ends. Then the form is hidden and `atEnd` runs, once (backend).
  void Run(TForm& mainForm, std::function<void()> atEnd);
  // Ends the message loop.
  void Terminate();
  // The logon ends: the end of the run happens now, inside the message being handled.
  void EndNow();

  // A modal box, owned by the hidden window and captioned with the title, with a stop icon and
  // one OK button; the program's other windows are disabled meanwhile (backend).
  void ShowErrorBox(const ShownText& text);

  // The backend's timer delivers an elapsed interval, the way Dispatch runs a handler. Ticks
  // are not delivered while an error box is open, so a failure that recurs at every tick cannot
  // open box after box.
  void DeliverTick(TTimer& timer);
  bool TicksHeld() const { return ticksHeld_ > 0; }

  // Told of every change of the clipboard's content (another program copied, or the program
  // emptied it): `handler` runs for each notice the backend delivers, as an event handler, and
  // like the ticks not while an error box is open. One watcher at a time; a watcher's end
  // stops it only when it is still the one watching.
  void WatchClipboard(const void* watcher, std::function<void()> handler);
  void StopWatchingClipboard(const void* watcher);
  // The backend's notice of a change (backend side).
  void DeliverClipboardChange();

 private:
  void FinishRun();

  const void* clipboardWatcher_ = nullptr;
  std::function<void()> onClipboardChange_;

  AnsiString title_;
  TForm* mainForm_ = nullptr;
  std::function<void()> atEnd_;
  bool ended_ = false;
  int ticksHeld_ = 0;
};

TApplication& Application();

}  // namespace zinnow
