// The shape palette: what each button sends, the last button by level, the
// hit areas, and refusals while the drawing is busy.
#include "workspace/shape_palette.h"

#include "tests/workspace/colours_stage.h"

namespace {

class Shape_Palette_Test : public testing::Test {
 protected:
  void Make(int level_index) {
    palette = new Shape_Palette(stage.parent, TPoint(20, 20), level_index);
    ASSERT_TRUE(palette->Create());
    stage.Idle();
  }
  TPoint Cell_Point(int button, int dx, int dy) const {
    return palette->Buttons[size_t(button)]->GetWindowRect().TopLeft().Offset_By(dx, dy);
  }
  std::vector<std::pair<WPARAM, LPARAM>> Chosen() {
    std::vector<std::pair<WPARAM, LPARAM>> out;
    for (const auto& m : stage.parent->Posted)
      if (m.msg == Shape_Selected_Message) out.push_back({m.wp, m.lp});
    stage.parent->Posted.clear();
    return out;
  }

  Colours_Stage stage{800};
  Shape_Palette* palette = nullptr;
};

TEST_F(Shape_Palette_Test, Each_Button_Sends_Its_Shape_Number_And_Object) {
  Make(4);
  const int s = palette->S;
  for (int i = 0; i < Shape_Palette::Button_Count; ++i) {
    stage.Click(Cell_Point(i, s / 2, s / 2));
    const int expected = i == 14 ? 20 : i;
    const auto chosen = Chosen();
    ASSERT_EQ(chosen.size(), 1u) << i;
    EXPECT_EQ(chosen[0].first, WPARAM(expected));
    EXPECT_EQ(reinterpret_cast<const Shape*>(chosen[0].second), palette->Shapes_By_Id[size_t(expected)]);
    EXPECT_FALSE(palette->Buttons[size_t(i)]->Pressed()) << "up again after the release";
  }
}

TEST_F(Shape_Palette_Test, The_Last_Button_Follows_The_Level) {
  struct Case {
    int previous, level;
    bool overlay, rebuilt;
  } cases[] = {{0, 2, false, false}, {2, 3, true, true}, {3, 4, true, false}, {4, 0, false, true}};
  Make(0);
  EXPECT_STREQ(palette->Buttons[14]->Tip_Text(), "Arch");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.level);
    // A kept overlay button keeps its sign; a rebuilt one starts afresh.
    if (palette->Overlay_Button()) palette->Overlay_Button()->Set_Can_Add(false);
    palette->Set_Level(c.previous, c.level);
    stage.Idle();
    EXPECT_EQ(palette->Overlay_Button() != nullptr, c.overlay);
    if (c.overlay) {
      EXPECT_EQ(palette->Overlay_Button()->Can_Add, c.rebuilt);
    }
    EXPECT_TRUE(palette->Buttons[14]->IsWindow());
  }
  palette->Set_Level(0, 3);
  Reference_Button* overlay = palette->Overlay_Button();
  EXPECT_STREQ(overlay->Tip_Text(), "Add Overlay");
  overlay->Set_Can_Add(false);
  EXPECT_STREQ(overlay->Tip_Text(), "Remove Overlay");
}

TEST_F(Shape_Palette_Test, A_Button_Taken_Away_While_It_Holds_The_Mouse_Lets_It_Go) {
  Make(3);
  stage.Move(Cell_Point(14, palette->S / 2, palette->S / 2));
  ASSERT_TRUE(The_Mouse->Holds(palette->Buttons[14]));
  palette->Set_Level(3, 0);
  EXPECT_EQ(The_Mouse->Holder(), nullptr);
  stage.Move(Cell_Point(14, palette->S / 2 + 1, palette->S / 2));
  stage.Click(Cell_Point(14, palette->S / 2, palette->S / 2));
  EXPECT_EQ(Chosen().size(), 1u);
}

TEST_F(Shape_Palette_Test, Clicks_Inside_A_Cells_Box_Choose_Unless_The_Drawing_Is_Busy) {
  Make(0);
  const TRect box = palette->Buttons[5]->Hit_Region.Bounds();
  stage.Click(Cell_Point(5, box.left + 1, box.top + 1));  // outside the disc, inside its box
  EXPECT_EQ(Chosen().size(), 1u);
  stage.Click(Cell_Point(5, 0, 0));  // the cell's margin
  EXPECT_TRUE(Chosen().empty());
  palette->Set_Enabled(false);
  stage.Click(Cell_Point(1, palette->S / 2, palette->S / 2));
  EXPECT_TRUE(Chosen().empty());
  EXPECT_FALSE(palette->Buttons[1]->Pressed());
  palette->Set_Enabled(true);
  stage.Click(Cell_Point(1, palette->S / 2, palette->S / 2));
  EXPECT_EQ(Chosen().size(), 1u);
}

}  // namespace
