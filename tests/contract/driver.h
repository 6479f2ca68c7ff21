#pragma once

// What a user does to a control, carried out the way the backend under test receives it:
// straight into the headless controls, as real window messages on Win32.
#include "platform/controls.h"

namespace zinnow::test {

// The control's whole text replaced, as by typing or pasting.
void UserTypes(TTextControl& control, const AnsiString& text);
// The next entry of the list picked with the Down key (the first when none is picked yet).
void UserPicksNext(TComboBox& control);
// The spin field's Up and Down keys.
void UserPressesUp(TSpinEdit& control);
void UserPressesDown(TSpinEdit& control);

}  // namespace zinnow::test
