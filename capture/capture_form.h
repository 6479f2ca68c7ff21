#pragma once

#include <cstdint>
#include <optional>

#include "platform/controls.h"
#include "platform/graphics.h"

namespace zinnow {

// The capture side of the main window: the settings controls, the recompute that turns them
// into the next file's path and the polling state, and the polling tick. The window class adds
// the rest of the window on top of it.
class CaptureForm : public TForm {
 public:
  using TForm::TForm;

  // The recompute, the change handler of the folder field and the prefix.
  void Edit1Change(TObject* sender);
  // Keeps the digit template as zeros, then recomputes.
  void Edit3Change(TObject* sender);
  // Takes the number from the spin field, then recomputes.
  void SpinEdit1Change(TObject* sender);
  // The polling tick: one capture attempt, then the plain caption.
  void Button2Click(TObject* sender);
  // A change of the clipboard: while polling is on, the same attempt a tick makes, at once, so a
  // picture is saved as soon as it is copied (the ticks still come, and still retry).
  void ClipboardChanged(TObject* sender);
  // From now on the window is told of every change of the clipboard, until it goes.
  void WatchClipboard();
  ~CaptureForm() override;

  // The folder history, kept as the folder field's list and stored in "path.txt" in the
  // program's folder. Reading falls back to the one entry "c:\" and never fails.
  void LoadHistory();
  // A folder that has just been found to exist goes on top, unless the list has it already
  // (letter case aside). At most 21 entries are kept this way.
  void RememberFolder();
  // Replaces the file in one step, so a failure leaves the old history as it was. Fails with
  // "cannot create file" naming path.txt, or with a write error.
  void SaveHistory();

  const AnsiString& GetSaveFolder() const { return SaveFolder; }
  const AnsiString& GetProgramFolder() const { return ProgramFolder; }
  const AnsiString& GetTargetPath() const { return TargetPath; }
  std::int32_t GetFileNumber() const { return FileNumber; }

  // Set by the stored layout.
  TComboBox* Edit1 = nullptr;
  TEdit* Edit2 = nullptr;
  TEdit* Edit3 = nullptr;
  TSpinEdit* SpinEdit1 = nullptr;
  TLabel* Label4 = nullptr;
  TImage* Image1 = nullptr;
  TTimer* Timer1 = nullptr;

 protected:
  AnsiString ProgramFolder;
  AnsiString SaveFolder;
  AnsiString TargetPath;
  std::int32_t FileNumber = 0;

 private:
  void CaptureClipboard();

  // The clipboard content (by its sequence number) that was saved but could not be emptied:
  // it is not saved again, only the emptying is tried again.
  std::optional<std::uint32_t> savedNotEmptied_;
};

inline constexpr char kPlainCaption[] = "Quorrel";
inline constexpr char kSavingCaption[] = "保存処理中... ";
inline constexpr char kFailedSuffix[] = "   失敗";

}  // namespace zinnow
