#pragma once

#include "platform/ansi_string.h"

namespace zinnow {

// The folder chooser, run modally (backend). It opens at `folder` when that folder exists, at
// the working folder when the text is empty; the user can reach only existing folders. True,
// with `folder` set to the full path of the folder open in it (a drive's root keeps its
// backslash), when the user confirmed; false for cancel, Esc and closing it.
// Fails before it opens when the text names a drive that does not exist or is not ready.
bool SelectDirectory(AnsiString& folder);

}  // namespace zinnow
