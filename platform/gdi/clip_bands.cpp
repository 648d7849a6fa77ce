#include "platform/gdi/clip_bands.h"

#include <algorithm>

TClip_Bands::TClip_Bands(const TRect& rect) {
  if (rect.IsEmpty()) return;
  bounds_ = rect;
  bands_.push_back({rect.top, rect.bottom, 0, 1});
  spans_.push_back({rect.left, rect.right});
}

TClip_Bands::TClip_Bands(const TRegion& region) {
  // A region lists its rectangles band by band, left to right; rectangles of
  // one band share their top and bottom.
  for (const TRect& r : region.Rects()) {
    if (r.IsEmpty()) continue;
    if (bands_.empty() || bands_.back().top != r.top || bands_.back().bottom != r.bottom) {
      bands_.push_back({r.top, r.bottom, int(spans_.size()), 0});
    }
    Band& band = bands_.back();
    if (band.count > 0 && spans_.back().second == r.left) {
      spans_.back().second = r.right;  // touching rectangles: one span
    } else {
      spans_.push_back({r.left, r.right});
      ++band.count;
    }
    bounds_ = bounds_.Union(r);
  }
  if (bands_.size() == 1 && spans_.size() == 1) return;
  // Merge equal neighbouring bands so that Is_Rect sees a plain rectangle.
  std::vector<Band> merged;
  for (const Band& b : bands_) {
    if (!merged.empty()) {
      Band& m = merged.back();
      if (m.bottom == b.top && m.count == b.count &&
          std::equal(spans_.begin() + m.first, spans_.begin() + m.first + m.count, spans_.begin() + b.first)) {
        m.bottom = b.bottom;
        continue;
      }
    }
    merged.push_back(b);
  }
  bands_ = std::move(merged);
  if (bands_.size() == 1 && bands_[0].count == 1) {
    const auto span = spans_[size_t(bands_[0].first)];
    spans_ = {span};
    bands_[0].first = 0;
  }
}

const TClip_Bands::Band* TClip_Bands::Find_Band(int y) const {
  if (bands_.empty()) return nullptr;
  if (last_band_ < bands_.size()) {
    const Band& b = bands_[last_band_];
    if (y >= b.top && y < b.bottom) return &b;
    if (last_band_ + 1 < bands_.size() && y >= bands_[last_band_ + 1].top && y < bands_[last_band_ + 1].bottom)
      return &bands_[++last_band_];
  }
  auto it = std::upper_bound(bands_.begin(), bands_.end(), y, [](int v, const Band& b) { return v < b.bottom; });
  if (it == bands_.end() || y < it->top) return nullptr;
  last_band_ = size_t(it - bands_.begin());
  return &*it;
}

bool TClip_Bands::Contains(TPoint p) const {
  bool inside = false;
  Clip_Span(p.y, p.x, p.x + 1, [&](int, int, int) { inside = true; });
  return inside;
}
