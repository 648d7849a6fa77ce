// A user data directory of its own, the colour scheme, a layout for a screen
// (which sets the drawing square S) and the picture pool for the store's
// tests; message boxes are answered and written down. The store's process-
// wide pictures and thread end with each test, before the pool.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "gallery/drawing_collection.h"
#include "model/dib_allocator.h"
#include "model/gui_colors.h"
#include "model/shape_drawing.h"
#include "platform/window/message_box.h"
#include "tests/platform/system/temp_home.h"
#include "toolkit/gui_sizes.h"
#include "users/gallery_file.h"
#include "users/user.h"
#include "users/user_data.h"

class Gallery_Store_Test : public Temp_Home {
 protected:
  explicit Gallery_Store_Test(int32_t screen_width = 640, int32_t screen_height = 480)
      : sizes(screen_width, screen_height), pool(2, 5, sizes[Drawing_Side_Size]) {
    The_User_Data.directory = root_ + "/data/Quendar/";
    std::filesystem::create_directories(The_User_Data.directory);
    The_User_Data.writable = true;
    Set_Message_Box_Hook([this](const TMessage_Box_Request& request) {
      Boxes.push_back(request.caption + ": " + request.text);
      return IDOK;
    });
  }
  ~Gallery_Store_Test() override {
    Drawing_Collection::Release_Statics();
    Set_Message_Box_Hook(nullptr);
  }

  int32_t S() const { return sizes[Drawing_Side_Size]; }
  std::string Gallery_Path() const { return ann.File_Path("gal"); }

  // A drawing of the square with a block of colour index 20 + seed whose
  // place and size depend on seed, so that every seed gives other pixels.
  std::unique_ptr<Shape_Drawing> Drawing(int seed) const {
    auto drawing = std::make_unique<Shape_Drawing>(S(), S(), nullptr, TColor(255, 255, 255));
    uint8_t* bits = drawing->Writable_Pixels();
    const int pitch = drawing->Bitmap->Pitch();
    const int x0 = (seed * 7) % (S() / 2), y0 = (seed * 13) % (S() / 2), side = S() / 4 + seed % 9;
    for (int y = y0; y < y0 + side && y < S(); ++y)
      for (int x = x0; x < x0 + side && x < S(); ++x) bits[y * pitch + x] = uint8_t(20 + seed % 200);
    drawing->Blank = false;
    return drawing;
  }

  // Adds drawing seed to a grid cell; true on success.
  static bool Add_At(Drawing_Collection& store, std::unique_ptr<Shape_Drawing> drawing, int32_t row, int32_t column) {
    return store.Add(drawing, Drawing_Place::Grid, row, column);
  }

  // Whether the store's full picture at place has the pixels of drawing seed.
  bool Shows(Drawing_Collection& store, const Drawing_Place& place, int seed) {
    Shape_Drawing* full = store.Picture(place, Full_Picture_Size, 0, HWND());
    if (!full) return false;
    auto expected = Drawing(seed);
    return full->Same_Pixels(*expected);
  }

  std::vector<uint8_t> File_Bytes() const {
    std::string text = Read(Gallery_Path());
    return std::vector<uint8_t>(text.begin(), text.end());
  }

  // Waits (without timing anything) until every grid drawing is ready: as
  // long as the preparation thread still gets on, however slow the machine.
  static void Wait_Until_Ready(Drawing_Collection& store) {
    int32_t ready_before = -1;
    auto last_progress = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - last_progress < std::chrono::seconds(120)) {
      bool all = true;
      int32_t ready = 0;
      for (int32_t r = 0; r < 12; ++r)
        for (int32_t c = 0; c < 12; ++c) {
          const int32_t state = store.State(Drawing_Place{Drawing_Place::Grid, r, c});
          ready += state == Drawing_Collection::Presentation_Data::Ready;
          all = all && (state == 0 || state == Drawing_Collection::Presentation_Data::Ready);
        }
      if (all) return;
      if (ready != ready_before) ready_before = ready, last_progress = std::chrono::steady_clock::now();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ADD_FAILURE() << "drawings never became ready";
  }

  GUI_Colors colors;
  GUI_Sizes sizes;
  DIB_Allocator pool;
  User ann{0, "Ann"};
  std::vector<std::string> Boxes;
};
