#pragma once

#include <memory>

#include "platform/ansi_string.h"
#include "platform/shown_text.h"

// What a backend provides for each control: its native side (a window, or a record in memory).
// The rules that controls follow are written once, in the control classes; a peer only keeps
// and shows what it is told, and reports what the user did.
namespace zinnow {

class TComboBox;
class TControl;
class TTimer;
class TWinControl;

struct Bounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

enum class ControlKind { Form, Panel, Label, Edit, ComboBox, SpinEdit, Button, Image };

// What a peer needs to come into being.
struct PeerDesign {
  ControlKind kind = ControlKind::Edit;
  Bounds bounds;
  AnsiString text;
  int maxLength = 0;       // 0: no limit
  int tabOrder = -1;       // -1: not a tab stop
  AnsiString hint;         // empty: none
  bool underline = false;  // the window's font, underlined
  bool fixedText = false;  // the text is the program's own Shift_JIS, not the user's
};

class ControlPeer {
 public:
  virtual ~ControlPeer() = default;
  virtual AnsiString Text() const = 0;
  virtual void WriteText(const AnsiString& text) = 0;
  // A text in parts by code page (a window caption); a peer that keeps bytes keeps them joined.
  virtual void WriteShownText(const ShownText& text) { WriteText(text.Bytes()); }
  // Carry out any pending repaint now.
  virtual void Repaint() {}
  virtual void SetVisible(bool) {}
};

// The item list of a drop-down list.
class ListPeer : public ControlPeer {
 public:
  virtual int Count() const = 0;
  virtual AnsiString Item(int index) const = 0;
  virtual bool Insert(int index, const AnsiString& text) = 0;  // false: no room for more text
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  // Copies the entry into the edit part; -1 selects nothing.
  virtual void Select(int index) = 0;
};

class TimerPeer {
 public:
  virtual ~TimerPeer() = default;
  // A fresh interval; false when the system refuses a timer.
  virtual bool Start(unsigned intervalMs) = 0;
  virtual void Stop() = 0;
};

// The backend's factories (one backend is linked in). The drop-down list has its own, so that
// its control holds its peer as a list.
std::unique_ptr<ControlPeer> CreateControlPeer(TControl& owner, TWinControl* parent,
                                               const PeerDesign& design);
std::unique_ptr<ListPeer> CreateListPeer(TComboBox& owner, TWinControl* parent,
                                         const PeerDesign& design);
std::unique_ptr<TimerPeer> CreateTimerPeer(TTimer& owner);

}  // namespace zinnow
