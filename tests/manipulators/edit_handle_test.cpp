// Handle shapes and the handle palette: the 32 arrowhead directions, the
// handle frame, the palette's cells by offered and enabled kinds, its keys
// and releases, and the handles that follow the selected copy's axes.
#include "manipulators/edit_handle.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <tuple>

#include "manipulators/handle_palette.h"
#include "tests/manipulators/editor_fixture.h"

namespace {

TEST(Edit_Handle, Arrow_Directions) {
  const std::tuple<int, int, int> cases[] = {
      {1, 0, 0},    {0, -1, 8},   {-1, 0, 16},  {0, 1, 24},   {5, -5, 4},   {-5, -5, 12},  {-5, 5, 20},
      {5, 5, 28},   {10, -9, 4},  {10, -8, 3},  {10, -4, 2},  {10, -3, 1},  {3, -10, 7},   {-10, -3, 15},
      {-3, 10, 23}, {3, 10, 25},  {10, 3, 31},  {-10, 4, 18}};
  for (auto [dx, dy, dir] : cases) EXPECT_EQ(Arrow_Direction(dx, dy), dir) << dx << "," << dy;
}

class Handle_Palette_Test : public Editor_Test {
 protected:
  void SetUp() override {
    Editor_Test::SetUp();
    palette = &Palette();
    palette->Editor = host;
  }
  // The codes of the cells shown, or of those greyed.
  std::vector<int> Codes(bool greyed_only = false) {
    std::vector<int> codes;
    for (int i = 0; i < palette->Shown_Count; ++i)
      if (!greyed_only || !palette->Enabled[size_t(i)]) codes.push_back(palette->Shown[size_t(i)]->Code);
    return codes;
  }
  Handle_Palette* palette = nullptr;
};

TEST_F(Handle_Palette_Test, Frame_Spans_The_Handle) {
  const int hs = Edit_Handle::Size();
  const Affine_Transform_2D& frame = Edit_Handle::Frame_Map();
  const Point_2D low = frame.Map_Point(-0.5f, -0.5f), high = frame.Map_Point(0.5f, 0.5f);
  EXPECT_FLOAT_EQ(high.x - low.x, float(hs - 4));
  EXPECT_FLOAT_EQ(low.y - high.y, float(hs - 4));  // y turns downward
}

TEST_F(Handle_Palette_Test, Cells_Follow_Offered_And_Enabled_Kinds) {
  // A turned copy: a corner offers 1-8, the pin allows 1, 5, 6 and 7.
  palette->Set_Axis_Slopes(0.5f, -2.0f, true);
  palette->Set_Rotation(0.3f, true);
  palette->Set_Scale_Slope(1.0f, true);
  palette->Show(TPoint(100, 100), 0xFF, 0x71);
  EXPECT_EQ(Codes(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(Codes(true), (std::vector<int>{2, 3, 4, 8}));
  EXPECT_EQ(palette->GetClientRect().Width(), 4 * Edit_Handle::Size() + 4);
  Key(VK_ESCAPE);
  // Unturned: the axis arrows stand in for the plain ones.
  palette->Set_Axis_Slopes(0.0f, FLT_MAX, true);
  palette->Show(TPoint(100, 100), 0xFF, 0x71);
  EXPECT_EQ(Codes(), (std::vector<int>{1, 2, 5, 6, 7, 8}));
  EXPECT_EQ(palette->GetClientRect().Width(), 3 * Edit_Handle::Size() + 4);
  Key(VK_ESCAPE);
  EXPECT_EQ(Take_Host_Log(), (std::vector<std::string>{"chosen 0", "chosen 0"}));
  // Five kinds: three columns, the sixth cell empty; a release off the
  // cells closes with no choice.
  palette->Set_Axis_Slopes(0.5f, -2.0f, true);
  palette->Show(TPoint(100, 100), 0x1F, 0x1F);
  EXPECT_EQ(palette->Shown_Count, 5);
  EXPECT_EQ(palette->Cell_At(palette->Cells[5].TopLeft()), -1);
  Click(TPoint(50, 50));
  EXPECT_FALSE(palette->Is_Open());
  EXPECT_EQ(Take_Host_Log(), (std::vector<std::string>{"chosen 0"}));
}

TEST_F(Handle_Palette_Test, Keys_Move_The_Highlight_And_Choose) {
  palette->Set_Axis_Slopes(0.5f, -2.0f, true);
  palette->Show(TPoint(100, 100), 0xFF, 0x71);
  Run_Until_Idle();
  EXPECT_EQ(TWindow::GetFocus(), palette->GetHandle());
  const std::tuple<UINT, int> steps[] = {{VK_DOWN, 0}, {VK_DOWN, 1}, {VK_UP, 0}, {VK_RIGHT, 2},
                                         {VK_RIGHT, 4}, {VK_DOWN, 5}, {VK_LEFT, 3}};
  for (auto [key, hover] : steps) {
    Key(key);
    EXPECT_EQ(palette->Hover, hover) << key;
  }
  Key(VK_RETURN);  // code 4, greyed: no choice
  EXPECT_EQ(Take_Host_Log(), (std::vector<std::string>{"chosen 0"}));
  palette->Show(TPoint(100, 100), 0xFF, 0x71);
  headless->Key(VK_LEFT);  // none highlighted: the last column's top
  headless->Key(VK_DOWN);
  headless->Key(VK_RETURN);
  Run_Until_Idle();
  EXPECT_EQ(Take_Host_Log(), (std::vector<std::string>{"chosen 6 handle"}));
}

TEST_F(Handle_Palette_Test, Axis_Handles_Trade_Places_With_The_Axes) {
  palette->Set_Axis_Slopes(0.5f, -2.0f, false);
  Edit_Handle* x_arrow = palette->Handle_Of(5);
  Edit_Handle* x_flip = palette->Handle_Of(11);
  palette->Set_Axis_Slopes(-2.0f, 0.5f, false);
  EXPECT_EQ(palette->Handle_Of(6), x_arrow);
  EXPECT_EQ(palette->Handle_Of(12), x_flip);
  EXPECT_EQ(x_arrow->Code, 6);
  EXPECT_EQ(x_flip->Code, 12);
  palette->Set_Axis_Slopes(1.0f, 0.5f, false);
  EXPECT_EQ(static_cast<One_Degree_Handle*>(palette->Handle_Of(5))->Slope, 1.0f);
  EXPECT_EQ(palette->Handle_Of(6), x_arrow);
}

}  // namespace
