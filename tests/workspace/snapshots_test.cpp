// Pictures of the colour tools at the three design screens, written when
// QUENDAR_SNAPSHOTS names a folder, to be looked at.
#include "model/shape_catalogue.h"
#include "model/shape_drawing.h"
#include "tests/workspace/colours_stage.h"
#include "workspace/shape_palette.h"

namespace {

class Snapshot_Test : public testing::TestWithParam<int> {
 protected:
  std::string Name(const char* what) const { return std::string("colours_") + what + "_" + std::to_string(GetParam()); }
};

INSTANTIATE_TEST_SUITE_P(Screens, Snapshot_Test, testing::ValuesIn(Design_Widths));

TEST_P(Snapshot_Test, Wheel_At_Rest_Mid_Turn_And_With_Three_Colours_In_The_Bowl) {
  Wheel_Stage stage(GetParam());
  Color_Wheel* wheel = stage.wheel;
  const TRect area = wheel->GetWindowRect();
  stage.session.Snapshot(Name("wheel_black"), area);
  stage.Choose(14);
  stage.session.Snapshot(Name("wheel_rest"), area);
  stage.Click(wheel->Color_Screen_Point(20));
  stage.Advance(33 * 8, 33);
  EXPECT_TRUE(wheel->Animating());
  stage.session.Snapshot(Name("wheel_turning"), area);
  stage.Settle();
  for (int color : {20, 37, 1}) stage.Choose(color), stage.Click_Mixer(Color_Mixer::Spot_Region);
  stage.Move(TPoint(area.right + 20, area.bottom + 20));
  stage.session.Snapshot(Name("mixer_three"), area);
  // The bowl chosen: the tilted pointer shows the mix.
  stage.Click_Mixer(Color_Mixer::Bowl);
  EXPECT_TRUE(wheel->Mixer_Mode);
  stage.Move(TPoint(area.right + 20, area.bottom + 20));
  stage.session.Snapshot(Name("mixer_mode"), area);
}

TEST_P(Snapshot_Test, Palette_At_Every_Level_And_Pressed) {
  Colours_Stage stage(GetParam());
  auto* palette = new Shape_Palette(stage.parent, TPoint(10, 10), 0);
  ASSERT_TRUE(palette->Create());
  stage.Idle();
  const TRect area = palette->GetWindowRect();
  for (int level = 0; level < 5; ++level) {
    palette->Set_Level(std::max(level - 1, 0), level);
    stage.Idle();
    stage.session.Snapshot(Name(("palette_level" + std::to_string(level + 1)).c_str()), area);
  }
  palette->Overlay_Button()->Set_Can_Add(false);
  const TPoint circle = palette->Buttons[5]->GetWindowRect().TopLeft().Offset_By(palette->S / 2, palette->S / 2);
  stage.Move(circle);
  stage.Press(circle);
  stage.session.Snapshot(Name("palette_pressed_minus"), area);
  stage.Release(circle);
}

TEST_P(Snapshot_Test, Crayon_Over_A_Drawing) {
  Colours_Stage stage(GetParam());
  const int side = stage.Size(10);
  Shape_Drawing drawing(side, side, The_GUI_Colors->Palette.get(), TColor::White);
  auto star = Make_Palette_Shape(13);
  drawing.Paint_Shape(*star, TRect(0, 0, side, side), TColor(Wheel_Colors[16]), TColor::No_Color);
  {
    TClientDC dc(*stage.parent);
    drawing.Paint(dc, TRect(20, 20, 20 + side, 20 + side));
  }
  for (TColor color : {TColor(Wheel_Colors[4]), TColor(Wheel_Colors[36]), TColor(Wheel_Colors[37])}) {
    stage.Move(TPoint(20 + side / 2, 20 + side / 2));
    stage.pointer->Set_Color(color, The_GUI_Colors->Palette.get());
    stage.pointer->Show_At_Cursor();
    for (int i = 0; i < 12; ++i) {
      stage.Move(TPoint(20 + side / 2 + 5 * i, 20 + side / 2 - 3 * i));
      stage.pointer->Move_To_Cursor();
    }
    stage.session.Snapshot(Name(("crayon_" + std::to_string(uint32_t(color) & 0xFFFFFF)).c_str()),
                           TRect(20, 20, 20 + side, 20 + side));
    stage.pointer->Hide();
  }
}

}  // namespace
