// Regions: sets of pixels kept as sorted horizontal bands, each band a run of
// rows that share one list of x-spans. They serve clipping, FillRgn/PaintRgn,
// window regions, update regions and hit tests.
//
// Invariants (checked by Validate() in debug builds after every change):
// - bands are sorted by top, top < bottom, and do not overlap;
// - each band holds at least one span; spans are sorted, x0 < x1, and neither
//   overlap nor touch (x1 < next x0);
// - two bands that touch (one's bottom is the next one's top) have different
//   span lists, so equal sets of pixels have equal representations;
// - bounds is the tight bounding box (all zero for the empty region).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/geometry.h"
#include "platform/gdi/span_sink.h"

class TRegion {
 public:
  enum TRegion_Op { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };

  // Shapes made of polygons and ellipses are cut to this distance from the
  // origin, so a wild coordinate cannot make a region of a billion bands.
  static constexpr int Coordinate_Limit = 1 << 20;

  TRegion() = default;
  // The rectangle (normalised first, so a box given right-to-left is the same box).
  explicit TRegion(const TRect& rect);

  // The pixels Scan::Ellipse fills for box, so a point that looks inside is inside.
  static TRegion Ellipse(const TRect& box);
  static TRegion Round_Rect(const TRect& box, TSize corner);
  static TRegion Polygon(const TPoint* points, int count, TFill_Rule rule);
  static TRegion Poly_Polygon(const TPoint* points, const int* counts, int polygon_count,
                              TFill_Rule rule);

  // The result of op on this region and other (RGN_COPY gives this region).
  TRegion Combine(const TRegion& other, TRegion_Op op) const;
  TRegion& operator&=(const TRegion& other);
  TRegion& operator|=(const TRegion& other);
  TRegion& operator^=(const TRegion& other);
  TRegion& operator-=(const TRegion& other);
  friend TRegion operator&(const TRegion& a, const TRegion& b) { return a.Combine(b, RGN_AND); }
  friend TRegion operator|(const TRegion& a, const TRegion& b) { return a.Combine(b, RGN_OR); }
  friend TRegion operator^(const TRegion& a, const TRegion& b) { return a.Combine(b, RGN_XOR); }
  friend TRegion operator-(const TRegion& a, const TRegion& b) { return a.Combine(b, RGN_DIFF); }

  void Offset(int dx, int dy);

  TRect Bounds() const { return bounds_; }
  bool IsEmpty() const { return bands_.empty(); }
  bool Contains(TPoint p) const;
  // Whether any pixel of rect belongs to the region.
  bool Touches(const TRect& rect) const;
  // Band rectangles, top to bottom, left to right within a band.
  std::vector<TRect> Rects() const;
  // Number of band rectangles: a measure of the cost of using the region.
  int Complexity() const { return static_cast<int>(xs_.size() / 2); }
  // Reports the region's pixels inside clip row by row, spans in increasing x.
  void For_Each_Span(const TRect& clip, const TSpan_Sink& sink) const;

  friend bool operator==(const TRegion& a, const TRegion& b);

  // Checks the invariants above; aborts with a message when one is broken.
  void Validate() const;

 private:
  friend class TRegion_Builder;
  struct TBand {
    int top;
    int bottom;
    uint32_t begin;  // first x of the band's spans in xs_ (x0, x1 pairs)
    uint32_t end;
    bool operator==(const TBand&) const = default;
  };

  // Appends a band of spans (x pairs), merging it into the last band when
  // that one touches it and has the same spans.
  void Append_Band(int top, int bottom, const int* xs, uint32_t count);
  void Finish();
  int Find_Band(int y) const;

  template <typename Op>
  static TRegion Combine_With(const TRegion& a, const TRegion& b, Op op);

  std::vector<TBand> bands_;
  std::vector<int> xs_;
  TRect bounds_;
};

// Collects spans in any order (a row's spans may overlap or touch) and makes
// a region of them. Sink() gives a TSpan_Sink that feeds the builder, so every
// rasteriser can build a region.
class TRegion_Builder {
 public:
  void Add(int y, int x0, int x1);
  TSpan_Sink Sink();
  TRegion Build();

 private:
  struct TSpan {
    int y, x0, x1;
  };
  std::vector<TSpan> spans_;
  bool sorted_ = true;
};
