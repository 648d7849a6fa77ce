// The gallery script: the finished drawing taken into the gallery and put
// into the next of the demonstration's cells; at level 1 those cells are
// emptied into the bin first, at level 5 the views are toured and the first
// demonstration drawing comes back to the main window.
#include <algorithm>

#include "demos/simulated_user.h"
#include "gallery/gallery_window.h"
#include "users/user_database.h"

namespace {

// The cells of the 3 by 3 view the demonstration fills, in order.
constexpr int32_t Demo_Cell_Rows[6] = {0, 0, 0, 1, 1, 1};
constexpr int32_t Demo_Cell_Columns[6] = {0, 1, 2, 2, 1, 0};
constexpr int One_By_One = 0, Three_By_Three = 1;
constexpr int Up = 0, Left = 2, Right = 3;
constexpr uint32_t Held = Simulated_User::Pause_Pressed | Simulated_User::Pause_After;

}  // namespace

void Simulated_User::Append_Gallery_Script() {
  if (!The_Gallery) return;
  Gallery_Window& gallery = *The_Gallery;
  const int32_t level = The_User_Database ? The_User_Database->current_user->Level_Index() : 0;
  auto cell = [&](uint32_t k) {
    k = std::min<uint32_t>(k, 5);
    return gallery.Cell_Screen_Point(Three_By_Three, Demo_Cell_Rows[k], Demo_Cell_Columns[k]);
  };
  Left_Click(Button_Point(Gallery_Button), Held);
  Pause(1000);
  if (level == 0) {
    if (gallery.Current_View() != Three_By_Three) Left_Click(gallery.View_Button_Screen_Point(Three_By_Three), Held);
    for (uint32_t k = 0; k < 6; ++k)
      if (gallery.Cell_Occupied(Three_By_Three, Demo_Cell_Rows[k], Demo_Cell_Columns[k]))
        Drag(cell(k), gallery.Bin_IO_Screen_Point());
  }
  Drag(gallery.Main_IO_Screen_Point(), cell(Gallery_Save_Count));
  ++Gallery_Save_Count;
  if (level == 4) {
    auto arrow = [&](int i, int32_t wait) {
      Left_Click(gallery.Arrow_Button_Screen_Point(One_By_One, i), 0);
      Pause(wait);
    };
    Left_Click(gallery.View_Button_Screen_Point(One_By_One), Held);
    Pause(250);
    arrow(Right, 500), arrow(Right, 500), arrow(Up, 500), arrow(Left, 1000), arrow(Left, 1000);
    Left_Click(gallery.View_Button_Screen_Point(Three_By_Three), Held);
    Drag(cell(0), gallery.Main_IO_Screen_Point());
  }
  Left_Click(gallery.Save_Button_Screen_Point(), Held);
}
