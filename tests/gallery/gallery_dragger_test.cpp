// The gallery's dragged miniature: its switch of picture at the boundary,
// the cursor clip that keeps it inside its limit, and its own copies of the
// pictures it carries.
#include "gallery/gallery_dragger.h"

#include "model/dib_allocator.h"
#include "platform/window/user.h"
#include "tests/toolkit/widget_fixture.h"

namespace {

class Gallery_Dragger_Test : public Widget_Test {
 protected:
  Gallery_Dragger_Test() : Widget_Test(800) {}

  std::unique_ptr<Shape_Drawing> Picture(int side, TColor color) {
    return std::make_unique<Shape_Drawing>(side, side, The_GUI_Colors->Palette.get(), color);
  }
  TRect Clip() {
    TRect r;
    GetClipCursor(r);
    return r;
  }
  TPoint Cursor() {
    TPoint p;
    GetCursorPos(p);
    return p;
  }

  DIB_Allocator pool{2, 5, Sizes(10)};
  const TRect limit{0, 0, 500, 400};
  static constexpr int boundary = 100;
};

TEST_F(Gallery_Dragger_Test, The_Picture_Changes_Only_Past_The_Boundary_About_The_Vertical_Centre) {
  Gallery_Dragger dragger(main, limit, boundary);
  auto small = Picture(20, TColor(200, 0, 0));
  auto large = Picture(60, TColor(0, 0, 200));
  dragger.Start_Drag(TPoint(60, 110), TRect(50, 100, 70, 120), *small, *large);
  EXPECT_TRUE(dragger.Shows_Left());
  // The left edge on the boundary: no change.
  dragger.Drag_To(TPoint(110, 110));
  EXPECT_EQ(dragger.Miniature(), TRect(100, 100, 120, 120));
  EXPECT_TRUE(dragger.Shows_Left());
  // Past it: the large picture, the left edge kept, the vertical centre kept,
  // and the mouse put on the new centre.
  dragger.Drag_To(TPoint(111, 110));
  EXPECT_FALSE(dragger.Shows_Left());
  EXPECT_EQ(dragger.Miniature(), TRect(101, 80, 161, 140));
  EXPECT_EQ(dragger.Last_Mouse(), TPoint(131, 110));
  TPoint on_screen(131, 110);
  main->ClientToScreen(on_screen);
  EXPECT_EQ(Cursor(), on_screen);
  EXPECT_EQ(Screen_Pixel(on_screen.x, on_screen.y), Xrgb(RGB_To_Palette_Color(TColor(0, 0, 200), *The_GUI_Colors->Palette)));
  dragger.End_Drag(false);
}

// The mouse is put on the new centre only where the drag last saw it: a hand
// that has moved on while the program was busy keeps its place, and a drawing
// let go there lands there.
TEST_F(Gallery_Dragger_Test, The_Mouse_Is_Put_On_The_Centre_Only_Where_The_Hand_Still_Is) {
  struct Case {
    const char* what;
    TPoint hand;     // where the hand has the pointer when the drag sees (111, 110)
    TPoint pointer;  // where the pointer is afterwards
  };
  for (const Case& c : {Case{"the hand still there", TPoint(111, 110), TPoint(131, 110)},
                        Case{"the hand moved on", TPoint(300, 200), TPoint(300, 200)}}) {
    SCOPED_TRACE(c.what);
    Gallery_Dragger dragger(main, limit, boundary);
    auto small = Picture(20, TColor(200, 0, 0));
    auto large = Picture(60, TColor(0, 0, 200));
    dragger.Start_Drag(TPoint(60, 110), TRect(50, 100, 70, 120), *small, *large);
    TPoint hand = c.hand, pointer = c.pointer;
    main->ClientToScreen(hand);
    main->ClientToScreen(pointer);
    headless->Hand_To(hand);
    dragger.Drag_To(TPoint(111, 110));
    EXPECT_FALSE(dragger.Shows_Left());
    EXPECT_EQ(headless->Pointer(), pointer);
    dragger.End_Drag(false);
  }
}

TEST_F(Gallery_Dragger_Test, The_Cursor_Clip_Keeps_The_Miniature_Inside_Its_Limit_And_Ends_With_The_Drag) {
  const TRect whole = Clip();
  Gallery_Dragger dragger(main, limit, boundary);
  auto a = Picture(40, TColor(200, 0, 0));
  dragger.Start_Drag(TPoint(230, 215), TRect(200, 200, 240, 240), *a, *a);
  // The mouse 30 right of the miniature's left edge and 15 below its top.
  EXPECT_EQ(dragger.Mouse_Clip(), TRect(30, 15, 500 - 10, 400 - 25));
  TRect expected = dragger.Mouse_Clip();
  expected = expected.Offset_By(main->Client_Screen_Origin().x, main->Client_Screen_Origin().y);
  EXPECT_EQ(Clip(), expected);
  // Held at the limit, the miniature's edge rests on it.
  Move(TPoint(expected.right + 50, expected.top + 10));
  TPoint held = Cursor();
  main->ScreenToClient(held);
  dragger.Drag_To(held);
  // (The clip excludes its right edge, as a rectangle does.)
  EXPECT_EQ(dragger.Miniature().right, limit.right - 1);
  dragger.End_Drag(false);
  EXPECT_EQ(Clip(), whole);
}

TEST_F(Gallery_Dragger_Test, It_Draws_Its_Own_Copies_And_Puts_The_Background_Back) {
  const std::vector<uint32_t> before = Screen_Pixels(TRect(0, 0, 300, 300));
  Gallery_Dragger dragger(main, limit, boundary);
  auto shared = Picture(30, TColor(0, 160, 0));
  dragger.Start_Drag(TPoint(150, 150), TRect(135, 135, 165, 165), *shared, *shared);
  // The picture it was given is reused by someone else meanwhile.
  shared->Set_Background(TColor(255, 255, 0));
  shared->Clear();
  dragger.Drag_To(TPoint(160, 150));
  TPoint p(150, 150);
  main->ClientToScreen(p);
  EXPECT_EQ(Screen_Pixel(p.x, p.y), Xrgb(RGB_To_Palette_Color(TColor(0, 160, 0), *The_GUI_Colors->Palette)));
  dragger.End_Drag(false);
  EXPECT_EQ(Screen_Pixels(TRect(0, 0, 300, 300)), before);
}

}  // namespace
