#pragma once

// The folder history: kept as the folder field's list, stored in the program's folder. Its steps
// are CaptureForm's (LoadHistory, RememberFolder, SaveHistory).
#include "platform/ansi_string.h"

namespace zinnow {

// The folder of the program at `executablePath`, ending in a backslash.
AnsiString ProgramFolderOf(const AnsiString& executablePath);

inline constexpr char kHistoryFileName[] = "path.txt";
inline constexpr char kFallbackFolder[] = "c:\\";
inline constexpr int kHistoryLimit = 21;

}  // namespace zinnow
