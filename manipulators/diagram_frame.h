// The round-framed empty cell of the manipulator window: a square picture
// with the frame painted on it, and the rectangles of the drawing area
// inside the round outline.
#pragma once

#include <cstdint>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"

// The five rectangles of a round drawing window of a given size: outer (the
// whole), inner (outer less the border), area (the square inscribed in the
// round outline), inner_rel (inner at the origin) and area_rel (area
// relative to inner).
struct Diagram_Geometry {
  Diagram_Geometry(int32_t width, int32_t height, int32_t border, int32_t margin);
  TRect outer, inner, area, inner_rel, area_rel;
};

class Diagram_Frame : public TBitmap {
 public:
  // style 0 or 1: the two forms of the frame (1 for diagrams, 0 for the
  // pressed look and the identity picture).
  Diagram_Frame(const TDC& dc, int32_t width, int32_t height, int32_t border, int32_t style);

  Diagram_Geometry Geometry;
  int32_t Style;
};

// The brush colour of an image with colour step s when colour steps are
// shown: scheme colour 6 + min(|s|, 4); -1 for the ordinary shape brush
// (steps not shown, or step 0).
int32_t Color_Step_Scheme_Index(bool steps_shown, int32_t step);
