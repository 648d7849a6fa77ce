// Turns a device context's pens, brushes, colours and raster operation into
// the per-pixel masks a TSpan_Filler paints with, for one surface.
#pragma once

#include <cstdint>

#include "platform/gdi/brush.h"
#include "platform/gdi/span_filler.h"
#include "platform/gdi/surface.h"

class TDC;

class TDC_Painter {
 public:
  TDC_Painter(const TDC& dc, const TSurface& surface);

  // The surface's pixel value for a colour value.
  uint32_t Value(TColor colour) const;
  uint32_t Value_Mask() const { return value_mask_; }
  // The truth table of the context's mix mode.
  uint8_t Mix_Table() const;

  // A solid colour under a truth table.
  TFill_Pattern Solid(TColor colour, uint8_t table) const;
  // The selected brush (or another one) under a truth table; the tile is
  // placed at the context's brush origin.
  TFill_Pattern Brush(const TBrush::TData& brush, uint8_t table) const;
  // The brush values (before the raster operation) of the 8 x 8 tile, and
  // which pixels it leaves alone; for blits that mix pattern and source.
  void Brush_Values(const TBrush::TData& brush, uint32_t values[64], bool skip[64]) const;
  TPoint Brush_Origin() const;

 private:
  const TDC& dc_;
  const TSurface& surface_;
  uint32_t value_mask_;
};
