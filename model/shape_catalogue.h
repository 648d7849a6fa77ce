// The palette shapes a user can place into a drawing, by shape number:
// polygons (Triangle 0, Square 1, Pentagon 2, Hexagon 3, Octagon 4,
// Trapezoid 9, Star 13) and curved shapes (Circle 5, Semi_Circle 6,
// Quarter_Circle 7, Oval 8, Ring 10, Horse_Shoe 11, Cresent 12, Arch 14).
// The curved shapes work out their boxes from the rectangle on every call,
// so one shape object may be painted from several threads.
#pragma once

#include <memory>

#include "model/shape.h"

class Triangle : public polygon {
 public:
  Triangle();
};

class Square : public polygon {
 public:
  Square();
  void Paint(TDC& dc, const TRect& rect) const override;
  TRegion Make_Region(const TRect& rect) const override;
};

class Pentagon : public polygon {
 public:
  Pentagon();
};

class Hexagon : public polygon {
 public:
  Hexagon();
};

class Octagon : public polygon {
 public:
  Octagon();
  // One pixel more to the right at vertex 1 and down at vertex 4.
  void Paint(TDC& dc, const TRect& rect) const override;
};

class Trapezoid : public polygon {
 public:
  Trapezoid();
};

class Star : public polygon {
 public:
  Star();
};

class Circle : public Shape {
 public:
  Circle();
  void Paint(TDC& dc, const TRect& rect) const override;
  TRegion Make_Region(const TRect& rect) const override;
};

class Semi_Circle : public Shape {
 public:
  Semi_Circle();
  void Paint(TDC& dc, const TRect& rect) const override;
  TRegion Make_Region(const TRect& rect) const override;
};

class Quarter_Circle : public Shape {
 public:
  Quarter_Circle();
  TRegion Make_Region(const TRect& rect) const override;
  void Paint_Extras(TDC& dc, const TRect& rect) const override;
};

class Oval : public Shape {
 public:
  Oval();
  TRegion Make_Region(const TRect& rect) const override;
  void Paint_Extras(TDC& dc, const TRect& rect) const override;
};

class Ring : public Shape {
 public:
  Ring();
  TRegion Make_Region(const TRect& rect) const override;
  void Paint_Extras(TDC& dc, const TRect& rect) const override;
};

class Horse_Shoe : public Shape {
 public:
  Horse_Shoe();
  TRegion Make_Region(const TRect& rect) const override;
  void Paint_Extras(TDC& dc, const TRect& rect) const override;
};

class Cresent : public Shape {
 public:
  Cresent();
  TRegion Make_Region(const TRect& rect) const override;
  void Paint_Extras(TDC& dc, const TRect& rect) const override;
};

class Arch : public Shape {
 public:
  Arch();
  TRegion Make_Region(const TRect& rect) const override;
  void Paint_Extras(TDC& dc, const TRect& rect) const override;
};

// The shape of a palette number 0..14, or null.
std::unique_ptr<Shape> Make_Palette_Shape(int32_t number);
