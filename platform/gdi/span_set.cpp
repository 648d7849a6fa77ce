#include "platform/gdi/span_set.h"

#include <algorithm>

void TSpan_Set::Add(int y, int x0, int x1) {
  if (x0 < x1) spans_.push_back({y, x0, x1});
}

void TSpan_Set::Finish() {
  std::sort(spans_.begin(), spans_.end(),
            [](const Span& a, const Span& b) { return a.y != b.y ? a.y < b.y : a.x0 < b.x0; });
  std::vector<Span> merged;
  for (const Span& s : spans_) {
    if (!merged.empty() && merged.back().y == s.y && s.x0 <= merged.back().x1) {
      merged.back().x1 = std::max(merged.back().x1, s.x1);
    } else {
      merged.push_back(s);
    }
  }
  spans_ = std::move(merged);
  cursor_ = 0;
}

void TSpan_Set::For_Each(const TSpan_Sink& sink) const {
  for (const Span& s : spans_) sink(s.y, s.x0, s.x1);
}

void TSpan_Set::Subtract(int y, int x0, int x1, const TSpan_Sink& sink) const {
  // Find the first span of row y (or after it).
  if (cursor_ >= spans_.size() || spans_[cursor_].y > y || (cursor_ > 0 && spans_[cursor_ - 1].y >= y)) {
    cursor_ = size_t(std::lower_bound(spans_.begin(), spans_.end(), y,
                                      [](const Span& s, int v) { return s.y < v; }) -
                     spans_.begin());
  }
  while (cursor_ < spans_.size() && spans_[cursor_].y < y) ++cursor_;
  int x = x0;
  for (size_t i = cursor_; i < spans_.size() && spans_[i].y == y && x < x1; ++i) {
    const Span& s = spans_[i];
    if (s.x1 <= x) continue;
    if (s.x0 >= x1) break;
    if (s.x0 > x) sink(y, x, s.x0);
    x = std::max(x, s.x1);
  }
  if (x < x1) sink(y, x, x1);
}
