// The crayon: its composed pixels on light and dark ground, its hot spot at
// the lower left, and that showing, moving and hiding are safe to repeat.
#include "workspace/fill_pointer.h"

#include "platform/gdi/brush.h"
#include "tests/workspace/colours_stage.h"

namespace {

class Fill_Pointer_Test : public testing::Test {
 protected:
  // Paints the left half of the parent black, so the crayon is seen on
  // light and on dark ground.
  void SetUp() override {
    TClientDC dc(*stage.parent);
    dc.FillRect(TRect(0, 0, 300, 400), TBrush(TColor::Black));
  }
  // Checks the crayon's pixels at its place against its pictures.
  void Expect_Composed(TColor color, TColor contrast) {
    Fill_Pointer& p = *stage.pointer;
    TMemoryDC crayon(*p.Crayon), mask(*p.Mask);
    const TRect place = p.Place();
    int inside = 0, outline = 0;
    for (int y = 0; y < place.Height(); ++y)
      for (int x = 0; x < place.Width(); ++x) {
        const TPoint q(x, y);
        const uint32_t shown = stage.Pixel(q + place.TopLeft());
        const bool in_sprite = (uint32_t(mask.GetPixel(q)) & 0xFFFFFF) == 0;
        const bool crayon_white = (uint32_t(crayon.GetPixel(q)) & 0xFFFFFF) == 0xFFFFFF;
        if (!in_sprite) {
          EXPECT_EQ(shown, under[size_t(y * place.Width() + x)]) << x << "," << y;
        } else if (crayon_white) {
          EXPECT_EQ(shown, Colours_Stage::Xrgb(color)) << x << "," << y;
          ++inside;
        } else {
          EXPECT_EQ(shown, Colours_Stage::Xrgb(contrast)) << x << "," << y;
          ++outline;
        }
      }
    EXPECT_GT(inside, 20);
    EXPECT_GT(outline, 20);
  }
  void Remember_Under(TPoint cursor) { under = stage.Pixels(stage.pointer->Place_For(cursor)); }

  Colours_Stage stage;
  std::vector<uint32_t> under;
};

TEST_F(Fill_Pointer_Test, The_Crayon_Shows_Its_Colour_Inside_A_Contrast_Outline_On_Light_And_Dark_Ground) {
  struct Case {
    TPoint cursor;
    TColor color;
  } cases[] = {{{400, 300}, TColor(233, 0, 0)}, {{100, 300}, TColor(233, 0, 0)},
               {{400, 300}, TColor::Black},     {{100, 300}, TColor(255, 255, 255)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cursor.x);
    stage.Move(c.cursor);
    Remember_Under(c.cursor);
    stage.pointer->Set_Color(c.color, The_GUI_Colors->Palette.get());
    stage.pointer->Show_At_Cursor();
    const TColor contrast = The_GUI_Colors->Contrast_Color(c.color);
    EXPECT_NE(Colours_Stage::Xrgb(contrast), Colours_Stage::Xrgb(c.color)) << "the outline stands out";
    Expect_Composed(c.color, contrast);
    stage.pointer->Hide();
  }
}

TEST_F(Fill_Pointer_Test, The_Hot_Spot_Is_The_Lower_Left_Corner_And_Hiding_Restores_The_Screen) {
  const int s = stage.Size(9);
  stage.Move(TPoint(500, 200));
  const TRect watched(400, 0, 700, 400);
  const std::vector<uint32_t> before = stage.Pixels(watched, 3);
  Fill_Pointer& p = *stage.pointer;
  p.Hide();           // hidden: nothing
  p.Move_To_Cursor();  // hidden: nothing
  EXPECT_FALSE(p.Shown());
  p.Set_Color(TColor(0, 0, 200), The_GUI_Colors->Palette.get());
  p.Show_At_Cursor();
  p.Show_At_Cursor();  // shown: nothing
  EXPECT_EQ(p.Place(), TRect(500, 200 - s, 500 + s, 200));
  for (int i = 0; i < 10; ++i) {
    stage.Move(TPoint(510 + 7 * i, 210 + 5 * i));
    p.Move_To_Cursor();
  }
  EXPECT_EQ(p.Place(), TRect(573, 255 - s, 573 + s, 255));
  // A new colour shows at once, in place.
  Remember_Under(TPoint(573, 255));
  p.Set_Color(TColor(0, 200, 0), The_GUI_Colors->Palette.get());
  EXPECT_EQ(p.Place(), TRect(573, 255 - s, 573 + s, 255));
  p.Hide();
  EXPECT_EQ(stage.Pixels(watched, 3), before);
}

}  // namespace
