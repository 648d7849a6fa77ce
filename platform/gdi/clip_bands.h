// The clip of a drawing call in surface pixels, flattened from a region into
// y-bands of sorted, disjoint x-intervals, for cutting spans and
// rectangles quickly. A rectangle clip is kept as one band and is told apart
// so that callers can skip cutting altogether.
#pragma once

#include <utility>
#include <vector>

#include "platform/gdi/geometry.h"
#include "platform/gdi/region.h"

class TClip_Bands {
 public:
  TClip_Bands() = default;
  explicit TClip_Bands(const TRect& rect);
  explicit TClip_Bands(const TRegion& region);

  const TRect& Bounds() const { return bounds_; }
  bool IsEmpty() const { return bounds_.IsEmpty(); }
  bool Is_Rect() const { return bands_.size() <= 1 && spans_.size() <= 1; }
  bool Contains(TPoint p) const;

  // Calls f(y, x0, x1) for each part of the span inside the clip.
  template <class F>
  void Clip_Span(int y, int x0, int x1, F&& f) const {
    if (y < bounds_.top || y >= bounds_.bottom) return;
    const Band* band = Find_Band(y);
    if (!band) return;
    for (int i = band->first; i < band->first + band->count; ++i) {
      const auto& s = spans_[size_t(i)];
      if (s.first >= x1) break;
      const int a = x0 > s.first ? x0 : s.first, b = x1 < s.second ? x1 : s.second;
      if (a < b) f(y, a, b);
    }
  }

  // Calls f(part) for each rectangle of the clip within rect, top to bottom.
  template <class F>
  void Clip_Rect(const TRect& rect, F&& f) const {
    for (const Band& band : bands_) {
      const int top = rect.top > band.top ? rect.top : band.top;
      const int bottom = rect.bottom < band.bottom ? rect.bottom : band.bottom;
      if (top >= bottom) continue;
      for (int i = band.first; i < band.first + band.count; ++i) {
        const auto& s = spans_[size_t(i)];
        const int a = rect.left > s.first ? rect.left : s.first;
        const int b = rect.right < s.second ? rect.right : s.second;
        if (a < b) f(TRect(a, top, b, bottom));
      }
    }
  }

 private:
  struct Band {
    int top, bottom;
    int first, count;  // its spans in spans_
  };
  const Band* Find_Band(int y) const;

  std::vector<Band> bands_;
  std::vector<std::pair<int, int>> spans_;
  TRect bounds_;
  mutable size_t last_band_ = 0;  // spans mostly arrive row by row
};
