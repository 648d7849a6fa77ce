#include "gallery/recycling_bin_io.h"

#include <algorithm>

#include "gallery/drawing_collection.h"
#include "model/gui_colors.h"
#include "model/shape_drawing.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/memory_dc.h"
#include "platform/gdi/pen.h"
#include "toolkit/gui_metafiles.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/round_border.h"

namespace {

constexpr int Bin_Metafile = 10;

int32_t Miniature_Side() { return The_GUI_Sizes ? (*The_GUI_Sizes)[Drawing_Side_Size] / 6 : 76; }
int32_t Frame_Band() { return The_GUI_Sizes ? std::max((*The_GUI_Sizes)[24] - (*The_GUI_Sizes)[4], 1) : 3; }

}  // namespace

Recycling_Bin_IO::Geometry::Geometry(int32_t width, int32_t bottom, int32_t s) {
  const int32_t W = (9 * s) / 8;
  const int32_t H = 4 * ((2 * s / 3) / 4);
  const int32_t q = H / 4;
  const int32_t d = width - W - 3;
  front = {TPoint(0, bottom - H), TPoint(W, bottom - H), TPoint(W - q, bottom), TPoint(q, bottom)};
  for (size_t i = 0; i < 4; ++i) back[i] = TPoint(front[i].x + d, front[i].y - 2 * d);
  opening = TRect(0, 0, width, bottom - H);
  const int32_t left = (W - s) / 2, top = (bottom - H) - s / 2;
  slots[0] = TRect(left, top, left + s, top + s);
  // The four steps from the front slot to slot 4 together cover the bin's
  // depth, so the pile leans from the front edge to the back rim. (A whole
  // depth per step would carry the pile out of the point.) The step shrinks
  // further when the point is too short for the pile to rise that far.
  const int32_t rise_room = std::max(0, top - 4);
  const int32_t k = std::max(0, std::min(d, rise_room / 2)) / 4;
  for (size_t i = 1; i <= 4; ++i) slots[i] = slots[i - 1].Offset_By(k, -2 * k);
  for (size_t i = 5; i < Slot_Count; ++i) slots[i] = slots[i - 1].Offset_By(1, -2);
}

int Recycling_Bin_IO::Slot_Of(int32_t j, int32_t n) {
  const int32_t m = std::min<int32_t>(n, Slot_Count);
  if (j < 0 || j >= m) return -1;
  return std::max<int32_t>(0, 5 - m) + j;
}

Recycling_Bin_IO::Recycling_Bin_IO(Gallery_Window* gallery, const TRect& rect)
    : Gallery_IO_Point(gallery, Caption, Bin_Id, rect, Tip) {
  geometry = std::make_unique<Geometry>(area.Width(), area.Height(), Miniature_Side());
}

Recycling_Bin_IO::~Recycling_Bin_IO() = default;

void Recycling_Bin_IO::SetupWindow() {
  Gallery_IO_Point::SetupWindow();
  region = TRegion::Polygon(geometry->front.data(), 4, TFill_Rule::Alternate);
  drop_area = area.Offset_By(Attr.X, Attr.Y);
  if (area.IsEmpty()) return;
  clean_picture = std::make_unique<TBitmap>(area.Width(), area.Height());
  Draw_Bin();
  if (auto dc = Backdrop_DC()) {
    TMemoryDC clean(*clean_picture);
    dc->BitBlt(area, clean, TPoint(0, 0));
  }
}

// The empty bin: back wall, right side and the dark opening between the
// rims, then the front face with its picture.
void Recycling_Bin_IO::Draw_Bin() {
  TMemoryDC dc(*clean_picture);
  if (!The_GUI_Colors) return;
  dc.SelectPalette(*The_GUI_Colors->Palette, false);
  dc.RealizePalette();
  dc.SelectObject(*The_GUI_Colors->Scheme_Brush_1);
  dc.PatBlt(area, PATCOPY);
  const auto& f = geometry->front;
  const auto& b = geometry->back;
  dc.SelectObject(TPen(TColor(64, 64, 64), 1, PS_SOLID));
  auto quad = [&](TPoint p0, TPoint p1, TPoint p2, TPoint p3, TColor fill) {
    const TPoint p[4] = {p0, p1, p2, p3};
    dc.SelectObject(TBrush(fill));
    dc.Polygon(p, 4);
  };
  quad(b[0], b[1], b[2], b[3], TColor(150, 150, 150));  // back wall
  quad(f[1], b[1], b[2], f[2], TColor(128, 128, 128));  // right side
  quad(f[0], f[1], b[1], b[0], TColor(72, 72, 72));     // opening
  quad(f[0], f[1], f[2], f[3], TColor(192, 192, 192));  // front face
  if (The_GUI_Metafiles) {
    The_GUI_Metafiles->Ensure(Bin_Metafile);
    const int32_t q = (f[2].y - f[1].y) / 4;
    const TRect face(f[3].x + q / 2, f[0].y + q / 2, f[2].x - q / 2, f[2].y - q / 2);
    The_GUI_Metafiles->Play(Bin_Metafile, dc, face);
    The_GUI_Metafiles->Release(Bin_Metafile);
  }
}

void Recycling_Bin_IO::Redraw() {
  auto dc = Backdrop_DC();
  Drawing_Collection* store = Store();
  if (dc && clean_picture) {
    TMemoryDC clean(*clean_picture);
    dc->BitBlt(area, clean, TPoint(0, 0));
  }
  if (dc && store) {
    const int32_t n = store->Bin_Length();
    const int32_t m = std::min<int32_t>(n, Slot_Count);
    const TRegion opening(geometry->opening);
    // From the back of the pile to the front, so the front lies on top.
    for (int32_t j = m - 1; j >= 0; --j) {
      if (j == lifted) continue;
      Shape_Drawing* picture = store->Picture({Drawing_Place::Bin, j, 0}, Sixth_Picture_Size, 0, HWND());
      if (!picture) continue;
      const TRect& slot = geometry->slots[size_t(Slot_Of(j, n))];
      dc->SelectClipRgn(&opening);
      if (The_Round_Border) {
        const int32_t e = Frame_Band();
        The_Round_Border->Blit_Clipped(*dc, slot.Inflated_By(e, e).Offset_By(1, -1), e, 0);
      }
      const TRegion disc = opening & TRegion::Ellipse(slot);
      dc->SelectClipRgn(&disc);
      picture->Paint(*dc, slot);
      dc->SelectClipRgn(nullptr);
    }
  }
  Paint_Now();
}

void Recycling_Bin_IO::Accept_Drop(const Drawing_Place& source) {
  if (Drawing_Collection* store = Store()) {
    // The front drawing dropped back on the bin goes to the back: the pile turns.
    const bool front = source.kind == 2 && source.a == 0;
    store->Move(front ? Drawing_Place{2, -1, 0} : Drawing_Place{2, 0, 0}, source);
  }
  lifted = -1;
  Redraw();
}

void Recycling_Bin_IO::Given_Away() {
  lifted = -1;
  Redraw();
}

void Recycling_Bin_IO::Drag_Cancelled() {
  lifted = -1;
  Redraw();
}

bool Recycling_Bin_IO::Pick_Up(const TPoint& point, Drawing_Place& place, TRect& rectangle) {
  Drawing_Collection* store = Store();
  if (!store || !geometry->opening.Contains(point)) return false;
  const int32_t n = store->Bin_Length();
  const int32_t m = std::min<int32_t>(n, Slot_Count);
  // Front first: where discs overlap, the one on top is taken.
  for (int32_t i = 0; i < m; ++i) {
    const TRect& slot = geometry->slots[size_t(Slot_Of(i, n))];
    if (TRegion::Ellipse(slot).Contains(point)) {
      place = {2, i, 0};
      rectangle = slot;
      return true;
    }
  }
  return false;
}

void Recycling_Bin_IO::Show_Picked_Up(const Drawing_Place& place) {
  lifted = place.a;
  Redraw();
}
