#include "model/shape.h"

void Shape::Paint(TDC& dc, const TRect& rect) const {
  dc.PaintRgn(Make_Region(rect));
  Paint_Extras(dc, rect);
}

TRegion Shape::Make_Region(const TRect&) const { return TRegion(); }

void Shape::Paint_Extras(TDC&, const TRect&) const {}
