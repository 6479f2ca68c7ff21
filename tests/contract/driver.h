#pragma once

// What a user does to a control, carried out the way the backend under test receives it:
// straight into the headless controls, as real window messages on Win32.
#include <memory>
#include <vector>

#include "platform/clipboard.h"
#include "platform/controls.h"

namespace zinnow::test {

// The control's whole text replaced, as by typing or pasting.
void UserTypes(TTextControl& control, const AnsiString& text);
// The next entry of the list picked with the Down key (the first when none is picked yet).
void UserPicksNext(TComboBox& control);
// The spin field's Up and Down keys.
void UserPressesUp(TSpinEdit& control);
void UserPressesDown(TSpinEdit& control);

// What another program on the desktop does, carried out the way the backend under test sees it:
// straight into the headless clipboard and files, from a second process on Win32.
//
// Empties the clipboard and puts these formats in this order, each a small fixture: text, a
// 3 x 2 bitmap, a 3 x 2 device-independent bitmap, an enhanced metafile.
void OtherProgramPuts(const std::vector<ClipboardFormat>& formats);
void OtherProgramEmpties();

// The clipboard, or a file without sharing, held open by another program while this lives.
class ClipboardHeldElsewhere {
 public:
  ClipboardHeldElsewhere();
  ~ClipboardHeldElsewhere();
  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};
class FileHeldElsewhere {
 public:
  explicit FileHeldElsewhere(const AnsiString& path);
  ~FileHeldElsewhere();
  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// A fresh folder for one test, removed with its files afterwards; paths as the backend takes
// them.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  const AnsiString& Path() const;
  AnsiString File(const AnsiString& name) const { return Path() + "\\" + name; }
  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace zinnow::test
