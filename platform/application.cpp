#include "platform/application.h"

#include <stdexcept>

#include "platform/application_backend.h"
#include "platform/controls.h"

namespace zinnow {

void TApplication::Dispatch(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    if (OnException) OnException(e);
  } catch (...) {
    if (OnException) OnException(std::runtime_error("unknown failure"));
  }
}

void TApplication::DeliverTick(TTimer& timer) {
  if (!TicksHeld()) Dispatch([&] { timer.Elapsed(); });
}

void TApplication::WatchClipboard(const void* watcher, std::function<void()> handler) {
  clipboardWatcher_ = watcher;
  onClipboardChange_ = std::move(handler);
}

void TApplication::StopWatchingClipboard(const void* watcher) {
  if (clipboardWatcher_ != watcher) return;
  clipboardWatcher_ = nullptr;
  onClipboardChange_ = nullptr;
}

void TApplication::DeliverClipboardChange() {
  if (!TicksHeld() && onClipboardChange_) Dispatch(onClipboardChange_);
}

void TApplication::Initialize() {
  CreateApplicationWindow(title_);
}

void TApplication::SetTitle(const AnsiString& title) {
  title_ = title;
  SetApplicationTitle(title);
}

void TApplication::Run(TForm& mainForm, std::function<void()> atEnd) {
  mainForm_ = &mainForm;
  atEnd_ = std::move(atEnd);
  ended_ = false;
  RunMessageLoop(mainForm);
  FinishRun();
}

void TApplication::Terminate() {
  QuitMessageLoop();
}

void TApplication::ShowErrorBox(const ShownText& text) {
  ++ticksHeld_;
  try {
    ShowModalErrorBox(title_, text);
  } catch (...) {
    --ticksHeld_;
    throw;
  }
  --ticksHeld_;
}

void TApplication::FinishRun() {
  if (ended_ || mainForm_ == nullptr) return;
  ended_ = true;
  mainForm_->SetVisible(false);
  if (atEnd_) atEnd_();
}

void TApplication::EndNow() {
  FinishRun();
  Terminate();
}

TApplication& Application() {
  static TApplication application;
  return application;
}

}  // namespace zinnow
