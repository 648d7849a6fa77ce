// TDC: pixels, rectangles, regions and flood fill.
#include <algorithm>

#include "platform/gdi/dc.h"
#include "platform/gdi/dc_painter.h"
#include "platform/gdi/flood_fill.h"
#include "platform/gdi/span_set.h"

namespace {

// A logical region in surface pixels: offset when the mapping only
// translates, otherwise each rectangle mapped on its own.
template <class Map>
TRegion Region_To_Surface(const TRegion& region, bool translate_only, TPoint shift, Map&& map_box) {
  if (translate_only) {
    TRegion moved = region;
    moved.Offset(shift.x, shift.y);
    return moved;
  }
  TRegion result;
  for (const TRect& r : region.Rects()) result |= TRegion(map_box(r));
  return result;
}

// The one-pixel border of r, each pixel once even when r is one pixel wide
// or high.
void Fill_Border(const TSpan_Filler& filler, const TRect& r) {
  filler.Fill_Rect({r.left, r.top, r.right, r.top + 1});
  if (r.Height() > 1) filler.Fill_Rect({r.left, r.bottom - 1, r.right, r.bottom});
  filler.Fill_Rect({r.left, r.top + 1, r.left + 1, r.bottom - 1});
  if (r.Width() > 1) filler.Fill_Rect({r.right - 1, r.top + 1, r.right, r.bottom - 1});
}

// Flood fill where pixels outside a clip that is not a rectangle bound the
// area: it searches a copy of the clip's bounds in which those pixels hold a
// value that stops the fill.
void Flood_Within_Clip(const TSurface& surface, const TClip_Bands& clip, TPoint seed, uint32_t value,
                       TFlood_Mode mode, TSpan_Set& area) {
  const TRect b = clip.Bounds();
  TSurface copy(b.Width(), b.Height(), 32, false);
  if (copy.Size_Bytes() == 0) return;
  const uint32_t outside = mode == TFlood_Mode::Surface ? value ^ 1 : value;
  for (int y = 0; y < copy.Height(); ++y) std::fill_n(copy.Row32(y), copy.Width(), outside);
  clip.Clip_Rect(b, [&](const TRect& part) {
    for (int y = part.top; y < part.bottom; ++y)
      for (int x = part.left; x < part.right; ++x) copy.Set_Pixel(x - b.left, y - b.top, surface.Pixel(x, y));
  });
  Flood_Fill(copy.View(), TPoint(seed.x - b.left, seed.y - b.top), value, mode, copy.Bounds(),
             [&](int y, int x0, int x1) { area.Add(y + b.top, x0 + b.left, x1 + b.left); });
}

}  // namespace

TColor TDC::SetPixel(TPoint point, TColor colour) {
  TDraw_Scope scope(*this);
  if (!scope) return CLR_INVALID;
  const TPoint p = To_Surface(point);
  if (!scope.Clip().Contains(p)) return CLR_INVALID;
  TSurface& surface = scope.Surface();
  surface.Set_Pixel(p.x, p.y, Surface_Value(surface, colour));
  return TColor::From_Xrgb(surface.Pixel_Xrgb(p.x, p.y));
}

TColor TDC::GetPixel(TPoint point) const {
  TDraw_Scope scope(*this);
  if (!scope) return CLR_INVALID;
  const TPoint p = To_Surface(point);
  if (!scope.Clip().Contains(p)) return CLR_INVALID;
  return TColor::From_Xrgb(scope.Surface().Pixel_Xrgb(p.x, p.y));
}

bool TDC::PatBlt(const TRect& rect, uint32_t rop) {
  const uint8_t table = Rop3_Table(rop);
  if (Rop3_Uses_Source(table)) return false;
  TDraw_Scope scope(*this);
  if (!scope) return binding_->Is_Valid();
  if (Rop3_Uses_Pattern(table) && state_.brush->style == BS_NULL) return true;
  const TDC_Painter painter(*this, scope.Surface());
  const TFill_Pattern fill = painter.Brush(*state_.brush, table);
  TSpan_Filler(scope.Surface(), scope.Clip(), fill).Fill_Rect(To_Surface_Box(rect));
  return true;
}

bool TDC::FillRect(const TRect& rect, const TBrush& brush) {
  TDraw_Scope scope(*this);
  if (!scope) return binding_->Is_Valid();
  if (brush.Is_Null()) return true;
  const TDC_Painter painter(*this, scope.Surface());
  const TFill_Pattern fill = painter.Brush(*brush.Data(), Rop3_Table(PATCOPY));
  TSpan_Filler(scope.Surface(), scope.Clip(), fill).Fill_Rect(To_Surface_Box(rect));
  return true;
}

bool TDC::FrameRect(const TRect& rect, const TBrush& brush) {
  TDraw_Scope scope(*this);
  if (!scope) return binding_->Is_Valid();
  const TRect r = To_Surface_Box(rect);
  if (brush.Is_Null() || r.IsEmpty()) return true;
  const TDC_Painter painter(*this, scope.Surface());
  const TFill_Pattern fill = painter.Brush(*brush.Data(), Rop3_Table(PATCOPY));
  const TSpan_Filler filler(scope.Surface(), scope.Clip(), fill);
  Fill_Border(filler, r);
  return true;
}

bool TDC::InvertRect(const TRect& rect) {
  TDraw_Scope scope(*this);
  if (!scope) return binding_->Is_Valid();
  const TDC_Painter painter(*this, scope.Surface());
  const TFill_Pattern fill = painter.Solid(TColor::Black, Rop3_Table(DSTINVERT));
  TSpan_Filler(scope.Surface(), scope.Clip(), fill).Fill_Rect(To_Surface_Box(rect));
  return true;
}

// Inverts every other pixel of the rectangle's border, starting at its top
// left corner, so that drawing it twice leaves nothing.
bool TDC::DrawFocusRect(const TRect& rect) {
  TDraw_Scope scope(*this);
  if (!scope) return binding_->Is_Valid();
  const TRect r = To_Surface_Box(rect);
  if (r.IsEmpty()) return true;
  const uint32_t mask = TSpan_Filler::Value_Mask(scope.Surface().Bits_Per_Pixel());
  TFill_Pattern fill;
  fill.solid = false;
  fill.origin_x = r.left;
  fill.origin_y = r.top;
  for (int i = 0; i < 64; ++i)
    fill.masks[i] = ((i % 8 + i / 8) % 2 == 0) ? TFill_Masks{mask, mask} : TFill_Masks{mask, 0};
  const TSpan_Filler filler(scope.Surface(), scope.Clip(), fill);
  Fill_Border(filler, r);
  return true;
}

bool TDC::Fill_Region_With(const TRegion& region, const TBrush::TData& brush, uint8_t table) {
  TDraw_Scope scope(*this);
  if (!scope) return binding_->Is_Valid();
  if (brush.style == BS_NULL && Rop3_Uses_Pattern(table)) return true;
  const TPoint o = binding_->Origin();
  const bool translate_only =
      state_.map_mode == MM_TEXT || (state_.window_ext == state_.viewport_ext);
  const TPoint shift(To_Device(TPoint()).x + o.x, To_Device(TPoint()).y + o.y);
  const TRegion area = Region_To_Surface(region, translate_only, shift,
                                         [this](const TRect& r) { return To_Surface_Box(r); });
  const TDC_Painter painter(*this, scope.Surface());
  const TFill_Pattern fill = painter.Brush(brush, table);
  const TSpan_Filler filler(scope.Surface(), scope.Clip(), fill);
  for (const TRect& r : area.Rects()) filler.Fill_Rect(r);
  return true;
}

bool TDC::FillRgn(const TRegion& region, const TBrush& brush) {
  return Fill_Region_With(region, *brush.Data(), Rop2_As_Rop3(state_.rop2));
}

bool TDC::PaintRgn(const TRegion& region) {
  const auto brush = state_.brush;  // kept alive for the call
  return Fill_Region_With(region, *brush, Rop2_As_Rop3(state_.rop2));
}

bool TDC::InvertRgn(const TRegion& region) {
  return Fill_Region_With(region, *TBrush::Stock(BLACK_BRUSH).Data(), Rop3_Table(DSTINVERT));
}

// The band of the region within size.cx pixels of its left and right edges
// and size.cy of its top and bottom edges.
bool TDC::FrameRgn(const TRegion& region, const TBrush& brush, TSize size) {
  TRegion inner = region;
  for (int i = 1; i <= std::max(size.cx, 0); ++i)
    for (int dx : {i, -i}) {
      TRegion moved = region;
      moved.Offset(dx, 0);
      inner &= moved;
    }
  for (int i = 1; i <= std::max(size.cy, 0); ++i)
    for (int dy : {i, -i}) {
      TRegion moved = region;
      moved.Offset(0, dy);
      inner &= moved;
    }
  TRegion frame = region;
  frame -= inner;
  return Fill_Region_With(frame, *brush.Data(), Rop2_As_Rop3(state_.rop2));
}

// Finds the area first and paints it afterwards, so the search never reads
// pixels it has painted. A surface fill with the colour the area already has
// ends at once: painting would change nothing.
bool TDC::ExtFloodFill(TPoint point, TColor colour, int mode) {
  TDraw_Scope scope(*this);
  if (!scope) return false;
  TSurface& surface = scope.Surface();
  const TClip_Bands& clip = scope.Clip();
  const TPoint seed = To_Surface(point);
  if (!clip.Contains(seed)) return false;
  const uint32_t value = Surface_Value(surface, colour);
  const uint32_t at_seed = surface.Pixel(seed.x, seed.y);
  const TFlood_Mode flood = mode == FLOODFILLSURFACE ? TFlood_Mode::Surface : TFlood_Mode::Border;
  if (flood == TFlood_Mode::Surface ? at_seed != value : at_seed == value) return false;
  const TBrush::TData& brush = *state_.brush;
  if (brush.style == BS_NULL) return true;
  const TDC_Painter painter(*this, surface);
  const uint8_t table = painter.Mix_Table();
  const TFill_Pattern fill = painter.Brush(brush, table);
  if (flood == TFlood_Mode::Surface && fill.solid && fill.masks[0].and_mask == 0 && fill.masks[0].xor_mask == value)
    return true;
  TSpan_Set area;
  if (clip.Is_Rect()) {
    Flood_Fill(surface.View(), seed, value, flood, clip.Bounds(), area.Adder());
  } else {
    Flood_Within_Clip(surface, clip, seed, value, flood, area);
  }
  area.Finish();
  area.For_Each(TSpan_Filler(surface, clip, fill).Sink());
  return true;
}
