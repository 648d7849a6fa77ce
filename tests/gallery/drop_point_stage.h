// A stage for one drop point: a headless window system with the interface
// stores at the 1024 column (S = 576), the picture pool, and a gallery
// window whose store holds test drawings in its grid.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "gallery/drawing_collection.h"
#include "gallery/gallery_window.h"
#include "model/dib_allocator.h"
#include "model/shape_drawing.h"
#include "tests/toolkit/widget_fixture.h"

class Drop_Point_Test : public testing::Test, public Widget_Stage {
 protected:
  explicit Drop_Point_Test(int pool_side = 576) : Widget_Stage(1024), pool(2, 5, pool_side) {
    gallery = new Gallery_Window(parent, nullptr);
    gallery->Attr.Set_Rect(TRect(0, 0, 1024, 768));
    EXPECT_TRUE(gallery->Create());
    gallery->ShowWindow(SW_SHOW);
    Idle();
  }

  Drawing_Collection& Store() { return *gallery->Collection(); }
  // A drawing of side pixels with a pattern of colours (or colours at
  // random, which hardly compress), put into a grid cell.
  Shape_Drawing* Put_Drawing(int row, int column, int side = 576, int seed = 0, bool noisy = false) {
    auto drawing = std::make_unique<Shape_Drawing>(side, side, nullptr, TColor(255, 255, 255));
    TDiBitmap& b = *drawing->Bitmap;
    uint32_t random = uint32_t(seed) * 2654435761u + 1;
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) {
        random = random * 1103515245u + 12345u;
        b.GetBits()[y * b.Pitch() + x] =
            uint8_t(noisy ? (random >> 16) % 200 + 10 : (x / 11 + 7 * (y / 13) + seed) % 90 + 10);
      }
    Shape_Drawing* kept = drawing.get();
    EXPECT_TRUE(Store().Add(drawing, Drawing_Place::Grid, row, column));
    return kept;
  }
  static Drawing_Place Cell(int row, int column) { return {Drawing_Place::Grid, row, column}; }
  static Drawing_Place Slot(int slot) { return {Drawing_Place::Slot, slot, 0}; }

  DIB_Allocator pool;
  Gallery_Window* gallery = nullptr;
};
