#include "toolkit/round_button.h"

#include "model/gui_colors.h"
#include "platform/gdi/memory_dc.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/round_border.h"

namespace {

constexpr double One_Minus_Root_Half = 0.2928932188134524;

int Bevel() { return (*The_GUI_Sizes)[24]; }

// A memory context on a face with the program's palette.
struct Face_DC : TMemoryDC {
  explicit Face_DC(const TBitmap& face) : TMemoryDC(face) {
    SelectObject(*The_GUI_Colors->Palette);
    RealizePalette();
  }
};

}  // namespace

void Round_Button_Enabler::Enable(bool enable) {
  TCommandEnabler::Enable(enable);
  if (enable)
    Button->Enable();
  else
    Button->Disable();
}

Round_Button::Round_Button(TWindow* parent, int id, const TRect& rect, TWindow* target)
    : Owner_Drawn_Button(parent, id, rect, "Round Button", target) {
  const int s = Bevel(), w = rect.Width(), h = rect.Height();
  Inner_Rect = TRect(s - 1, s - 1, w - s, h - s);
  const int kx = int(double(Inner_Rect.Width() >> 1) * One_Minus_Root_Half);
  const int ky = int(double(Inner_Rect.Height() >> 1) * One_Minus_Root_Half);
  Content_Rect = TRect(Inner_Rect.left + kx + 1, Inner_Rect.top + ky + 1, Inner_Rect.right - kx - 1,
                       Inner_Rect.bottom - ky - 1);
}

void Round_Button::SetupWindow() {
  Owner_Drawn_Button::SetupWindow();
  Draw_Faces();
  Current_Face = Normal_Face.get();
  Make_Enabler(std::make_unique<Round_Button_Enabler>(GetId(), Target ? Target->GetHandle() : HWND(), this));
}

bool Round_Button::On_Button(const TPoint& point) const { return TRegion::Ellipse(Frame_Rect).Contains(point); }

void Round_Button::Draw_Faces() {
  const int s = Bevel();
  const TSize size(std::max(Frame_Rect.Width(), 1), std::max(Frame_Rect.Height(), 1));
  Normal_Face = std::make_unique<TBitmap>(size.cx, size.cy);
  Pressed_Face = std::make_unique<TBitmap>(size.cx, size.cy);
  for (int pressed = 0; pressed < 2; ++pressed) {
    Face_DC dc(pressed ? *Pressed_Face : *Normal_Face);
    dc.SelectStockObject(NULL_PEN);
    dc.SelectObject(*The_GUI_Colors->Scheme_Brush_0);
    dc.PatBlt(Frame_Rect, PATCOPY);
    The_Round_Border->Blit_Clipped(dc, Frame_Rect, s, pressed);  // raised, then sunken
    dc.Ellipse(pressed ? Inner_Rect.Offset_By(1, 1) : Inner_Rect);
  }
}

void Round_Button::Set_Picture(const TBitmap& picture, const char* tip, bool fit) {
  Set_Tip(tip);
  if (!Normal_Face) return;
  const TRect target = fit ? Content_Rect : Inner_Rect;
  TMemoryDC source(picture);
  const TRect whole(0, 0, picture.Width(), picture.Height());
  for (int pressed = 0; pressed < 2; ++pressed) {
    Face_DC dc(pressed ? *Pressed_Face : *Normal_Face);
    dc.SelectClipRgn(TRegion::Ellipse(Inner_Rect));
    dc.SetStretchBltMode(BLACKONWHITE);
    dc.StretchBlt(pressed ? target.Offset_By(1, 1) : target, source, whole);
  }
  Remake_Disabled_Face();
  Repaint();
}

void Round_Button::Set_Caption(const char* text) {
  if (!Normal_Face) return;
  const int w = Frame_Rect.Width(), h = Frame_Rect.Height();
  const int fh = h / 6;
  const TFont font("MS Sans Serif", fh, FW_BOLD);
  const std::vector<std::string> lines = Caption_Lines(text, Max_Caption_Lines);
  const int n = int(lines.size());
  const int lh = (fh * 5) / 4, y0 = (h - (n * fh * 5) / 4) / 2, x = w / 2;
  for (int pressed = 0; pressed < 2; ++pressed) {
    Face_DC dc(pressed ? *Pressed_Face : *Normal_Face);
    dc.SelectObject(font);
    dc.SetTextAlign(TA_CENTER | TA_TOP);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(The_GUI_Colors->Scheme[1]);
    dc.SelectObject(TBrush(The_GUI_Colors->Scheme[0]));
    dc.SelectClipRgn(TRegion::Ellipse(Inner_Rect.Offset_By(pressed, pressed)));
    dc.PatBlt(Frame_Rect, PATCOPY);
    for (int i = 0; i < n; ++i) dc.TextOut(x + pressed, y0 + pressed + i * lh, lines[size_t(i)]);
  }
  Remake_Disabled_Face();
  Repaint();
}

void Round_Button::Make_Disabled_Face() {
  Disabled_Face.reset();
  // The disc of the normal face on a plain background is greyed; the ring
  // keeps its raised look.
  TBitmap work(Normal_Face->Width(), Normal_Face->Height());
  {
    Face_DC dc(work);
    dc.SelectObject(*The_GUI_Colors->Scheme_Brush_0);
    dc.PatBlt(Frame_Rect, PATCOPY);
    dc.SelectClipRgn(TRegion::Ellipse(Inner_Rect));
    TMemoryDC normal(*Normal_Face);
    dc.BitBlt(Frame_Rect, normal, TPoint(0, 0));
  }
  const auto screen = GUI_Bitmaps::Screen_Reference();
  Disabled_Face = GUI_Bitmaps::Make_Disabled_Picture(*screen, work);
  Face_DC dc(*Disabled_Face);
  dc.SelectClipRgn(TRegion(Frame_Rect) - TRegion::Ellipse(Inner_Rect));
  The_Round_Border->Blit_Clipped(dc, Frame_Rect, Bevel(), 0);
}
