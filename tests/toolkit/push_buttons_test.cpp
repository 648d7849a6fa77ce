// Round and rectangular push buttons: hit tests, press, drag off and back,
// release, captions, pictures, disabled faces, enabling and tips.
#include "toolkit/rectangular_button.h"
#include "toolkit/round_button.h"
#include "tests/toolkit/widget_fixture.h"

namespace {

constexpr int Id = 401;
const std::string Clicked = "command 401 0";

class Push_Buttons_Test : public Widget_Test {
 protected:
  Round_Button* Round(const TRect& r = TRect(100, 100, 180, 180)) { return Made(new Round_Button(main, Id, r)); }
  Rectangular_Button* Rectangle(const TRect& r = TRect(100, 100, 200, 140), int style = 0) {
    return Made(new Rectangular_Button(main, Id, r, style));
  }
  // The rows of b that hold a pixel of xrgb: how many, the first and the last.
  struct Rows {
    int count = 0, first = -1, last = -1;
  };
  static Rows Rows_With(const TBitmap& b, uint32_t xrgb) {
    Rows rows;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x)
        if (b.Surface()->Pixel(x, y) == xrgb) {
          rows = {rows.count + 1, rows.first < 0 ? y : rows.first, y};
          break;
        }
    return rows;
  }
};

TEST_F(Push_Buttons_Test, Captions_Are_Cut_Into_At_Most_Four_Lines) {
  EXPECT_EQ(Caption_Lines("E\nd\ni\nt", 4), (std::vector<std::string>{"E", "d", "i", "t"}));
  EXPECT_EQ(Caption_Lines("N\ne\nw\nX\nY", 4), (std::vector<std::string>{"N", "e", "w", "X"}));
  EXPECT_EQ(Caption_Lines("", 4), (std::vector<std::string>{""}));
  EXPECT_EQ(Caption_Lines("Reset\n", 4), (std::vector<std::string>{"Reset", ""}));
  EXPECT_EQ(Caption_Lines(nullptr, 4), (std::vector<std::string>{""}));
}

TEST_F(Push_Buttons_Test, A_Round_Button_Answers_Only_Inside_Its_Ellipse_And_Only_If_Released_There) {
  Round_Button* b = Round();
  Click({102, 102});  // the window's corner, outside the disc and ring
  EXPECT_TRUE(Take_Log().empty());
  EXPECT_TRUE(!b->On_Button({1, 1}) && b->On_Button({40, 1}));  // the ring counts
  Click({140, 140});
  EXPECT_EQ(Take_Log(), (std::vector<std::string>{Clicked}));
  // Moving off before the release drops the click, coming back restores it.
  Move({140, 140});
  Press({140, 140});
  EXPECT_TRUE(b->Shows_Pressed());
  Move({300, 300});
  EXPECT_FALSE(b->Shows_Pressed());
  Release({300, 300});
  EXPECT_TRUE(Take_Log().empty());
  Move({140, 140});
  Press({140, 140});
  Move({300, 300});
  Move({141, 140});
  Release({141, 140});
  EXPECT_EQ(Take_Log(), (std::vector<std::string>{Clicked}));
  EXPECT_TRUE(Screen_Shows(*b, *b->Normal_Look()));
}

TEST_F(Push_Buttons_Test, A_Round_Caption_Is_Sized_From_The_Height) {
  Round_Button* b = Round(TRect(100, 100, 160, 160));
  b->Set_Caption("Re\nse\nt");
  // Font 10, lines 12 apart, the first at (60 - 37) / 2 = 11.
  const Rows rows = Rows_With(*b->Normal_Look(), Scheme_Xrgb(1));
  EXPECT_TRUE(rows.first >= 11 && rows.last < 11 + 2 * 12 + 10) << rows.first << " " << rows.last;
  EXPECT_GE(Rows_With(*b->Pressed_Look(), Scheme_Xrgb(1)).first, 12);
}

TEST_F(Push_Buttons_Test, A_Disabled_Button_Greys_Its_Face_Follows_New_Content_And_Drops_A_Held_Click) {
  Round_Button* b = Round();
  b->Set_Caption("Apply");
  b->Disable();
  ASSERT_TRUE(b->Is_Disabled());
  EXPECT_TRUE(Screen_Shows(*b, *b->Disabled_Look()));
  const TBitmap before = *b->Disabled_Look();
  b->Set_Caption("OK");
  EXPECT_TRUE(b->Is_Disabled());
  EXPECT_NE(std::vector<uint32_t>(before.Surface()->Row32(40), before.Surface()->Row32(40) + 80),
            std::vector<uint32_t>(b->Disabled_Look()->Surface()->Row32(40), b->Disabled_Look()->Surface()->Row32(40) + 80));
  EXPECT_TRUE(Screen_Shows(*b, *b->Disabled_Look()));
  // The ring keeps its raised look: the greying touches only the disc.
  EXPECT_EQ(b->Disabled_Look()->Surface()->Pixel(40, 1), b->Normal_Look()->Surface()->Pixel(40, 1));
  Click({140, 140});
  EXPECT_TRUE(Take_Log().empty());
  b->Enable();
  EXPECT_TRUE(Screen_Shows(*b, *b->Normal_Look()));
  // The target disabling a held button drops its click.
  Move({140, 140});
  Press({140, 140});
  main->Enabled[Id] = false;
  Move({141, 140});  // a new idle period asks the target
  EXPECT_TRUE(b->Is_Disabled() && Screen_Shows(*b, *b->Disabled_Look()));
  Release({141, 140});
  EXPECT_TRUE(Take_Log().empty() && !mouse->Holds(b));
  main->Enabled[Id] = true;
  Move({142, 140});
  EXPECT_FALSE(b->Is_Disabled());
}

TEST_F(Push_Buttons_Test, Hovering_Holds_The_Mouse_For_The_Tip_And_A_Click_Lets_Go) {
  Round_Button* b = Round();
  bitmaps->Get(27, TSize(60, 60));
  b->Set_Picture(*bitmaps->Pictures[27], "Gallery", true);
  Move({140, 140});
  EXPECT_TRUE(mouse->Holds(b));
  Advance(1250);
  EXPECT_TRUE(tip->Shown);
  Press({140, 140});
  EXPECT_FALSE(tip->Shown);
  Release({140, 140});
  EXPECT_EQ(Take_Log(), (std::vector<std::string>{Clicked}));
  Move({141, 140});  // the next move over it takes the mouse again
  EXPECT_TRUE(mouse->Holds(b));
  Move({300, 300});
  EXPECT_TRUE(!mouse->Holds(b) && tip->Item == nullptr);
  // Hover tips work on a disabled button too.
  b->Disable();
  Move({140, 140});
  Advance(1250);
  EXPECT_TRUE(tip->Shown);
}

TEST_F(Push_Buttons_Test, A_Button_Destroyed_While_Its_Tip_Waits_Leaves_No_Dangling_Tip) {
  Round_Button* b = Round();
  b->Set_Caption("Help");
  bitmaps->Get(21, TSize(60, 60));
  b->Set_Picture(*bitmaps->Pictures[21], "Help", true);
  Move({140, 140});
  Advance(500);
  delete b;
  Advance(2000);
  EXPECT_TRUE(!tip->Shown && tip->Item == nullptr);
}

TEST_F(Push_Buttons_Test, Rectangular_Caption_Font_Heights) {
  // At the 800 column the bevel is 4 and the caption margin 3.
  Rectangular_Button* b = Rectangle(TRect(10, 10, 110, 50));
  EXPECT_EQ((std::vector<int>{b->Inner_Rect.Height(), b->Caption_Font_Height(1), b->Caption_Font_Height(4)}),
            (std::vector<int>{32, 28, 8}));
  Rectangular_Button* tall = Rectangle(TRect(10, 60, 50, 168));
  EXPECT_EQ((std::vector<int>{tall->Inner_Rect.Height(), tall->Caption_Font_Height(4)}), (std::vector<int>{100, 20}));
  tall->Set_Caption("E\nd\ni\nt");
  const Rows rows = Rows_With(*tall->Normal_Look(), Scheme_Xrgb(1));
  // From the inner top plus half the margin.
  EXPECT_TRUE(rows.count > 0 && rows.first >= 4 + 1 && rows.last <= 4 + 1 + 3 * 25 + 20) << rows.first << " " << rows.last;
}

TEST_F(Push_Buttons_Test, Rectangular_Faces_Bevel_Swap_When_Pressed_And_Keep_The_Bevel_When_Greyed) {
  Rectangular_Button* dark = Rectangle(TRect(10, 10, 110, 50), 1);
  EXPECT_EQ(std::pair(dark->Face_Color, dark->Text_Color), std::pair(The_GUI_Colors->Scheme[1], The_GUI_Colors->Scheme[0]));
  auto normal = [&](int x, int y) { return dark->Normal_Look()->Surface()->Pixel(x, y); };
  auto pressed = [&](int x, int y) { return dark->Pressed_Look()->Surface()->Pixel(x, y); };
  // Raised: black along the bottom and the right, a light upper band, a dark
  // lower one, the face between; pressed: black along the left and the top,
  // the bands swapped.
  EXPECT_EQ((std::vector<uint32_t>{normal(50, 39), normal(99, 20), normal(50, 1), normal(50, 36), normal(50, 20)}),
            (std::vector<uint32_t>{0, 0, Scheme_Xrgb(5), Scheme_Xrgb(3), Scheme_Xrgb(1)}));
  EXPECT_EQ((std::vector<uint32_t>{pressed(0, 20), pressed(50, 0), pressed(50, 2), pressed(50, 37)}),
            (std::vector<uint32_t>{0, 0, Scheme_Xrgb(3), Scheme_Xrgb(5)}));

  Rectangular_Button* b = Rectangle(TRect(10, 60, 110, 100));
  b->Set_Caption("Setup");
  b->Disable();
  const TBitmap& grey = *b->Disabled_Look();
  const TBitmap& raised = *b->Normal_Look();
  for (int x = 0; x < 100; ++x) EXPECT_EQ(grey.Surface()->Pixel(x, 1), raised.Surface()->Pixel(x, 1)) << x;
  EXPECT_EQ(Rows_With(grey, Scheme_Xrgb(1)).count, 0);  // the caption is greyed
  EXPECT_GT(Rows_With(grey, Scheme_Xrgb(2)).count, 0);
}

TEST_F(Push_Buttons_Test, The_Target_Switches_A_Rectangular_Button_At_Idle) {
  Rectangular_Button* b = Rectangle();
  b->Set_Caption("Abort");
  main->Enabled[Id] = false;
  Move({10, 10});
  EXPECT_TRUE(b->Is_Disabled() && Screen_Shows(*b, *b->Disabled_Look()));
  Click({150, 120});
  EXPECT_TRUE(Take_Log().empty());
  main->Enabled[Id] = true;
  Move({11, 10});
  EXPECT_TRUE(Screen_Shows(*b, *b->Normal_Look()));
  Click({100, 100});  // it answers in its very corners
  Click({199, 139});
  EXPECT_EQ(Take_Log(), (std::vector<std::string>{Clicked, Clicked}));
}

}  // namespace
