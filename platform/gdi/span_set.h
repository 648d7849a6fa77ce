// A set of pixels gathered as spans: the outline of a shape, collected
// before painting so that the shape's interior can leave those pixels out
// (each pixel of a figure is painted once, which matters under XOR-like
// raster operations).
#pragma once

#include <vector>

#include "platform/gdi/span_sink.h"

class TSpan_Set {
 public:
  void Add(int y, int x0, int x1);
  TSpan_Sink Adder() {
    return [this](int y, int x0, int x1) { Add(y, x0, x1); };
  }
  // Sorts and merges; call once after the last Add.
  void Finish();
  bool Empty() const { return spans_.empty(); }

  // Calls sink for every merged span.
  void For_Each(const TSpan_Sink& sink) const;
  // Calls sink for the parts of (y, x0, x1) outside the set.
  void Subtract(int y, int x0, int x1, const TSpan_Sink& sink) const;

 private:
  struct Span {
    int y, x0, x1;
  };
  std::vector<Span> spans_;
  mutable size_t cursor_ = 0;  // spans are mostly subtracted row by row
};
