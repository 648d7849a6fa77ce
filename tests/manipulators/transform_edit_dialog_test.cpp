// The numeric dialog beside the editor, driven through keys and clicks: the
// three pages turn typed numbers into maps, Apply hands them to the editor,
// refusals change nothing, and the tab switch carries typed values.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>

#include "manipulators/transform_corner_dialog.h"
#include "manipulators/transform_edit_dialog.h"
#include "manipulators/transform_handle_dialog.h"
#include "manipulators/transform_matrix_dialog.h"
#include "tests/manipulators/editor_fixture.h"
#include "toolkit/ext_edit.h"
#include "toolkit/narrow_folder.h"
#include "toolkit/round_button.h"
#include "workspace/color_step_control.h"

namespace {

class Dialog_Test : public Editor_Test {
 protected:
  explicit Dialog_Test(int width = 1024) : Editor_Test(width, true) {}

  Transform_Edit_Dialog& Dialog() {
    auto* dialog = dynamic_cast<Transform_Edit_Dialog*>(host->ChildWithId(Transform_Edit_Dialog::Window_Id));
    EXPECT_NE(dialog, nullptr);
    return *dialog;
  }
  Transform_Matrix_Dialog& Matrix() { return *Dialog().Matrix_Page; }
  Transform_Corner_Dialog& Corners() { return *Dialog().Corner_Page; }
  Transform_Handle_Dialog& Handles() { return *Dialog().Handle_Page; }

  static TPoint Centre_Of(const TWindow& w) {
    const TRect r = w.GetWindowRect();
    return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  void Click_Tab(int index) { Click(Centre_On_Screen(*Dialog().Folder, Dialog().Folder->Tabs[size_t(index)].Rect)); }
  // Digits, '.', '-' and 'e'.
  void Type(const std::string& text) {
    for (char c : text) Key(c == '.' ? VK_OEM_PERIOD : c == '-' ? VK_OEM_MINUS : UINT(std::toupper(c)));
  }
  // Clicks into a field and types over its whole text.
  void Replace(TWindow& field, const std::string& text) {
    Click(Centre_Of(field));
    Key(VK_HOME);
    headless->Key_Down(VK_SHIFT);
    Key(VK_END);
    headless->Key_Up(VK_SHIFT);
    Run_Until_Idle();
    if (text.empty()) Key(VK_DELETE);
    Type(text);
  }
  void Press_Apply() { Click(Centre_Of(*Dialog().Apply_Button)); }
  bool Apply_Enabled() {
    Run_Until_Idle();
    return !Dialog().Apply_Button->Is_Disabled();
  }
  static std::vector<std::string> Texts(const std::array<Number_Edit<float>*, 6>& fields) {
    std::vector<std::string> out;
    for (auto* f : fields) out.push_back(f->GetText());
    return out;
  }
  Transform_Set_2D quarter = Set_Of({Unit_Map(0.5f, 0, 0, 0.5f, 0.25f, 0.25f)});
  // Opens set and selects its first image.
  void Open_And_Select(Transform_Set_2D& set, Point_2D inside) {
    Open(set);
    Click(At(inside.x, inside.y));
    ASSERT_EQ(editor->Selected_Image, 0);
  }
};

using Texts_6 = std::vector<std::string>;

TEST_F(Dialog_Test, The_Pages_Show_The_Selected_Map_And_Start_Unchanged) {
  Transform_Set_2D set = Set_Of({Unit_Map(1.0f / 3, 0, 0, 0.5f, 0.25f, 0.125f)});
  Open(set);
  // Nothing selected: no fields anywhere, Apply and Reset off.
  EXPECT_FALSE(Handles().Target_Shown || Handles().Relative_Shown);
  EXPECT_FALSE(Apply_Enabled());
  Click(At(0.3f, 0.3f));
  ASSERT_EQ(editor->Selected_Image, 0);
  Click_Tab(1);
  EXPECT_EQ(Dialog().Shown_Page, &Corners());
  EXPECT_TRUE(Corners().Fields_Shown);
  EXPECT_EQ(Texts(Corners().Corner_Fields), (Texts_6{"0.25", "0.125", "0.583333", "0.125", "0.25", "0.625"}));
  EXPECT_FALSE(Dialog().Has_Changed(true));
  Click_Tab(2);
  EXPECT_EQ(Texts(Matrix().Coefficient_Fields), (Texts_6{"0.333333", "0", "0", "0.5", "0.25", "0.125"}));
  // The fields round 1/3, yet nothing counts as changed.
  EXPECT_FALSE(Dialog().Has_Changed(true));
  EXPECT_FALSE(Apply_Enabled());
  // An index outside the tabs shows the Handles page.
  Dialog().Tab_Selected(7);
  EXPECT_EQ(Dialog().Shown_Page, &Handles());
  // Losing the selection hides the fields.
  Dialog().Tab_Selected(2);
  Dialog().Set_Transform(nullptr);
  EXPECT_FALSE(Matrix().Fields_Shown);
  EXPECT_FALSE(Matrix().Coefficient_Fields[0]->IsWindowVisible());
  EXPECT_FALSE(Dialog().Has_Changed(true));
}

TEST_F(Dialog_Test, A_Coefficient_Typed_On_The_Matrix_Page_Moves_The_Image_On_Apply) {
  Transform_Set_2D set = Set_Of({Unit_Map(0.5f, 0, 0, 0.5f, 0.25f, 0.25f, 3)});
  Open_And_Select(set, {0.5f, 0.5f});
  Click_Tab(2);
  Replace(*Matrix().Coefficient_Fields[4], "0.4");
  EXPECT_EQ(Matrix().Coefficient_Fields[4]->GetText(), "0.4");
  EXPECT_EQ(Image(0).eDx, 0.25f);  // nothing moves before Apply
  EXPECT_TRUE(Apply_Enabled());
  // Reset shows the current map again.
  Click(Centre_Of(*Dialog().Reset_Button));
  EXPECT_EQ(Matrix().Coefficient_Fields[4]->GetText(), "0.25");
  EXPECT_FALSE(Apply_Enabled());

  Replace(*Matrix().Coefficient_Fields[4], "0.4");
  Replace(*Matrix().Coefficient_Fields[1], "-0.125");
  Press_Apply();
  EXPECT_TRUE(Image(0).Equals(Unit_Map(0.5f, -0.125f, 0, 0.5f, 0.4f, 0.25f)));
  EXPECT_EQ(Image(0).Color_Step, 3);
  EXPECT_EQ(editor->History.size(), 1u);
  EXPECT_FALSE(Apply_Enabled());
  // The image is drawn where the new map puts it: its corner handle moved.
  TPoint corner = Handle_Centre(0);
  EXPECT_EQ(corner, At(0.4f, 0.25f));
  // A cleared field keeps its coefficient.
  Replace(*Matrix().Coefficient_Fields[0], "");
  EXPECT_EQ(Matrix().Coefficient_Fields[0]->GetText(), "");
  EXPECT_FALSE(Dialog().Has_Changed(true));
  EXPECT_TRUE(Take_Boxes().empty());
}

TEST_F(Dialog_Test, Refusals_Tolerance_Tab_Switch_Help_And_Title_On_The_Quarter) {
  struct Case {
    std::vector<std::pair<int, const char*>> typed;
    const char* message_start;
  };
  const Case cases[] = {
      {{{0, "1e39"}}, "Apply Changes: A value you have entered is too large"},
      {{{4, "-1e39"}}, "Apply Changes: A value you have entered is too large"},
      {{{0, "0"}, {2, "0"}}, "Apply Changes: The values you have entered flatten"},
      {{{0, "1e30"}, {3, "1e30"}}, "Apply Changes: The values you have entered flatten"},
      {{{4, "5"}}, "Apply Changes: The values you have entered place the copy"},
  };
  Open_And_Select(quarter, {0.5f, 0.5f});
  Click_Tab(2);
  const Affine_Transform_2D before = Image(0);
  for (const Case& c : cases) {
    for (auto [field, text] : c.typed) Replace(*Matrix().Coefficient_Fields[size_t(field)], text);
    EXPECT_TRUE(Apply_Enabled()) << c.message_start;
    Press_Apply();
    const auto boxes = Take_Boxes();
    ASSERT_EQ(boxes.size(), 1u) << c.message_start;
    EXPECT_EQ(boxes[0].rfind(c.message_start, 0), 0u) << boxes[0];
    EXPECT_TRUE(Image(0).Equals(before)) << c.message_start;
    EXPECT_TRUE(editor->History.empty());
    for (auto [field, text] : c.typed) EXPECT_EQ(Matrix().Coefficient_Fields[size_t(field)]->GetText(), text);
    EXPECT_TRUE(Dialog().Has_Changed(true)) << c.message_start;
    // A refused apply stops a change of selection, as the editor asks.
    editor->Apply_Refused = false;
    Box_Answer = IDYES;
    EXPECT_EQ(editor->Confirm_Dialog_Changes(), IDCANCEL);
    Take_Boxes();
    Dialog().Reset();
  }
  // Has_Changed has a tolerance; a tab switch carries typed values as the new reference.
  Replace(*Matrix().Coefficient_Fields[0], "0.500001");
  EXPECT_TRUE(Dialog().Has_Changed(true));
  EXPECT_FALSE(Dialog().Has_Changed(false));
  Replace(*Matrix().Coefficient_Fields[0], "0.5001");
  EXPECT_TRUE(Dialog().Has_Changed(false));
  Replace(*Matrix().Coefficient_Fields[0], "0.375");
  EXPECT_TRUE(Apply_Enabled());
  Click_Tab(1);
  // (1, 0) goes to a + e.
  EXPECT_EQ(Corners().Corner_Fields[2]->GetText(), "0.625");
  EXPECT_FALSE(Apply_Enabled());
  Click_Tab(2);
  EXPECT_EQ(Matrix().Coefficient_Fields[0]->GetText(), "0.375");
  EXPECT_EQ(Image(0).eM11, 0.5f);
  // F1 asks for help; the title field names the manipulator.
  Take_Host_Log();
  Click(Centre_Of(*Dialog().Title_Field));
  Key(VK_F1);
  Click_Tab(2);
  Click(Centre_Of(*Matrix().Coefficient_Fields[2]));
  Key(VK_F1);
  Key(VK_UP);
  EXPECT_EQ(Take_Host_Log(), (std::vector<std::string>{"help", "help"}));
  Click(Centre_Of(*Dialog().Title_Field));
  Key(VK_END);
  Type("2");
  editor->Close_Editor(1);
  EXPECT_STREQ(name, "Shear Horizontally2");
}

TEST_F(Dialog_Test, The_Corners_Page_Types_The_Images_Of_Three_Corners_And_Keeps_Colour_Steps) {
  Transform_Set_2D set = Set_Of({Unit_Map(0.5f, 0, 0, 0.5f, 0.25f, 0.25f, 3)});
  Open_And_Select(set, {0.5f, 0.5f});
  Click_Tab(1);
  // (1, 0) goes to (0.75, 0.5), (0, 1) to (0.125, 0.75).
  Replace(*Corners().Corner_Fields[3], "0.5");
  Replace(*Corners().Corner_Fields[4], "0.125");
  Press_Apply();
  // a = 0.75 - 0.25, c = 0.5 - 0.25.
  EXPECT_TRUE(Image(0).Equals(Unit_Map(0.5f, -0.125f, 0.25f, 0.5f, 0.25f, 0.25f)));
  EXPECT_EQ(Image(0).Color_Step, 3);
  editor->Close_Editor(2);

  // A group moved from the Corners page: every member keeps its own step.
  Transform_Set_2D two = Set_Of({Unit_Map(0.25f, 0, 0, 0.25f, 0.25f, 0.25f, 2),
                                 Unit_Map(0.25f, 0, 0, 0.25f, 0.5f, 0.5f, 5)});
  Open(two);
  Click(At(0.375f, 0.375f));
  Shift_Click(At(0.625f, 0.625f));
  ASSERT_EQ(editor->Selection.Count(), 2);
  Click_Tab(1);
  Replace(*Corners().Corner_Fields[0], "0.3");
  Press_Apply();
  EXPECT_TRUE(Take_Boxes().empty());
  // Clicks put the clicked image last; the frame's corner moved.
  EXPECT_EQ(Image(0).Color_Step + Image(1).Color_Step, 7);
  EXPECT_NE(Image(0).Color_Step, Image(1).Color_Step);
  EXPECT_NEAR(Image(Image(0).Color_Step == 2 ? 0 : 1).eDx, 0.3f, 1e-6);
}

TEST_F(Dialog_Test, The_Handles_Page_Moves_The_Handle_By_Position_Offset_Angle_And_Length) {
  Open_And_Select(quarter, {0.5f, 0.5f});
  Choose(2, 3);  // a handle at (1, 0) that moves sideways; no pin yet
  EXPECT_TRUE(Handles().Target_Shown);
  EXPECT_FALSE(Handles().Relative_Shown);
  EXPECT_EQ(Handles().X_Field->GetText(), "0.75");
  Replace(*Handles().X_Field, "0.8");
  EXPECT_EQ(Handles().To_Point.x, 0.8f);
  Press_Apply();
  EXPECT_NEAR(Image(0).eDx, 0.3f, 1e-6);
  EXPECT_FALSE(Handles().Has_Changed());
  // Another page shows a typed point as its own (nothing left to apply);
  // the editor's manipulator stays on the image.
  Replace(*Handles().X_Field, "0.9");
  Click_Tab(2);
  EXPECT_EQ(Matrix().Coefficient_Fields[4]->GetText(), "0.4");
  EXPECT_FALSE(Apply_Enabled());
  EXPECT_TRUE(editor->Manipulator_Tool.Current_Map.Equals(Image(0)));
  Click_Tab(0);
  Dialog().Reset();

  // Pin at (0, 0), turning handle at (1, 0).
  Choose(0, 1);
  Choose(2, 7);
  ASSERT_TRUE(Handles().Relative_Shown);
  const Point_2D from = Handles().From_Point;
  EXPECT_EQ(Handles().Length_Field->GetText(), "0.5");
  Replace(*Handles().Angle_Field, "90");
  EXPECT_EQ(Handles().Angle_Field->GetText(), "90");
  EXPECT_NEAR(Handles().To_Point.x, from.x, 1e-6);
  EXPECT_NEAR(Handles().To_Point.y, from.y + 0.5f, 1e-6);
  EXPECT_EQ(Handles().DY_Field->GetText(), "0.5");
  EXPECT_EQ(Handles().Length_Field->GetText(), "0.5");
  const std::string dx = Handles().DX_Field->GetText();
  EXPECT_TRUE(dx == "0" || dx.find("e-") != std::string::npos) << dx;
  // A partly typed number stays as typed; the length doubles the distance.
  Replace(*Handles().Length_Field, "1.");
  EXPECT_EQ(Handles().Length_Field->GetText(), "1.");
  EXPECT_NEAR(Handles().To_Point.y, from.y + 1.0f, 1e-6);
  EXPECT_EQ(Handles().DY_Field->GetText(), "1");
  Replace(*Handles().DX_Field, "-0.25");
  EXPECT_EQ(Handles().Angle_Field->GetText(), "104.036");
  Replace(*Handles().DX_Field, "0");
  Press_Apply();
  // Turned a quarter about the pin.
  EXPECT_NEAR(Image(0).eM11, 0.0f, 1e-6);
  EXPECT_NEAR(Image(0).eM21, 0.5f, 1e-6);
  EXPECT_NEAR(Image(0).eDx, from.x, 1e-6);
  EXPECT_FALSE(Handles().Has_Changed());

  // Pin and handle on one point (a copy squashed flat): the angle shown is
  // the pin's angle and the last turn, and a length goes that way.
  Transform_Manipulator& tool = editor->Manipulator_Tool;
  tool.Pin_Angle = 0.5f;
  tool.Rotation_Angle = 0.25f;
  const Affine_Transform_2D flat = Unit_Map(0, 0, 0, 0.5f, 0.25f, 0.25f);
  Handles().Set_Transform(&flat);
  EXPECT_EQ(Handles().Length_Field->GetText(), "0");
  EXPECT_EQ(Handles().Angle_Field->GetText(), "42.9718");
  Replace(*Handles().Length_Field, "2");
  EXPECT_NEAR(Handles().To_Point.x, 0.25f + 2 * std::cos(0.75f), 1e-5);
  EXPECT_NEAR(Handles().To_Point.y, 0.25f + 2 * std::sin(0.75f), 1e-5);
}

TEST_F(Dialog_Test, Where_The_Level_Has_Colour_Steps_The_Selected_Image_Step_Is_Chosen_Below_The_Folder) {
  Transform_Set_2D set = Set_Of({Unit_Map(0.25f, 0, 0, 0.25f, 0.125f, 0.125f, 3),
                                 Unit_Map(0.25f, 0, 0, 0.25f, 0.625f, 0.625f, 0)});
  Open(set);
  EXPECT_EQ(Dialog().Step_Control, nullptr);
  const int plain_height = Dialog().Folder->GetWindowRect().Height();
  editor->Close_Editor(2);

  editor->Level_Has_Color_Steps = [] { return true; };
  Open(set);
  Color_Step_Control* steps = Dialog().Step_Control;
  ASSERT_NE(steps, nullptr);
  EXPECT_EQ(Dialog().Folder->GetWindowRect().Height(),
            plain_height - (3 * Sizes(31) / 2 + Sizes(30) + 2 * Sizes(29)));
  EXPECT_EQ(steps->Selected, -1);
  Click(At(0.25f, 0.25f));
  EXPECT_EQ(steps->Selected, 3);
  Click(Centre_On_Screen(*steps, steps->Cells[1]));
  EXPECT_EQ(steps->Step(), 1);
  EXPECT_FALSE(Dialog().Has_Changed(true));  // the step alone is no typed change
  // Choosing another image takes the chosen step into the one left.
  Click(At(0.75f, 0.75f));
  EXPECT_EQ(steps->Selected, 0);
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(Image(i).Color_Step, Image(i).eDx < 0.5f ? 1 : 0);
  Dialog().Set_Transform(nullptr);
  EXPECT_EQ(steps->Selected, -1);
}

// Each page at both design screens, for a person to look at.
class Dialog_Snapshots : public Dialog_Test, public testing::WithParamInterface<int> {
 protected:
  Dialog_Snapshots() : Dialog_Test(GetParam()) {}
};

TEST_P(Dialog_Snapshots, Every_Page) {
  Transform_Set_2D set = Set_Of({Unit_Map(0.5f, 0.125f, 0, 0.5f, 0.25f, 0.25f)});
  Open_And_Select(set, {0.5f, 0.5f});
  Choose(0, 1);
  Choose(2, 7);
  const TRect area = Dialog().GetWindowRect().Inflated_By(4, 4);
  const std::string width = std::to_string(GetParam());
  Snapshot_Screen("dialog_handles_" + width, area);
  Snapshot_Screen("dialog_beside_editor_" + width, Desk().Screen().Bounds());
  EXPECT_EQ(Dialog().GetWindowRect().right, editor->GetWindowRect().left);
  Click_Tab(1);
  Snapshot_Screen("dialog_corners_" + width, area);
  Click_Tab(2);
  Replace(*Matrix().Coefficient_Fields[0], "0.0005");
  Snapshot_Screen("dialog_matrix_" + width, area);
  // The fields stay inside the folder's page, above the buttons.
  for (Transform_Tab_Dialog* page : std::initializer_list<Transform_Tab_Dialog*>{&Handles(), &Matrix(), &Corners()})
    for (const TRect& r : page->Field_Rects()) EXPECT_TRUE(page->GetClientRect().Contains(TPoint(r.right - 1, r.bottom - 1)));
  EXPECT_LT(Dialog().Folder->GetWindowRect().bottom, Dialog().Apply_Button->GetWindowRect().top + 1);

  editor->Close_Editor(2);
  editor->Level_Has_Color_Steps = [] { return true; };
  Transform_Set_2D stepped = Set_Of({Unit_Map(0.5f, 0.125f, 0, 0.5f, 0.25f, 0.25f, 2)});
  Open_And_Select(stepped, {0.5f, 0.5f});
  Snapshot_Screen("dialog_colour_steps_" + width, area);
  const TRect buttons = Dialog().Apply_Button->GetWindowRect();
  EXPECT_LT(Dialog().Folder->GetWindowRect().bottom, buttons.top + 1);
  EXPECT_LT(buttons.bottom, Dialog().Step_Control->GetWindowRect().top);
}

INSTANTIATE_TEST_SUITE_P(Screens, Dialog_Snapshots, testing::Values(800, 1024));

}  // namespace

// Tab moves from field to field (each typed over whole), Shift+Tab back, and
// Enter presses Apply as its button would.
TEST_F(Dialog_Test, Tab_Moves_Between_The_Fields_And_Enter_Applies) {
  Open_And_Select(quarter, {0.5f, 0.5f});
  Click_Tab(2);
  auto& fields = Matrix().Coefficient_Fields;
  Replace(*fields[0], "0.5");
  for (const char* text : {"7", "8"}) {
    Key(VK_TAB);
    Type(text);
  }
  EXPECT_EQ(Texts(fields), (Texts_6{"0.5", "7", "8", "0.5", "0.25", "0.25"}));
  Key(VK_RETURN);
  EXPECT_TRUE(Take_Boxes().empty());
  EXPECT_TRUE(Image(0).Equals(Unit_Map(0.5f, 7, 8, 0.5f, 0.25f, 0.25f)));

  // Typed in one go, before Apply has been enabled again at idle.
  headless->Key_Down(VK_SHIFT);
  headless->Key(VK_TAB);
  headless->Key_Up(VK_SHIFT);
  for (UINT vk : {UINT('0'), UINT(VK_OEM_PERIOD), UINT('1'), UINT('2'), UINT('5'), UINT(VK_RETURN)}) headless->Key(vk);
  Run_Until_Idle();
  EXPECT_EQ(Desk().Focus(), fields[1]->GetHandle());
  EXPECT_TRUE(Take_Boxes().empty());
  EXPECT_TRUE(Image(0).Equals(Unit_Map(0.5f, 0.125f, 8, 0.5f, 0.25f, 0.25f)));
  EXPECT_EQ(editor->History.size(), 2u);
  // Past the last field Tab reaches Reset, then Apply.
  for (int i = 0; i < 5; ++i) Key(VK_TAB);
  EXPECT_EQ(Desk().Focus(), Dialog().Reset_Button->GetHandle());
  Key(VK_TAB);
  EXPECT_EQ(Desk().Focus(), Dialog().Apply_Button->GetHandle());
}
