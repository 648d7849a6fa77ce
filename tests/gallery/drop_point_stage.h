// A stage for one drop point: a headless window system with the interface
// stores at the 1024 column (S = 576), the picture pool, a user of its own
// in a fresh data folder, and the gallery window whose store holds test
// drawings in its grid.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "gallery/drawing_collection.h"
#include "gallery/gallery_io_point.h"
#include "gallery/gallery_layout.h"
#include "gallery/gallery_window.h"
#include "model/dib_allocator.h"
#include "model/shape_drawing.h"
#include "tests/platform/system/temp_home.h"
#include "tests/toolkit/widget_fixture.h"
#include "users/user.h"
#include "users/user_data.h"
#include "users/user_database.h"

class Drop_Point_Test : public Temp_Home, public Widget_Stage {
 protected:
  // The layout of a screen whose drawing square is pool_side (576 or 1440).
  explicit Drop_Point_Test(int pool_side = 576)
      : Widget_Stage(pool_side == 1440 ? 2560 : 1024), pool(2, 5, pool_side) {
    The_User_Data.directory = root_ + "/data/Quendar/";
    std::filesystem::create_directories(The_User_Data.directory);
    The_User_Data.writable = true;
    The_User_Database = new User_Database(For_Stream);
    The_User_Database->Add_User(std::make_unique<User>(0, "Ann"));
    The_User_Database->Set_Current(0);
    gallery = new Gallery_Window(parent, nullptr);
    gallery->Attr.Set_Rect(TRect(0, 0, 1024, 768));
    EXPECT_TRUE(gallery->Create());
    gallery->ShowWindow(SW_SHOW);
    // The window's own clipboard and printer points step aside for the ones
    // a test makes.
    for (int i : {Gallery_Layout::Clipboard_Point, Gallery_Layout::Printer_Point}) gallery->Point(i)->ShowWindow(SW_HIDE);
    Idle();
  }

  ~Drop_Point_Test() override {
    gallery->Destroy();
    delete gallery;
    Drawing_Collection::Release_Statics();
    delete The_User_Database;
    The_User_Database = nullptr;
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
    // The store may pack or share what it is given: the test keeps a copy.
    kept.push_back(std::make_unique<Shape_Drawing>(*drawing, true));
    EXPECT_TRUE(Store().Add(drawing, Drawing_Place::Grid, row, column));
    return kept.back().get();
  }
  static Drawing_Place Cell(int row, int column) { return {Drawing_Place::Grid, row, column}; }
  static Drawing_Place Slot(int slot) { return {Drawing_Place::Slot, slot, 0}; }

  DIB_Allocator pool;
  Gallery_Window* gallery = nullptr;
  std::vector<std::unique_ptr<Shape_Drawing>> kept;
};
