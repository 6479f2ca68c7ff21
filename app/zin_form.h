#pragma once

#include "capture/capture_form.h"
#include "platform/controls.h"

namespace zinnow {

// The main window: the capture settings and the tick (from CaptureForm), and the rest of the
// window, all made from the stored layout when the window is created. No handler runs while the
// layout is applied.
class TZinForm : public CaptureForm {
 public:
  TZinForm();

  // Before the window is first shown: the program's folder, the history, number 0, and the
  // first recompute.
  void FormCreate(TObject* sender);
  // At the end, while every control still holds its content: the history is saved.
  void FormDestroy(TObject* sender);
  // The folder button: polling off, the chooser, a confirmed folder into the folder field and a
  // recompute, then polling on whatever the folder field names.
  void Button1Click(TObject* sender);

  TPanel* Panel1 = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label3 = nullptr;
  TButton* Button1 = nullptr;
  TLabel* Label6 = nullptr;
};

}  // namespace zinnow
