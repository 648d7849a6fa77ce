#include "toolkit/drawn_pictures.h"

#include <cmath>
#include <numbers>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "model/gui_colors.h"
#include "model/shape.h"
#include "model/shape_catalogue.h"
#include "platform/gdi/memory_dc.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_metafiles.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/small_utilities.h"

namespace {

constexpr TColor Pure_Blue(0, 0, 255);
constexpr TColor Pure_Yellow(255, 255, 0);

TColor Scheme(int index) { return The_GUI_Colors->Scheme[size_t(index)]; }
TBrush Scheme_Brush(int index) { return TBrush(Scheme(index)); }
TPen Scheme_Pen(int index) { return TPen(Scheme(index), 1, PS_SOLID); }
TPen Round_Pen(TColor colour, int width) { return TPen(PS_GEOMETRIC | PS_SOLID, width, TLog_Brush{BS_SOLID, colour, 0}); }

// The corner margin of picture buttons.
int Margin() { return The_GUI_Sizes ? (*The_GUI_Sizes)[29] : 2; }
int Size_Of(GUI_Size_Index index, int fallback) { return The_GUI_Sizes ? (*The_GUI_Sizes)[index] : fallback; }

TRect Shrunk(const TRect& r, int by) { return TRect(r.left + by, r.top + by, r.right - by, r.bottom - by); }

// The drawing context of one picture: a memory context on the bitmap with
// the scheme palette, the background painted with brush.
class Canvas : public TMemoryDC {
 public:
  Canvas(const TDC& reference, TBitmap& bitmap) : TMemoryDC(reference) {
    SelectObject(bitmap);
    SelectObject(*The_GUI_Colors->Palette);
    RealizePalette();
  }
  Canvas(const TDC& reference, TBitmap& bitmap, const TBrush& background) : Canvas(reference, bitmap) {
    SelectObject(background);
    PatBlt(TRect(0, 0, bitmap.Width(), bitmap.Height()), PATCOPY);
  }
  void Text(TPoint top_centre, const std::string& text, const char* face, int height, int weight, TColor colour) {
    SelectObject(TFont(face, height, weight));
    SetTextColor(colour);
    SetBkMode(TRANSPARENT);
    SetTextAlign(TA_CENTER | TA_TOP);
    TextOut(top_centre, text);
  }
};

TBrush White_Brush() { return TBrush::Stock(WHITE_BRUSH); }

// Plays a metafile slot over the whole picture and gives the slot back.
void Play_Whole(TDC& dc, int slot, TSize size) {
  if (!The_GUI_Metafiles) return;
  The_GUI_Metafiles->Ensure(slot);
  The_GUI_Metafiles->Play(slot, dc, TRect(0, 0, size.cx, size.cy));
  The_GUI_Metafiles->Release(slot);
}

// The notched square and the arrowhead that points down onto the middle of
// its top edge, as the loop arrows end.
void Square_With_Arrowhead(TDC& dc, const TRect& square, int w) {
  dc.SelectObject(Scheme_Brush(6));
  dc.SelectObject(Scheme_Pen(3));
  Notched_Square().Paint(dc, square);
  const TPoint a((square.left + square.right) / 2, square.top - w);
  dc.SelectObject(Scheme_Brush(0));
  dc.PatBlt(TRect(a.x - 3 * w, a.y - 2 * w, a.x + 3 * w, a.y), PATCOPY);
  dc.SelectObject(Scheme_Brush(6));
  dc.SelectStockObject(NULL_PEN);
  const TPoint head[3] = {a, TPoint(a.x - 2 * w, a.y - 2 * w), TPoint(a.x + 2 * w, a.y - 2 * w)};
  dc.Polygon(head, 3);
}

// The pseudo-random sequence of the runtime library the pictures were
// designed with, from its default seed, so every run draws the same dots.
class Picture_Random {
 public:
  int Next() {
    state_ = state_ * 214013u + 2531011u;
    return int(state_ >> 16 & 0x7FFF);
  }

 private:
  uint32_t state_ = 1;
};

}  // namespace

Drawn_Picture::Drawn_Picture(const TDC& reference, TSize size)
    : TBitmap(reference, size.cx, size.cy) {}

void Draw_Check_Mark(TDC& dc, TPoint p, int u) {
  dc.SelectObject(Round_Pen(Scheme(23), u));
  const TPoint tick[3] = {TPoint(p.x - 3 * u, p.y), TPoint(p.x - u, p.y + 3 * u), TPoint(p.x + 3 * u, p.y - 3 * u)};
  dc.Polyline(tick, 3);
}

void Draw_Cross_Mark(TDC& dc, TPoint p, int u) {
  dc.SelectObject(Round_Pen(Scheme(20), u));
  const TRect box(p.x - 2 * u, p.y - 3 * u, p.x + 2 * u, p.y + 3 * u);
  dc.MoveTo(box.left, box.bottom);
  dc.LineTo(box.right, box.top);
  dc.MoveTo(box.right, box.bottom);
  dc.LineTo(box.left, box.top);
}

// ---- Pointer pictures -----------------------------------------------------------

Fill_Crayon::Fill_Crayon(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  Canvas dc(reference, *this, White_Brush());
  Play_Whole(dc, 2, size);
}

Fill_Mask::Fill_Mask(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  TBitmap crayon(reference, size.cx, size.cy);
  {
    Canvas dc(reference, crayon, White_Brush());
    Play_Whole(dc, 2, size);
    // The white round the crayon turns blue from every corner; a corner the
    // crayon covers starts on its colour and fills nothing.
    dc.SelectObject(TBrush(Pure_Blue));
    const TPoint corners[4] = {TPoint(0, 0), TPoint(size.cx - 1, 0), TPoint(0, size.cy - 1),
                               TPoint(size.cx - 1, size.cy - 1)};
    for (const TPoint& corner : corners) dc.ExtFloodFill(corner, TColor::White, FLOODFILLSURFACE);
  }
  GUI_Bitmaps::Blit_Two_Color(reference, crayon, *this, Pure_Blue);
}

// ---- Corner pictures of the drawing and review windows ---------------------------

Iterate_Button::Iterate_Button(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  const int cx = size.cx, cy = size.cy, m = Margin();
  Canvas dc(reference, *this, Scheme_Brush(0));
  const TRect r = Shrunk(TRect(15 * cx / 32, 0, cx, 21 * cy / 32), m);
  const int s = 3 * cy / 8;
  const int y0 = r.top + (r.Height() - s) / 2;
  Square_Rect = TRect(r.right - s, y0, r.right, y0 + s);
  int w = r.Width() / 16;
  if (w < 3) w = 2;
  const TRect e(r.left, r.top, r.right - (9 * s / 32 - w), r.bottom);
  dc.SelectObject(TPen(Scheme(1), w, PS_SOLID));
  dc.Ellipse(e);
  dc.PatBlt(Shrunk(Square_Rect, -m), PATCOPY);
  Square_With_Arrowhead(dc, Square_Rect, w);
}

Stop_Iterate_Button::Stop_Iterate_Button(const TDC& reference, TSize size) : Iterate_Button(reference, size) {
  Canvas dc(reference, *this);
  dc.SelectObject(Scheme_Brush(0));
  dc.PatBlt(Square_Rect, PATCOPY);
  int pen_width = Square_Rect.Width() / 16;
  if (pen_width < 2) pen_width = 1;
  dc.SelectObject(TPen(TColor::White, pen_width, PS_SOLID));
  dc.SelectObject(Scheme_Brush(20));
  // A wide pen straddles the outline: keep the sign inside the square, so
  // the picture round it stays the iterate picture.
  dc.IntersectClipRect(Square_Rect);
  Octagon().Paint(dc, Square_Rect);
  dc.RemoveClipRgn();
  const int height = (3 * Square_Rect.Height() / 8) & ~1;
  const TPoint centre((Square_Rect.left + Square_Rect.right) / 2, (Square_Rect.top + Square_Rect.bottom) / 2);
  dc.Text(TPoint(centre.x, centre.y - height / 2), "STOP", "Arial", height, FW_BOLD, TColor::White);
}

Review_Button::Review_Button(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  const int cx = size.cx, cy = size.cy, m = Margin();
  Canvas dc(reference, *this, Scheme_Brush(0));
  int w = (5 * cx / 8) / 12;
  if (w < 4) w = 3;
  const TRect box = TRect(0, 0, 5 * cx / 8, 5 * cy / 8).Offset_By(-3 * cx / 32, w + 2 * m);
  const TPoint k((box.left + box.right) / 2, (box.top + box.bottom) / 2);
  dc.SelectObject(Scheme_Brush(1));
  dc.SelectObject(Scheme_Pen(1));
  dc.Ellipse(TRect(k.x - w / 2, k.y - w / 2, k.x - w / 2 + w, k.y - w / 2 + w));
  // The radius grows in floating point, so a small picture still opens out
  // to half the box's width.
  const double growth = double(5 * cx / 8) / 180.0;
  std::vector<TPoint> points;
  points.emplace_back(k.x + w / 2, k.y);
  double r = 0;
  for (int step = 1; step <= 90; ++step) {
    const double a = step * std::numbers::pi / 30.0;
    points.emplace_back(int(k.x + r * std::sin(a)), int(k.y + r * std::cos(a)));
    r += growth;
  }
  dc.SelectObject(Round_Pen(Scheme(1), w));
  dc.Polyline(points.data(), int(points.size()));
  const TPoint l = points.back();
  dc.SelectStockObject(NULL_PEN);
  const TPoint head[3] = {TPoint(l.x - 2 * w, l.y), TPoint(l.x, l.y - 2 * w), TPoint(l.x, l.y + 2 * w)};
  dc.Polygon(head, 3);
}

Clear_Button::Clear_Button(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  const int cx = size.cx, cy = size.cy, m = Margin();
  Canvas dc(reference, *this, Scheme_Brush(0));
  // A wand in the lower left quarter: the handle rises from the corner to a
  // round tip, and a white sweep of sparkles fans out above and right of it.
  const TPoint tip(5 * cx / 16, 11 * cy / 16);
  const int reach = 7 * cy / 16;
  const TRect outer(tip.x - reach, tip.y - reach, tip.x + reach, tip.y + reach);
  const TRect inner(tip.x - reach, tip.y - reach / 3, tip.x + reach / 3, tip.y + reach);
  const TPoint wedge[3] = {tip, TPoint(tip.x + reach + 1, tip.y - reach / 5), TPoint(tip.x + reach / 5, tip.y - reach - 1)};
  const TRegion sweep = (TRegion::Ellipse(outer) - TRegion::Ellipse(inner)) &
                        TRegion::Polygon(wedge, 3, TFill_Rule::Alternate) & TRegion(TRect(0, 0, cx, cy));
  dc.SelectObject(White_Brush());
  dc.PaintRgn(sweep);
  dc.SelectClipRgn(sweep);
  Picture_Random random;
  const int spread = reach > 0 ? reach : 1;
  for (int i = 0; i < 150; ++i) {
    const int dx = random.Next() % spread;
    const int dy = random.Next() % spread;
    dc.SetPixel(tip.x + dx, tip.y - dy, Scheme(4));
    dc.SetPixel(tip.x + dx, tip.y - dy + 1, Scheme(4));
  }
  dc.RemoveClipRgn();
  dc.SelectObject(TPen(Scheme(4), 1, PS_SOLID));
  for (int i = 1; i <= 3; ++i) {
    const int shrink = i * reach / 5;
    const TRect arc_box = Shrunk(outer, shrink + reach / 8);
    dc.Arc(arc_box, TPoint(arc_box.right, tip.y - (4 - i) * reach / 10), TPoint(tip.x + (4 - i) * reach / 10, arc_box.top));
  }
  int handle = cx / 32;
  if (handle < 3) handle = 2;
  dc.SelectObject(TPen(Scheme(1), handle, PS_SOLID));
  dc.MoveTo(m + handle, cy - m - handle);
  dc.LineTo(tip);
  const int t = handle + 2;
  dc.SelectObject(Scheme_Brush(1));
  dc.SelectObject(Scheme_Pen(1));
  dc.Ellipse(TRect(tip.x - t, tip.y - t, tip.x + t + 1, tip.y + t + 1));
}

Undo_Button::Undo_Button(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  const int cx = size.cx, cy = size.cy, m = Margin();
  Canvas dc(reference, *this, Scheme_Brush(0));
  const TRect r = Shrunk(TRect(11 * cx / 32, 3 * cy / 8, cx, cy), m);
  const int s = 5 * r.Height() / 8;
  const TRect square(r.left, r.bottom - s, r.left + s, r.bottom);
  int w = s / 12;
  if (w < 3) w = 2;
  const TRect ring(r.left + 13 * s / 32, r.top, r.right - s / 6, r.bottom);
  dc.SelectObject(TPen(Scheme(1), w, PS_SOLID));
  dc.Ellipse(ring);
  // Keep only the arch over the square.
  dc.PatBlt(TRect(r.left, square.top - w, r.right, r.bottom + m), PATCOPY);
  Square_With_Arrowhead(dc, square, w);
}

Forward_Button::Forward_Button(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  const int m = Margin();
  Canvas dc(reference, *this, Scheme_Brush(0));
  dc.SelectObject(Scheme_Brush(1));
  dc.SelectStockObject(NULL_PEN);
  Draw_Arrow_Glyph(dc, TRect(size.cx / 2, m, size.cx - m, size.cy / 2), Arrow_Right);
}

Reverse_Button::Reverse_Button(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  const int m = Margin();
  Canvas dc(reference, *this, Scheme_Brush(0));
  dc.SelectObject(Scheme_Brush(1));
  dc.SelectStockObject(NULL_PEN);
  Draw_Arrow_Glyph(dc, TRect(m, m, size.cx / 2, size.cy / 2), Arrow_Left);
}

namespace {

// The notched square of side 3cy/8 centred at c with a plus or a minus.
void Sign_Square(TDC& dc, TSize size, TPoint c, bool plus) {
  const int side = 3 * size.cy / 8;
  const TRect square(c.x - side / 2, c.y - side / 2, c.x - side / 2 + side, c.y - side / 2 + side);
  dc.SelectObject(Scheme_Brush(6));
  dc.SelectObject(Scheme_Pen(3));
  Notched_Square().Paint(dc, square);
  int stroke = side / 8;
  if (stroke < 1) stroke = 1;
  dc.SelectObject(Round_Pen(Scheme(1), stroke));
  const int reach = side / 4;
  dc.MoveTo(c.x - reach, c.y);
  dc.LineTo(c.x + reach, c.y);
  if (plus) {
    dc.MoveTo(c.x, c.y - reach);
    dc.LineTo(c.x, c.y + reach);
  }
}

}  // namespace

Add_Button::Add_Button(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  Canvas dc(reference, *this, Scheme_Brush(0));
  Sign_Square(dc, size, TPoint(size.cx / 4, size.cy / 4), true);
}

Remove_Button::Remove_Button(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  Canvas dc(reference, *this, Scheme_Brush(0));
  Sign_Square(dc, size, TPoint(3 * size.cx / 4, size.cy / 4), false);
}

OK_Corner_Button::OK_Corner_Button(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  Canvas dc(reference, *this, Scheme_Brush(0));
  Draw_Check_Mark(dc, TPoint(size.cx / 4, 3 * size.cy / 4), size.cy / 15);
}

Cancel_Corner_Button::Cancel_Corner_Button(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  Canvas dc(reference, *this, Scheme_Brush(0));
  Draw_Cross_Mark(dc, TPoint(3 * size.cx / 4, 3 * size.cy / 4), size.cy / 15);
}

// ---- Round and rectangular buttons -------------------------------------------------

OK_Button::OK_Button(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  Canvas dc(reference, *this, Scheme_Brush(0));
  Draw_Check_Mark(dc, TPoint(size.cx / 2, size.cy / 2), size.cy / 8);
}

Cancel_Button::Cancel_Button(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  Canvas dc(reference, *this, Scheme_Brush(0));
  Draw_Cross_Mark(dc, TPoint(size.cx / 2, size.cy / 2), size.cy / 8);
}

Help_Button::Help_Button(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  Canvas dc(reference, *this, Scheme_Brush(0));
  const int height = size.cy - 2;
  dc.Text(TPoint(size.cx / 2, size.cy / 2 - height / 2), "?", "Arial Rounded MT Bold", height, FW_NORMAL, Scheme(22));
}

Level_Button::Level_Button(const TDC& reference, TSize size, const char* label, int level)
    : Drawn_Picture(reference, size) {
  const int m = Margin();
  Canvas dc(reference, *this, Scheme_Brush(0));
  const int x0 = m, y0 = m, x1 = size.cx - m, y1 = size.cy - m;
  const int sw = (x1 - x0) / 5, sh = (y1 - y0) / 6;
  dc.SelectObject(Scheme_Brush(1));
  dc.SelectObject(Scheme_Pen(1));
  for (int i = 0; i <= 4; ++i) dc.Rectangle(x0 + i * sw, y1 - (i + 1) * sh, x1, y1);
  // Step 4 is the top step: nothing stands on it.
  if (!label || level < 0 || level > 3) return;
  TPoint q(x0 + (level + 1) * sw - 1, y1 - (level + 1) * sh - 2 * sh);
  const int fh = 2 * sh;
  if (label[0] == '\0' || fh < 8) {
    dc.Ellipse(TRect(q.x - sh, q.y + sh - 1, q.x, q.y + 2 * sh - 1));
    return;
  }
  if (fh < 10) q.y -= 1;
  if (label[0] >= 'a' && label[0] <= 'z') q.y -= 1;
  dc.SelectObject(TFont("MS Serif", fh, FW_NORMAL));
  dc.SetTextColor(Scheme(1));
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextAlign(TA_RIGHT | TA_TOP);
  dc.TextOut(q, std::string_view(label, 1));
}

// ---- Metafile pictures -----------------------------------------------------------------

Album::Album(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  {
    Canvas dc(reference, *this, White_Brush());
    Play_Whole(dc, 3, size);
  }
  GUI_Bitmaps::Blit_Recolor(reference, *this, Pure_Yellow, Scheme(11));
  GUI_Bitmaps::Blit_Recolor(reference, *this, TColor::Black, Scheme(1));
}

Camera::Camera(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  Canvas dc(reference, *this, TBrush(Pure_Blue));
  Play_Whole(dc, 4, size);
}

Camera_Case::Camera_Case(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  {
      Canvas dc(reference, *this, TBrush(Pure_Blue));
    Play_Whole(dc, 5, size);
  }
  GUI_Bitmaps::Blit_Recolor(reference, *this, Pure_Blue, Scheme(0));
}

Camera_Flashing::Camera_Flashing(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  Canvas dc(reference, *this, TBrush(Pure_Blue));
  Play_Whole(dc, 6, size);
}

Gallery::Gallery(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  {
    Canvas dc(reference, *this, Scheme_Brush(0));
    Play_Whole(dc, 7, size);
  }
  GUI_Bitmaps::Blit_Recolor(reference, *this, TColor::Black, Scheme(1));
}

// ---- Other pictures ----------------------------------------------------------------------

Construction_Sign::Construction_Sign(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  const int cx = size.cx, cy = size.cy;
  Canvas dc(reference, *this, Scheme_Brush(0));
  const TPoint diamond[4] = {TPoint(0, cy / 2), TPoint(cx / 2, cy - 1), TPoint(cx - 1, cy / 2), TPoint(cx / 2, 0)};
  dc.SelectObject(Scheme_Brush(21));
  dc.SelectStockObject(NULL_PEN);
  dc.Polygon(diamond, 4);
  const TPoint inner[4] = {TPoint(4, cy / 2), TPoint(cx / 2, cy - 1 - 4), TPoint(cx - 1 - 4, cy / 2), TPoint(cx / 2, 4)};
  dc.SelectObject(TPen(TColor::Black, 2, PS_SOLID));
  dc.SelectStockObject(NULL_BRUSH);
  dc.Polygon(inner, 4);
  const int height = cy / 5;
  dc.Text(TPoint(cx / 2, cy / 2), "WORK", "Arial", height, FW_NORMAL, TColor::Black);
  dc.Text(TPoint(cx / 2, cy / 2 - 5 * height / 4), "AT", "Arial", height, FW_NORMAL, TColor::Black);
}

Challenge::Challenge(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  Canvas dc(reference, *this, Scheme_Brush(0));
  const TRect b = Shrunk(TRect(0, 0, size.cx, size.cy), Size_Of(24, 3));
  const int w = b.Width(), h = b.Height();
  auto at = [&](int fx, int fy) { return TPoint(b.left + w * fx / 100, b.top + h * fy / 100); };
  // A triangle, a circle standing behind a four-sided shape, and the part
  // of the triangle inside the circle shaded: three shapes to match.
  const TPoint triangle[3] = {at(2, 92), at(30, 8), at(62, 92)};
  const TRect circle(at(30, 18).x, at(30, 18).y, at(84, 18).x, at(30, 18).y + (at(84, 18).x - at(30, 18).x));
  const TPoint quad[4] = {at(56, 60), at(94, 50), at(98, 96), at(50, 96)};
  dc.SelectObject(Scheme_Brush(1));
  dc.SelectStockObject(NULL_PEN);
  dc.Polygon(triangle, 3);
  const auto checker = GUI_Bitmaps::Make_Checker_Bitmap(dc, TColor(128, 128, 128), Scheme(0));
  const TRegion shaded = TRegion::Polygon(triangle, 3, TFill_Rule::Alternate) & TRegion::Ellipse(circle);
  dc.FillRgn(shaded, TBrush(*checker));
  const TRegion quad_area = TRegion::Polygon(quad, 4, TFill_Rule::Alternate);
  dc.SelectClipRgn(TRegion(TRect(0, 0, size.cx, size.cy)) - quad_area);
  dc.SelectObject(Scheme_Pen(1));
  dc.SelectStockObject(NULL_BRUSH);
  dc.Ellipse(circle);
  dc.RemoveClipRgn();
  dc.SelectObject(TPen(TColor::White, 3, PS_SOLID));
  dc.SelectObject(White_Brush());
  dc.Polygon(quad, 4);
  dc.SelectObject(Scheme_Brush(1));
  dc.SelectStockObject(NULL_PEN);
  dc.Polygon(quad, 4);
}

Clean_Eraser::Clean_Eraser(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  Canvas dc(reference, *this, Scheme_Brush(0));
  // From the dark outside in to the light top: single shades alternating
  // with half-tones between two shades, one brush per ring.
  std::vector<TBrush> brushes;
  std::vector<std::unique_ptr<TBitmap>> patterns;
  auto half_tone = [&](int a, int b) {
    patterns.push_back(GUI_Bitmaps::Make_Checker_Bitmap(dc, Scheme(a), Scheme(b)));
    brushes.emplace_back(*patterns.back());
  };
  brushes.push_back(Scheme_Brush(16));
  half_tone(16, 15);
  brushes.push_back(Scheme_Brush(15));
  half_tone(15, 12);
  brushes.push_back(Scheme_Brush(12));
  half_tone(13, 12);
  brushes.push_back(Scheme_Brush(13));
  half_tone(14, 13);
  brushes.push_back(Scheme_Brush(14));
  const int m = Margin();
  TRect ring(m, m, size.cx - m, size.cy - m);
  const int step = std::max(1, std::min(ring.Width(), ring.Height()) / 22);
  dc.SelectStockObject(NULL_PEN);
  for (size_t i = 0; i < brushes.size() && !ring.IsEmpty(); ++i) {
    const int corner = std::max(2, std::min(ring.Width(), ring.Height()) / 3);
    dc.SelectObject(brushes[i]);
    dc.RoundRect(ring, TPoint(corner, corner));
    // The top face is lit: rings move in less at the top and left.
    ring = TRect(ring.left + step, ring.top + step, ring.right - 2 * step, ring.bottom - 2 * step);
  }
}

Eraser_Smudge::Eraser_Smudge(const TDC& reference, TSize size, int variant) : Drawn_Picture(reference, size) {
  const int cx = size.cx, cy = size.cy, m = Margin();
  Canvas dc(reference, *this, White_Brush());
  const auto smudge = GUI_Bitmaps::Load_Resource_Bitmap(variant == 1 ? 4103 : 4104);
  if (!smudge) return;
  int k = cx / 4;
  if (k < 3) k = 3;
  const TRect strip(cx - k + m, 4 * m, cx - m, cy - 4 * m);
  TMemoryDC source(reference);
  source.SelectObject(*smudge);
  dc.SetStretchBltMode(BLACKONWHITE);
  dc.StretchBlt(strip, source, TRect(0, 0, smudge->Width(), smudge->Height()), SRCCOPY);
}

Curtain::Curtain(const TDC& reference, TSize size) : Drawn_Picture(reference, size) {
  Canvas dc(reference, *this);
  if (const auto curtain = GUI_Bitmaps::Load_Resource_Bitmap(4125)) {
    TMemoryDC source(reference);
    source.SelectObject(*curtain);
    dc.SetStretchBltMode(COLORONCOLOR);
    dc.StretchBlt(TRect(0, 0, size.cx, size.cy), source, TRect(0, 0, curtain->Width(), curtain->Height()), SRCCOPY);
  }
  const int height = size.cy / 2;
  dc.Text(TPoint(size.cx / 2, size.cy / 2 - height / 2), "Show", "Arial", height, FW_NORMAL, Scheme(0));
}
