// Regions as y-x banded span lists (the representation of the classic X11
// region code, written afresh). Every set operation is one walk down the two
// operands' bands: the rows are cut where either operand's band begins or
// ends, and within each piece the two span lists are merged by one walk
// along x with an operation callback that says whether a pixel in A and/or
// B is in the result. Appending a band merges it into the previous one when
// they touch and hold equal spans, which keeps the representation canonical
// (equal pixel sets compare equal) and the band count small.
#include "platform/gdi/region.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "platform/gdi/scan_converter.h"

#ifdef NDEBUG
#define QUENDAR_REGION_CHECK(r) ((void)0)
#else
#define QUENDAR_REGION_CHECK(r) (r).Validate()
#endif

namespace {

// Merges two sorted span lists (x0, x1 pairs) into out under op.
template <typename Op>
void Merge_Spans(const int* a, uint32_t na, const int* b, uint32_t nb, Op op,
                 std::vector<int>& out) {
  out.clear();
  uint32_t ia = 0, ib = 0;
  bool in_a = false, in_b = false, inside = false;
  int start = 0;
  while (ia < na || ib < nb) {
    int xa = ia < na ? a[ia] : INT_MAX;
    int xb = ib < nb ? b[ib] : INT_MAX;
    int x = std::min(xa, xb);
    if (xa == x) {
      in_a = !in_a;
      ++ia;
    }
    if (xb == x) {
      in_b = !in_b;
      ++ib;
    }
    bool now = op(in_a, in_b);
    if (now == inside) continue;
    inside = now;
    if (inside) {
      start = x;
    } else if (!out.empty() && out.back() == start) {
      out.back() = x;
    } else {
      out.push_back(start);
      out.push_back(x);
    }
  }
}

}  // namespace

TRegion::TRegion(const TRect& rect) {
  TRect r = rect.Normalized();
  if (r.IsEmpty()) return;
  int xs[2] = {r.left, r.right};
  Append_Band(r.top, r.bottom, xs, 2);
  Finish();
}

void TRegion::Append_Band(int top, int bottom, const int* xs, uint32_t count) {
  if (count == 0 || top >= bottom) return;
  if (!bands_.empty()) {
    TBand& last = bands_.back();
    if (last.bottom == top && last.end - last.begin == count &&
        std::equal(xs, xs + count, xs_.begin() + last.begin)) {
      last.bottom = bottom;
      return;
    }
  }
  uint32_t begin = static_cast<uint32_t>(xs_.size());
  xs_.insert(xs_.end(), xs, xs + count);
  bands_.push_back({top, bottom, begin, begin + count});
}

void TRegion::Finish() {
  if (bands_.empty()) {
    bounds_ = TRect();
    xs_.clear();
    return;
  }
  int left = INT_MAX, right = INT_MIN;
  for (const TBand& band : bands_) {
    left = std::min(left, xs_[band.begin]);
    right = std::max(right, xs_[band.end - 1]);
  }
  bounds_ = TRect(left, bands_.front().top, right, bands_.back().bottom);
  QUENDAR_REGION_CHECK(*this);
}

void TRegion::Validate() const {
  auto fail = [](const char* what) {
    std::fprintf(stderr, "TRegion invariant broken: %s\n", what);
    std::abort();
  };
  if (bands_.empty()) {
    if (!xs_.empty() || !(bounds_ == TRect())) fail("empty region with data");
    return;
  }
  uint32_t expected_begin = 0;
  for (size_t i = 0; i < bands_.size(); ++i) {
    const TBand& band = bands_[i];
    if (band.top >= band.bottom) fail("band without rows");
    if (band.begin != expected_begin || band.end <= band.begin || (band.end - band.begin) % 2)
      fail("band spans misplaced");
    expected_begin = band.end;
    for (uint32_t k = band.begin; k + 1 < band.end; ++k)
      if (xs_[k] >= xs_[k + 1]) fail("spans unsorted, empty or touching");
    if (i == 0) continue;
    const TBand& prev = bands_[i - 1];
    if (prev.bottom > band.top) fail("bands overlap or unsorted");
    if (prev.bottom == band.top && prev.end - prev.begin == band.end - band.begin &&
        std::equal(xs_.begin() + prev.begin, xs_.begin() + prev.end, xs_.begin() + band.begin))
      fail("equal touching bands not merged");
  }
  if (expected_begin != xs_.size()) fail("stray spans");
  int left = INT_MAX, right = INT_MIN;
  for (const TBand& band : bands_) {
    left = std::min(left, xs_[band.begin]);
    right = std::max(right, xs_[band.end - 1]);
  }
  if (!(bounds_ == TRect(left, bands_.front().top, right, bands_.back().bottom)))
    fail("bounds not tight");
}

template <typename Op>
TRegion TRegion::Combine_With(const TRegion& a, const TRegion& b, Op op) {
  TRegion result;
  std::vector<int> merged;
  size_t i = 0, j = 0;
  int y = INT_MIN;
  while (i < a.bands_.size() || j < b.bands_.size()) {
    const TBand* band_a = i < a.bands_.size() ? &a.bands_[i] : nullptr;
    const TBand* band_b = j < b.bands_.size() ? &b.bands_[j] : nullptr;
    int top_a = band_a ? std::max(band_a->top, y) : INT_MAX;
    int top_b = band_b ? std::max(band_b->top, y) : INT_MAX;
    int y0 = std::min(top_a, top_b);
    bool in_a = band_a && top_a == y0;
    bool in_b = band_b && top_b == y0;
    int y1 = INT_MAX;
    if (band_a) y1 = std::min(y1, in_a ? band_a->bottom : top_a);
    if (band_b) y1 = std::min(y1, in_b ? band_b->bottom : top_b);
    const int* xa = in_a ? a.xs_.data() + band_a->begin : nullptr;
    const int* xb = in_b ? b.xs_.data() + band_b->begin : nullptr;
    Merge_Spans(xa, in_a ? band_a->end - band_a->begin : 0, xb,
                in_b ? band_b->end - band_b->begin : 0, op, merged);
    result.Append_Band(y0, y1, merged.data(), static_cast<uint32_t>(merged.size()));
    y = y1;
    if (band_a && band_a->bottom <= y) ++i;
    if (band_b && band_b->bottom <= y) ++j;
  }
  result.Finish();
  return result;
}

TRegion TRegion::Combine(const TRegion& other, TRegion_Op op) const {
  switch (op) {
    case RGN_AND:
      if (IsEmpty() || other.IsEmpty() || !bounds_.Touches(other.bounds_)) return TRegion();
      return Combine_With(*this, other, [](bool a, bool b) { return a && b; });
    case RGN_OR:
      if (other.IsEmpty()) return *this;
      if (IsEmpty()) return other;
      return Combine_With(*this, other, [](bool a, bool b) { return a || b; });
    case RGN_XOR:
      return Combine_With(*this, other, [](bool a, bool b) { return a != b; });
    case RGN_DIFF:
      if (IsEmpty() || other.IsEmpty() || !bounds_.Touches(other.bounds_)) return *this;
      return Combine_With(*this, other, [](bool a, bool b) { return a && !b; });
    case RGN_COPY:
      break;
  }
  return *this;
}

TRegion& TRegion::operator&=(const TRegion& other) { return *this = Combine(other, RGN_AND); }
TRegion& TRegion::operator|=(const TRegion& other) { return *this = Combine(other, RGN_OR); }
TRegion& TRegion::operator^=(const TRegion& other) { return *this = Combine(other, RGN_XOR); }
TRegion& TRegion::operator-=(const TRegion& other) { return *this = Combine(other, RGN_DIFF); }

void TRegion::Offset(int dx, int dy) {
  if (IsEmpty()) return;
  for (TBand& band : bands_) {
    band.top += dy;
    band.bottom += dy;
  }
  for (int& x : xs_) x += dx;
  bounds_ = bounds_.Offset_By(dx, dy);
}

int TRegion::Find_Band(int y) const {
  auto it = std::upper_bound(bands_.begin(), bands_.end(), y,
                             [](int value, const TBand& band) { return value < band.bottom; });
  return static_cast<int>(it - bands_.begin());
}

bool TRegion::Contains(TPoint p) const {
  if (!bounds_.Contains(p)) return false;
  const TBand& band = bands_[Find_Band(p.y)];
  if (band.top > p.y) return false;
  auto first = xs_.begin() + band.begin;
  auto it = std::upper_bound(first, xs_.begin() + band.end, p.x);
  return (it - first) % 2 == 1;
}

bool TRegion::Touches(const TRect& rect) const {
  TRect r = rect.Intersection(bounds_);
  if (r.IsEmpty()) return false;
  for (size_t i = Find_Band(r.top); i < bands_.size() && bands_[i].top < r.bottom; ++i) {
    const TBand& band = bands_[i];
    auto first = xs_.begin() + band.begin;
    auto last = xs_.begin() + band.end;
    auto it = std::upper_bound(first, last, r.left);
    if ((it - first) % 2 == 1) return true;
    if (it != last && *it < r.right) return true;
  }
  return false;
}

std::vector<TRect> TRegion::Rects() const {
  std::vector<TRect> rects;
  rects.reserve(xs_.size() / 2);
  for (const TBand& band : bands_)
    for (uint32_t k = band.begin; k < band.end; k += 2)
      rects.emplace_back(xs_[k], band.top, xs_[k + 1], band.bottom);
  return rects;
}

void TRegion::For_Each_Span(const TRect& clip, const TSpan_Sink& sink) const {
  TRect r = clip.Intersection(bounds_);
  if (r.IsEmpty()) return;
  for (size_t i = Find_Band(r.top); i < bands_.size() && bands_[i].top < r.bottom; ++i) {
    const TBand& band = bands_[i];
    const int* first = xs_.data() + band.begin;
    const int* last = xs_.data() + band.end;
    // Skip the spans that end left of the clip once per band, not per row.
    const int* start = std::upper_bound(first, last, r.left);
    if ((start - first) % 2 == 1) --start;
    int y_end = std::min(band.bottom, r.bottom);
    for (int y = std::max(band.top, r.top); y < y_end; ++y) {
      for (const int* x = start; x < last && x[0] < r.right; x += 2)
        sink(y, std::max(x[0], r.left), std::min(x[1], r.right));
    }
  }
}

bool operator==(const TRegion& a, const TRegion& b) {
  return a.bands_ == b.bands_ && a.xs_ == b.xs_;
}

namespace {

TRect Within_Limit(const TRect& r) {
  const int limit = TRegion::Coordinate_Limit;
  return r.Intersection(TRect(-limit, -limit, limit, limit));
}

}  // namespace

TRegion TRegion::Ellipse(const TRect& box) {
  TRegion_Builder builder;
  TRect b = box.Normalized();
  Scan::Ellipse(b, Within_Limit(b), builder.Sink());
  return builder.Build();
}

TRegion TRegion::Round_Rect(const TRect& box, TSize corner) {
  TRegion_Builder builder;
  TRect b = box.Normalized();
  Scan::Round_Rect(b, corner, Within_Limit(b), builder.Sink());
  return builder.Build();
}

TRegion TRegion::Polygon(const TPoint* points, int count, TFill_Rule rule) {
  return Poly_Polygon(points, &count, 1, rule);
}

TRegion TRegion::Poly_Polygon(const TPoint* points, const int* counts, int polygon_count,
                              TFill_Rule rule) {
  TRegion_Builder builder;
  int total = 0;
  for (int i = 0; i < polygon_count; ++i) total += std::max(counts[i], 0);
  if (total == 0) return TRegion();
  TRect bounds(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
  for (int k = 0; k < total; ++k) {
    bounds.left = std::min(bounds.left, points[k].x);
    bounds.top = std::min(bounds.top, points[k].y);
    bounds.right = std::max(bounds.right, points[k].x);
    bounds.bottom = std::max(bounds.bottom, points[k].y);
  }
  Scan::Polygons(points, counts, polygon_count, rule, Within_Limit(bounds), builder.Sink());
  return builder.Build();
}

// --- TRegion_Builder -------------------------------------------------------

void TRegion_Builder::Add(int y, int x0, int x1) {
  if (x0 >= x1) return;
  if (!spans_.empty()) {
    const TSpan& last = spans_.back();
    if (y < last.y || (y == last.y && x0 < last.x0)) sorted_ = false;
  }
  spans_.push_back({y, x0, x1});
}

TSpan_Sink TRegion_Builder::Sink() {
  return [this](int y, int x0, int x1) { Add(y, x0, x1); };
}

TRegion TRegion_Builder::Build() {
  if (!sorted_)
    std::sort(spans_.begin(), spans_.end(), [](const TSpan& a, const TSpan& b) {
      return a.y != b.y ? a.y < b.y : a.x0 < b.x0;
    });
  TRegion region;
  std::vector<int> row;
  for (size_t i = 0; i < spans_.size();) {
    int y = spans_[i].y;
    row.clear();
    for (; i < spans_.size() && spans_[i].y == y; ++i) {
      if (!row.empty() && spans_[i].x0 <= row.back()) {
        row.back() = std::max(row.back(), spans_[i].x1);
      } else {
        row.push_back(spans_[i].x0);
        row.push_back(spans_[i].x1);
      }
    }
    region.Append_Band(y, y + 1, row.data(), static_cast<uint32_t>(row.size()));
  }
  region.Finish();
  spans_.clear();
  sorted_ = true;
  return region;
}
