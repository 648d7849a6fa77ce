// The process-wide stores that pictures need, made in start-up order: the
// colour scheme and then the picture-buffer pool for a 360-pixel drawing area.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "model/affine_transform_2d.h"
#include "model/dib_allocator.h"
#include "model/gui_colors.h"
#include "model/shape_drawing.h"
#include "model/transform_set_2d.h"
#include "platform/gdi/png_writer.h"

class Model_Test : public testing::Test {
 protected:
  GUI_Colors colors;
  DIB_Allocator pool{2, 5, 360};

  // The picture as a PNG for a person to look at, when snapshots are asked for.
  static void Snapshot(Shape_Drawing& picture, const std::string& name) {
    const std::string path = Snapshot_Path(name);
    if (path.empty() || !picture.Bitmap) return;
    TDiBitmap& b = *picture.Bitmap;
    Write_PNG_Indexed(path, picture.Width(), picture.Height(),
                      b.GetBits() + (b.Height() - 1) * b.Pitch(), -b.Pitch(), b.GetColors(), b.NumColors());
  }
  static uint8_t& Pixel(Shape_Drawing& picture, int x, int y) {
    return picture.Bitmap->GetBits()[y * picture.Bitmap->Pitch() + x];
  }
  // Paints the pixels x0 <= x < x1, y0 <= y < y1 (rows from the bottom) with index.
  static void Fill(Shape_Drawing& picture, int x0, int y0, int x1, int y1, uint8_t index) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) Pixel(picture, x, y) = index;
  }
  static Transform_Set_2D Set_Of(std::initializer_list<Affine_Transform_2D> maps) {
    Transform_Set_2D set;
    for (const auto& m : maps) set.Add_Map(std::make_unique<Affine_Transform_2D>(m));
    return set;
  }
  uint8_t Index(TColor c) const { return uint8_t(colors.Palette->GetNearestPaletteIndex(c)); }
};
