#pragma once

// The headless backend's side door for tests: what a user, another program or the system would
// do to the controls, the timer and the clipboard, and what they show.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/clipboard.h"
#include "platform/controls.h"
#include "platform/dib_image.h"

namespace zinnow::headless {

struct ControlState {
  AnsiString text;
  std::vector<AnsiString> writes;  // every text the program wrote, in order
  int repaints = 0;
  bool visible = true;
  std::vector<AnsiString> items;  // drop-down lists only
};

ControlState& StateOf(const TControl& control);

// The user's typing leaves the whole text given; a pick selects an entry.
void UserTypes(TTextControl& control, const AnsiString& text);
void UserPicks(TComboBox& control, int index);
void UserClicks(TButton& button);

// The list refuses further text once it holds this many bytes (0: no limit).
void LimitListText(TComboBox& control, std::size_t bytes);
// The list's next insert after this many fails for want of memory (std::bad_alloc), once.
void RunOutOfMemoryInList(TComboBox& control, int inserts);

// An elapsed interval, delivered as the message loop would; nothing when the timer is off.
void Tick(TTimer& timer);
bool TimerRunning(const TTimer& timer);
int TimerStarts(const TTimer& timer);
// The system refuses new timers while this is set.
void RefuseTimers(bool refuse);

// A bitmap as another program would put it: top row first, one value per pixel (0x00RRGGBB at
// 32 bits, 0 or 1 at 1 bit).
struct Picture {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 32;
  std::vector<std::uint32_t> pixels;
};

void ClipboardEmpty();
void ClipboardPutBitmap(const Picture& picture);
// A device-independent bitmap only (the clipboard offers a bitmap made from it as well).
void ClipboardPutDib(const Picture& picture);
// A PNG picture, given as what it decodes to (0xAARRGGBB pixels); one without pixels does not
// decode. Listed under the registered format kPngFormat.
inline constexpr ClipboardFormat kPngFormat = 0xC1F0;
void ClipboardPutPng(const Picture& decoded);
void ClipboardPutPalette(const std::vector<PaletteEntry>& palette);
void ClipboardPutMetafile(const std::vector<std::uint8_t>& bytes);
void ClipboardPutText(const AnsiString& text);
std::vector<ClipboardFormat> ClipboardFormats();
// Another program holds the clipboard open for the next `opens` attempts to open it.
void ClipboardHeldFor(int opens);
int ClipboardOpenAttempts();
// The system's notice of a change of the clipboard, delivered as the message loop would (the
// test says when: a put alone sends none).
void ClipboardNotice();
// Runs on every successful open: another program's chance to act between two accesses.
void OnClipboardOpened(std::function<void()> action);

// The texts of the error boxes shown so far; `whileOpen` runs while a box is open.
std::vector<AnsiString>& ErrorBoxes();
void WhileErrorBoxOpen(std::function<void()> whileOpen);
// What the user does in the folder chooser: gets the start folder, returns whether they
// confirmed and sets the folder chosen. Without one, the chooser is cancelled.
void ScriptChooser(std::function<bool(AnsiString& folder)> user);

// Forgets what the clipboard, the files, the system and the application hold between tests
// (the backend's whole state); the controls and timers that live keep theirs.
void Reset();

}  // namespace zinnow::headless

namespace zinnow::headless {

// Another program holds this file open without sharing: creating it fails.
void HoldFileOpen(const AnsiString& path);
// ... and closes it again.
void ReleaseFile(const AnsiString& path);
// The disk takes only this many more bytes (a negative value: no limit).
void LimitDiskSpace(long long bytes);

// A Windows path as a host path: real backslashes (not second bytes of Shift_JIS characters)
// become slashes.
std::string HostPath(const AnsiString& path);

}  // namespace zinnow::headless

namespace zinnow::headless {

// What the program reports as its own path (a Windows-style path, as ExecutablePath gives it).
void SetExecutablePath(const AnsiString& path);

}  // namespace zinnow::headless
