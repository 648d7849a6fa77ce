// TStatic: text in a dialog, on the dialog's face colour, wrapped at word
// boundaries and broken at line feeds; with SS_CENTERIMAGE, one line standing
// in the middle of the control's height (a label beside a taller button).
#pragma once

#include "platform/window/window.h"

constexpr uint32_t SS_CENTERIMAGE = 0x0200;

class TStatic : public TWindow {
 public:
  TStatic(TWindow* parent, int id, const char* text, int x, int y, int w, int h);
  void SetText(const std::string& text);
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool EvEraseBkgnd(TDC&) override { return true; }
  void EvLButtonDown(UINT, const TPoint&) override {}
};
