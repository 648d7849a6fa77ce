// Block transfers between surfaces (BitBlt, StretchBlt, StretchDIBits):
// source pixels are read through a column and row table (the same for 1:1
// copies and stretches), converted to the destination's format, and
// combined with pattern and destination by a ternary raster operation. The
// row routine is chosen once per call:
// - direct copies (SRCCOPY) for 8 -> 32, 32 -> 32 and 8 -> 8 bits;
// - a converted row combined by the named operations (SRCAND, SRCPAINT ...)
//   on 8 and 32-bit destinations;
// - the generic path for any truth table and any depth, pixel by pixel,
//   which the others are tested against.
// Conversions: indexed -> 32 through the colour table; 32 -> indexed to the
// nearest table entry; mono -> colour with the destination's text colour for
// 0 and background colour for 1 (DIB bits drawn in their own colours go
// through their table instead); colour -> mono 1 where the pixel equals the
// source's background colour.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/clip_bands.h"
#include "platform/gdi/surface.h"

struct TBlit_Job {
  const TSurface* source = nullptr;
  TSurface* target = nullptr;
  const TClip_Bands* clip = nullptr;  // on the target
  // Target and source rectangles in surface pixels; a negative width or
  // height (in either) mirrors.
  int dst_x = 0, dst_y = 0, dst_w = 0, dst_h = 0;
  int src_x = 0, src_y = 0, src_w = 0, src_h = 0;
  uint8_t table = 0xCC;      // truth table of the raster operation
  int stretch_mode = 3;      // BLACKONWHITE 1, WHITEONBLACK 2, COLORONCOLOR 3
  uint32_t source_back_xrgb = 0xFFFFFF;  // the source context's background colour
  uint32_t target_text = 0;              // target values of the target context's
  uint32_t target_back = 0;              // text and background colours
  // The pattern (the target context's brush) as target values, 8 x 8 tile.
  uint32_t pattern[64] = {};
  int pattern_x = 0, pattern_y = 0;
  bool generic = false;  // force the generic path
  // The source is DIB bits drawn in their own colours: a two-colour source
  // goes through its colour table rather than the text and background.
  bool source_colours = false;
};

class TBlitter {
 public:
  static void Run(const TBlit_Job& job);
};
