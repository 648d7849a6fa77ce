#include "platform/window/control_paint.h"

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font_engine.h"
#include "platform/gdi/pen.h"

namespace Control_Paint {

const TFont& Ui_Font() {
  static const TFont font("MS Sans Serif", 16);
  return font;
}

const TFont& Bold_Ui_Font() {
  static const TFont font("MS Sans Serif", 16, FW_BOLD);
  return font;
}

TSize Text_Extent(const TFont& font, const std::string& text) {
  return TFont_Engine::Instance().Extent(font.Font_Spec(), text);
}

void Fill(TDC& dc, const TRect& r, TColor colour) {
  TBrush brush(colour);
  dc.FillRect(r, brush);
}

void Box(TDC& dc, const TRect& r, bool sunken) {
  if (r.IsEmpty()) return;
  Fill(dc, r, Face);
  TColor top_left = sunken ? Shadow : Light, bottom_right = sunken ? Light : Dark;
  Fill(dc, {r.left, r.top, r.right - 1, r.top + 1}, top_left);
  Fill(dc, {r.left, r.top, r.left + 1, r.bottom - 1}, top_left);
  Fill(dc, {r.left, r.bottom - 1, r.right, r.bottom}, bottom_right);
  Fill(dc, {r.right - 1, r.top, r.right, r.bottom}, bottom_right);
  if (!sunken && r.Width() > 3 && r.Height() > 3) {
    Fill(dc, {r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1}, Shadow);
    Fill(dc, {r.right - 2, r.top + 1, r.right - 1, r.bottom - 1}, Shadow);
  }
}

void Field_Border(TDC& dc, const TRect& r) {
  Fill(dc, {r.left, r.top, r.right, r.top + 1}, Shadow);
  Fill(dc, {r.left, r.top, r.left + 1, r.bottom}, Shadow);
  Fill(dc, {r.left, r.bottom - 1, r.right, r.bottom}, Light);
  Fill(dc, {r.right - 1, r.top, r.right, r.bottom}, Light);
  Fill(dc, {r.left + 1, r.top + 1, r.right - 1, r.top + 2}, Dark);
  Fill(dc, {r.left + 1, r.top + 1, r.left + 2, r.bottom - 1}, Dark);
}

void Centred_Text(TDC& dc, const TRect& r, const std::string& text, TColor colour, const TFont& font) {
  dc.SelectObject(font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(colour);
  TRect box = r;
  dc.DrawText(text, -1, box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  dc.RestoreFont();
}

}  // namespace Control_Paint
