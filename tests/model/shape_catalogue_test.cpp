#include "model/shape_catalogue.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "model/affine_transform_2d.h"
#include "model/transform_set_2d.h"
#include "model_fixture.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dib_dc.h"
#include "platform/gdi/pen.h"

namespace {

const TColor White(255, 255, 255), Red(255, 0, 0), Blue(0, 0, 255), Black(0, 0, 0);

class Shapes_Test : public Model_Test {
 protected:
  // Pixel at (x, y) with rows from the top.
  uint8_t Top_Pixel(Shape_Drawing& p, int x, int y) { return Pixel(p, x, p.Height() - 1 - y); }
};

TEST_F(Shapes_Test, Catalogue_Numbers_And_Key_Points) {
  for (int n = 0; n < 15; ++n) {
    auto shape = Make_Palette_Shape(n);
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->Shape_Number, n);
  }
  EXPECT_EQ(Make_Palette_Shape(15), nullptr);
  EXPECT_EQ(std::tuple(Star().Vertex_Count, Star().Key_Points.Count(), Circle().Key_Points.Count(),
                       Notched_Square().Key_Points.Count()),
            std::tuple(10, 5, 24, 7));
  EXPECT_TRUE(Circle().Key_Points.Equals(Ring().Key_Points));
  Pentagon pentagon;
  EXPECT_THAT((std::array{pentagon.Vertices[0].y, pentagon.Vertices[2].x, pentagon.Vertices[1].y, Triangle().Vertices[0].y}),
              testing::Pointwise(testing::FloatNear(1e-6f), std::array{0.975528f, 0.190983f, 0.612257f, 0.933013f}));
}

TEST_F(Shapes_Test, Every_Shape_Paints_Inside_Its_Rectangle) {
  Shape_Drawing sheet(360, 360, nullptr, White);
  for (int n = 0; n < 15; ++n) {
    auto shape = Make_Palette_Shape(n);
    Shape_Drawing picture(120, 120, nullptr, White);
    picture.Paint_Shape(*shape, TRect(10, 10, 110, 110), TColor::Palette_Index(70 + n * 9), Black);
    EXPECT_TRUE(!picture.Blank && picture.Has_Color(Black)) << n;
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < 120; ++x)
        if (x < 9 || x > 111 || y < 9 || y > 111) {
          ASSERT_EQ(Top_Pixel(picture, x, y), Index(White)) << n;
        }
    sheet.Paint_Shape(*shape, TRect((n % 5) * 72 + 4, (n / 5) * 72 + 40, (n % 5) * 72 + 68, (n / 5) * 72 + 104),
                      TColor::Palette_Index(70 + n * 9), Black);
  }
  Snapshot(sheet, "shape_catalogue");
}

TEST_F(Shapes_Test, Placement_And_The_Notch) {
  Notched_Square square;
  // The notch is left of centre at the top; a mirror moves it right, a
  // half-turn to the bottom right.
  const struct {
    Affine_Transform_2D map;
    TColor outline;
    TPoint notch, inked;
  } cases[] = {{Affine_Transform_2D(), Red, {25, 5}, {75, 5}},
               {Affine_Transform_2D(-1.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f), No_Color, {75, 5}, {25, 5}},
               {Affine_Transform_2D(-1.0f, 0.0f, 1.0f, 0.0f, -1.0f, 1.0f), No_Color, {75, 94}, {75, 5}}};
  for (const auto& c : cases) {
    Shape_Drawing picture(100, 100, nullptr, White);
    picture.Add_Shape(square, c.map, TRect(0, 0, 100, 100), Red, c.outline);
    EXPECT_EQ(Top_Pixel(picture, c.notch.x, c.notch.y), Index(White)) << c.notch.x << "," << c.notch.y;
    EXPECT_EQ(Top_Pixel(picture, c.inked.x, c.inked.y), Index(Red)) << c.inked.x << "," << c.inked.y;
  }
  Shape_Drawing picture(100, 100, nullptr, White);
  picture.Add_Shape(square, Affine_Transform_2D(), TRect(0, 0, 100, 100), Red, Red);
  EXPECT_TRUE(Top_Pixel(picture, 0, 99) == Index(Red) && Top_Pixel(picture, 98, 0) == Index(Red));
}

TEST_F(Shapes_Test, Collapsed_Squares_Are_Segments) {
  Notched_Square square;
  const Affine_Transform_2D flat(0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f);  // a = c = 0
  const TRect rect(0, 0, 100, 100);
  // The whole square flattened onto its diagonal from (0, 99) to (99, 0).
  for (auto [p, hit] : {std::pair{TPoint(0, 99), true}, std::pair{TPoint(50, 49), true}, std::pair{TPoint(50, 50), true},
                        std::pair{TPoint(50, 53), false}, std::pair{TPoint(1, 50), false}})
    EXPECT_EQ(square.Hit_Test(flat, rect, p), hit) << p.x << "," << p.y;
  const Affine_Transform_2D point(0.0f, 0.0f, 0.5f, 0.0f, 0.0f, 0.5f);
  EXPECT_TRUE(square.Hit_Test(point, rect, {50, 50}) && square.Hit_Test(Affine_Transform_2D(), rect, {50, 50}));
  EXPECT_FALSE(square.Hit_Test(Affine_Transform_2D(), rect, {25, 3}));  // in the notch
}

TEST_F(Shapes_Test, Regions_Leave_Their_Holes) {
  const TRect r(0, 0, 100, 100);
  const TRegion ring = Ring().Make_Region(r), shoe = Horse_Shoe().Make_Region(r);
  EXPECT_TRUE(!ring.Contains({50, 50}) && ring.Contains({50, 10}));
  EXPECT_TRUE(!shoe.Contains({50, 50}) && shoe.Contains({10, 90}));
  const TRect semi = Semi_Circle().Make_Region(r).Bounds();
  EXPECT_TRUE(semi.top >= 25 && semi.bottom <= 75);
  const TRegion cresent = Cresent().Make_Region(r);
  EXPECT_TRUE(!cresent.Contains({90, 50}) && cresent.Contains({30, 50}));
}

TEST_F(Shapes_Test, Octagon_Adjusts_Only_When_Painted_In_A_Rectangle) {
  Octagon octagon;
  Shape_Drawing painted(100, 100, nullptr, White), region(100, 100, nullptr, White);
  painted.Paint_Shape(octagon, TRect(0, 0, 100, 100), Red, Red);
  {
    TDibDC dc(*region.Bitmap);
    dc.SelectObject(*colors.Palette);
    dc.FillRgn(octagon.Make_Region(TRect(0, 0, 100, 100)), TBrush(Red));
  }
  int painted_count = 0, region_count = 0;
  for (int i = 0; i < 100 * 100; ++i) {
    painted_count += painted.Bitmap->GetBits()[i] == Index(Red);
    region_count += region.Bitmap->GetBits()[i] == Index(Red);
  }
  EXPECT_GT(painted_count, region_count);
}

TEST_F(Shapes_Test, Arch_Edge_At_301_Pixels) {
  for (int width : {300, 301}) {
    Shape_Drawing picture(320, 320, nullptr, White);
    picture.Paint_Shape(Arch(), TRect(0, 0, width, 300), No_Color, Black);
    const int cx = width >> 1, hw = width >> 1, hh = 150;
    const TPoint p4{cx - hw, 300 - hh};
    // LineTo leaves out its end: the stroke stops next to its end point.
    if (width == 300) EXPECT_EQ(Top_Pixel(picture, p4.x + 1, p4.y + 1), Index(Black));
    else EXPECT_EQ(Top_Pixel(picture, p4.x, p4.y), Index(Black));
    // Drawn inverting, a pixel both the line and the outer arc reach turns
    // back: p4 is the line's end (left out) up to 300 wide, inside it past.
    TDibDC dc(*picture.Bitmap);
    dc.PatBlt(TRect(0, 0, 320, 320), WHITENESS);
    dc.SetROP2(R2_NOT);
    Arch().Paint_Extras(dc, TRect(0, 0, width, 300));
    EXPECT_EQ(Top_Pixel(picture, p4.x, p4.y) == Index(White), width == 301) << width;
  }
}

TEST_F(Shapes_Test, Shape_Of_The_Background_Colour_Shows) {
  for (TColor background : {White, Blue}) {
    Shape_Drawing picture(100, 100, nullptr, background);
    for (int i = 0; i < 100 * 100; ++i) picture.Bitmap->GetBits()[i] = Index(Red);
    picture.Add_Shape(Square(), Affine_Transform_2D(0.5f, 0.0f, 0.25f, 0.0f, 0.5f, 0.25f), TRect(0, 0, 100, 100),
                      background, No_Color);
    EXPECT_TRUE(Top_Pixel(picture, 50, 50) == Index(background) && Top_Pixel(picture, 5, 5) == Index(Red));
    EXPECT_EQ(picture.Background, background);
  }
}

TEST_F(Shapes_Test, Five_Generations_Of_Five) {
  Shape_Drawing square(360, 360, nullptr, White);
  square.Add_Shape(Square(), Affine_Transform_2D(0.5f, 0.0f, 0.25f, 0.0f, 0.5f, 0.25f), TRect(0, 0, 360, 360), Red,
                   Black);
  Transform_Set_2D five;
  for (auto [e, f] : {std::pair{0.0f, 0.6667f}, {0.6667f, 0.6667f}, {0.6667f, 0.0f}, {0.0f, 0.0f}, {0.3333f, 0.3333f}})
    five.Add_Map(std::make_unique<Affine_Transform_2D>(0.3333f, 0.0f, e, 0.0f, 0.3333f, f));
  Snapshot(square, "five_generation_0");
  auto current = std::make_unique<Shape_Drawing>(square, false);
  for (int generation = 1; generation <= 5; ++generation) {
    current = std::make_unique<Shape_Drawing>(*current, five);
    Snapshot(*current, "five_generation_" + std::to_string(generation));
  }
  // The middle of the middle ninth is inked at every level.
  EXPECT_TRUE(Pixel(*current, 180, 180) == Index(Red) && Pixel(*current, 180, 60) == Index(White));
}

}  // namespace
