// TStatic: text in a dialog, on the dialog's face colour, wrapped at word
// boundaries and broken at line feeds.
#pragma once

#include "platform/window/window.h"

class TStatic : public TWindow {
 public:
  TStatic(TWindow* parent, int id, const char* text, int x, int y, int w, int h);
  void SetText(const std::string& text);
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool EvEraseBkgnd(TDC&) override { return true; }
  void EvLButtonDown(UINT, const TPoint&) override {}
};
