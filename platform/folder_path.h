#pragma once

#include <functional>

#include "platform/ansi_string.h"
#include "platform/code_page.h"

namespace zinnow {

// The rules by which the folder chooser moves between folders, on full paths such as "C:\a\b".

// A folder in one form: "C:\" for a drive's root, no final backslash on any other folder (a final
// byte 0x5C that is the second byte of a double-byte character stays).
AnsiString NormalFolderPath(const AnsiString& path, const CodePage& page = SystemCodePage());

// The folder that holds this one, in normal form; a root (three bytes or fewer) is its own.
AnsiString ParentFolder(const AnsiString& folder, const CodePage& page = SystemCodePage());

// The path in normal form when it names a folder, else the nearest of its ancestors that does;
// its root when none does.
AnsiString NearestExistingFolder(const AnsiString& path,
                                 const std::function<bool(const AnsiString&)>& isFolder,
                                 const CodePage& page = SystemCodePage());

}  // namespace zinnow
