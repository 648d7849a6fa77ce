// Flood fill on raw pixels: finds the 4-connected area around a seed and
// reports it as spans; the caller paints them. No recursion: areas reach
// millions of pixels. The caller ends a surface-mode fill at once when the
// fill colour equals the surface colour (painting would change nothing and a
// naive fill would never end); the area itself is found the same either way.
#pragma once

#include <cstdint>

#include "platform/gdi/geometry.h"
#include "platform/gdi/span_sink.h"

// A view of pixels in memory: bits per pixel 1, 4, 8 or 32; row y of the
// picture starts at bits + y * stride (a bottom-up bitmap passes the address
// of its top row and a negative stride). Pixel values are raw (an index for
// 1, 4 and 8 bits, 0x00RRGGBB for 32).
struct TPixel_View {
  uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  long stride = 0;
  int bits_per_pixel = 8;

  uint32_t Pixel(int x, int y) const;
};

enum class TFlood_Mode {
  Border,   // fill up to pixels of the given value (FLOODFILLBORDER)
  Surface,  // fill the pixels of the given value (FLOODFILLSURFACE)
};

// Reports the area around seed inside clip; nothing when the seed is outside
// clip, or (border mode) on a border pixel, or (surface mode) not of value.
void Flood_Fill(const TPixel_View& view, TPoint seed, uint32_t value, TFlood_Mode mode,
                const TRect& clip, const TSpan_Sink& sink);
