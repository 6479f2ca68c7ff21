// The editable drop-down list.
#include "platform/code_page.h"
#include "platform/controls.h"
#include "platform/text.h"
#include "platform/win32/peers_win32.h"
#include "platform/win32/windows_backend.h"

namespace zinnow::win32 {
namespace {

// What the drop-down list shows of an entry: no one reads a line of more than a thousand bytes,
// and the native list measures every byte it is given.
AnsiString ShownInList(const AnsiString& entry) {
  constexpr std::size_t kShown = 1024;
  if (entry.size() <= kShown) return entry;
  // The last whole character within the first kShown bytes.
  const CodePage& page = SystemCodePage();
  std::size_t cut = 0;
  for (std::size_t next = 0; (next = NextCharStart(entry, cut, page)) <= kShown;) cut = next;
  return entry.substr(0, cut) + "...";
}

// The list keeps every entry's bytes itself: the native list holds its text in Unicode, and a
// byte sequence that is no valid Shift_JIS would not come back whole from it.
class ComboBoxPeer : public ListPeer, public NativeControl {
 public:
  ComboBoxPeer(TComboBox& owner, TWinControl* parent, const PeerDesign& design)
      : NativeControl(owner, parent, design), owner_(owner) {}

  AnsiString Text() const override { return WindowText(Window()); }
  void WriteText(const AnsiString& text) override { SetWindowTextA(Window(), text.c_str()); }
  void Repaint() override { RepaintNow(); }
  void SetVisible(bool visible) override { ShowChild(visible); }

  int Count() const override { return static_cast<int>(items_.size()); }
  AnsiString Item(int index) const override { return items_.at(static_cast<std::size_t>(index)); }
  bool Insert(int index, const AnsiString& text) override {
    const AnsiString shown = ShownInList(text);
    const LRESULT at = SendMessageA(Window(), CB_INSERTSTRING, static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(shown.c_str()));
    if (at == CB_ERR || at == CB_ERRSPACE) return false;
    items_.insert(items_.begin() + index, text);
    return true;
  }
  void Delete(int index) override {
    SendMessageA(Window(), CB_DELETESTRING, static_cast<WPARAM>(index), 0);
    items_.erase(items_.begin() + index);
  }
  void Clear() override {
    // CB_RESETCONTENT would empty the edit part too.
    const AnsiString text = Text();
    SendMessageA(Window(), CB_RESETCONTENT, 0, 0);
    SetWindowTextA(Window(), text.c_str());
    items_.clear();
  }
  // The entry's own bytes into the edit part (the list's copy may be shortened).
  void Select(int index) override {
    if (index >= 0) SetWindowTextA(Window(), items_.at(static_cast<std::size_t>(index)).c_str());
  }

  void Notified(WORD code) override {
    if (code == CBN_EDITCHANGE) Deliver([&] { owner_.UserChangedText(); });
    if (code == CBN_SELCHANGE) {
      const int index = static_cast<int>(SendMessageA(Window(), CB_GETCURSEL, 0, 0));
      if (index >= 0) Deliver([&] { owner_.UserPicked(index); });
    }
  }

 private:
  TComboBox& owner_;
  std::vector<AnsiString> items_;
};

}  // namespace
}  // namespace zinnow::win32

namespace zinnow {

std::unique_ptr<ListPeer> CreateListPeer(TComboBox& owner, TWinControl* parent,
                                         const PeerDesign& design) {
  auto peer = std::make_unique<win32::ComboBoxPeer>(owner, parent, design);
  win32::AddHint(peer->Window(), design.hint);
  return peer;
}

}  // namespace zinnow
