#include "toolkit/drawn_pictures.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/gdi/metafile_recorder.h"
#include "tests/toolkit/pictures_fixture.h"

namespace {

class Drawn_Pictures_Test : public Pictures_Test {
 protected:
  std::unique_ptr<TMemoryDC> screen = GUI_Bitmaps::Screen_Reference();
  const TBitmap& Get(int id, TSize size) {
    stores.bitmaps.Drop(id);
    EXPECT_TRUE(stores.bitmaps.Get(id, size)) << id;
    return *stores.bitmaps.Pictures[size_t(id)];
  }
  // The pixels that differ between two pictures of one size, outside skip.
  static int Differing(const TBitmap& a, const TBitmap& b, const TRect& skip = TRect()) {
    int n = 0;
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x) n += !skip.Contains(TPoint(x, y)) && Pixel(a, x, y) != Pixel(b, x, y);
    return n;
  }
};

using B = const TBitmap&;
TPoint Centre(const TRect& r) { return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }
constexpr uint32_t Any = ~0u;

// Each picture, at two sizes, is exactly that size and has its key colours
// where they belong (and the given colour, if any, in its top left corner).
TEST_F(Drawn_Pictures_Test, Every_Picture_Keeps_Its_Colours_In_Place) {
  const uint32_t face = Scheme_Xrgb(0), line = Scheme_Xrgb(1), white = 0xFFFFFF, black = 0, blue = 0x0000FF;
  const int m = (*The_GUI_Sizes)[29];
  // Pixels of the colour lie inside the area (or there are none).
  const auto inside = [](B b, uint32_t colour, const TRect& area) {
    const TRect box = Bounds_Of(b, colour);
    EXPECT_TRUE(box.IsEmpty() || area.Contains(box)) << std::hex << colour;
  };
  // Pictures 30 and 31 both hang a hook at the right edge.
  const auto right_hook = [&](B b, int w, int h) {
    inside(b, black, TRect(w - std::max(3, w / 4) + m, 4 * m, w - m, h - 4 * m));
    EXPECT_GT(Count(b, black), 0);
  };
  const struct { int id; uint32_t corner; std::function<void(B, int, int)> expect; } checks[] = {
      {1, white, [&](B b, int w, int h) { EXPECT_EQ(Pixel(b, w - 1, h - 1), white); EXPECT_GT(Count(b, black), w); }},
      {2, white, [&](B b, int w, int h) {
         for (TPoint c : {TPoint(w - 1, 0), TPoint(0, h - 1), TPoint(w - 1, h - 1)}) EXPECT_EQ(Pixel(b, c.x, c.y), white);
         EXPECT_EQ(Pixel(b, w / 2, h / 2), black);  // white inside the crayon counts as crayon
         EXPECT_EQ(Count(b, black) + Count(b, white), w * h); }},
      {7, face, [&](B b, int w, int) { EXPECT_EQ(Pixel(b, w / 2, 2), Scheme_Xrgb(21)); EXPECT_GT(Count(b, black), w); }},
      {10, Any, [&](B b, int w, int h) { EXPECT_LT(Bounds_Of(b, line).right, 5 * w / 8); EXPECT_LT(Bounds_Of(b, line).bottom, 7 * h / 8); }},
      {11, Any, [&](B b, int w, int h) { EXPECT_GT(Count(b, white), 10); inside(b, line, TRect(0, h / 3, w / 2 + w / 8, h)); }},
      {12, face, [&](B b, int w, int h) { inside(b, Scheme_Xrgb(6), TRect(11 * w / 32, 3 * h / 8, w, h)); }},
      {13, Any, [&](B b, int w, int h) { inside(b, line, TRect(w / 2, m, w - m, h / 2)); EXPECT_GT(Count(b, line), w * h / 40); }},
      // The arrow glyph's head may reach one pixel above its box.
      {14, Any, [&](B b, int w, int h) { inside(b, line, TRect(m, m - 1, w / 2, h / 2 + 1)); EXPECT_GT(Count(b, line), w * h / 40); }},
      {15, Any, [&](B b, int w, int h) { inside(b, Scheme_Xrgb(6), TRect(0, 0, w / 2, h / 2)); EXPECT_GT(Count(b, line), 0); }},
      {16, Any, [&](B b, int w, int h) { inside(b, Scheme_Xrgb(6), TRect(w / 2, 0, w, h / 2)); }},
      {17, Any, [&](B b, int w, int h) { inside(b, Scheme_Xrgb(23), TRect(0, h / 2 - h / 15, w / 2, h)); EXPECT_GT(Count(b, Scheme_Xrgb(23)), 0); }},
      {18, Any, [&](B b, int w, int h) { inside(b, Scheme_Xrgb(20), TRect(w / 2, h / 2 - h / 15, w, h)); EXPECT_GT(Count(b, Scheme_Xrgb(20)), 0); }},
      {19, Any, [&](B b, int w, int) { EXPECT_LT(std::abs(Centre(Bounds_Of(b, Scheme_Xrgb(23))).x - w / 2), w / 6); }},
      {20, Any, [&](B b, int w, int h) {
         const TPoint c = Centre(Bounds_Of(b, Scheme_Xrgb(20)));
         EXPECT_LT(std::max(std::abs(c.x - w / 2), std::abs(c.y - h / 2)), 2); }},
      {21, face, [&](B b, int w, int h) { EXPECT_GT(Count(b, Scheme_Xrgb(22)), w * h / 40); }},
      {22, Any, [&](B b, int w, int h) { EXPECT_EQ(Pixel(b, w - m - 1, h - m - 1), line); EXPECT_EQ(Pixel(b, m, m), face); }},
      {23, white, [&](B b, int w, int h) {
         EXPECT_EQ(Count(b, 0xFFFF00) + Count(b, black), 0);
         EXPECT_GT(Count(b, Scheme_Xrgb(11)), w * h / 2);
         EXPECT_GT(Count(b, line), 0); }},
      {24, blue, [&](B b, int w, int h) { EXPECT_EQ(Pixel(b, w - 1, h - 1), blue); EXPECT_LT(Count(b, blue), w * h / 2); }},
      {25, face, [&](B b, int w, int h) { EXPECT_EQ(Count(b, blue), 0); EXPECT_LT(Count(b, face), w * h / 2); }},
      {26, Any, [&](B b, int, int h) { EXPECT_EQ(Pixel(b, 0, h - 1), blue); EXPECT_GT(Count(b, white), 0); }},  // white: the flash
      {27, face, [&](B b, int, int) { EXPECT_EQ(Count(b, black), 0); EXPECT_GT(Count(b, line), 0); }},
      {28, Any, [&](B b, int w, int h) {
         const int inset = (*The_GUI_Sizes)[24];
         inside(b, line, TRect(inset, inset, w - inset, h - inset));
         EXPECT_GT(Count(b, line), w * h / 10); }},
      {29, face, [&](B b, int, int) { EXPECT_GT(Count(b, Scheme_Xrgb(14)), 0); EXPECT_GT(Count(b, Scheme_Xrgb(16)), 0); }},
      {30, Any, right_hook},
      {31, Any, right_hook},
      {35, Any, [&](B b, int w, int h) { EXPECT_GT(Count(b, face), w * h / 40); inside(b, face, TRect(0, h / 4, w, 3 * h / 4 + 1)); }},
  };
  for (const auto& check : checks)
    for (TSize size : {TSize(40, 36), TSize(114, 114)}) {
      SCOPED_TRACE(testing::Message() << "picture " << check.id << " at " << size.cx << " x " << size.cy);
      const TBitmap& b = Get(check.id, size);
      ASSERT_EQ(b.Size(), size);
      if (check.corner != Any) {
        EXPECT_EQ(Pixel(b, 0, 0), check.corner);
      }
      check.expect(b, size.cx, size.cy);
    }
}

// Tiny and empty sizes draw what fits and never write outside the picture.
TEST_F(Drawn_Pictures_Test, Tiny_Sizes_Draw_Safely) {
  for (TSize size : {TSize(0, 0), TSize(1, 1), TSize(2, 5), TSize(7, 3)})
    for (int id = 0; id < GUI_Bitmaps::Picture_Count; ++id) {
      stores.bitmaps.Drop(id);
      stores.bitmaps.Get(id, size);
      if (const TBitmap* b = stores.bitmaps.Pictures[size_t(id)].get()) {
        EXPECT_EQ(b->Size(), size) << id;
        EXPECT_TRUE(size.cx == 0 || GUI_Bitmaps::Make_Disabled_Picture(*screen, *b)->Size() == size) << id;
      }
    }
}

TEST_F(Drawn_Pictures_Test, Iterate_Button_Geometry_And_Its_Stop_Variant) {
  Picture_Stores small(640);  // corner margin 2
  EXPECT_EQ(Iterate_Button(*screen, TSize(32, 32)).Square_Rect, TRect(18, 4, 30, 16));
  for (TSize size : {TSize(32, 32), TSize(142, 142)}) {
    const Iterate_Button plain(*screen, size);
    const Stop_Iterate_Button stop(*screen, size);
    EXPECT_EQ(stop.Square_Rect, plain.Square_Rect);
    EXPECT_EQ(Differing(plain, stop, plain.Square_Rect), 0);  // the stop sign stays inside its square
    EXPECT_GT(Count(stop, Scheme_Xrgb(20)), 0);
    EXPECT_EQ(Count(plain, Scheme_Xrgb(20)), 0);
    // The arrowhead points down onto the middle of the square's top edge.
    const TRect& s = plain.Square_Rect;
    const int w = std::max(2, ((size.cx - 15 * size.cx / 32) - 2 * (*The_GUI_Sizes)[29]) / 16);
    EXPECT_EQ(Pixel(plain, (s.left + s.right) / 2, s.top - 2 * w), Scheme_Xrgb(6));
  }
}

// The spiral's top reaches half the box's width above its centre.
TEST_F(Drawn_Pictures_Test, Review_Spiral_Opens_Out_On_Small_Pictures) {
  for (int cx : {32, 48}) {
    const int box = 5 * cx / 8, w = std::max(3, box / 12), centre_y = w + 2 * (*The_GUI_Sizes)[29] + box / 2;
    EXPECT_LE(Bounds_Of(Review_Button(*screen, TSize(cx, cx)), Scheme_Xrgb(1)).top, centre_y - box * 4 / 10) << cx;
  }
}

TEST_F(Drawn_Pictures_Test, Level_Button_Label_Dot_And_Top_Step) {
  const TSize size(76, 76);
  const Level_Button plain(*screen, size, nullptr, 0);
  // Levels 4 and 5 show no label.
  EXPECT_EQ(Differing(plain, Level_Button(*screen, size, "Zed", 5)) + Differing(plain, Level_Button(*screen, size, "Zed", 4)), 0);
  // An empty label stands a dot on the step, at its right end; a letter
  // stands on the step.
  const int m = (*The_GUI_Sizes)[29], sw = (size.cx - 2 * m) / 5, sh = (size.cy - 2 * m) / 6;
  const TPoint q(m + 2 * sw - 1, size.cy - m - 2 * sh - 2 * sh);
  EXPECT_EQ(Pixel(Level_Button(*screen, size, "", 1), q.x - sh / 2, q.y + sh + sh / 2), Scheme_Xrgb(1));
  EXPECT_EQ(Pixel(plain, q.x - sh / 2, q.y + sh + sh / 2), Scheme_Xrgb(0));
  EXPECT_LT(Bounds_Of(Level_Button(*screen, size, "Kim", 1), Scheme_Xrgb(1)).top, q.y + 2 * sh);
  // A lower-case letter is lifted a pixel above where its capital stands.
  const Level_Button blank(*screen, size, nullptr, 1);
  auto Letter_Bottom = [&](const char* label) {
    const Level_Button with(*screen, size, label, 1);
    int bottom = 0;
    for (int y = 0; y < size.cy; ++y)
      for (int x = 0; x < size.cx; ++x)
        if (Pixel(with, x, y) != Pixel(blank, x, y)) bottom = y + 1;
    return bottom;
  };
  EXPECT_EQ(Letter_Bottom("x"), Letter_Bottom("X") - 1);
}

// The pointer's crayon lies wholly inside its mask's black shape.
TEST_F(Drawn_Pictures_Test, Crayon_And_Mask_Agree) {
  for (int side : {32, 40, 50, 100}) {
    const TBitmap &crayon = Get(1, TSize(side, side)), &mask = Get(2, TSize(side, side));
    const int crayon_pixels = Count(crayon, 0);
    int outside_mask = 0;
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) outside_mask += Pixel(crayon, x, y) == 0 && Pixel(mask, x, y) != 0;
    EXPECT_EQ(outside_mask, 0) << side;
    EXPECT_GT(crayon_pixels, side);
    EXPECT_GT(Count(mask, 0), crayon_pixels + side);  // the white inside counts as crayon too
  }
}

// A crayon that covers a corner: the fill from that corner starts on the
// crayon and paints nothing, the other three still clear the outside.
TEST_F(Drawn_Pictures_Test, Fill_Mask_Of_A_Crayon_On_A_Corner) {
  TMetafile_Recorder r;
  r.SetWindowOrg(0, 100);
  r.SetWindowExt(100, -100);
  r.SelectObject(r.CreatePenIndirect(PS_SOLID, 0, TColor::Black));
  r.SelectObject(r.CreateBrushIndirect(BS_SOLID, TColor::White, 0));
  const TPoint crayon[4] = {{0, 0}, {60, 0}, {60, 60}, {0, 60}};  // the bottom left corner
  r.Polygon(crayon, 4);
  const std::vector<uint8_t> bytes = r.Bytes();
  stores.metafiles.Slots[2] = std::make_unique<TMetaFilePict>(bytes.data(), bytes.size());
  const Fill_Mask mask(*screen, TSize(40, 40));
  EXPECT_FALSE(stores.metafiles.Slots[2]);  // given back after use
  EXPECT_EQ(Count(mask, 0) + Count(mask, 0xFFFFFF), 40 * 40);
  EXPECT_EQ(Pixel(mask, 10, 30), 0u);
  EXPECT_EQ(Bounds_Of(mask, 0), TRect(0, 16, 24, 40));
}

TEST_F(Drawn_Pictures_Test, Marks_Keep_Their_Pen_Selected) {
  TBitmap b(60, 60);
  TMemoryDC dc(b);
  Draw_Check_Mark(dc, TPoint(30, 30), 4);
  dc.MoveTo(0, 58);
  dc.LineTo(59, 58);
  EXPECT_EQ(Pixel(b, 30, 58), Scheme_Xrgb(23));
  Draw_Cross_Mark(dc, TPoint(30, 30), 4);
  dc.MoveTo(0, 2);
  dc.LineTo(59, 2);
  EXPECT_EQ(Pixel(b, 30, 2), Scheme_Xrgb(20));
  // The cross's strokes meet in the middle.
  EXPECT_EQ(Pixel(b, 30, 30), Scheme_Xrgb(20));
}

}  // namespace
