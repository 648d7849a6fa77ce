// The colour wheel and its mixer, driven through the window layer: choosing
// every colour by a click, the needle's travel, the rim and turn tables,
// the nearest-colour rule, colours coming back, and the bowl.
#include "workspace/color_wheel.h"

#include <cmath>

#include "platform/system/clock.h"
#include "tests/workspace/colours_stage.h"
#include "workspace/eraser.h"

namespace {

class Wheel_Test : public testing::TestWithParam<int> {
 protected:
  Wheel_Stage stage{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(Screens, Wheel_Test, testing::ValuesIn(Design_Widths));

TEST_P(Wheel_Test, A_Click_On_Each_Colour_Chooses_It_And_The_Needle_Settles_On_It) {
  Color_Wheel& w = *stage.wheel;
  EXPECT_EQ(w.Current_Color_Entry(), TColor(Wheel_Colors[36]));
  for (int color : {12, 18, 17, 0, 5, 30, 37, 29, 36, 11, 24, 6}) {
    SCOPED_TRACE(color);
    stage.Click(w.Color_Screen_Point(color));
    EXPECT_LE(stage.Settle(), 90) << "the wheel settles within three seconds";
    EXPECT_EQ(w.Selected, color);
    EXPECT_EQ(stage.pointer->Color, TColor(Wheel_Colors[color]));
    const int ring = color == 36 ? 0 : color == 37 ? 4 : color / 12 + 1;
    EXPECT_EQ(w.Tip_Y, w.Cy - w.Radius[size_t(ring)]);
    if (color < 36) {
      EXPECT_EQ(w.Region_Color(color / 12 * 12), color) << "the colour sits at the top";
      EXPECT_EQ(stage.Needle_Pixel(), Colours_Stage::Xrgb(Wheel_Colors[color])) << "the needle shows it";
    }
  }
  // Every static region, at the resting angle now, chooses what it shows.
  for (int region = 0; region < 38; ++region) {
    SCOPED_TRACE(region);
    const int color = w.Region_Color(region);
    stage.Click(w.Region_Screen_Point(region));
    stage.Settle();
    EXPECT_EQ(w.Selected, color);
  }
}

TEST_P(Wheel_Test, Turns_Go_The_Short_Way_And_Presses_While_Turning_Are_Ignored) {
  Color_Wheel& w = *stage.wheel;
  stage.Choose(12);  // ring 1 at the top
  stage.Click(w.Color_Screen_Point(18));  // six slots away
  EXPECT_EQ(w.Turn_Left, 180);
  stage.Click(w.Color_Screen_Point(36));  // ignored while turning
  stage.Settle();
  EXPECT_EQ(w.Selected, 18);
  stage.Click(w.Color_Screen_Point(23));  // five slots away
  EXPECT_EQ(w.Turn_Left, -150);
  stage.Settle();
  EXPECT_EQ(w.Angle, 105);  // 75 - 30 * 11, wrapped
}

TEST_P(Wheel_Test, The_Rim_And_Sectors_Cover_The_Whole_Circle) {
  Color_Wheel& w = *stage.wheel;
  // Angles outside -180..179 wrap into the table.
  for (int angle : {-540, -181, 180, 255, 539, 1000})
    EXPECT_EQ(w.Rim_Point(angle), w.Rim_Point(((angle % 360) + 540) % 360 - 180)) << angle;
  EXPECT_EQ(w.Rim_Point(0), TPoint(w.Cx + w.R, w.Cy));
  EXPECT_EQ(w.Rim_Point(90), TPoint(w.Cx, w.Cy - w.R));
  // Each ring's twelve sectors fill its annulus without overlap.
  for (int ring = 1; ring <= 3; ++ring) {
    TRegion all;
    int area = 0, annulus = 0;
    for (int s = 0; s < 12; ++s) {
      const TRegion& sector = w.Sector[size_t((ring - 1) * 12 + s)];
      EXPECT_FALSE(sector.IsEmpty());
      EXPECT_TRUE((all & sector).IsEmpty()) << ring << " " << s;
      all |= sector;
      for (const TRect& r : sector.Rects()) area += r.Width() * r.Height();
    }
    for (const TRect& r : w.Circle[size_t(ring)].Rects()) annulus += r.Width() * r.Height();
    EXPECT_NEAR(area, annulus, annulus / 50) << ring;
  }
  EXPECT_EQ((std::array{w.Turn_Speed[0], w.Turn_Speed[180], w.Turn_Speed[181], w.Turn_Speed[360]}),
            (std::array{-180, 0, 13, 180}));
}

TEST(Color_Wheel_Alone, Angles_Wrap_Ticks_End_Turns_And_Colours_Brought_Back_Are_Chosen) {
  Wheel_Stage stage(1024);
  Color_Wheel& w = *stage.wheel;
  // Resting with slot 10 or 11 at the top puts the angle at -225 + 360 = 135
  // and -255 + 360 = 105; turning through -180 the angle is negative.
  for (int angle : {-180, -179, -100, -1, 0, 105, 135, 179}) {
    w.Angle = angle;
    for (int region = 0; region < 36; ++region) {
      const int c = w.Region_Color(region);
      EXPECT_GE(c, region / 12 * 12) << angle;
      EXPECT_LT(c, region / 12 * 12 + 12) << angle;
    }
    w.Draw_All();  // the needle's colour index stays in the table
  }
  // A long pause or a late tick ends the turn, and a still tick draws nothing.
  // A suspended machine: the tick after the pause turns by the clamp, not
  // by an overflowed product.
  w.Turn_Left = 180;
  w.Step_Start = GetTickCount() - 0xF0000000u;
  w.Animation_Step();
  EXPECT_EQ(w.Turn_Left, 150);
  // Late ticks overshoot a small turn; after more than three the rest is
  // added at once.
  w.Turn_Left = 2;
  w.Angle = 60;
  for (int tick = 0; tick < 10 && w.Turn_Left != 0; ++tick) {
    w.Step_Start = GetTickCount() - 1000;
    w.Animation_Step();
  }
  EXPECT_EQ(w.Turn_Left, 0);
  EXPECT_EQ(w.Angle, 62);
  // The fourth overshoot is the last: not one more, not one fewer.
  EXPECT_EQ(w.Overshoots, 4);
  // At rest a tick moves nothing and draws nothing.
  const int redraws = w.Redraws;
  w.Step_Start = GetTickCount() - 20;
  w.Animation_Step();
  EXPECT_EQ(w.Redraws, redraws);
  // Colours brought back set the wheel or the mixer; others are ignored.
  w.Select_Color(TColor(1, 2, 3));
  EXPECT_EQ(w.Selected, 36);
  EXPECT_FALSE(w.Mixer_Mode);
  w.Select_Color(TColor(Wheel_Colors[29]));
  EXPECT_EQ(w.Selected, 29);
  EXPECT_FALSE(w.Animating());
  EXPECT_EQ(w.Angle, 75 - 5 * 30);
  EXPECT_EQ(w.Tip_Y, w.Cy - w.Radius[3]);
  w.Select_Color(TColor(Wheel_Colors[122]));
  EXPECT_TRUE(w.Mixer_Mode);
  EXPECT_EQ(w.Current_Color_Entry(), TColor(Wheel_Colors[122]));
  EXPECT_EQ(w.Current_Color(), TColor(Wheel_Colors_RGB[122]));
  // Any choice on the wheel leaves mixer mode, even the colour it had.
  stage.Click(w.Color_Screen_Point(29));
  EXPECT_FALSE(w.Mixer_Mode);
  EXPECT_EQ(w.Current_Color_Entry(), TColor(Wheel_Colors[29]));
}

TEST(Nearest_Palette_Color, Picks_The_Closest_Colour_And_The_Lowest_Index_On_A_Tie) {
  Wheel_Stage stage(800);
  struct Case {
    TColor rgb;
    int entry;
  } cases[] = {{TColor(255, 0, 0), 12},      {TColor(244, 127, 127), 122}, {TColor(0, 0, 0), 36},
               {TColor(255, 255, 255), 37},  {TColor(30, 30, 30), 182},    {TColor(233, 0, 0), 12}};
  for (const Case& c : cases) EXPECT_EQ(Nearest_Palette_Color(c.rgb), TColor(Wheel_Colors[c.entry])) << c.entry;
  for (int i = 0; i < Wheel_Color_Count; ++i) {
    int first = 0;  // a colour the table holds twice answers its first entry
    while (Wheel_Colors_RGB[first] != Wheel_Colors_RGB[i]) ++first;
    EXPECT_EQ(Nearest_Palette_Color(Wheel_Colors_RGB[i]), TColor(Wheel_Colors[first])) << i;
  }
}

// ---- The mixer

TEST_P(Wheel_Test, The_Bowl_Mixes_Averages_And_Takes_Back_One_Colour) {
  Color_Wheel& w = *stage.wheel;
  Color_Mixer& m = *w.Mixer;
  stage.Click_Mixer(Color_Mixer::Bowl);  // empty: no mixer mode
  EXPECT_FALSE(w.Mixer_Mode);
  stage.Choose(12);  // red (233, 0, 0)
  stage.Click_Mixer(Color_Mixer::Spot_Region);
  stage.Click_Mixer(Color_Mixer::Spot_Region);  // the same again keeps it
  EXPECT_EQ(m.Mixed_Color, TColor(233, 0, 0));
  stage.Choose(37);  // white
  stage.Click_Mixer(Color_Mixer::Spot_Region);
  EXPECT_EQ(m.Mixed_Color, TColor(244, 127, 127));
  EXPECT_EQ(m.Entry_Color, TColor(Wheel_Colors[122]));
  EXPECT_EQ(stage.Pixel(stage.Screen(Centre(m.Spot))), Colours_Stage::Xrgb(Wheel_Colors[122]));
  stage.Click_Mixer(Color_Mixer::Bowl);
  EXPECT_TRUE(w.Mixer_Mode);
  EXPECT_EQ(w.Current_Color_Entry(), TColor(Wheel_Colors[122]));
  EXPECT_EQ(stage.pointer->Color, TColor(Wheel_Colors[122]));
  // The frame round the spot is inert.
  EXPECT_EQ(m.Hit_Test(TPoint(m.Rim.left + 1, (m.Rim.top + m.Rim.bottom) / 2)), Color_Mixer::Nothing);
  stage.Click_Mixer(Color_Mixer::Wipe_Region);
  EXPECT_EQ(m.Mixed_Color, TColor::No_Color);
  EXPECT_FALSE(w.Mixer_Mode);
  EXPECT_EQ(stage.Pixel(stage.Screen(Centre(m.Spot))), Colours_Stage::Xrgb(The_GUI_Colors->Scheme[0]));
}

TEST_P(Wheel_Test, The_Eraser_Takes_Back_The_Last_Colour_Put_In_And_Then_Refuses) {
  Color_Wheel& w = *stage.wheel;
  Color_Mixer& m = *w.Mixer;
  const TPoint eraser = stage.Screen(Centre(w.Eraser_Rect));
  stage.Choose(4);
  stage.Click_Mixer(Color_Mixer::Spot_Region);
  stage.Choose(16);
  stage.Click_Mixer(Color_Mixer::Spot_Region);
  EXPECT_EQ(The_Eraser->Client, &m);
  stage.Click(eraser);
  EXPECT_EQ(m.Mixed_Color, TColor(Wheel_Colors_RGB[4]));
  EXPECT_EQ(The_Eraser->Shown_Color, TColor(Wheel_Colors[16]));
  EXPECT_EQ(The_Eraser->Client, nullptr) << "one level of undo";
  stage.Click(eraser);
  EXPECT_EQ(m.Mixed_Color, TColor(Wheel_Colors_RGB[4]));
  EXPECT_EQ(The_Eraser->Shown_Color, TColor::No_Color);
  // Choosing the bowl lets the eraser go; a single colour taken back
  // empties the bowl and ends mixer mode.
  stage.Click_Mixer(Color_Mixer::Wipe_Region);
  stage.Click_Mixer(Color_Mixer::Spot_Region);
  stage.Click_Mixer(Color_Mixer::Bowl);
  ASSERT_TRUE(w.Mixer_Mode);
  EXPECT_EQ(The_Eraser->Client, nullptr);
  EXPECT_TRUE(m.Erase());
  EXPECT_EQ(m.Mixed_Color, TColor::No_Color);
  EXPECT_FALSE(w.Mixer_Mode);
  EXPECT_FALSE(m.Erase()) << "nothing left";
}

}  // namespace
