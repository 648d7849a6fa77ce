// Integer points, sizes and rectangles of the window system and the graphics
// layer. A rectangle holds its left and top edge and excludes its right and
// bottom edge, as every primitive of the layer does.
#pragma once

#include <cstdint>

struct TPoint {
  int x = 0;
  int y = 0;

  constexpr TPoint() = default;
  constexpr TPoint(int x_, int y_) : x(x_), y(y_) {}
  constexpr TPoint Offset_By(int dx, int dy) const { return {x + dx, y + dy}; }
  friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
  friend constexpr TPoint operator+(TPoint a, TPoint b) { return {a.x + b.x, a.y + b.y}; }
  friend constexpr TPoint operator-(TPoint a, TPoint b) { return {a.x - b.x, a.y - b.y}; }
};

struct TSize {
  int cx = 0;
  int cy = 0;

  constexpr TSize() = default;
  constexpr TSize(int cx_, int cy_) : cx(cx_), cy(cy_) {}
  friend constexpr bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  constexpr TRect() = default;
  constexpr TRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
  constexpr TRect(TPoint origin, TSize size)
      : left(origin.x), top(origin.y), right(origin.x + size.cx), bottom(origin.y + size.cy) {}

  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  constexpr TSize Size() const { return {Width(), Height()}; }
  constexpr TPoint TopLeft() const { return {left, top}; }
  constexpr TPoint BottomRight() const { return {right, bottom}; }
  // Empty when it covers no pixel: zero or negative width or height.
  constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
  // The right and bottom edges are outside.
  constexpr bool Contains(TPoint p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  constexpr bool Contains(const TRect& r) const {
    return r.left >= left && r.right <= right && r.top >= top && r.bottom <= bottom;
  }

  TRect Normalized() const;
  TRect Offset_By(int dx, int dy) const;
  TRect Inflated_By(int dx, int dy) const;
  // Common part; an empty rectangle (all zero) when they do not overlap.
  TRect Intersection(const TRect& other) const;
  bool Touches(const TRect& other) const { return !Intersection(other).IsEmpty(); }
  // Smallest rectangle holding both; an empty operand adds nothing.
  TRect Union(const TRect& other) const;

  friend constexpr bool operator==(const TRect&, const TRect&) = default;
};
