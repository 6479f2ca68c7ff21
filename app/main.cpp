// The program: the application object, the main window from its stored design, the message loop.
#include "app/error_text.h"
#include "app/zin_form.h"
#include "platform/application.h"
#include "platform/code_page.h"
#include "platform/exceptions.h"
#include "platform/program_entry.h"

int zinnow::ZinnowMain() {
  TApplication& application = Application();
  application.OnException = [](const std::exception& failure) {
    const auto* own = dynamic_cast<const Exception*>(&failure);
    const ShownText message = own ? own->Shown() : ShownText::System(failure.what());
    Application().ShowErrorBox(ErrorBoxText(message, SystemCodePage()));
  };
  // A window the system cannot make (out of resources) is told in the error box, and the
  // program ends with 1.
  bool ran = false;
  application.Dispatch([&] {
    application.Initialize();
    application.SetTitle("Zinnow");
    TZinForm form;
    application.Dispatch([&] { form.FormCreate(&form); });
    application.Run(form, [&] { Application().Dispatch([&] { form.FormDestroy(&form); }); });
    ran = true;
  });
  return ran ? 0 : 1;
}
