// Telling on the screen whether a gallery cell shows its drawing, the grey
// disc of a picture still being made, or nothing.
#include "tests/acceptance/gallery_cell_picture.h"

#include <gtest/gtest.h>

#include "gallery/gallery_window.h"

namespace {

TEST(Gallery_Cell_Picture, ADrawingShowsAndTheDiscOrABareCellDoesNot) {
  const int width = 200, height = 100, side = 60;
  const uint32_t bare = 0x8c6c5c, white = 0xffffff, grey = Gallery_Window::Placeholder_Color.Xrgb();
  const TPoint cell(50, 50), empty(150, 50);
  enum Look { Bare, Disc, Drawing, Drawing_With_Grey };
  // Paints the cell around cell as look, on a bare screen.
  auto screen_with = [&](Look look) {
    std::vector<uint32_t> screen(size_t(width * height), bare);
    for (int y = cell.y - side / 2; y < cell.y + side / 2; ++y)
      for (int x = cell.x - side / 2; x < cell.x + side / 2; ++x) {
        const int dx = x - cell.x, dy = y - cell.y;
        const bool in_disc = dx * dx + dy * dy < (side / 6) * (side / 6);
        uint32_t& p = screen[size_t(y * width + x)];
        if (look == Disc && in_disc) p = grey;
        if (look == Drawing || look == Drawing_With_Grey) p = white;
        // A few grey pixels of the drawing's own in its middle.
        if (look == Drawing_With_Grey && dx >= 0 && dx < 3 && dy >= 0 && dy < 3) p = grey;
      }
    return screen;
  };
  struct Case {
    const char* what;
    Look look;
    TPoint at;
    bool shown;
  };
  for (const Case& c : {Case{"a bare cell", Bare, cell, false}, Case{"the grey disc", Disc, cell, false},
                        Case{"a drawing", Drawing, cell, true},
                        Case{"a drawing with a little grey of its own", Drawing_With_Grey, cell, true},
                        Case{"a cell partly off the screen", Drawing, TPoint(10, 50), false}}) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Cell_Picture_Shown(screen_with(c.look), width, c.at, empty, side), c.shown);
  }
}

}  // namespace
