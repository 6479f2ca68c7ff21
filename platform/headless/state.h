#pragma once

// Everything the headless backend keeps between calls, in one object: a test starts afresh by
// assigning a new one (headless::Reset). What belongs to one control or timer lives in its peer
// and goes with it.
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/ansi_string.h"
#include "platform/clipboard.h"

namespace zinnow::headless {

struct ClipboardEntry {
  ClipboardFormat format;
  std::shared_ptr<void> data;
};

struct ClipboardState {
  std::vector<ClipboardEntry> entries;  // in the order they were put
  std::uint32_t sequence = 1;
  bool open = false;
  int heldFor = 0;  // opens still refused, as while another program holds it
  int openAttempts = 0;
  std::function<void()> onOpened;
};

struct State {
  ClipboardState clipboard;

  std::set<std::string> heldFiles;  // host paths another program holds open without sharing
  long long diskSpace = -1;         // bytes the disk still takes; negative: no limit

  bool refuseTimers = false;
  AnsiString executablePath = "C:\\Zinnow\\zinnow.exe";

  std::vector<AnsiString> errorBoxes;
  std::function<void()> whileErrorBoxOpen;
  std::function<bool(AnsiString&)> chooserUser;
};

State& TheState();

}  // namespace zinnow::headless
