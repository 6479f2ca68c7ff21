// The handlers that belong to the window itself.
#include "app/zin_form.h"

#include "capture/folder_history.h"
#include "platform/folder_chooser.h"
#include "platform/system.h"

namespace zinnow {

void TZinForm::FormCreate(TObject* sender) {
  ProgramFolder = ProgramFolderOf(ExecutablePath());
  LoadHistory();
  TargetPath.clear();
  FileNumber = 0;
  Edit1Change(sender);
  WatchClipboard();
}

void TZinForm::FormDestroy(TObject*) {
  SaveHistory();
}

void TZinForm::Button1Click(TObject* sender) {
  Timer1->SetEnabled(false);
  AnsiString folder = Edit1->Text();
  if (SelectDirectory(folder)) {
    Edit1->SetText(folder);
    Edit1Change(sender);  // also when the folder is the one already there
  }
  Timer1->SetEnabled(true);
}

}  // namespace zinnow
