// TEdit: a single-line edit control. A caret and a selection; the mouse
// places the caret and drags a selection; Left, Right, Home and End move
// (with Shift they select), Backspace and Delete remove, typed characters
// replace the selection; Ctrl+C, Ctrl+X and Ctrl+V use the text clipboard.
// The text limit and the validator are checked on every change from the
// keyboard (a refused change is dropped with nothing else happening); every
// change, also through SetText, notifies the parent with EN_CHANGE. The
// parent chooses the colours through WM_CTLCOLOR.
#pragma once

#include <memory>
#include <string>

#include "platform/window/window.h"

class TValidator;
class TFont;

class TEdit : public TWindow {
 public:
  TEdit(TWindow* parent, int id, const char* text, int x, int y, int w, int h, unsigned text_limit = 0);
  // Attaches to a control a code-built dialog made with this id.
  TEdit(TWindow* parent, int resource_id, unsigned text_limit = 0);
  ~TEdit() override;

  // ---- Text
  void SetText(const std::string& text);
  const std::string& GetText() const { return text_; }
  int GetText(char* buffer, int size) const;
  int GetTextLen() const { return int(text_.size()); }
  void Clear() { SetText(""); }
  // 0: no limit.
  void SetTextLimit(unsigned limit);
  void LimitText(unsigned limit) { SetTextLimit(limit); }
  unsigned Text_Limit() const { return limit_; }
  void Insert(const std::string& text);

  // ---- Selection: start and end (end exclusive); the caret is at the end
  // that moved last.
  void SetSelection(int start, int end);
  void GetSelection(int& start, int& end) const;
  int Caret() const { return caret_; }
  void Copy();
  void Cut();
  void Paste();
  void DeleteSelection();

  // ---- Validation (takes ownership)
  void SetValidator(TValidator* validator);
  TValidator* GetValidator() const { return validator_.get(); }
  bool IsValid(bool report_error = false);
  void SetFont(const TFont& font, bool redraw = true);

  // ---- Framework
  bool CanClose() override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool EvEraseBkgnd(TDC&) override { return true; }
  void EvKeyDown(UINT key, UINT repeat, UINT flags) override;
  void EvChar(UINT key, UINT repeat, UINT flags) override;
  void EvLButtonDown(UINT keys, const TPoint& p) override;
  void EvMouseMove(UINT keys, const TPoint& p) override;
  void EvLButtonUp(UINT keys, const TPoint& p) override;
  void EvSetFocus(HWND lost) override;
  void EvKillFocus(HWND gets) override;
  UINT EvGetDlgCode(const MSG*) override { return DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL; }

 private:
  // Replaces the selection with text, through the limit and the validator;
  // false when refused.
  bool Replace_Selection(const std::string& text);
  bool Accept(std::string candidate, int caret);
  void Set_Caret(int pos, bool extend);
  void Changed();
  int Position_At(int x) const;
  int Text_X(int pos) const;
  void Scroll_To_Caret();

  std::string text_;
  unsigned limit_ = 0;
  int anchor_ = 0;
  int caret_ = 0;
  int scroll_ = 0;  // pixels of text scrolled off the left
  bool dragging_ = false;
  std::unique_ptr<TValidator> validator_;
  std::unique_ptr<TFont> font_;
};
