// Test helper: records spans into a pixel grid and counts how often each
// pixel was reported, so tests can check coverage and double reports.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <numeric>
#include <string>
#include <vector>

#include "platform/gdi/geometry.h"
#include "platform/gdi/span_sink.h"

class TSpan_Grid {
 public:
  // The grid covers area; spans outside it are counted as strays.
  explicit TSpan_Grid(TRect area) : area_(area), counts_(size_t(area.Width()) * area.Height(), 0) {}

  TSpan_Sink Sink() {
    return [this](int y, int x0, int x1) {
      ++spans_;
      bad_order_ += (x0 >= x1) + (y == last_y_ && x0 <= last_x1_);
      last_y_ = y;
      last_x1_ = x1;
      for (int x = x0; x < x1; ++x) area_.Contains(TPoint(x, y)) ? ++counts_[Index(x, y)] : ++strays_;
    };
  }
  int At(int x, int y) const { return area_.Contains(TPoint(x, y)) ? counts_[Index(x, y)] : 0; }
  bool On(int x, int y) const { return At(x, y) > 0; }
  // '#' or '.' for each point, to check several pixels in one comparison.
  std::string Marks(std::initializer_list<TPoint> points) const {
    std::string s;
    for (TPoint p : points) s += On(p.x, p.y) ? '#' : '.';
    return s;
  }
  int Max_Count() const { return counts_.empty() ? 0 : *std::max_element(counts_.begin(), counts_.end()); }
  long Total() const { return std::accumulate(counts_.begin(), counts_.end(), 0L); }
  int Strays() const { return strays_; }
  // Spans of one row out of order, overlapping or touching an earlier span
  // reported just before on the same row, or empty.
  int Bad_Order() const { return bad_order_; }
  int Spans() const { return spans_; }
  // Rows as strings of '#' and '.', for readable failure messages.
  std::string Picture() const {
    std::string s;
    for (int y = area_.top; y < area_.bottom; ++y) {
      for (int x = area_.left; x < area_.right; ++x) s += On(x, y) ? '#' : '.';
      s += '\n';
    }
    return s;
  }

 private:
  size_t Index(int x, int y) const {
    return size_t(y - area_.top) * area_.Width() + (x - area_.left);
  }
  TRect area_;
  std::vector<int> counts_;
  int strays_ = 0;
  int bad_order_ = 0;
  int spans_ = 0;
  int last_y_ = -1 << 30;
  int last_x1_ = 0;
};
