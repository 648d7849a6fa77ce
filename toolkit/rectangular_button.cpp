#include "toolkit/rectangular_button.h"

#include <algorithm>

#include "model/gui_colors.h"
#include "platform/gdi/memory_dc.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_sizes.h"

namespace {

struct Face_DC : TMemoryDC {
  explicit Face_DC(const TBitmap& face) : TMemoryDC(face) {
    SelectObject(*The_GUI_Colors->Palette);
    RealizePalette();
  }
};

TColor Scheme(int index) { return The_GUI_Colors->Scheme[size_t(index)]; }

}  // namespace

void Rectangular_Button_Enabler::Enable(bool enable) {
  TCommandEnabler::Enable(enable);
  if (enable)
    Button->Enable();
  else
    Button->Disable();
}

Rectangular_Button::Rectangular_Button(TWindow* parent, int id, const TRect& rect, int32_t style, TWindow* target)
    : Owner_Drawn_Button(parent, id, rect, "Rectangle Button", target), Style(style) {
  const int s = (*The_GUI_Sizes)[24];
  Inner_Rect = TRect(s, s, rect.Width() - s, rect.Height() - s);
}

void Rectangular_Button::SetupWindow() {
  Owner_Drawn_Button::SetupWindow();
  Make_Enabler(std::make_unique<Rectangular_Button_Enabler>(GetId(), Target ? Target->GetHandle() : HWND(), this));
  Draw_Faces();
  Current_Face = Normal_Face.get();
}

void Rectangular_Button::Draw_Faces() {
  Face_Color = Scheme(Style == 0 ? 0 : 1);
  Text_Color = Scheme(Style == 0 ? 1 : 0);
  const TColor light = Scheme(Style == 0 ? 49 : 5), dark = Scheme(Style == 0 ? 38 : 3);
  const TColor line = Style == 0 ? Scheme(3) : TColor::Black;
  const int w = Frame_Rect.Width(), h = Frame_Rect.Height(), d = (*The_GUI_Sizes)[24] - 2;
  const TPoint P[6] = {{0, h - 2}, {0, 0}, {w - 2, 0}, {w - 2 - d, d}, {d, d}, {d, h - 2 - d}};
  const TPoint Q[6] = {{2, h - 2}, {w - 2, h - 2}, {w - 2, 0}, {w - 2 - d, d}, {w - 2 - d, h - 2 - d}, {2 + d, h - 2 - d}};
  Normal_Face = std::make_unique<TBitmap>(std::max(w, 1), std::max(h, 1));
  Pressed_Face = std::make_unique<TBitmap>(std::max(w, 1), std::max(h, 1));
  auto polygon = [](TDC& dc, const TPoint* points, int shift, TColor colour) {
    TPoint moved[6];
    for (int i = 0; i < 6; ++i) moved[i] = points[i].Offset_By(shift, shift);
    dc.SelectObject(TBrush(colour));
    dc.SelectObject(TPen(colour));
    dc.Polygon(moved, 6);
  };
  for (int pressed = 0; pressed < 2; ++pressed) {
    Face_DC dc(pressed ? *Pressed_Face : *Normal_Face);
    dc.SelectObject(TBrush(Face_Color));
    dc.PatBlt(Frame_Rect, PATCOPY);
    dc.SelectObject(TPen(line));
    // The dark edge: lower and right when raised, upper and left when pressed.
    const TPoint edge[3] = {pressed ? TPoint(0, h - 1) : TPoint(1, h - 1), pressed ? TPoint(0, 0) : TPoint(w - 1, h - 1),
                            TPoint(w - 1, 0)};
    dc.Polyline(edge, 3);
    polygon(dc, P, pressed, pressed ? dark : light);
    polygon(dc, Q, pressed, pressed ? light : dark);
  }
}

void Rectangular_Button::Set_Picture(const TBitmap& picture, const char* tip) {
  Set_Tip(tip);
  if (!Normal_Face) return;
  TMemoryDC source(picture);
  const TRect whole(0, 0, picture.Width(), picture.Height());
  for (int pressed = 0; pressed < 2; ++pressed) {
    Face_DC dc(pressed ? *Pressed_Face : *Normal_Face);
    dc.IntersectClipRect(Inner_Rect);
    dc.SetStretchBltMode(BLACKONWHITE);
    dc.StretchBlt(Inner_Rect.Offset_By(pressed, pressed), source, whole);
  }
  Remake_Disabled_Face();
  Repaint();
}

int Rectangular_Button::Caption_Font_Height(int lines) const {
  const int z = (*The_GUI_Sizes)[29];
  const int fh = ((Inner_Rect.Height() - z) * 4) / (5 * lines - 1);
  return std::max(fh & ~1, 8);
}

void Rectangular_Button::Set_Caption(const char* text) {
  if (!Normal_Face) return;
  const std::vector<std::string> lines = Caption_Lines(text, Max_Caption_Lines);
  const int n = int(lines.size()), z = (*The_GUI_Sizes)[29];
  const int fh = Caption_Font_Height(n);
  const TFont font("MS Sans Serif", fh, FW_BOLD);
  const int step = (fh * 5) / 4, y0 = Inner_Rect.top + z / 2, x = Frame_Rect.Width() / 2;
  for (int pressed = 0; pressed < 2; ++pressed) {
    Face_DC dc(pressed ? *Pressed_Face : *Normal_Face);
    dc.SelectObject(font);
    dc.SetTextAlign(TA_CENTER | TA_TOP);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(Text_Color);
    dc.SelectObject(TBrush(Face_Color));
    dc.IntersectClipRect(Inner_Rect.Offset_By(pressed, pressed));
    dc.PatBlt(Frame_Rect, PATCOPY);
    for (int i = 0; i < n; ++i) dc.TextOut(x + pressed, y0 + pressed + i * step, lines[size_t(i)]);
  }
  Remake_Disabled_Face();
  Repaint();
}

void Rectangular_Button::Make_Disabled_Face() {
  Disabled_Face.reset();
  TBitmap work(Normal_Face->Width(), Normal_Face->Height());
  {
    Face_DC dc(work);
    dc.SelectObject(TBrush(Face_Color));
    dc.PatBlt(Frame_Rect, PATCOPY);
    dc.IntersectClipRect(Inner_Rect);
    TMemoryDC normal(*Normal_Face);
    dc.BitBlt(Frame_Rect, normal, TPoint(0, 0));
  }
  const auto screen = GUI_Bitmaps::Screen_Reference();
  Disabled_Face = GUI_Bitmaps::Make_Disabled_Picture(*screen, work);
  // Only the inner rectangle is greyed: the bevel keeps its colours.
  Face_DC dc(*Disabled_Face);
  dc.SelectClipRgn(TRegion(Frame_Rect) - TRegion(Inner_Rect));
  TMemoryDC normal(*Normal_Face);
  dc.BitBlt(Frame_Rect, normal, TPoint(0, 0));
}
