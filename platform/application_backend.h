#pragma once

#include "platform/ansi_string.h"
#include "platform/shown_text.h"

// The application's side of the backend (one backend is linked in).
namespace zinnow {

class TForm;

void CreateApplicationWindow(const AnsiString& title);
void SetApplicationTitle(const AnsiString& title);
// Handles messages until QuitMessageLoop; the form is shown first.
void RunMessageLoop(TForm& mainForm);
void QuitMessageLoop();
void ShowModalErrorBox(const AnsiString& title, const ShownText& text);

}  // namespace zinnow
