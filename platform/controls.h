#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/ansi_string.h"
#include "platform/peer.h"

namespace zinnow {

class TObject {
 public:
  virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* sender)>;

class TControl : public TObject {
 public:
  TControl(TWinControl* parent, const PeerDesign& design);
  ~TControl() override;
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  ControlKind Kind() const { return kind_; }
  ControlPeer& Peer() const { return *peer_; }

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

  // The backend reports what the user did.
  virtual void UserChangedText() {}
  virtual void UserClicked() {}

 protected:
  // With a peer the control's own factory made.
  TControl(const PeerDesign& design, std::unique_ptr<ControlPeer> peer);

 private:
  ControlKind kind_;
  bool visible_;
  std::unique_ptr<ControlPeer> peer_;
};

// A control that can hold others.
class TWinControl : public TControl {
 public:
  using TControl::TControl;
};

// A control whose text can change, with the change event the handlers rely on:
// 1. setting the text it already holds does nothing and fires nothing;
// 2. edits and the spin field fire OnChange on every actual change, the program's too, at once,
//    inside the call that set the text;
// 3. the drop-down list fires it only for the user's typing and picking.
class TTextControl : public TWinControl {
 public:
  TNotifyEvent OnChange;

  AnsiString Text() const;
  void SetText(const AnsiString& text);

  void UserChangedText() override;

 protected:
  enum class ProgramChanges { Fire, Silent };
  TTextControl(TWinControl* parent, const PeerDesign& design, ProgramChanges programChanges);
  TTextControl(const PeerDesign& design, std::unique_ptr<ControlPeer> peer,
               ProgramChanges programChanges);

 private:
  void Change();

  ProgramChanges programChanges_;
  bool writing_ = false;
};

class TEdit : public TTextControl {
 public:
  TEdit(TWinControl* parent, PeerDesign design);
};

// An editable drop-down list; its item list belongs to it.
class TComboBox : public TTextControl {
 public:
  TComboBox(TWinControl* parent, PeerDesign design);

  int Count() const;
  AnsiString Item(int index) const;
  // Fails with "cannot insert a line" when the list can take no more text.
  void Insert(int index, const AnsiString& text);
  void Add(const AnsiString& text);
  // An index past the end removes nothing.
  void Delete(int index);
  // Empties the list, the text of the edit part stays.
  void Clear();
  // Copies the entry into the edit part; no change event.
  void SetItemIndex(int index);

  // The user picked an entry: its text into the edit part, then the change event.
  void UserPicked(int index);

 private:
  TComboBox(const PeerDesign& design, ListPeer* list);
  ListPeer& List() const;

  ListPeer& list_;
};

// A numeric edit with up and down steps, minimum 0, maximum 99999.
class TSpinEdit : public TTextControl {
 public:
  static constexpr int kMinValue = 0;
  static constexpr int kMaxValue = 99999;

  TSpinEdit(TWinControl* parent, PeerDesign design);

  // The text read as an integer, not clamped; a text that is none reads as 0.
  std::int32_t Value() const;
  // Clamped into 0..99999 and written in plain decimal.
  void SetValue(std::int64_t value);
  // The arrows and the Up and Down keys.
  void Step(int delta);
  // The keyboard focus leaves: a number outside 0..99999 becomes the nearer bound; any other
  // text stays.
  void ClampOnExit();
};

class TLabel : public TControl {
 public:
  TLabel(TWinControl* parent, PeerDesign design);
  AnsiString Caption() const;
  void SetCaption(const AnsiString& caption);
};

class TButton : public TWinControl {
 public:
  TButton(TWinControl* parent, PeerDesign design);
  TNotifyEvent OnClick;
  void UserClicked() override;
};

class TPanel : public TWinControl {
 public:
  TPanel(TWinControl* parent, PeerDesign design);
};

// The system timer behind polling. Switching it to the state it has does nothing, so a running
// interval is not restarted; switching it on starts a fresh interval.
class TTimer : public TObject {
 public:
  explicit TTimer(unsigned intervalMs);
  ~TTimer() override;

  TNotifyEvent OnTimer;
  bool Enabled() const { return enabled_; }
  // Fails with "cannot obtain a timer" when the system refuses one; the timer then stays off,
  // so the next switch on asks again.
  void SetEnabled(bool enabled);

  // An elapsed interval, as the application delivers it (TApplication::DeliverTick).
  void Elapsed();
  TimerPeer& Peer() const { return *peer_; }

 private:
  unsigned intervalMs_;
  bool enabled_ = false;
  std::unique_ptr<TimerPeer> peer_;
};

// A top-level window with its caption. It owns the controls made for it.
class TForm : public TWinControl {
 public:
  explicit TForm(PeerDesign design);
  ~TForm() override;

  AnsiString Caption() const;
  // The caption is one of the program's own texts...
  void SetCaption(const AnsiString& caption);
  // ... or made of parts of either kind (a path in it).
  void SetCaption(const ShownText& caption);
  void Repaint();

  template <typename T, typename... Args>
  T& Make(Args&&... args) {
    auto made = std::make_unique<T>(std::forward<Args>(args)...);
    T& ref = *made;
    owned_.push_back(std::move(made));
    return ref;
  }

 private:
  std::vector<std::unique_ptr<TObject>> owned_;
};

}  // namespace zinnow
