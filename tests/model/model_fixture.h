// The process-wide stores that pictures need, made in start-up order: the
// colour scheme and then the picture-buffer pool for a 360-pixel drawing area.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "model/dib_allocator.h"
#include "model/gui_colors.h"
#include "model/shape_drawing.h"
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
  uint8_t Index(TColor c) const { return uint8_t(colors.Palette->GetNearestPaletteIndex(c)); }
};
