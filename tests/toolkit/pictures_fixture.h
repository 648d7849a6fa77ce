// The stores that pictures need, made in start-up order for a screen of a
// given width, and helpers to read pixels.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>

#include "model/gui_colors.h"
#include "platform/gdi/memory_dc.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_metafiles.h"
#include "toolkit/gui_sizes.h"

// The box of the pixels of one colour; empty when there are none.
inline TRect Bounds_Of(const TBitmap& b, uint32_t xrgb) {
  TRect box(b.Width(), b.Height(), 0, 0);
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Surface()->Pixel_Xrgb(x, y) == xrgb)
        box = TRect(std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1));
  return box.IsEmpty() ? TRect() : box;
}

struct Picture_Stores {
  explicit Picture_Stores(int screen_width = 800) : sizes(screen_width, screen_width * 3 / 4) {}
  GUI_Sizes sizes;
  GUI_Colors colors;
  GUI_Metafiles metafiles;
  GUI_Bitmaps bitmaps;
};

class Pictures_Test : public testing::Test {
 protected:
  Picture_Stores stores{800};

  static uint32_t Pixel(const TBitmap& b, int x, int y) { return b.Surface()->Pixel_Xrgb(x, y); }
  static uint32_t Scheme_Xrgb(int i) {
    return Palette_Color_To_RGB(The_GUI_Colors->Scheme[size_t(i)], *The_GUI_Colors->Palette).Xrgb();
  }
  static int Count(const TBitmap& b, uint32_t xrgb) {
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) n += Pixel(b, x, y) == xrgb;
    return n;
  }
};
