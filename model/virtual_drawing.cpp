#include "model/virtual_drawing.h"

#include <algorithm>
#include <cmath>

#include "model/bit_masks.h"
#include "model/dib_allocator.h"
#include "model/float_equal.h"
#include "model/gui_colors.h"
#include "model/plane_geometry.h"
#include "model/raster_lines.h"
#include "model/notched_square.h"
#include "model/polygon.h"
#include "model/shape_drawing.h"
#include "model/transform_set_2d.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dib_dc.h"
#include "platform/gdi/pen.h"

std::atomic<uint32_t> Next_Serial{0};

namespace {

const Notched_Square& Outline_Square() {
  static const Notched_Square square;
  return square;
}

constexpr Point_2D Unit_Square_Corners[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
constexpr Circle_2D Overlap_Circle{0.5f, 0.5f, 0.70710677f};

float Abs_Determinant(const Affine_Transform_2D& m) {
  return std::fabs(float(double(m.eM11) * m.eM22 - double(m.eM12) * m.eM21));
}

bool Same_Coefficients(const Affine_Transform_2D& p, const Affine_Transform_2D& q) {
  return Float_Equal(p.eM11, q.eM11) && Float_Equal(p.eM12, q.eM12) && Float_Equal(p.eM21, q.eM21) &&
         Float_Equal(p.eM22, q.eM22) && Float_Equal(p.eDx, q.eDx) && Float_Equal(p.eDy, q.eDy);
}

// The identity, the half-turn about the centre and the reflections in the
// diagonals: maps under which repeated pieces appear.
bool Is_Centre_Symmetric(const Affine_Transform_2D& m) {
  if (!Float_Equal(m.eM11, m.eM22) || !Float_Equal(m.eM12, m.eM21)) return false;
  if (!Float_Equal(Abs_Determinant(m), 1.0f)) return false;
  const Point_2D centre = m.Map_Point(0.5f, 0.5f, 1);
  return Float_Equal(centre.x, 0.5f) && Float_Equal(centre.y, 0.5f);
}

bool Leaves_The_Area(const Affine_Transform_2D& m) {
  Point_2D corners[4];
  for (int i = 0; i < 4; ++i) corners[i] = m.Map_Point(Unit_Square_Corners[i].x, Unit_Square_Corners[i].y, 1);
  return !Circle_Overlaps_Polygon(corners, 4, Overlap_Circle);
}

}  // namespace

void Virtual_Drawing::Allocate(int32_t capacity) {
  Capacity = capacity;
  Entries.assign(size_t(capacity), Affine_Transform_2D());
  Removed_Mask.assign(size_t(capacity + 7) / 8, 0);
}

Virtual_Drawing::Virtual_Drawing(const TRect& frame, const Affine_Transform_2D& map)
    : Serial(Next_Serial.fetch_add(1)), Frame(frame) {
  Allocate(1);
  Entries[0] = map;
  Live_Count = 1;
  Cursor = 0;
  Update_Handle_Points();
}

Virtual_Drawing::Virtual_Drawing(const Virtual_Drawing& source, bool with_handles)
    : Serial(Next_Serial.fetch_add(1)), Frame(source.Frame) {
  if (source.Live_Count <= 0) return;
  Allocate(source.Live_Count);
  for (int32_t i = 0; i < source.Active_Count() && Live_Count < Capacity; ++i)
    if (source.Is_Live(i)) Entries[Live_Count++] = source.Entries[i];
  Cursor = Live_Count > 0 ? 0 : -1;
  if (with_handles) Update_Handle_Points();
}

Virtual_Drawing::Virtual_Drawing(const Virtual_Drawing& source, const Transform_Set_2D& maps)
    : Serial(Next_Serial.fetch_add(1)), Frame(source.Frame) {
  const int32_t n = maps.Count();
  const int32_t capacity = std::max(source.Live_Count, 0) * n;
  if (capacity == 0) return;
  Allocate(capacity);
  Live_Count = capacity;
  bool symmetric = false;
  for (int32_t k = 0; k < n && !symmetric; ++k)
    if (auto* m = dynamic_cast<const Affine_Transform_2D*>(maps.Map(k))) symmetric = Is_Centre_Symmetric(*m);
  int32_t w = 0;
  for (int32_t k = 0; k < n; ++k) {
    const auto* map = dynamic_cast<const Affine_Transform_2D*>(maps.Map(k));
    for (int32_t j = 0; j < source.Active_Count(); ++j) {
      if (!source.Is_Live(j)) continue;
      const Affine_Transform_2D candidate =
          map ? Compose_Transforms(source.Entries[j], *map) : source.Entries[j];
      bool drop = Leaves_The_Area(candidate);
      for (int32_t kept = w - 1; symmetric && !drop && kept >= 0; --kept)
        drop = Same_Coefficients(Entries[kept], candidate);
      if (drop) {
        --Live_Count;
      } else if (Abs_Determinant(candidate) < 0.01f || w >= Max_Live) {
        ++Set_Aside_Count;
        Entries[Capacity - Set_Aside_Count] = candidate;
        --Live_Count;
      } else {
        Entries[w++] = candidate;
      }
    }
  }
  Cursor = Live_Count > 0 ? 0 : -1;
  Update_Handle_Points();
}

bool Virtual_Drawing::Is_Live(int32_t index) const {
  return index >= 0 && index < Active_Count() && !(Removed_Mask[index >> 3] & Bit_Mask_8[index & 7]);
}

bool Virtual_Drawing::Same_As(const Virtual_Drawing& other) const {
  if (Live_Count != other.Live_Count) return false;
  for (int32_t i = 0; i < Active_Count(); ++i) {
    if (!Is_Live(i)) continue;
    bool found = false;
    for (int32_t j = 0; j < other.Active_Count() && !found; ++j)
      found = other.Is_Live(j) && Same_Coefficients(Entries[i], other.Entries[j]);
    if (!found) return false;
  }
  return true;
}

void Virtual_Drawing::Next_Entry() {
  if (Live_Count <= 0) {
    Cursor = -1;
    return;
  }
  const int32_t active = Active_Count();
  do {
    Cursor = Cursor + 1 >= active ? 0 : Cursor + 1;
  } while (!Is_Live(Cursor));
}

void Virtual_Drawing::Remove_Entry(int32_t index) {
  if (!Is_Live(index)) return;
  Removed_Mask[index >> 3] |= Bit_Mask_8[index & 7];
  --Live_Count;
  ++Removed_Count;
}

void Virtual_Drawing::Restore_Entry(int32_t index) {
  if (index < 0 || index >= Active_Count() || Is_Live(index)) return;
  Removed_Mask[index >> 3] &= Bit_Clear_Mask_8[index & 7];
  ++Live_Count;
  --Removed_Count;
}

TPoint Virtual_Drawing::Handle_Point(int32_t index) const {
  const Affine_Transform_2D placed = Compose_Transforms(Entries[index], Affine_Transform_2D(Frame));
  const Point_2D tip = Outline_Square().Vertices[4];
  return Point_To_Int_Clamped(placed.Map_Point(tip.x, tip.y, 1));
}

void Virtual_Drawing::Update_Handle_Points() {
  Handle_Points.resize(size_t(Active_Count()));
  for (int32_t i = 0; i < Active_Count(); ++i) Handle_Points[i] = Handle_Point(i);
}

TRect Virtual_Drawing::Entry_Box(int32_t index, TSize size) const {
  const TPoint h = index < int32_t(Handle_Points.size()) ? Handle_Points[index] : Handle_Point(index);
  const int left = h.x + ((-size.cx) >> 1), top = h.y + ((-size.cy) >> 1);
  return TRect(left, top, left + size.cx, top + size.cy);
}

int32_t Virtual_Drawing::Hit_Entry(TPoint point, TSize size) {
  if (Handle_Points.empty() && Active_Count() > 0) Update_Handle_Points();
  const int64_t r = int64_t(size.cx >> 1) * (size.cy >> 1);
  for (int32_t i = 0; i < Active_Count(); ++i) {
    if (!Is_Live(i)) continue;
    // In 64 bits: clamped far handles would overflow 32-bit squares.
    const int64_t dx = int64_t(point.x) - Handle_Points[i].x, dy = int64_t(point.y) - Handle_Points[i].y;
    if (dx * dx + dy * dy <= r) return i;
  }
  return -1;
}

void Virtual_Drawing::Draw(Shape_Drawing& picture, TSize handle_size) {
  uint8_t* bits = picture.Writable_Pixels();
  if (!bits) return;
  const int32_t w = picture.Width(), h = picture.Height();
  const int32_t side = The_DIB_Allocator ? The_DIB_Allocator->Size().cx : w;
  TRect frame = Frame;
  int32_t dash = 6;
  if (w != side && side > 0) {
    frame = TRect(Frame.left * w / side, Frame.top * h / side, Frame.right * w / side, Frame.bottom * h / side);
    dash = std::max(1, w * 6 / side);
  }
  std::vector<TPoint> points(size_t(std::max(w, h)) + 1);
  Pixels view;
  view.Attach(bits, int32_t(picture.Bitmap->Pitch()), picture.Bitmap->Height());
  const TRect inside(0, 0, std::min(w, int32_t(picture.Bitmap->Pitch())), std::min(h, picture.Bitmap->Height()));
  const Notched_Square& square = Outline_Square();
  for (int32_t i = 0; i < Active_Count(); ++i) {
    if (!Is_Live(i)) continue;
    TPoint p[7];
    square.Map_Vertices(Entries[i], frame, p);
    for (int e = 0; e < 7; ++e) {
      TPoint a = p[(e + 6) % 7], b = p[e];
      if (!Clip_Segment_To_Rect(a, b, inside, a, b)) continue;
      if (b.x < a.x || (b.x == a.x && b.y < a.y)) std::swap(a, b);
      int32_t n = 0;
      Line_Points(a, b, points.data(), n);
      const int32_t s = std::min(n, (dash >> 1) + 1);
      int32_t counter = dash - s;
      for (int32_t k = 0; k < n; ++k) {
        bool mark = k >= n - s;
        if (!mark) {
          mark = counter < dash;
          if (++counter == 2 * dash) counter = 0;
        }
        const TPoint q = points[k];
        if (mark && inside.Contains(q)) view.At(q.x, q.y) = Contrast_Table[view.At(q.x, q.y)];
      }
    }
  }
  if (handle_size.cx == 0) return;
  {
    if (Handle_Points.empty() && Active_Count() > 0) Update_Handle_Points();
    TDibDC dc(*picture.Bitmap);
    dc.SelectObject(*The_GUI_Colors->Palette);
    dc.RealizePalette();
    dc.SelectObject(TBrush(The_GUI_Colors->Scheme[2]));
    dc.SelectObject(TPen(The_GUI_Colors->Scheme[1], 1, PS_SOLID));
    dc.SetROP2(R2_COPYPEN);
    for (int32_t i = 0; i < Active_Count(); ++i)
      if (Is_Live(i)) dc.Ellipse(Entry_Box(i, handle_size));
  }
  picture.Blank = false;
}

void Virtual_Drawing::Draw_Set_Aside(Shape_Drawing& picture) {
  if (!picture.Writable_Pixels()) return;
  const TColor outline = The_GUI_Colors->Contrast_Color(picture.Background);
  TDibDC dc(*picture.Bitmap);
  dc.SelectObject(*The_GUI_Colors->Palette);
  dc.RealizePalette();
  dc.SelectStockObject(NULL_BRUSH);
  dc.SelectObject(TPen(outline, 1, PS_SOLID));
  for (int32_t i = 0; i < Set_Aside_Count; ++i)
    Outline_Square().Draw_Outline(dc, Entries[Capacity - 1 - i], Frame);
  picture.Blank = false;
}
