// The editor through its window: opening and closing with the messages and
// the caller's set, layout tables, selection by click, Shift-click and
// band, the commands and their undo, handle and notch drags with snapping,
// refused moves, and the group frame of copies on one line.
#include "manipulators/transform_edit_window.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/manipulators/editor_fixture.h"

namespace {

const Affine_Transform_2D Shear = Unit_Map(0.5f, 0.5f, 0, 1, 0, 0);
const Affine_Transform_2D Quarter = Unit_Map(0.5f, 0, 0, 0.5f, 0.25f, 0.25f);

TEST_F(Editor_Test, Layout_Tables) {
  const TRect& a = editor->Edit_Area;
  // Division columns hold their exact fractions, tenths over eighths over
  // sixths; the rest lie on the 0.005 grid.
  for (auto [n, d, v] : {std::tuple{5, 10, 0.5f}, {1, 8, 0.125f}, {1, 6, 1.0f / 6.0f}, {0, 1, 0.0f}})
    EXPECT_EQ(editor->Snap_Table[size_t(a.left + a.Width() * n / d)], v) << n << "/" << d;
  const float other = editor->Snap_Table[size_t(a.left + 7)];
  EXPECT_FLOAT_EQ(other * 200.0f, std::round(other * 200.0f));
  // (n - 1)^2 grid crossings, column by column.
  EXPECT_EQ((std::vector{editor->Grid_Points[0].size(), editor->Grid_Points[1].size(), editor->Grid_Points[3].size()}),
            (std::vector<size_t>{0, 81, 25}));
  EXPECT_EQ(editor->Grid_Points[3][1].x, editor->Grid_Points[3][0].x);
}

// Beyond the snap table a point goes to the nearest 0.005, rounded, not
// cut toward zero or down.
TEST_F(Editor_Test, Points_Outside_The_Snap_Table_Round_To_The_Grid) {
  int rounded_up = 0;
  for (int x = -60; x < 0; ++x) {
    const TPoint p(x, editor->Frame_Rect.Height() / 2 + x);
    ASSERT_FALSE(editor->Client_Rect.Contains(p));
    const Point_2D free = editor->View_Inverse.Map_Point(float(p.x), float(p.y));
    const Point_2D unit = editor->Snapped_Unit_Point(p);
    EXPECT_FLOAT_EQ(unit.x, float(std::round(double(free.x) * 200.0) * 0.005)) << x;
    EXPECT_FLOAT_EQ(unit.y, float(std::round(double(free.y) * 200.0) * 0.005)) << x;
    rounded_up += std::round(double(free.x) * 200.0) != std::floor(double(free.x) * 200.0);
  }
  EXPECT_GT(rounded_up, 0);
}

TEST_F(Editor_Test, Cancel_And_OK_Hand_The_Set_Back_Only_On_OK) {
  Transform_Set_2D set = Set_Of({Shear});
  Open(set);
  EXPECT_TRUE(editor->IsWindowVisible());
  EXPECT_EQ(Take_Host_Log(), (std::vector<std::string>{"active 1"}));
  editor->Cmd_Add();
  EXPECT_EQ(editor->Image_Count(), 2);
  EXPECT_EQ(set.Count(), 1);  // the caller's set waits for OK
  editor->Corner_Clicked(2);
  Run_Until_Idle();
  EXPECT_EQ(Take_Host_Log(), (std::vector<std::string>{"active 0", "edited 2"}));
  EXPECT_FALSE(editor->IsWindowVisible());
  EXPECT_EQ(set.Count(), 1);
  Open(set);
  EXPECT_TRUE(editor->History.empty());
  editor->Cmd_Add();
  editor->Corner_Clicked(3);
  Run_Until_Idle();
  EXPECT_EQ(Take_Host_Log(), (std::vector<std::string>{"active 1", "active 0", "edited 1"}));
  EXPECT_EQ(set.Count(), 2);
}

TEST_F(Editor_Test, OK_Sorts_By_Colour_Step_Only_With_Colour_Steps) {
  for (bool steps : {false, true}) {
    Transform_Set_2D set = Set_Of({Unit_Map(1, 0, 0, 1, 0, 0, 1), Unit_Map(0.5f, 0, 0, 1, 0, 0, 3), Unit_Map(1, 0, 0, 0.5f, 0, 0, 0)});
    editor->Level_Has_Color_Steps = [steps] { return steps; };
    Open(set);
    editor->Close_Editor(1);
    std::vector<int> order;
    for (int i = 0; i < 3; ++i) order.push_back(static_cast<Affine_Transform_2D*>(set.Map(i))->Color_Step);
    EXPECT_EQ(order, steps ? std::vector<int>({3, 1, 0}) : std::vector<int>({1, 3, 0}));
  }
}

TEST_F(Editor_Test, Click_Selects_The_Lowest_Copy_And_Sends_It_To_The_End) {
  Transform_Set_2D set = Set_Of({Quarter, Unit_Map(0.5f, 0, 0, 0.5f, 0.3f, 0.3f)});
  Open(set);
  Click(At(0.4f, 0.6f));
  EXPECT_EQ(editor->Selected_Image, 1);
  EXPECT_TRUE(Image(1).Equals(Quarter));
  Click(At(0.4f, 0.6f));  // the other one now
  EXPECT_TRUE(Image(1).Equals(Unit_Map(0.5f, 0, 0, 0.5f, 0.3f, 0.3f)));
  // The handles stand on the ring points of the selected copy.
  EXPECT_LE(std::abs(Handle_Centre(0).x - At(0.3f, 0.3f).x), 1);
  Click(At(0.05f, 0.9f));  // the background clears the selection
  EXPECT_EQ(editor->Selected_Image, -1);
  EXPECT_FALSE(editor->Is_Corner_Enabled(1));
}

TEST_F(Editor_Test, Shift_Click_And_Band_Make_Groups) {
  Transform_Set_2D set = Set_Of({Unit_Map(0.25f, 0, 0, 0.25f, 0.1f, 0.1f), Unit_Map(0.25f, 0, 0, 0.25f, 0.6f, 0.1f),
                                 Unit_Map(0.25f, 0, 0, 0.25f, 0.6f, 0.6f)});
  Open(set);
  Click(At(0.2f, 0.2f));
  Shift_Click(At(0.7f, 0.2f));
  EXPECT_EQ(editor->Selected_Image, -1);
  EXPECT_EQ(editor->Selection.Count(), 2);
  EXPECT_FLOAT_EQ(editor->Group_Frame.eM11, 0.75f);
  EXPECT_FLOAT_EQ(editor->Group_Frame.eM22, 0.25f);
  EXPECT_EQ(editor->Group_Frame.Color_Step, -1);
  Shift_Click(At(0.7f, 0.2f));  // toggled out again
  EXPECT_EQ(editor->Selection.Count(), 1);
  // A band round the two right-hand copies.
  Drag(At(0.55f, 0.95f), At(0.95f, 0.05f));
  EXPECT_EQ(editor->Selection.Count(), 2);
  EXPECT_FLOAT_EQ(editor->Group_Frame.eDx, 0.6f);
  EXPECT_FLOAT_EQ(editor->Group_Frame.eM22, 0.75f);
}

TEST_F(Editor_Test, Commands_Stay_Within_One_To_Twelve_And_Undo_Back_To_The_Opened_Set) {
  Transform_Set_2D set = Set_Of({Shear});
  Open(set);
  Click(At(0.5f, 0.5f));
  EXPECT_FALSE(editor->Is_Corner_Enabled(1));  // the last copy stays
  editor->Cmd_Delete();
  EXPECT_EQ(editor->Image_Count(), 1);
  editor->Cmd_Duplicate();
  EXPECT_EQ(editor->Image_Count(), 2);
  EXPECT_EQ(editor->Selected_Image, 1);
  editor->Cmd_Reset();
  EXPECT_TRUE(Image(1).Equals(Affine_Transform_2D()));
  editor->Cmd_Delete();
  EXPECT_EQ(editor->Image_Count(), 1);
  while (editor->Image_Count() < 12) editor->Cmd_Add();
  EXPECT_FALSE(editor->Is_Corner_Enabled(0));
  editor->Cmd_Add();
  editor->Cmd_Duplicate();
  EXPECT_EQ(editor->Image_Count(), 12);
  EXPECT_EQ(editor->Menu.GetMenuString(Transform_Edit_Window::Cm_Undo, MF_BYCOMMAND), "Undo Add");
  while (!editor->History.empty()) editor->Cmd_Undo();
  EXPECT_EQ(editor->Menu.GetMenuString(Transform_Edit_Window::Cm_Undo, MF_BYCOMMAND), "Undo ");
  ASSERT_EQ(editor->Image_Count(), 1);
  EXPECT_TRUE(Image(0).Equals(Shear));
  // Duplicate of a group fits only while the group fits again.
  Transform_Set_2D eight;
  for (int i = 0; i < 8; ++i) eight.Add_Map(Unit_Map(0.1f, 0, 0, 0.1f, 0.1f * i, 0.1f).Clone());
  Open(eight);
  for (int i = 0; i < 4; ++i) editor->Toggle_Selected(Image(i));
  auto duplicate_enabled = [&] {
    TCommandEnabler ce(Transform_Edit_Window::Cm_Duplicate);
    editor->Ce_Duplicate(ce);
    return ce.Enabled();
  };
  EXPECT_TRUE(duplicate_enabled());
  editor->Toggle_Selected(Image(4));
  EXPECT_FALSE(duplicate_enabled());
}

TEST_F(Editor_Test, Handle_Palette_Offers_By_Position_And_Pin) {
  Transform_Set_2D set = Set_Of({Unit_Map(0.5f, 0, 0, 0.5f, 0.25f, 0.25f)});
  Open(set);
  Click(At(0.5f, 0.5f));
  // A corner without a pin: codes 1-8 offered, 1-4 choosable; the copy is
  // not turned, so the axis arrows stand in for the plain ones.
  Click(Handle_Centre(4));
  ASSERT_TRUE(Palette().Is_Open());
  std::vector<int> codes;
  for (int i = 0; i < Palette().Shown_Count; ++i) codes.push_back(Palette().Shown[size_t(i)]->Code);
  EXPECT_EQ(codes, (std::vector<int>{1, 2, 3, 4, 7, 8}));
  EXPECT_FALSE(Palette().Enabled[4]);
  Key(VK_ESCAPE);
  EXPECT_FALSE(Palette().Is_Open());
  // Pin at the centre, then the rotate handle at a corner.
  Choose(8, 1);
  EXPECT_EQ(editor->Manipulator_Tool.Pin, 8);
  Choose(2, 7);
  EXPECT_EQ(editor->Manipulator_Tool.Handle, 2);
  EXPECT_EQ(editor->Manipulator_Tool.Handle_Code, 7);
  // A greyed cell leaves the palette open.
  Click(Handle_Centre(1));
  ASSERT_TRUE(Palette().Is_Open());
  Key(VK_ESCAPE);
}

TEST_F(Editor_Test, Handle_Drags_Snap_Commit_And_Undo) {
  Transform_Set_2D set = Set_Of({Quarter});
  Open(set);
  Click(At(0.5f, 0.5f));
  Choose(8, 2);  // free move on the centre
  EXPECT_EQ(editor->Manipulator_Tool.Handle_Code, 2);
  Drag(Handle_Centre(8), At(0.6f, 0.7f));
  // The centre lands on the tenth-ruler column exactly, and on the 0.005
  // grid next to the row (rows are read from the bottom of the table).
  EXPECT_FLOAT_EQ(Image(0).eDx, 0.35f);
  EXPECT_NEAR(Image(0).eDy, 0.45f, 0.0051f);
  EXPECT_FLOAT_EQ(Image(0).eDy * 200.0f, std::round(Image(0).eDy * 200.0f));
  EXPECT_EQ(editor->History.size(), 1u);
  // Out of the visible circle: refused, the copy as it was, no undo step.
  Drag(Handle_Centre(8), TPoint(1020, 760));
  EXPECT_EQ(Take_Boxes(), (std::vector<std::string>{
                              "Move: You have attempted to moved the copy completely out\nof the visible area.  This is not allowed.\n"}));
  EXPECT_FLOAT_EQ(Image(0).eDx, 0.35f);
  EXPECT_EQ(editor->History.size(), 1u);
  editor->Cmd_Undo();
  EXPECT_TRUE(Image(0).Equals(Quarter));
  EXPECT_EQ(editor->Selected_Image, 0);
  // Dragging the notch turns the copy in place.
  const auto& n = editor->Notch_Screen;
  TPoint from((n[0].x + n[1].x + n[2].x) / 3, (n[0].y + n[1].y + n[2].y) / 3);
  editor->ClientToScreen(from);
  Drag(from, At(0.7f, 0.3f));
  EXPECT_FALSE(Image(0).Equals(Quarter));
  EXPECT_FLOAT_EQ(std::fabs(Image(0).eM11 * Image(0).eM22 - Image(0).eM12 * Image(0).eM21), 0.25f);
}

TEST_F(Editor_Test, A_Group_On_One_Line_Moves_Without_Changing_Shape) {
  // Two copies flattened onto the line y = 0.5.
  const Affine_Transform_2D flat1 = Unit_Map(0.2f, 0, 0, 0, 0.2f, 0.5f), flat2 = Unit_Map(0.2f, 0, 0, 0, 0.6f, 0.5f);
  Transform_Set_2D set = Set_Of({flat1, flat2});
  Open(set);
  editor->Toggle_Selected(flat1);
  editor->Toggle_Selected(flat2);
  editor->Compute_Group_Frame();
  ASSERT_NE(Affine_Transform_2D::Inverse(editor->Group_Frame).eM22, 0.0f);
  editor->Select_Map(&editor->Group_Frame);
  editor->Repaint_Client();
  Choose(8, 2);
  Drag(Handle_Centre(8), At(0.5f, 0.3f));
  ASSERT_TRUE(Take_Boxes().empty());
  for (int i = 0; i < 2; ++i) {
    EXPECT_NEAR(Image(i).eM11, 0.2f, 1e-5f);
    EXPECT_NEAR(Image(i).eM22, 0.0f, 1e-5f);
    EXPECT_NEAR(Image(i).eDy, 0.3f, 1e-4f);
    EXPECT_EQ(Image(i).Color_Step, 0);
  }
}

TEST_F(Editor_Test, Group_Apply_Moves_Only_What_Was_Asked_And_Undoes_Whole) {
  const Affine_Transform_2D a = Unit_Map(0.25f, 0, 0, 0.25f, 0.1f, 0.1f, 2), b = Unit_Map(0.25f, 0, 0, 0.25f, 0.6f, 0.6f, 5);
  Transform_Set_2D set = Set_Of({a, b});
  Open(set);
  editor->Toggle_Selected(a);
  editor->Toggle_Selected(b);
  editor->Compute_Group_Frame();
  // A typed frame that comes back with colour step 0 (as the corner page
  // gives it): the members keep their own steps.
  Affine_Transform_2D moved = editor->Group_Frame;
  moved.eDx += 0.05f;
  moved.Color_Step = 0;
  ASSERT_TRUE(editor->Apply_Dialog(moved));
  EXPECT_EQ(Image(0).Color_Step, 2);
  EXPECT_EQ(Image(1).Color_Step, 5);
  EXPECT_NEAR(Image(1).eDx, 0.65f, 1e-5f);
  // A frame that pushes one member out of sight is refused whole.
  Affine_Transform_2D far = editor->Group_Frame;
  far.eDx += 1.3f;
  EXPECT_FALSE(editor->Apply_Dialog(far));
  EXPECT_NEAR(Image(0).eDx, 0.15f, 1e-5f);
  EXPECT_EQ(Take_Boxes().size(), 1u);
  editor->Cmd_Undo();
  EXPECT_TRUE(Image(0).Equals(a));
  EXPECT_TRUE(Image(1).Equals(b));
  EXPECT_EQ(editor->Selection.Count(), 2);
  EXPECT_FLOAT_EQ(editor->Group_Frame.eDx, 0.1f);
}

TEST_F(Editor_Test, Maps_That_Overflow_Are_Never_Visible) {
  Transform_Set_2D set = Set_Of({Quarter});
  Open(set);
  EXPECT_TRUE(editor->Is_Visible(Quarter));
  EXPECT_FALSE(editor->Is_Visible(Unit_Map(3e38f, 3e38f, 0, 1, 0.5f, 0.5f)));
  EXPECT_FALSE(editor->Is_Visible(Unit_Map(NAN, 0, 0, 1, 0.5f, 0.5f)));
  Click(At(0.5f, 0.5f));
  EXPECT_FALSE(editor->Apply_Dialog(Unit_Map(INFINITY, 0, 0, 1, 0.5f, 0.5f)));
  EXPECT_TRUE(editor->Apply_Refused);
  EXPECT_TRUE(Image(0).Equals(Quarter));
  EXPECT_EQ(Take_Boxes().size(), 1u);
}

}  // namespace
