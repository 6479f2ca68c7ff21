#include <algorithm>

#include "platform/controls.h"
#include "platform/win32/handles.h"
#include "platform/win32/peers_win32.h"
#include "platform/win32/windows_backend.h"

namespace zinnow::win32 {
namespace {

// The size of the text in the label's font, as one line.
RECT MeasuredText(const std::wstring& wide, bool underline) {
  WindowDc screen(nullptr);
  const Selection font(screen.Get(), Font(underline));
  RECT r{0, 0, 0, 0};
  DrawTextW(screen.Get(), wide.c_str(), static_cast<int>(wide.size()), &r,
            DT_LEFT | DT_SINGLELINE | DT_CALCRECT);
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen.Get(), &metrics);
  r.bottom = metrics.tmHeight;
  return r;
}

}  // namespace

LabelPeer::LabelPeer(NativeControl* parent, const PeerDesign& design)
    : parent_(parent),
      text_(design.text),
      underline_(design.underline),
      codePage_(design.fixedText ? kFixedTextCodePage : CP_ACP) {
  rect_ = {Scaled(design.bounds.left), Scaled(design.bounds.top), 0, 0};
  Measure();
  if (parent_) parent_->Labels().push_back(this);
}

LabelPeer::~LabelPeer() {
  if (parent_) {
    auto& labels = parent_->Labels();
    labels.erase(std::remove(labels.begin(), labels.end(), this), labels.end());
  }
}

void LabelPeer::WriteText(const AnsiString& text) {
  Invalidate();
  text_ = text;
  Measure();
  Invalidate();
}

void LabelPeer::SetVisible(bool visible) {
  visible_ = visible;
  Invalidate();
}

void LabelPeer::Remeasure() {
  Invalidate();
  Measure();
  Invalidate();
}

void LabelPeer::Paint(HDC dc) const {
  if (!visible_) return;
  RECT r = rect_;
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  const Selection font(dc, Font(underline_));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  const std::wstring wide = Wide(text_, codePage_);
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r,
            DT_LEFT | DT_SINGLELINE | DT_NOCLIP);
}

void LabelPeer::Measure() {
  const RECT r = MeasuredText(Wide(text_, codePage_), underline_);
  rect_.right = rect_.left + (text_.empty() ? 0 : r.right);
  rect_.bottom = rect_.top + r.bottom;
}

LONG LabelPeer::TextWidth() const {
  std::wstring wide = Wide(text_, codePage_);
  while (!wide.empty() && (wide.back() == L' ' || wide.back() == L'\x3000')) wide.pop_back();
  return MeasuredText(wide, underline_).right;
}

void LabelPeer::Invalidate() const {
  if (parent_ && parent_->Window()) InvalidateRect(parent_->Window(), &rect_, TRUE);
}

RECT LabelBounds(const TControl& label) {
  auto* peer = dynamic_cast<const LabelPeer*>(&label.Peer());
  return peer ? peer->Rect() : RECT{};
}

}  // namespace zinnow::win32
