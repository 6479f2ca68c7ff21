// The program: the application object, the main window from its stored design, the message loop.
#include <windows.h>

#include "app/error_text.h"
#include "app/zin_form.h"
#include "platform/application.h"
#include "platform/code_page.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace zinnow;
  TApplication& application = Application();
  application.Initialize();
  application.SetTitle("Zinnow");
  application.OnException = [](const std::exception& failure) {
    Application().ShowErrorBox(ErrorBoxText(failure.what(), SystemCodePage()));
  };
  {
    TZinForm form;
    application.Dispatch([&] { form.FormCreate(&form); });
    application.Run(form, [&] { Application().Dispatch([&] { form.FormDestroy(&form); }); });
  }
  return 0;
}
