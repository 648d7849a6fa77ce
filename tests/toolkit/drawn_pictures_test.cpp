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
};

// Each picture, at two sizes, is exactly that size and has its key colours
// where they belong.
TEST_F(Drawn_Pictures_Test, Every_Picture_Keeps_Its_Colours_In_Place) {
  const uint32_t face = Scheme_Xrgb(0), line = Scheme_Xrgb(1);
  const uint32_t white = 0xFFFFFF, black = 0, blue = 0x0000FF;
  struct Check {
    int id;
    std::function<void(const TBitmap&, int, int)> expect;
  };
  const int m = (*The_GUI_Sizes)[29];
  auto inside = [](const TRect& box, const TRect& area) { return box.IsEmpty() || area.Contains(box); };
  // Pictures 30 and 31 both hang a hook at the right edge.
  const auto right_hook = [&](const TBitmap& b, int w, int h) {
    const int k = std::max(3, w / 4);
    EXPECT_TRUE(inside(Bounds_Of(b, black), TRect(w - k + m, 4 * m, w - m, h - 4 * m)));
    EXPECT_GT(Count(b, black), 0);
  };
  const Check checks[] = {
      {1, [&](const TBitmap& b, int w, int h) {
         EXPECT_EQ(Pixel(b, 0, 0), white);
         EXPECT_EQ(Pixel(b, w - 1, h - 1), white);
         EXPECT_GT(Count(b, black), w);
       }},
      {2, [&](const TBitmap& b, int w, int h) {
         for (TPoint c : {TPoint(0, 0), TPoint(w - 1, 0), TPoint(0, h - 1), TPoint(w - 1, h - 1)})
           EXPECT_EQ(Pixel(b, c.x, c.y), white);
         EXPECT_EQ(Pixel(b, w / 2, h / 2), black);  // white inside the crayon counts as crayon
         EXPECT_EQ(Count(b, black) + Count(b, white), w * h);
       }},
      {7, [&](const TBitmap& b, int w, int) {
         EXPECT_EQ(Pixel(b, 0, 0), face);
         EXPECT_EQ(Pixel(b, w / 2, 2), Scheme_Xrgb(21));
         EXPECT_GT(Count(b, black), w);
       }},
      {10, [&](const TBitmap& b, int w, int h) {
         EXPECT_LT(Bounds_Of(b, line).right, 5 * w / 8);
         EXPECT_LT(Bounds_Of(b, line).bottom, 7 * h / 8);
       }},
      {11, [&](const TBitmap& b, int w, int h) {
         EXPECT_GT(Count(b, white), 10);
         EXPECT_TRUE(inside(Bounds_Of(b, line), TRect(0, h / 3, w / 2 + w / 8, h)));
       }},
      {12, [&](const TBitmap& b, int w, int h) {
         EXPECT_TRUE(inside(Bounds_Of(b, Scheme_Xrgb(6)), TRect(11 * w / 32, 3 * h / 8, w, h)));
         EXPECT_EQ(Pixel(b, 0, 0), face);
       }},
      {13, [&](const TBitmap& b, int w, int h) {
         EXPECT_TRUE(inside(Bounds_Of(b, line), TRect(w / 2, m, w - m, h / 2)));
         EXPECT_GT(Count(b, line), w * h / 40);
       }},
      {14, [&](const TBitmap& b, int w, int h) {
         // The arrow glyph's head may reach one pixel above its box.
         EXPECT_TRUE(inside(Bounds_Of(b, line), TRect(m, m - 1, w / 2, h / 2 + 1)));
         EXPECT_GT(Count(b, line), w * h / 40);
       }},
      {15, [&](const TBitmap& b, int w, int h) {
         EXPECT_TRUE(inside(Bounds_Of(b, Scheme_Xrgb(6)), TRect(0, 0, w / 2, h / 2)));
         EXPECT_GT(Count(b, line), 0);
       }},
      {16, [&](const TBitmap& b, int w, int h) {
         EXPECT_TRUE(inside(Bounds_Of(b, Scheme_Xrgb(6)), TRect(w / 2, 0, w, h / 2)));
       }},
      {17, [&](const TBitmap& b, int w, int h) {
         EXPECT_TRUE(inside(Bounds_Of(b, Scheme_Xrgb(23)), TRect(0, h / 2 - h / 15, w / 2, h)));
         EXPECT_GT(Count(b, Scheme_Xrgb(23)), 0);
       }},
      {18, [&](const TBitmap& b, int w, int h) {
         EXPECT_TRUE(inside(Bounds_Of(b, Scheme_Xrgb(20)), TRect(w / 2, h / 2 - h / 15, w, h)));
         EXPECT_GT(Count(b, Scheme_Xrgb(20)), 0);
       }},
      {19, [&](const TBitmap& b, int w, int) {
         const TRect box = Bounds_Of(b, Scheme_Xrgb(23));
         EXPECT_LT(std::abs((box.left + box.right) / 2 - w / 2), w / 6);
       }},
      {20, [&](const TBitmap& b, int w, int h) {
         const TRect box = Bounds_Of(b, Scheme_Xrgb(20));
         EXPECT_LT(std::abs((box.left + box.right) / 2 - w / 2), 2);
         EXPECT_LT(std::abs((box.top + box.bottom) / 2 - h / 2), 2);
       }},
      {21, [&](const TBitmap& b, int w, int h) {
         EXPECT_GT(Count(b, Scheme_Xrgb(22)), w * h / 40);
         EXPECT_EQ(Pixel(b, 0, 0), face);
       }},
      {22, [&](const TBitmap& b, int w, int h) {
         EXPECT_EQ(Pixel(b, w - m - 1, h - m - 1), line);
         EXPECT_EQ(Pixel(b, m, m), face);
       }},
      {23, [&](const TBitmap& b, int w, int h) {
         EXPECT_EQ(Count(b, 0xFFFF00), 0);
         EXPECT_EQ(Count(b, black), 0);
         EXPECT_GT(Count(b, Scheme_Xrgb(11)), w * h / 2);
         EXPECT_GT(Count(b, line), 0);
         EXPECT_EQ(Pixel(b, 0, 0), white);
       }},
      {24, [&](const TBitmap& b, int w, int h) {
         EXPECT_EQ(Pixel(b, 0, 0), blue);
         EXPECT_EQ(Pixel(b, w - 1, h - 1), blue);
         EXPECT_LT(Count(b, blue), w * h / 2);
       }},
      {25, [&](const TBitmap& b, int w, int h) {
         EXPECT_EQ(Count(b, blue), 0);
         EXPECT_EQ(Pixel(b, 0, 0), face);
         EXPECT_LT(Count(b, face), w * h / 2);
       }},
      {26, [&](const TBitmap& b, int, int h) {
         EXPECT_EQ(Pixel(b, 0, h - 1), blue);
         EXPECT_GT(Count(b, white), 0);  // the flash
       }},
      {27, [&](const TBitmap& b, int, int) {
         EXPECT_EQ(Count(b, black), 0);
         EXPECT_GT(Count(b, line), 0);
         EXPECT_EQ(Pixel(b, 0, 0), face);
       }},
      {28, [&](const TBitmap& b, int w, int h) {
         const int inset = (*The_GUI_Sizes)[24];
         EXPECT_TRUE(inside(Bounds_Of(b, line), TRect(inset, inset, w - inset, h - inset)));
         EXPECT_GT(Count(b, line), w * h / 10);
       }},
      {29, [&](const TBitmap& b, int, int) {
         EXPECT_EQ(Pixel(b, 0, 0), face);
         EXPECT_GT(Count(b, Scheme_Xrgb(14)), 0);
         EXPECT_GT(Count(b, Scheme_Xrgb(16)), 0);
       }},
      {30, right_hook},
      {31, right_hook},
      {35, [&](const TBitmap& b, int w, int h) {
         EXPECT_GT(Count(b, face), w * h / 40);
         EXPECT_TRUE(inside(Bounds_Of(b, face), TRect(0, h / 4, w, 3 * h / 4 + 1)));
       }},
  };
  for (const Check& check : checks)
    for (TSize size : {TSize(40, 36), TSize(114, 114)}) {
      SCOPED_TRACE(testing::Message() << "picture " << check.id << " at " << size.cx << " x " << size.cy);
      const TBitmap& b = Get(check.id, size);
      ASSERT_EQ(b.Size(), size);
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
        if (size.cx > 0) {
          const auto disabled = GUI_Bitmaps::Make_Disabled_Picture(*screen, *b);
          EXPECT_EQ(disabled->Size(), size);
        }
      }
    }
}

TEST_F(Drawn_Pictures_Test, Iterate_Button_Geometry_And_Its_Stop_Variant) {
  Picture_Stores small(640);  // corner margin 2
  const Iterate_Button iterate(*screen, TSize(32, 32));
  EXPECT_EQ(iterate.Square_Rect, TRect(18, 4, 30, 16));
  for (TSize size : {TSize(32, 32), TSize(142, 142)}) {
    const Iterate_Button plain(*screen, size);
    const Stop_Iterate_Button stop(*screen, size);
    EXPECT_EQ(stop.Square_Rect, plain.Square_Rect);
    int differences = 0;
    for (int y = 0; y < size.cy; ++y)
      for (int x = 0; x < size.cx; ++x) {
        if (plain.Square_Rect.Contains(TPoint(x, y))) continue;
        if (Pixel(plain, x, y) != Pixel(stop, x, y)) {
          ++differences;
          ADD_FAILURE() << size.cx << ": " << x << "," << y;
        }
      }
    EXPECT_EQ(differences, 0);
    EXPECT_GT(Count(stop, Scheme_Xrgb(20)), 0);
    EXPECT_EQ(Count(plain, Scheme_Xrgb(20)), 0);
    // The arrowhead points down onto the middle of the square's top edge.
    const TRect& s = plain.Square_Rect;
    const int w = std::max(2, ((size.cx - 15 * size.cx / 32) - 2 * (*The_GUI_Sizes)[29]) / 16);
    EXPECT_EQ(Pixel(plain, (s.left + s.right) / 2, s.top - 2 * w), Scheme_Xrgb(6));
  }
}

TEST_F(Drawn_Pictures_Test, Review_Spiral_Opens_Out_On_Small_Pictures) {
  for (int cx : {32, 48}) {
    const Review_Button review(*screen, TSize(cx, cx));
    const int m = (*The_GUI_Sizes)[29];
    int w = (5 * cx / 8) / 12;
    if (w < 4) w = 3;
    const int centre_y = w + 2 * m + (5 * cx / 8) / 2;
    // The last point lies half the box's width above the centre: the
    // spiral's top reaches that far.
    const TRect ink = Bounds_Of(review, Scheme_Xrgb(1));
    EXPECT_LE(ink.top, centre_y - (5 * cx / 8) * 4 / 10) << cx;
  }
}

TEST_F(Drawn_Pictures_Test, Level_Button_Label_Dot_And_Top_Step) {
  const TSize size(76, 76);
  const Level_Button plain(*screen, size, nullptr, 0);
  const Level_Button top(*screen, size, "Zed", 5);
  const Level_Button four(*screen, size, "Zed", 4);
  int differences = 0;
  for (int y = 0; y < size.cy; ++y)
    for (int x = 0; x < size.cx; ++x) differences += (Pixel(plain, x, y) != Pixel(top, x, y)) + (Pixel(plain, x, y) != Pixel(four, x, y));
  EXPECT_EQ(differences, 0);
  // An empty label stands a dot on the step, at its right end.
  const Level_Button dot(*screen, size, "", 1);
  const int m = (*The_GUI_Sizes)[29];
  const int sw = (size.cx - 2 * m) / 5, sh = (size.cy - 2 * m) / 6;
  const TPoint q(m + 2 * sw - 1, size.cy - m - 2 * sh - 2 * sh);
  EXPECT_EQ(Pixel(dot, q.x - sh / 2, q.y + sh + sh / 2), Scheme_Xrgb(1));
  EXPECT_EQ(Pixel(plain, q.x - sh / 2, q.y + sh + sh / 2), Scheme_Xrgb(0));
  // A letter stands on the step.
  const Level_Button letter(*screen, size, "Kim", 1);
  const TRect ink = Bounds_Of(letter, Scheme_Xrgb(1));
  EXPECT_LT(ink.top, q.y + 2 * sh);
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
    const TBitmap& crayon = Get(1, TSize(side, side));
    const TBitmap& mask = Get(2, TSize(side, side));
    int crayon_pixels = 0;
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x)
        if (Pixel(crayon, x, y) == 0) {
          ++crayon_pixels;
          ASSERT_EQ(Pixel(mask, x, y), 0u) << side << ": " << x << "," << y;
        }
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
  EXPECT_EQ(Pixel(mask, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(Pixel(mask, 39, 0), 0xFFFFFFu);
  EXPECT_EQ(Pixel(mask, 39, 39), 0xFFFFFFu);
  EXPECT_EQ(Pixel(mask, 0, 39), 0u);
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
