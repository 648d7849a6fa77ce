// TDC: block transfers and DIB colour tables.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/gdi/blitter.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/dc_painter.h"

namespace {

int Clamped(int64_t v) { return int(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// The source box of a copy the size of dst, from origin.
TRect Same_Size(TPoint origin, const TRect& dst) {
  return {origin.x, origin.y, Clamped(int64_t(origin.x) + (int64_t(dst.right) - dst.left)),
          Clamped(int64_t(origin.y) + (int64_t(dst.bottom) - dst.top))};
}

}  // namespace

bool TDC::BitBlt(const TRect& dst, const TDC& src, TPoint src_origin, uint32_t rop) {
  return Stretch(dst, src, Same_Size(src_origin, dst), rop);
}

bool TDC::StretchBlt(const TRect& dst, const TDC& src, const TRect& src_rect, uint32_t rop) {
  if (Keep_Stretch(dst, src, src_rect, rop)) return true;
  return Stretch(dst, src, src_rect, rop);
}

bool TDC::Put_Index_Runs(const TRect& box, const uint32_t* colours,
                         const std::function<void(TIndex_Run_Writer&)>& draw) {
  if (state_.map_mode != MM_TEXT) return false;
  TDraw_Scope scope(*this);
  if (!scope || scope.Surface().Bits_Per_Pixel() != 32) {
    scope.Touches(TRect());
    return false;
  }
  const TRect surface_box = To_Surface_Box(box);
  scope.Touches(surface_box);
  TIndex_Run_Writer writer(scope.Surface(), scope.Clip(), surface_box, To_Surface(TPoint(0, 0)), colours);
  draw(writer);
  return true;
}

bool TDC::Stretch(const TRect& dst, const TDC& src, const TRect& src_rect, uint32_t rop, bool source_colours) {
  const uint8_t table = Rop3_Table(rop);
  if (!Rop3_Uses_Source(table)) return PatBlt(dst.Normalized(), rop);
  TDraw_Scope scope(*this);
  if (!scope) return binding_->Is_Valid();
  TDraw_Scope source_scope(src);
  source_scope.Touches(TRect());
  if (!src.binding_->Is_Valid() || !src.binding_->Surface()) return false;

  const TPoint d0 = To_Surface(dst.TopLeft()), d1 = To_Surface(dst.BottomRight());
  scope.Touches(TRect(std::min(d0.x, d1.x), std::min(d0.y, d1.y), std::max(d0.x, d1.x), std::max(d0.y, d1.y)));
  const TPoint s0 = src.To_Surface(src_rect.TopLeft()), s1 = src.To_Surface(src_rect.BottomRight());
  TBlit_Job job;
  job.source = src.binding_->Surface().get();
  job.target = &scope.Surface();
  job.clip = &scope.Clip();
  // A flipped mapping gives a negative size: the picture is mirrored.
  job.dst_x = d1.x < d0.x ? d0.x - 1 : d0.x;
  job.dst_y = d1.y < d0.y ? d0.y - 1 : d0.y;
  job.dst_w = d1.x - d0.x;
  job.dst_h = d1.y - d0.y;
  job.src_x = s1.x < s0.x ? s0.x - 1 : s0.x;
  job.src_y = s1.y < s0.y ? s0.y - 1 : s0.y;
  job.src_w = s1.x - s0.x;
  job.src_h = s1.y - s0.y;
  job.table = table;
  job.stretch_mode = state_.stretch_mode;
  job.source_back_xrgb = src.Resolve_Color(src.state_.bk_color).Xrgb();
  const TDC_Painter painter(*this, scope.Surface());
  job.target_text = painter.Value(state_.text_color);
  job.target_back = painter.Value(state_.bk_color);
  if (Rop3_Uses_Pattern(table)) {
    bool skip[64];
    painter.Brush_Values(*state_.brush, job.pattern, skip);
    const TPoint origin = painter.Brush_Origin();
    job.pattern_x = origin.x;
    job.pattern_y = origin.y;
  }
  job.generic = Generic_Raster_Ops();
  job.source_colours = source_colours;
  // Copying within one surface (scrolling) reads from a copy of the source
  // rows, so that rows already written are never read again.
  std::unique_ptr<TSurface> rows;
  if (job.source == job.target) {
    const int top = std::max(0, std::min(s0.y, s1.y)), bottom = std::min(job.source->Height(), std::max(s0.y, s1.y));
    if (top >= bottom) return true;
    rows = std::make_unique<TSurface>(job.source->Width(), bottom - top, job.source->Bits_Per_Pixel(), false);
    rows->Colors() = job.source->Colors();
    for (int y = top; y < bottom; ++y)
      std::memcpy(rows->Row(y - top), job.source->Row(y), size_t(job.source->Stride()));
    job.source = rows.get();
    job.src_y -= top;
  }
  TBlitter::Run(job);
  return true;
}

bool TDC::StretchDIBits(const TRect& dst, const TRect& src_rect, const TDib& dib, uint32_t rop) {
  const TDC source(std::make_shared<TDevice_Binding>(dib.Surface(), nullptr));
  // A bottom-up DIB counts its source rows from its bottom row up.
  TRect rows = src_rect;
  if (dib.Surface()->Bottom_Up()) {
    rows.top = dib.Height() - src_rect.bottom;
    rows.bottom = dib.Height() - src_rect.top;
  }
  return Stretch(dst, source, rows, rop, true);
}

bool TDC::SetDIBitsToDevice(const TRect& dst, TPoint src, const TDib& dib) {
  return StretchDIBits(dst, Same_Size(src, dst), dib, SRCCOPY);
}

int TDC::SetDIBColorTable(int first, int count, const uint32_t* xrgb) {
  TDraw_Scope scope(*this);
  if (!binding_->Surface() || !xrgb) return 0;
  auto& colors = binding_->Surface()->Colors();
  if (first < 0 || count <= 0 || first >= int(colors.size())) return 0;
  const int n = std::min(count, int(colors.size()) - first);
  for (int i = 0; i < n; ++i) colors[size_t(first + i)] = xrgb[i] & 0xFFFFFF;
  return n;
}

int TDC::GetDIBColorTable(int first, int count, uint32_t* xrgb) const {
  TDraw_Scope scope(*this);
  if (!binding_->Surface() || !xrgb) return 0;
  const auto& colors = binding_->Surface()->Colors();
  if (first < 0 || count <= 0 || first >= int(colors.size())) return 0;
  const int n = std::min(count, int(colors.size()) - first);
  std::copy_n(colors.begin() + first, n, xrgb);
  return n;
}
