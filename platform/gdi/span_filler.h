// Paints spans with a pen or brush under a raster operation: the sink that
// every outline and area ends in. What to do per pixel is decided once, when
// the filler is made (set, mix, patterned, nothing), never per pixel.
#pragma once

#include <cstdint>

#include "platform/gdi/clip_bands.h"
#include "platform/gdi/raster_op.h"
#include "platform/gdi/span_sink.h"
#include "platform/gdi/surface.h"

// The masks to apply at each pixel: one pair for a solid pen or brush, an
// 8 x 8 tile for a patterned brush (tile origin in surface pixels). A pixel
// left alone (a transparent hatch gap) has and_mask all ones, xor_mask 0.
struct TFill_Pattern {
  bool solid = true;
  TFill_Masks masks[64];
  int origin_x = 0;
  int origin_y = 0;
};

class TSpan_Filler {
 public:
  TSpan_Filler(TSurface& surface, const TClip_Bands& clip, const TFill_Pattern& pattern);

  // Paints x0 <= x < x1 on row y where the clip allows.
  void Fill(int y, int x0, int x1) const;
  void Fill_Rect(const TRect& rect) const;
  bool Does_Nothing() const { return kernel_ == nullptr; }
  TSpan_Sink Sink() const {
    return [this](int y, int x0, int x1) { Fill(y, x0, x1); };
  }

  // The mask of meaningful bits of a pixel value on a surface.
  static uint32_t Value_Mask(int bits_per_pixel);

 private:
  // Paints a span that lies inside the clip and the surface.
  using Kernel = void (*)(const TSpan_Filler&, int y, int x0, int x1);
  static void Set32(const TSpan_Filler&, int, int, int);
  static void Mix32(const TSpan_Filler&, int, int, int);
  static void Tile32(const TSpan_Filler&, int, int, int);
  static void Set8(const TSpan_Filler&, int, int, int);
  static void Mix8(const TSpan_Filler&, int, int, int);
  static void Tile8(const TSpan_Filler&, int, int, int);
  template <int Bits>
  static void Packed(const TSpan_Filler&, int, int, int);

  TSurface& surface_;
  const TClip_Bands& clip_;
  const TFill_Pattern& pattern_;
  Kernel kernel_ = nullptr;
  bool clip_is_rect_;
};
