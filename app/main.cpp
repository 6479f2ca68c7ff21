// The program: the application object, the main window from its stored design, the message loop.
#include "app/error_text.h"
#include "app/zin_form.h"
#include "platform/application.h"
#include "platform/code_page.h"
#include "platform/exceptions.h"
#include "platform/program_entry.h"

int zinnow::ZinnowMain() {
  TApplication& application = Application();
  application.Initialize();
  application.SetTitle("Zinnow");
  application.OnException = [](const std::exception& failure) {
    const auto* own = dynamic_cast<const Exception*>(&failure);
    const ShownText message = own ? own->Shown() : ShownText::System(failure.what());
    Application().ShowErrorBox(ErrorBoxText(message, SystemCodePage()));
  };
  {
    TZinForm form;
    application.Dispatch([&] { form.FormCreate(&form); });
    application.Run(form, [&] { Application().Dispatch([&] { form.FormDestroy(&form); }); });
  }
  return 0;
}
