// Pictures of the editor for a person to look at (written only when
// QUENDAR_SNAPSHOTS names a folder): the shear set, a group, the handle
// palette and a drag under way. Each also checks what it shows.
#include <gtest/gtest.h>

#include "tests/manipulators/editor_fixture.h"

namespace {

TEST_F(Editor_Test, Snapshots) {
  const TRect area(380, 0, 1024, 700);
  Transform_Set_2D shear = Set_Of({Unit_Map(0.5f, 0.5f, 0, 1, 0, 0)});
  Open(shear);
  Click(At(0.3f, 0.6f));
  ASSERT_EQ(editor->Selected_Image, 0);
  Snapshot_Screen("editor_shear", area);
  // The inverted outline of the selected copy, white handle squares.
  const TPoint corner = Handle_Centre(2);
  EXPECT_EQ(Screen_Pixel(corner.x, corner.y) & 0xFFFFFF, 0xFFFFFFu);

  Choose(0, 1);
  Click(Handle_Centre(4));
  ASSERT_TRUE(Palette().Is_Open());
  Snapshot_Screen("editor_palette", area);
  Key(VK_ESCAPE);
  editor->Close_Editor(2);

  Transform_Set_2D four = Set_Of({Unit_Map(0.5f, 0, 0, 0.5f, 0, 0.5f), Unit_Map(0.5f, 0, 0, 0.5f, 0.5f, 0.5f),
                                  Unit_Map(0.5f, 0, 0, 0.5f, 0.5f, 0), Unit_Map(0.5f, 0, 0, 0.5f, 0, 0)});
  Open(four);
  Click(At(0.7f, 0.6f));
  Shift_Click(At(0.7f, 0.4f));
  ASSERT_EQ(editor->Selection.Count(), 2);
  Snapshot_Screen("editor_group", area);

  Choose(8, 2);
  Press(Handle_Centre(8));
  Move(At(0.4f, 0.6f));
  Move(At(0.3f, 0.55f));
  EXPECT_TRUE(editor->Dragging_Handle);
  Snapshot_Screen("editor_drag", area);
  Release(At(0.3f, 0.55f));
  EXPECT_FALSE(editor->Dragging_Handle);
}

}  // namespace
