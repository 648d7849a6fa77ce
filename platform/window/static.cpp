#include "platform/window/static.h"

#include "platform/gdi/dc.h"
#include "platform/window/control_paint.h"

TStatic::TStatic(TWindow* parent, int id, const char* text, int x, int y, int w, int h) : TWindow(parent, text) {
  Attr.Id = id;
  Attr.X = x;
  Attr.Y = y;
  Attr.W = w;
  Attr.H = h;
}

void TStatic::SetText(const std::string& text) {
  SetWindowText(text);
  Invalidate(true);
}

void TStatic::Paint(TDC& dc, bool, TRect&) {
  using namespace Control_Paint;
  Fill(dc, GetClientRect(), Face);
  dc.SelectObject(Ui_Font());
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(IsWindowEnabled() ? Text : Grey_Text);
  TRect r = GetClientRect();
  const unsigned lines = (Attr.Style & SS_CENTERIMAGE) ? DT_SINGLELINE | DT_VCENTER : DT_WORDBREAK;
  dc.DrawText(Title(), -1, r, DT_LEFT | DT_NOPREFIX | lines);
}
