// TDC: construction, selected objects, attributes, mapping, the state stack
// and clipping. The drawing calls live in dc_shapes.cpp, dc_areas.cpp,
// dc_blit.cpp and dc_text.cpp.
#include "platform/gdi/dc.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>

namespace {

std::atomic<bool> generic_raster_ops{false};

// a * b / c rounded to the nearest integer, halves away from zero.
int Mul_Div(int a, int b, int c) {
  if (c == 0) return 0;
  const int64_t n = int64_t(a) * b;
  int64_t q = (2 * std::llabs(n) + std::llabs(int64_t(c))) / (2 * std::llabs(int64_t(c)));
  if ((n < 0) != (c < 0)) q = -q;
  return int(std::clamp<int64_t>(q, INT32_MIN, INT32_MAX));
}

}  // namespace

void TDC::Use_Generic_Raster_Ops_For_Tests(bool generic) { generic_raster_ops = generic; }
bool TDC::Generic_Raster_Ops() { return generic_raster_ops; }

TDC::TDC(std::shared_ptr<TDevice_Binding> binding, const TRegion* update_region, bool screen)
    : binding_(std::move(binding)), screen_(screen) {
  if (update_region) update_region_ = *update_region;
  state_.pen = TPen::Stock(BLACK_PEN).Data();
  state_.brush = TBrush::Stock(WHITE_BRUSH).Data();
  state_.font = TFont::Stock(SYSTEM_FONT).Data();
  initial_ = state_;
}

TDC::~TDC() = default;

// ---- Objects -----------------------------------------------------------------

void TDC::SelectObject(const TPen& pen) { state_.pen = pen.Data(); }
void TDC::SelectObject(const TBrush& brush) { state_.brush = brush.Data(); }
void TDC::SelectObject(const TFont& font) { state_.font = font.Data(); }
void TDC::SelectObject(const TPalette& palette, bool) { state_.palette = palette.Shared(); }

void TDC::SelectObject(const TBitmap& bitmap) {
  if (initial_.bitmap) Select_Bitmap(bitmap.Surface());
}

void TDC::RestoreBitmap() {
  if (initial_.bitmap) Select_Bitmap(initial_.bitmap);
}

void TDC::SelectStockObject(int index) {
  switch (index) {
    case WHITE_PEN:
    case BLACK_PEN:
    case NULL_PEN: SelectObject(TPen::Stock(index)); break;
    case SYSTEM_FONT:
    case DEFAULT_GUI_FONT:
    case ANSI_VAR_FONT: SelectObject(TFont::Stock(index)); break;
    default:
      if (index >= WHITE_BRUSH && index <= NULL_BRUSH) SelectObject(TBrush::Stock(index));
  }
}

void TDC::RestorePen() { state_.pen = initial_.pen; }
void TDC::RestoreBrush() { state_.brush = initial_.brush; }
void TDC::RestoreFont() { state_.font = initial_.font; }
void TDC::RestorePalette() { state_.palette = initial_.palette; }

void TDC::RestoreObjects() {
  RestorePen();
  RestoreBrush();
  RestoreFont();
  RestorePalette();
  RestoreBitmap();
}

void TDC::Keep_As_Initial_Bitmap() { initial_.bitmap = state_.bitmap; }

void TDC::Select_Bitmap(std::shared_ptr<TSurface> surface) {
  state_.bitmap = surface;
  binding_->Set_Surface(std::move(surface));
}

// ---- Attributes --------------------------------------------------------------

TColor TDC::SetTextColor(TColor colour) { return std::exchange(state_.text_color, colour); }
TColor TDC::SetBkColor(TColor colour) { return std::exchange(state_.bk_color, colour); }

int TDC::SetBkMode(int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return std::exchange(state_.bk_mode, mode);
}

unsigned TDC::SetTextAlign(unsigned flags) { return std::exchange(state_.text_align, flags); }

int TDC::SetROP2(int mode) {
  if (mode < R2_BLACK || mode > R2_WHITE) return 0;
  return std::exchange(state_.rop2, mode);
}

int TDC::SetPolyFillMode(int mode) {
  if (mode != ALTERNATE && mode != WINDING) return 0;
  return std::exchange(state_.poly_fill_mode, mode);
}

int TDC::SetStretchBltMode(int mode) {
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return std::exchange(state_.stretch_mode, mode);
}

TPoint TDC::SetBrushOrg(TPoint origin) { return std::exchange(state_.brush_origin, origin); }

TColor TDC::Resolve_Color(TColor colour) const {
  if (colour.Is_Rgb()) return colour;
  if (colour.Is_Palette_Relative()) return TColor::From_Xrgb(colour.Xrgb());
  if (colour.Is_System_Color()) return GetSysColor(colour.Value() & 0xFF);
  return TColor::From_Xrgb(state_.palette ? state_.palette->Xrgb(colour.Index()) : 0);
}

TColor TDC::GetNearestColor(TColor colour) const {
  const TColor rgb = Resolve_Color(colour);
  TDevice_Binding::TLock* lock = binding_->Lock();
  if (lock) lock->lock();
  const TSurface& surface = *binding_->Surface();
  TColor result = rgb;
  if (surface.Is_Indexed() && !surface.Colors().empty()) {
    const int i = Nearest_Color_Index(surface.Colors().data(), int(surface.Colors().size()), rgb.Xrgb());
    result = TColor::From_Xrgb(surface.Colors()[size_t(i)]);
  }
  if (lock) lock->unlock();
  return result;
}

uint32_t TDC::Surface_Value(const TSurface& surface, TColor colour) const {
  const uint32_t xrgb = Resolve_Color(colour).Xrgb();
  if (!surface.Is_Indexed()) return xrgb;
  const auto& table = surface.Colors();
  const int i = Nearest_Color_Index(table.data(), int(table.size()), xrgb);
  return i < 0 ? 0 : uint32_t(i);
}

int TDC::GetDeviceCaps(int index) const {
  TDevice_Binding::TLock* lock = binding_->Lock();
  if (lock) lock->lock();
  const TSurface& s = *binding_->Surface();
  // Every context reports the display's colour capabilities, as a memory
  // context reports those of the device it is compatible with.
  const int value = TDevice_Caps::Get(index, s.Width(), s.Height(), 32, true);
  if (lock) lock->unlock();
  return value;
}

// ---- Mapping -----------------------------------------------------------------

int TDC::SetMapMode(int mode) {
  if (mode != MM_TEXT && mode != MM_ANISOTROPIC) return 0;
  const int old = std::exchange(state_.map_mode, mode);
  if (mode == MM_TEXT) state_.window_ext = state_.viewport_ext = TSize(1, 1);
  return old;
}

TPoint TDC::SetWindowOrg(TPoint origin) { return std::exchange(state_.window_org, origin); }
TPoint TDC::SetViewportOrg(TPoint origin) { return std::exchange(state_.viewport_org, origin); }

TSize TDC::SetWindowExt(TSize extent) {
  const TSize old = state_.window_ext;
  if (state_.map_mode == MM_ANISOTROPIC && extent.cx != 0 && extent.cy != 0) state_.window_ext = extent;
  return old;
}

TSize TDC::SetViewportExt(TSize extent) {
  const TSize old = state_.viewport_ext;
  if (state_.map_mode == MM_ANISOTROPIC && extent.cx != 0 && extent.cy != 0) state_.viewport_ext = extent;
  return old;
}

// Device coordinates are kept within +-2^28 so that every later sum (the
// origin, a pen's width) stays far from overflow; no real drawing reaches
// that far.
namespace {
constexpr int64_t Coordinate_Limit = int64_t(1) << 28;
int Clamp_Coordinate(int64_t v) { return int(std::clamp(v, -Coordinate_Limit, Coordinate_Limit)); }

// One axis from one coordinate space to the other: moved from its origin to
// the other's, and scaled by the ratio of their extents when the mapping
// mode scales.
int Map_Axis(int v, int from_org, int to_org, int from_ext, int to_ext, bool scaled) {
  if (!scaled) return Clamp_Coordinate(int64_t(v) - from_org + to_org);
  return Clamp_Coordinate(int64_t(Mul_Div(Clamp_Coordinate(int64_t(v) - from_org), to_ext, from_ext)) + to_org);
}
}  // namespace

TPoint TDC::To_Device(TPoint p) const {
  const TState& s = state_;
  const bool scaled = s.map_mode != MM_TEXT;
  return {Map_Axis(p.x, s.window_org.x, s.viewport_org.x, s.window_ext.cx, s.viewport_ext.cx, scaled),
          Map_Axis(p.y, s.window_org.y, s.viewport_org.y, s.window_ext.cy, s.viewport_ext.cy, scaled)};
}

TPoint TDC::To_Logical(TPoint p) const {
  const TState& s = state_;
  const bool scaled = s.map_mode != MM_TEXT;
  return {Map_Axis(p.x, s.viewport_org.x, s.window_org.x, s.viewport_ext.cx, s.window_ext.cx, scaled),
          Map_Axis(p.y, s.viewport_org.y, s.window_org.y, s.viewport_ext.cy, s.window_ext.cy, scaled)};
}

TPoint TDC::To_Surface(TPoint logical) const {
  const TPoint d = To_Device(logical);
  const TPoint o = binding_->Origin();
  return {d.x + o.x, d.y + o.y};
}

TRect TDC::To_Surface_Box(const TRect& r) const {
  const TPoint a = To_Surface(r.TopLeft()), b = To_Surface(r.BottomRight());
  return TRect(a.x, a.y, b.x, b.y).Normalized();
}

int TDC::To_Device_Width(int w) const {
  const int64_t width = state_.map_mode == MM_TEXT ? w : Mul_Div(w, state_.viewport_ext.cx, state_.window_ext.cx);
  return int(std::min<int64_t>(width < 0 ? -width : width, 1 << 16));
}

void TDC::LPtoDP(TPoint* points, int count) const {
  for (int i = 0; i < count; ++i) points[i] = To_Device(points[i]);
}

void TDC::DPtoLP(TPoint* points, int count) const {
  for (int i = 0; i < count; ++i) points[i] = To_Logical(points[i]);
}

// ---- State stack -------------------------------------------------------------

int TDC::SaveDC() {
  saved_.push_back(state_);
  return int(saved_.size());
}

bool TDC::RestoreDC(int level) {
  const int depth = int(saved_.size());
  const int target = level < 0 ? depth + 1 + level : level;  // -1 is the last save
  if (target < 1 || target > depth) return false;
  const bool bitmap_changed = saved_[size_t(target - 1)].bitmap != state_.bitmap;
  state_ = std::move(saved_[size_t(target - 1)]);
  saved_.resize(size_t(target - 1));
  if (bitmap_changed) binding_->Set_Surface(state_.bitmap);
  Clip_Changed();
  return true;
}

// ---- Clipping ------------------------------------------------------------------

void TDC::Refresh_Clip() const {
  const TDevice_Binding& b = *binding_;
  if (clip_built_for_binding_ == b.Generation() && clip_built_for_dc_ == clip_generation_) return;
  clip_built_for_binding_ = b.Generation();
  clip_built_for_dc_ = clip_generation_;
  const TRect bounds = b.Surface()->Bounds();
  if (!b.Visible() && !update_region_ && !state_.app_clip) {
    clip_ = TClip_Bands(bounds);
    return;
  }
  TRegion clip(bounds);
  if (b.Visible()) clip &= *b.Visible();
  const TPoint o = b.Origin();
  for (const auto* level : {&update_region_, &state_.app_clip}) {
    if (!*level) continue;
    TRegion moved = **level;
    moved.Offset(o.x, o.y);
    clip &= moved;
  }
  clip_ = TClip_Bands(clip);
}

int TDC::Complexity_Of(const TRegion& region) const {
  if (region.IsEmpty()) return NULLREGION;
  return TClip_Bands(region).Is_Rect() ? SIMPLEREGION : COMPLEXREGION;
}

int TDC::SelectClipRgn(const TRegion& region) { return SelectClipRgn(&region); }

int TDC::SelectClipRgn(const TRegion* region) {
  if (region) state_.app_clip = *region;
  else state_.app_clip.reset();
  Clip_Changed();
  TRect box;
  return GetClipBox(box);
}

int TDC::ExtSelectClipRgn(const TRegion* region, int mode) {
  if (mode == TRegion::RGN_COPY) return SelectClipRgn(region);
  if (!region) return RGN_ERROR;
  const TDraw_Scope hold(*this);  // the binding's origin and surface are read under its lock
  TRegion current;
  if (state_.app_clip) {
    current = *state_.app_clip;
  } else {
    const TPoint o = binding_->Origin();
    current = TRegion(binding_->Surface()->Bounds().Offset_By(-o.x, -o.y));
  }
  current = current.Combine(*region, TRegion::TRegion_Op(mode));
  return SelectClipRgn(&current);
}

bool TDC::GetClipRgn(TRegion& region) const {
  if (!state_.app_clip) {
    region = TRegion();
    return false;
  }
  region = *state_.app_clip;
  return true;
}

int TDC::GetClipBox(TRect& rect) const {
  TDraw_Scope scope(*this);
  const TClip_Bands& clip = scope.Clip();
  const TPoint o = binding_->Origin();
  const TRect device = clip.Bounds().Offset_By(-o.x, -o.y);
  const TPoint a = To_Logical(device.TopLeft()), b = To_Logical(device.BottomRight());
  rect = clip.IsEmpty() ? TRect() : TRect(a.x, a.y, b.x, b.y).Normalized();
  if (clip.IsEmpty()) return NULLREGION;
  return clip.Is_Rect() ? SIMPLEREGION : COMPLEXREGION;
}

TRect TDC::GetClipBox() const {
  TRect rect;
  GetClipBox(rect);
  return rect;
}

int TDC::IntersectClipRect(const TRect& rect) {
  const TPoint a = To_Device(rect.TopLeft()), b = To_Device(rect.BottomRight());
  TRegion r(TRect(a.x, a.y, b.x, b.y).Normalized());
  return ExtSelectClipRgn(&r, TRegion::RGN_AND);
}

int TDC::ExcludeClipRect(const TRect& rect) {
  const TPoint a = To_Device(rect.TopLeft()), b = To_Device(rect.BottomRight());
  TRegion r(TRect(a.x, a.y, b.x, b.y).Normalized());
  return ExtSelectClipRgn(&r, TRegion::RGN_DIFF);
}

int TDC::OffsetClipRgn(TPoint delta) {
  if (state_.app_clip) {
    state_.app_clip->Offset(delta.x, delta.y);
    Clip_Changed();
  }
  TRect box;
  return GetClipBox(box);
}

bool TDC::PtVisible(TPoint point) const {
  TDraw_Scope scope(*this);
  return scope && scope.Clip().Contains(To_Surface(point));
}

bool TDC::RectVisible(const TRect& rect) const {
  TDraw_Scope scope(*this);
  if (!scope) return false;
  scope.Touches(TRect());
  bool visible = false;
  scope.Clip().Clip_Rect(To_Surface_Box(rect), [&](const TRect&) { visible = true; });
  return visible;
}

// ---- Draw scope ----------------------------------------------------------------

TDC::TDraw_Scope::TDraw_Scope(const TDC& dc) : dc_(dc), lock_(dc.binding_->Lock()) {
  if (lock_) lock_->lock();
  const TDevice_Binding& b = *dc.binding_;
  if (!b.Is_Valid() || !b.Surface()) return;
  surface_ = b.Surface().get();
  dc.Refresh_Clip();
  ok_ = surface_->Size_Bytes() != 0 && !dc.clip_.IsEmpty();
}

TDC::TDraw_Scope::~TDraw_Scope() {
  if (ok_) {
    const TRect bounds = dc_.clip_.Bounds();
    const TRect touched = touched_ ? touched_->Intersection(bounds) : bounds;
    if (!touched.IsEmpty()) dc_.binding_->Drawn(touched);
  }
  if (lock_) lock_->unlock();
}

const TClip_Bands& TDC::TDraw_Scope::Clip() const {
  static const TClip_Bands empty;
  return surface_ ? dc_.clip_ : empty;
}
