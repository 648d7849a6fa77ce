// The stores that pictures need, made in start-up order for a screen of a
// given width, and helpers to read pixels and leave contact sheets.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "model/gui_colors.h"
#include "platform/gdi/memory_dc.h"
#include "tests/toolkit/contact_sheet.h"
#include "platform/gdi/png_writer.h"
#include "toolkit/gui_bitmaps.h"
#include "toolkit/gui_metafiles.h"
#include "toolkit/gui_sizes.h"

// The box of the pixels of one colour; empty when there are none.
inline TRect Bounds_Of(const TBitmap& b, uint32_t xrgb) {
  TRect box(b.Width(), b.Height(), -1, -1);
  bool any = false;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Surface()->Pixel_Xrgb(x, y) == xrgb) {
        any = true;
        box = TRect(std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1));
      }
  return any ? box : TRect();
}

struct Picture_Stores {
  explicit Picture_Stores(int screen_width = 800)
      : sizes(screen_width, screen_width * 3 / 4), colors(), metafiles(), bitmaps() {}
  GUI_Sizes sizes;
  GUI_Colors colors;
  GUI_Metafiles metafiles;
  GUI_Bitmaps bitmaps;
};

class Pictures_Test : public testing::Test {
 protected:
  Picture_Stores stores{800};

  static uint32_t Pixel(const TBitmap& b, int x, int y) { return b.Surface()->Pixel_Xrgb(x, y); }
  static uint32_t Xrgb(TColor c) { return Palette_Color_To_RGB(c, *The_GUI_Colors->Palette).Xrgb(); }
  static uint32_t Scheme_Xrgb(int i) { return Xrgb(The_GUI_Colors->Scheme[size_t(i)]); }
  static int Count(const TBitmap& b, uint32_t xrgb) {
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) n += Pixel(b, x, y) == xrgb;
    return n;
  }
  static void Snapshot(const TBitmap& b, const std::string& name) {
    const std::string path = Snapshot_Path(name);
    if (path.empty()) return;
    const TSurface& s = *b.Surface();
    if (s.Bits_Per_Pixel() == 32) {
      Write_PNG_RGB(path, s.Width(), s.Height(), s.Row32(0), long(s.Stride() / 4));
      return;
    }
    std::vector<uint32_t> pixels(size_t(s.Width()) * size_t(s.Height()));
    for (int y = 0; y < s.Height(); ++y)
      for (int x = 0; x < s.Width(); ++x) pixels[size_t(y) * s.Width() + x] = s.Pixel_Xrgb(x, y);
    Write_PNG_RGB(path, s.Width(), s.Height(), pixels.data(), s.Width());
  }
};

