// Exact integer helpers shared by the rasterisers: rounding divisions, an
// incremental ceiling division (the Bresenham step), and the collector that
// clips, orders and merges one row's spans before they reach the sink.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/gdi/geometry.h"
#include "platform/gdi/span_sink.h"

namespace Scan_Arith {

using int128 = __int128;

template <typename T>
constexpr T Floor_Div(T n, T d) {  // d != 0
  T q = n / d;
  return (n % d != 0 && ((n < 0) != (d < 0))) ? q - 1 : q;
}

template <typename T>
constexpr T Ceil_Div(T n, T d) {  // d != 0
  T q = n / d;
  return (n % d != 0 && ((n < 0) == (d < 0))) ? q + 1 : q;
}

// Follows v(i) = ceil((n0 + i * step) / d) for i = 0, 1, 2 ... with d > 0,
// one addition and one comparison per step: value * d - rest == numerator,
// 0 <= rest < d. The start may need 128 bits; the steps fit in 64.
struct TCeil_Stepper {
  int64_t value = 0;
  int64_t rest = 0;
  int64_t d = 1;
  int64_t step_q = 0;
  int64_t step_r = 0;

  TCeil_Stepper() = default;
  TCeil_Stepper(int128 n0, int64_t d_, int64_t step) : d(d_) {
    value = static_cast<int64_t>(Ceil_Div<int128>(n0, d));
    rest = static_cast<int64_t>(static_cast<int128>(value) * d - n0);
    step_q = Floor_Div<int64_t>(step, d);
    step_r = step - step_q * d;
  }
  void Next() {
    value += step_q;
    rest -= step_r;
    if (rest < 0) {
      ++value;
      rest += d;
    }
  }
};

inline int Clamp_To_Int(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// Collects the spans of each row (Begin(y), then Add in increasing x0), clipped to clip's columns,
// merging spans that touch or overlap, and hands them to the sink.
class TRow_Spans {
 public:
  TRow_Spans(const TRect& clip, const TSpan_Sink& sink) : clip_(clip), sink_(sink) {}

  void Add(int64_t x0, int64_t x1) {
    x0 = std::max<int64_t>(x0, clip_.left);
    x1 = std::min<int64_t>(x1, clip_.right);
    if (x0 >= x1) return;
    if (open_ && x0 <= cur1_) {
      cur1_ = std::max<int64_t>(cur1_, x1);
      return;
    }
    Flush_Open();
    cur0_ = x0;
    cur1_ = x1;
    open_ = true;
  }
  // Starts row y (ending the row before).
  void Begin(int y) {
    Flush_Open();
    y_ = y;
  }
  // Ends the last row; also done by the destructor.
  void Finish() { Flush_Open(); }
  ~TRow_Spans() { Flush_Open(); }
  TRow_Spans(const TRow_Spans&) = delete;
  TRow_Spans& operator=(const TRow_Spans&) = delete;

 private:
  void Flush_Open() {
    if (open_) sink_(y_, static_cast<int>(cur0_), static_cast<int>(cur1_));
    open_ = false;
  }
  TRect clip_;
  const TSpan_Sink& sink_;
  int y_ = 0;
  int64_t cur0_ = 0;
  int64_t cur1_ = 0;
  bool open_ = false;
};

// A few x-intervals [lo, hi) of one row, sorted and disjoint.
struct TIntervals {
  static constexpr int Max = 6;
  int64_t lo[Max];
  int64_t hi[Max];
  int n = 0;

  static TIntervals All() {
    TIntervals r;
    r.lo[0] = INT64_MIN / 4;
    r.hi[0] = INT64_MAX / 4;
    r.n = 1;
    return r;
  }
  static TIntervals One(int64_t a, int64_t b) {
    TIntervals r;
    if (a < b) {
      r.lo[0] = a;
      r.hi[0] = b;
      r.n = 1;
    }
    return r;
  }
  void Push(int64_t a, int64_t b) {
    if (a >= b || n == Max) return;
    if (n > 0 && a <= hi[n - 1]) {
      hi[n - 1] = std::max(hi[n - 1], b);
      return;
    }
    lo[n] = a;
    hi[n] = b;
    ++n;
  }
  TIntervals Intersect(const TIntervals& o) const {
    TIntervals r;
    for (int i = 0, j = 0; i < n && j < o.n;) {
      r.Push(std::max(lo[i], o.lo[j]), std::min(hi[i], o.hi[j]));
      if (hi[i] < o.hi[j]) ++i; else ++j;
    }
    return r;
  }
  TIntervals Unite(const TIntervals& o) const {
    TIntervals r;
    for (int i = 0, j = 0; i < n || j < o.n;) {
      if (j >= o.n || (i < n && lo[i] <= o.lo[j])) {
        r.Push(lo[i], hi[i]);
        ++i;
      } else {
        r.Push(o.lo[j], o.hi[j]);
        ++j;
      }
    }
    return r;
  }
  void Emit(TRow_Spans& row) const {
    for (int i = 0; i < n; ++i) row.Add(lo[i], hi[i]);
  }
};

}  // namespace Scan_Arith
