// The editor's number panel on screens the layout fills and on wider ones
// where the layout stands centred: it fills the layout left of the editor,
// every row of the Handles page and the colour step's arrows showing, as at
// 1024 x 768. With QUENDAR_SNAPSHOTS set, each screen's editor is saved.
#include <gtest/gtest.h>

#include "manipulators/shape_transform_window.h"
#include "manipulators/transform_edit_dialog.h"
#include "manipulators/transform_edit_window.h"
#include "manipulators/transform_handle_dialog.h"
#include "manipulators/transform_palette.h"
#include "help/help_window.h"
#include "tests/program/program_session.h"
#include "toolkit/arrow_button.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/narrow_folder.h"
#include "workspace/color_step_control.h"

namespace {

TRect On_Screen(const TWindow* window) { return window->GetWindowRect(); }

TEST(Editor_Layout, The_Number_Panel_Stands_In_The_Layout_Left_Of_The_Editor) {
  for (const TSize screen : {TSize(1024, 768), TSize(1366, 768), TSize(1920, 1080), TSize(2560, 1440)}) {
    const std::string tag = std::to_string(screen.cx) + "x" + std::to_string(screen.cy);
    SCOPED_TRACE(tag);
    Program_Session program({.screen = screen});
    program.Start();
    IFS_Main_Window& main = *program.Main();
    program.Change_User("Ann", 4);
    program.Click(main.manipulator_palette->Window()->Slot_Screen_Point(0));
    program.Click(main.manipulator_palette->Window()->Edit_Button_Screen_Point());
    auto* dialog = dynamic_cast<Transform_Edit_Dialog*>(main.ChildWithId(Transform_Edit_Dialog::Window_Id));
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(dialog->Step_Control, nullptr);
    program.Snapshot("editor_layout_" + tag);

    const TRect panel = On_Screen(dialog);
    const TRect editor = On_Screen(main.editor);
    EXPECT_EQ(panel.left, The_GUI_Sizes->Origin_On_Screen().x);
    EXPECT_EQ(panel.right, editor.left);
    // As wide, for the layout's width, as at 1024 x 768 (196 of 1024).
    EXPECT_NEAR(panel.Width() * 1024 / (*The_GUI_Sizes)[0], 196, 4);

    const Transform_Handle_Dialog& handles = *dialog->Handle_Page;
    const TRect page = On_Screen(dialog->Folder).Inflated_By(1, 1);
    for (const TWindow* field : {handles.X_Field, handles.Angle_Field, handles.Length_Field}) {
      EXPECT_TRUE(page.Contains(On_Screen(field))) << "a row of the Handles page is cut off";
    }
    const TRect step = On_Screen(dialog->Step_Control);
    for (const TWindow* arrow : {dialog->Step_Control->Up_Button, dialog->Step_Control->Down_Button}) {
      const TRect r = On_Screen(arrow);
      const TPoint centre((r.left + r.right) / 2, (r.top + r.bottom) / 2);
      EXPECT_TRUE(step.Contains(centre) && panel.Contains(centre)) << "an arrow button lies under the editor";
    }
    main.editor->Close_Editor(2);
    EXPECT_EQ(program.Stop(), 0);
  }
}

}  // namespace
