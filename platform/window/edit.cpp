#include "platform/window/edit.h"

#include <algorithm>

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/window/control_paint.h"
#include "platform/window/desktop.h"
#include "platform/window/user.h"
#include "platform/window/validator.h"

namespace {

constexpr int Inner_Margin = 3;

}  // namespace

TEdit::TEdit(TWindow* parent, int id, const char* text, int x, int y, int w, int h, unsigned text_limit)
    : TWindow(parent, text), text_(text ? text : ""), limit_(text_limit) {
  Attr.Id = id;
  Attr.Style |= WS_TABSTOP;  // it draws its own sunken border
  Attr.X = x;
  Attr.Y = y;
  Attr.W = w;
  Attr.H = h;
  if (limit_ && text_.size() > limit_) text_.resize(limit_);
  caret_ = anchor_ = int(text_.size());
}

TEdit::TEdit(TWindow* parent, int resource_id, unsigned text_limit)
    : TEdit(parent, resource_id, "", 0, 0, 0, 0, text_limit) {}

TEdit::~TEdit() = default;

// ---- Text

void TEdit::SetText(const std::string& text) {
  text_ = text;
  SetWindowText(text_);
  caret_ = anchor_ = int(text_.size());
  scroll_ = 0;
  Changed();
}

int TEdit::GetText(char* buffer, int size) const {
  if (!buffer || size <= 0) return 0;
  int n = std::min(int(text_.size()), size - 1);
  std::copy_n(text_.data(), n, buffer);
  buffer[n] = 0;
  return n;
}

void TEdit::SetTextLimit(unsigned limit) { limit_ = limit; }

void TEdit::Insert(const std::string& text) { Replace_Selection(text); }

void TEdit::Changed() {
  Scroll_To_Caret();
  Invalidate(false);
  if (Parent && IsWindow())
    Parent->SendMessage(WM_COMMAND, MAKEWPARAM(uint16_t(Attr.Id), uint16_t(EN_CHANGE)), GetHandle().To_Param());
}

bool TEdit::Accept(std::string candidate, int caret) {
  if (limit_ && candidate.size() > limit_) return false;
  if (validator_) {
    std::string checked = candidate;
    if (!validator_->IsValidInput(checked, false)) return false;
    // A validator may complete the text; the caret then goes to its end.
    if (checked != candidate) caret = int(checked.size());
    candidate = std::move(checked);
    if (limit_ && candidate.size() > limit_) return false;
  }
  text_ = std::move(candidate);
  SetWindowText(text_);
  caret_ = anchor_ = std::clamp(caret, 0, int(text_.size()));
  Changed();
  return true;
}

bool TEdit::Replace_Selection(const std::string& text) {
  int s = std::min(anchor_, caret_), e = std::max(anchor_, caret_);
  std::string candidate = text_.substr(0, size_t(s)) + text + text_.substr(size_t(e));
  return Accept(std::move(candidate), s + int(text.size()));
}

// ---- Selection

void TEdit::SetSelection(int start, int end) {
  int n = int(text_.size());
  if (start < 0) {
    start = end = caret_;
  }
  if (end < 0 || end > n) end = n;
  anchor_ = std::clamp(start, 0, n);
  caret_ = std::clamp(end, 0, n);
  Scroll_To_Caret();
  Invalidate(false);
}

void TEdit::GetSelection(int& start, int& end) const {
  start = std::min(anchor_, caret_);
  end = std::max(anchor_, caret_);
}

void TEdit::Set_Caret(int pos, bool extend) {
  caret_ = std::clamp(pos, 0, int(text_.size()));
  if (!extend) anchor_ = caret_;
  Scroll_To_Caret();
  Invalidate(false);
}

void TEdit::DeleteSelection() {
  if (anchor_ != caret_) Replace_Selection("");
}

void TEdit::Copy() {
  int s, e;
  GetSelection(s, e);
  if (s != e) TDesktop::Current().Backend().Set_Clipboard_Text(text_.substr(size_t(s), size_t(e - s)));
}

void TEdit::Cut() {
  Copy();
  DeleteSelection();
}

void TEdit::Paste() {
  std::string text = TDesktop::Current().Backend().Clipboard_Text();
  // One line only: stop at the first line break.
  text = text.substr(0, text.find_first_of("\r\n"));
  if (!text.empty()) Replace_Selection(text);
}

// ---- Validation

void TEdit::SetValidator(TValidator* validator) { validator_.reset(validator); }

bool TEdit::IsValid(bool report_error) {
  if (!validator_) return true;
  return report_error ? validator_->Valid(text_, this) : validator_->IsValid(text_);
}

bool TEdit::CanClose() {
  // An enabled field whose text fails its check takes the focus and refuses.
  if (IsWindowEnabled() && !IsValid(true)) {
    SetFocus();
    return false;
  }
  return TWindow::CanClose();
}

void TEdit::SetFont(const TFont& font, bool redraw) {
  font_ = std::make_unique<TFont>(font);
  if (redraw) Invalidate(false);
}

// ---- Keys and the mouse

void TEdit::EvKeyDown(UINT key, UINT, UINT) {
  bool shift = GetKeyState(VK_SHIFT) < 0;
  bool ctrl = GetKeyState(VK_CONTROL) < 0;
  switch (key) {
    case VK_LEFT: Set_Caret((!shift && anchor_ != caret_) ? std::min(anchor_, caret_) : caret_ - 1, shift); break;
    case VK_RIGHT: Set_Caret((!shift && anchor_ != caret_) ? std::max(anchor_, caret_) : caret_ + 1, shift); break;
    case VK_HOME: Set_Caret(0, shift); break;
    case VK_END: Set_Caret(int(text_.size()), shift); break;
    case VK_DELETE:
      if (shift) Cut();
      else if (anchor_ != caret_) DeleteSelection();
      else if (caret_ < int(text_.size())) Accept(text_.substr(0, size_t(caret_)) + text_.substr(size_t(caret_) + 1), caret_);
      break;
    case VK_INSERT:
      if (ctrl) Copy();
      else if (shift) Paste();
      break;
    default: break;
  }
}

void TEdit::EvChar(UINT key, UINT, UINT) {
  switch (key) {
    case 0x03: Copy(); return;   // Ctrl+C
    case 0x18: Cut(); return;    // Ctrl+X
    case 0x16: Paste(); return;  // Ctrl+V
    case 0x08:
      if (anchor_ != caret_) DeleteSelection();
      else if (caret_ > 0) Accept(text_.substr(0, size_t(caret_ - 1)) + text_.substr(size_t(caret_)), caret_ - 1);
      return;
    default: break;
  }
  if (key < 0x20 || key > 0xFF || key == 0x7F) return;
  Replace_Selection(std::string(1, char(key)));
}

void TEdit::EvLButtonDown(UINT, const TPoint& p) {
  if (GetFocus() != GetHandle()) SetFocus();
  bool shift = GetKeyState(VK_SHIFT) < 0;
  Set_Caret(Position_At(p.x), shift);
  dragging_ = true;
  SetCapture();
}

void TEdit::EvMouseMove(UINT, const TPoint& p) {
  if (dragging_) Set_Caret(Position_At(p.x), true);
}

void TEdit::EvLButtonUp(UINT, const TPoint& p) {
  if (!dragging_) return;
  dragging_ = false;
  Set_Caret(Position_At(p.x), true);
  ReleaseCapture();
}

void TEdit::EvSetFocus(HWND) { Invalidate(false); }

void TEdit::EvKillFocus(HWND gets) {
  Invalidate(false);
  // Leaving for another control of the same window while the text fails its
  // check brings the focus back; OK and Cancel may take it.
  TWindow* next = TWindow::From_Handle(gets);
  if (validator_ && next && next->Parent == Parent && next->GetId() != IDOK && next->GetId() != IDCANCEL &&
      IsWindowEnabled() && !IsValid(true))
    SetFocus();
}

// ---- Drawing

int TEdit::Text_X(int pos) const {
  const TFont& font = font_ ? *font_ : Control_Paint::Ui_Font();
  return Inner_Margin + Control_Paint::Text_Extent(font, text_.substr(0, size_t(pos))).cx - scroll_;
}

int TEdit::Position_At(int x) const {
  int best = 0, best_d = 1 << 30;
  for (int i = 0; i <= int(text_.size()); ++i) {
    int d = std::abs(Text_X(i) - x);
    if (d < best_d) best = i, best_d = d;
  }
  return best;
}

void TEdit::Scroll_To_Caret() {
  int width = GetClientRect().Width() - 2 * Inner_Margin;
  if (width <= 0) return;
  int x = Text_X(caret_) - Inner_Margin;
  if (x < 0) scroll_ += x;
  else if (x > width) scroll_ += x - width;
  scroll_ = std::max(0, scroll_);
}

void TEdit::Paint(TDC& dc, bool, TRect&) {
  using namespace Control_Paint;
  TRect all = GetClientRect();
  dc.SetTextColor(IsWindowEnabled() ? Text : Grey_Text);
  dc.SetBkColor(Window);
  const TBrush* chosen = Parent ? Parent->EvCtlColor(dc, GetHandle(), CTLCOLOR_EDIT) : nullptr;
  TColor text_colour = dc.GetTextColor();
  if (chosen) dc.FillRect(all, *chosen);
  else Fill(dc, all, Window);
  Field_Border(dc, all);
  TRect inner = all.Inflated_By(-2, -2);
  dc.SaveDC();
  dc.IntersectClipRect(inner);
  dc.SelectObject(font_ ? *font_ : Ui_Font());
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(text_colour);
  TText_Metrics tm;
  dc.GetTextMetrics(tm);
  int line_h = dc.GetTextExtent("Ag").cy;
  int y = (all.Height() - line_h) / 2;
  dc.TextOut(Text_X(0), y, text_);
  int s, e;
  GetSelection(s, e);
  bool focused = GetFocus() == GetHandle();
  if (focused && s != e) {
    TRect sel{Text_X(s), y, Text_X(e), y + line_h};
    Fill(dc, sel, Highlight);
    dc.SetTextColor(Highlight_Text);
    dc.TextOut(Text_X(s), y, text_.substr(size_t(s), size_t(e - s)));
  }
  if (focused) Fill(dc, {Text_X(caret_), y, Text_X(caret_) + 1, y + line_h}, Text);
  dc.RestoreDC();
}
