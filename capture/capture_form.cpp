#include "capture/capture_form.h"

#include "capture/file_naming.h"
#include "capture/picture_transfer.h"
#include "platform/application.h"
#include "platform/clipboard.h"
#include "platform/file_stream.h"

namespace zinnow {

void CaptureForm::Edit1Change(TObject*) {
  const int digits = static_cast<int>(Edit3->Text().size());
  SaveFolder = JoinPath(Edit1->Text(), "");
  const AnsiString prefix = Edit2->Text();
  Label4->SetCaption(prefix + NumberText(FileNumber, digits) + ".bmp");
  // With no folder there is no path (and so no file), rather than a name in the current folder.
  TargetPath = JoinPath(SaveFolder, Label4->Caption());
  // May run SpinEdit1Change and with it a nested recompute, which then builds the final name.
  SpinEdit1->SetValue(FileNumber);
  Timer1->SetEnabled(DirectoryExists(Edit1->Text()));
  if (DirectoryExists(Edit1->Text())) RememberFolder();
}

void CaptureForm::Edit3Change(TObject* sender) {
  Edit3->SetText(AnsiString(Edit3->Text().size(), '0'));
  Edit1Change(sender);
}

void CaptureForm::SpinEdit1Change(TObject* sender) {
  FileNumber = SpinEdit1->Value();
  Edit1Change(sender);
}

void CaptureForm::Button2Click(TObject*) {
  CaptureClipboard();
  SetCaption(kPlainCaption);
}

void CaptureForm::ClipboardChanged(TObject* sender) {
  if (Timer1->Enabled()) Button2Click(sender);
}

void CaptureForm::WatchClipboard() {
  Application().WatchClipboard(this, [this] { ClipboardChanged(this); });
}

CaptureForm::~CaptureForm() {
  Application().StopWatchingClipboard(this);
}

void CaptureForm::CaptureClipboard() {
  if (savedNotEmptied_) {
    if (clipboard::SequenceNumber() == *savedNotEmptied_) {
      if (EmptyClipboardIfUnchanged(*savedNotEmptied_)) savedNotEmptied_.reset();
      return;
    }
    savedNotEmptied_.reset();
  }
  if (!ClipboardOffersPicture()) return;

  Edit1Change(this);
  SetCaption(ShownText::Fixed(kSavingCaption).AddSystem(TargetPath));
  Repaint();
  try {
    const std::uint32_t taken = TakeClipboardPicture(Image1->Picture);
    WritePictureFile(Image1->Picture, TargetPath);
    if (!EmptyClipboardIfUnchanged(taken)) savedNotEmptied_ = taken;
  } catch (...) {
    SetCaption(ShownText::Fixed(kSavingCaption).AddSystem(TargetPath).AddFixed(kFailedSuffix));
    return;
  }
  ++FileNumber;
}

}  // namespace zinnow
