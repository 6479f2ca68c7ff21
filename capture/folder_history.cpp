#include "capture/folder_history.h"

#include <string>

#include "capture/capture_form.h"
#include "capture/file_naming.h"
#include "capture/history_file.h"
#include "platform/exceptions.h"
#include "platform/file_stream.h"
#include "platform/system.h"
#include "platform/text.h"

namespace zinnow {

AnsiString ProgramFolderOf(const AnsiString& executablePath) {
  return JoinPath(FolderOfPath(executablePath, SystemCodePage()), "");
}

void CaptureForm::LoadHistory() {
  bool loaded = false;
  try {
    AnsiString bytes;
    if (ReadWholeFile(ProgramFolder + kHistoryFileName, bytes)) {
      Edit1->Clear();
      for (const AnsiString& entry : SplitHistoryLines(bytes)) Edit1->Add(entry);
      if (Edit1->Count() > 0) Edit1->SetItemIndex(0);
      loaded = true;
    }
  } catch (...) {
    // Of any kind (the list took no more, memory ran short): start-up goes on with the fallback.
  }
  if (!loaded) {
    try {
      Edit1->Add(kFallbackFolder);
    } catch (...) {
      // Nothing more to do: the history stays as it is, and start-up goes on.
    }
  }
}

void CaptureForm::RememberFolder() {
  const AnsiString folder = Edit1->Text();
  for (int i = 0; i < Edit1->Count(); ++i) {
    if (SameTextIgnoringCase(folder, Edit1->Item(i))) return;
  }
  if (Edit1->Count() >= kHistoryLimit) Edit1->Delete(kHistoryLimit - 1);
  Edit1->Insert(0, Edit1->Text());
}

void CaptureForm::SaveHistory() {
  std::vector<AnsiString> entries;
  for (int i = 0; i < Edit1->Count(); ++i) entries.push_back(Edit1->Item(i));
  const AnsiString text = JoinHistoryLines(entries);
  const AnsiString path = ProgramFolder + kHistoryFileName;
  const AnsiString temporary = path + "." + std::to_string(ProcessId()) + ".tmp";
  try {
    TFileStream file(temporary);
    if (!text.empty()) file.Write(text.data(), text.size());
  } catch (const EFCreateError&) {
    throw EFCreateError(path);
  } catch (...) {
    RemoveFile(temporary);
    throw;
  }
  if (!MoveOver(temporary, path)) {
    RemoveFile(temporary);
    throw EFCreateError(path);
  }
}

}  // namespace zinnow
