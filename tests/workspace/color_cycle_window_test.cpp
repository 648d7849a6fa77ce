// The colour cycles panel: shown at level 5 only, its rays and wedges,
// choosing, painting and picking up colours, the eraser, the menu's commands
// and enablers, the user's file, the change of user and the exit question.
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "platform/system/atomic_file.h"
#include "platform/system/resource.h"
#include "platform/window/command_enabler.h"
#include "platform/window/desktop.h"
#include "platform/window/message_box.h"
#include "tests/platform/system/temp_home.h"
#include "tests/workspace/colours_stage.h"
#include "toolkit/demonstration_state.h"
#include "toolkit/program_messages.h"
#include "users/user_data.h"
#include "users/user_database.h"
#include "workspace/color_cycle_window.h"
#include "workspace/eraser.h"

namespace {

class Color_Cycle_Test : public Temp_Home {
 protected:
  Color_Cycle_Test() {
    The_User_Data.directory = root_ + "/data/Quendar/";
    std::filesystem::create_directories(The_User_Data.directory);
    The_User_Data.writable = true;
    Set_Message_Box_Hook([this](const TMessage_Box_Request& request) {
      Boxes.push_back(request.caption + ": " + request.text);
      return Answer;
    });
    The_User_Database = new User_Database(For_Stream);
    for (auto [level, name] : {std::pair{4, "Ann"}, std::pair{4, "Bea"}, std::pair{3, "Cal"}})
      The_User_Database->Add_User(std::make_unique<User>(level, name));
    The_User_Database->Set_Current(0);
  }
  ~Color_Cycle_Test() override {
    Fail_Atomic_Write_After(-1);
    Set_Message_Box_Hook(nullptr);
    delete The_User_Database;
    The_User_Database = nullptr;
  }

  void Make() {
    eraser = new Eraser(stage.parent, TRect(20, 500, 80, 560));
    ASSERT_TRUE(eraser->Create());
    window = new Color_Cycle_Window(stage.parent, Place, nullptr);
    ASSERT_TRUE(window->Create());
    stage.Idle();
    stage.parent->Posted.clear();
  }
  // The users' change as the Name and Level dialog installs it.
  void Change_To(int index, bool same_user = false) {
    User_Database& db = *The_User_Database;
    db.previous_user = *db.current_user;
    db.previous_user_record = db.current_user;
    db.Set_Current(index);
    if (same_user) db.current_user->source_record = &db.previous_user;
    window->Change_User();
    stage.Idle();
  }
  std::string Path(const char* name) const { return The_User_Data.directory + name + ".clr"; }
  TPoint Screen(TPoint in_window) const { return TPoint(Place.left + in_window.x, Place.top + in_window.y); }
  // A point well inside wedge slot of the shown cell in column.
  TPoint Wedge_Point(int column, int slot) const {
    const int n = window->shown_row * 5 + column + 1;
    const double a = M_PI / 2 - 2 * M_PI * (slot + 0.5) / n;
    const double r = window->H * 0.33;
    const TRect& cell = window->cell_rects[size_t(column)];
    return Screen(TPoint(cell.left + window->H / 2 + int(r * std::cos(a)), window->H / 2 - int(r * std::sin(a))));
  }
  TPoint Spot_Point(int column) const { return window->Cell_Screen_Point(column); }
  // How many cycles were chosen and colours given to the crayon.
  std::pair<int, int> Posted() const {
    std::pair<int, int> n;
    for (const auto& m : stage.parent->Posted)
      n.first += m.msg == Color_Cycle_Selected_Message, n.second += m.msg == Fill_Color_Message;
    return n;
  }
  bool Enabled(UINT id) {
    TCommandEnabler probe(id);
    window->EvCommandEnable(probe);
    return probe.Enabled();
  }
  void Paint_Wedge(int column, int slot, TColor color) {
    The_Fill_Pointer->Set_Color(color, The_GUI_Colors->Palette.get());
    stage.Click(Wedge_Point(column, slot));
  }

  static std::vector<std::string> Files_In(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  const TRect Place{100, 400, 620, 480};
  Colours_Stage stage;
  Eraser* eraser = nullptr;
  Color_Cycle_Window* window = nullptr;
  std::vector<std::string> Boxes;
  int Answer = IDOK;
  const TColor Red{0xE9, 0, 0};
};

TEST_F(Color_Cycle_Test, Shown_And_Used_At_Level_Five_Only) {
  The_User_Database->At(0)->level = 3;
  Make();
  EXPECT_FALSE(window->IsWindowVisible() || window->IsWindowEnabled() || window->enabled);
  window->Select_Right();
  EXPECT_EQ(window->selected_column, 0);
  Change_To(1);  // level 4: the fifth level
  EXPECT_TRUE(window->IsWindowVisible() && window->enabled);
  // The gaps between the diagrams show the panel's background.
  const TRect& a = window->cell_rects[0];
  const TRect& b = window->cell_rects[1];
  ASSERT_LT(a.right, b.left);
  const TPoint gap = Screen(TPoint(window->grid_area.left + (a.right + b.left) / 2, window->grid_area.top + window->H / 2));
  EXPECT_EQ(stage.Pixel(gap), The_GUI_Colors->Scheme_RGB(0).Xrgb());
  Change_To(2);
  EXPECT_FALSE(window->IsWindowVisible() || window->IsWindowEnabled());
}

TEST_F(Color_Cycle_Test, Rays_Start_Straight_Up_And_Every_Wedge_Is_Found_Where_It_Is_Drawn) {
  Make();
  for (int n = 1; n <= 10; ++n) {
    const auto& first = window->rays[size_t(n * (n - 1) / 2)];
    EXPECT_EQ(first.p[1].x, first.p[0].x) << n;
    EXPECT_LT(first.p[1].y, first.p[0].y) << n;
  }
  EXPECT_EQ(window->rays[55].p[0], window->rays[0].p[0]);
  // Two colours: right half 0, left half 1, the line between them neither.
  const auto& ray = window->rays[1];
  EXPECT_EQ(window->Wedge_Test(0, 1, TPoint(ray.p[2].x, 20)), 0);
  EXPECT_EQ(window->Wedge_Test(0, 1, TPoint(ray.p[0].x, 20)), 1);
  EXPECT_EQ(window->Wedge_Test(0, 0, TPoint(ray.p[0].x + 10, 20)), -1);
  for (int row = 0; row < 2; ++row) {
    window->shown_row = row;
    for (int column = row == 0 ? 2 : 0; column < 5; ++column)
      for (int slot = 0; slot <= row * 5 + column; ++slot) {
        const TPoint p = Wedge_Point(column, slot);
        int hit_column = -1;
        TPoint in_cell;
        ASSERT_EQ(window->Cell_Test(p - Place.TopLeft(), hit_column, in_cell), Color_Cycle_Window::Wedges);
        EXPECT_EQ(hit_column, column);
        EXPECT_EQ(window->Wedge_Test(row, column, in_cell), slot) << row << " " << column;
      }
  }
}

TEST_F(Color_Cycle_Test, Choosing_A_Cycle_Gives_The_Crayon_Its_First_Colour_And_Keys_Do_Not_Wrap) {
  Make();
  EXPECT_EQ(window->current[3].count, 4);
  stage.Click(Spot_Point(3));
  EXPECT_EQ(window->Selected_Index(), 3);
  EXPECT_EQ(Posted(), std::pair(1, 1));
  EXPECT_EQ(The_Fill_Pointer->Color, window->current[3].colors[0]);
  // The chosen cycle's centre again: the colour is picked up, nothing chosen.
  The_Fill_Pointer->Set_Color(Red, The_GUI_Colors->Palette.get());
  stage.Click(Spot_Point(3));
  EXPECT_EQ(Posted(), std::pair(1, 2));
  EXPECT_EQ(The_Fill_Pointer->Color, window->current[3].colors[0]);

  window->Select_Down();
  EXPECT_EQ(window->Selected_Index(), 8);
  EXPECT_EQ(window->shown_row, 1);
  window->Select_Down();
  window->Select_Right();
  window->Select_Right();
  EXPECT_EQ(window->Selected_Index(), 9);
  window->Show_Previous_Row();
  EXPECT_EQ(window->shown_row, 0);
  window->Select_Up();
  for (int i = 0; i < 6; ++i) window->Select_Left();
  EXPECT_EQ(window->Selected_Index(), 0);
  EXPECT_EQ(window->Selected_Cycle().count, 0);  // cycle 1: no cycling
}

TEST_F(Color_Cycle_Test, A_Painted_Wedge_Is_Taken_Back_Once_By_The_Eraser) {
  Make();
  const Color_Transform before = window->current[4];
  Paint_Wedge(4, 2, Red);
  EXPECT_EQ(window->current[4].colors[2], Red);
  EXPECT_EQ(window->dirty, 1u << 4);
  EXPECT_EQ(window->pristine, 1023u & ~(1u << 4));
  EXPECT_EQ(eraser->Client, window);
  EXPECT_TRUE(window->Erase());
  EXPECT_EQ(window->current[4], before);
  EXPECT_EQ(window->dirty, 0u);
  EXPECT_EQ(window->pristine, 1023u);
  EXPECT_FALSE(window->Erase());
}

TEST_F(Color_Cycle_Test, Menu_Commands_And_Their_Enablers) {
  Make();
  using W = Color_Cycle_Window;
  const UINT changes[] = {W::Cm_Save_Cycle, W::Cm_Undo_Cycle, W::Cm_Recall_Cycle,
                          W::Cm_Save_All,   W::Cm_Undo_All,   W::Cm_Recall_All};
  window->menu_cycle = 0;
  for (UINT id : changes) EXPECT_FALSE(Enabled(id)) << id;
  EXPECT_FALSE(Enabled(W::Cm_Copy) || Enabled(W::Cm_Paste));

  // A copied four-colour cycle pastes into cycle 4, whichever is chosen.
  window->menu_cycle = 3;
  window->Cmd_Copy();
  window->clipboard.colors[0] = Red;
  window->menu_cycle = 7;
  EXPECT_TRUE(Enabled(W::Cm_Paste));
  window->Cmd_Paste();
  EXPECT_EQ(window->current[3].colors[0], Red);
  EXPECT_EQ(window->dirty, 1u << 3);
  EXPECT_FALSE(Enabled(W::Cm_Save_Cycle));
  window->menu_cycle = 3;
  for (UINT id : changes) EXPECT_TRUE(Enabled(id)) << id;
  The_User_Data.writable = false;
  EXPECT_FALSE(Enabled(W::Cm_Save_Cycle) || Enabled(W::Cm_Save_All));
  The_User_Data.writable = true;

  window->Cmd_Undo_Cycle();
  EXPECT_EQ(window->current[3], window->defaults[3]);
  EXPECT_EQ(window->dirty, 0u);
  Paint_Wedge(2, 0, Red);
  window->Show_Next_Row();  // cycle 7 is in the second row
  stage.Idle();
  Paint_Wedge(1, 0, Red);
  EXPECT_EQ(window->dirty, (1u << 2) | (1u << 6));
  window->menu_cycle = 2;
  window->Cmd_Recall_Cycle();
  EXPECT_EQ(window->dirty, 1u << 6);
  window->Cmd_Recall_All();
  EXPECT_EQ(window->pristine, 1023u);
  EXPECT_EQ(window->dirty, 0u);
  EXPECT_EQ(eraser->Client, nullptr);
}

// Save All writes every changed cycle and leaves none marked as changed;
// the exit then asks nothing.
TEST_F(Color_Cycle_Test, Save_All_Leaves_No_Cycle_Marked_As_Changed) {
  Make();
  Paint_Wedge(3, 1, Red);
  Paint_Wedge(1, 0, Red);
  EXPECT_EQ(window->dirty, (1u << 1) | (1u << 3));
  EXPECT_TRUE(Enabled(Color_Cycle_Window::Cm_Save_All));
  window->Cmd_Save_All();
  EXPECT_EQ(window->dirty, 0u);
  EXPECT_EQ(window->saved, window->current);
  EXPECT_FALSE(Enabled(Color_Cycle_Window::Cm_Save_All) || Enabled(Color_Cycle_Window::Cm_Undo_All));
  Color_Cycles read{};
  ASSERT_TRUE(window->Read_File(read));
  EXPECT_EQ(read, window->current);
  EXPECT_TRUE(window->Can_Close());
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(Color_Cycle_Test, Saving_Writes_The_File_Only_When_It_Succeeds_And_Deletes_It_When_Nothing_Differs) {
  Make();
  Paint_Wedge(3, 1, Red);
  window->menu_cycle = 3;
  Fail_Atomic_Write_After(0);
  window->Cmd_Save_Cycle();
  EXPECT_EQ(Boxes, (std::vector<std::string>{"WARNING: Unable to write file " + Path("Ann") +
                                             "\nThe disk is full: the changes to the color cycles are not saved."}));
  EXPECT_EQ(window->dirty, 1u << 3);  // still to be saved
  window->Cmd_Save_All();
  EXPECT_EQ(window->dirty, 1u << 3);
  EXPECT_FALSE(std::filesystem::exists(Path("Ann")));
  Fail_Atomic_Write_After(-1);

  window->Cmd_Save_Cycle();
  EXPECT_EQ(window->dirty, 0u);
  ASSERT_TRUE(std::filesystem::exists(Path("Ann")));
  Color_Cycles read{};
  ASSERT_TRUE(window->Read_File(read));
  EXPECT_EQ(read, window->current);

  // Back to the built-in colours: saving removes the file, and undoing
  // afterwards keeps what was saved.
  window->Cmd_Recall_Cycle();
  window->Cmd_Save_Cycle();
  EXPECT_FALSE(std::filesystem::exists(Path("Ann")));
  window->Cmd_Undo_All();
  EXPECT_EQ(window->current, window->defaults);
}

TEST_F(Color_Cycle_Test, The_Users_File_Is_Read_At_Start_And_A_Damaged_One_Gives_The_Built_In_Cycles) {
  Color_Cycles mine{};
  Read_Color_Cycle_Bytes(std::span<const uint8_t>(Find_Resource(RT_RCDATA, 4406).data, 225), mine,
                         [](TColor c) { return c; });
  mine[5].colors[0] = TColor(Wheel_Colors_RGB[20]);
  const std::vector<uint8_t> bytes = Color_Cycle_Bytes(mine, *The_GUI_Colors->Palette);
  Write(Path("Ann"), std::string(bytes.begin(), bytes.end()));
  Make();
  EXPECT_EQ(window->current[5].colors[0], TColor(Wheel_Colors[20]));
  EXPECT_EQ(window->pristine, 1023u & ~(1u << 5));
  EXPECT_EQ(window->dirty, 0u);
  EXPECT_TRUE(Boxes.empty());

  // A damaged or oversized file gives the built-in cycles and goes aside,
  // whole, before a save could replace it; a FIFO is left where it is.
  const struct {
    const char* what;
    std::string bytes;
    bool fifo;
    std::string reason;
    bool aside;
  } refused[] = {
      {"cut short", std::string(bytes.begin(), bytes.begin() + 100), false, "The file is damaged", true},
      {"too large", std::string(bytes.begin(), bytes.end()) + "x", false, "The file is too large", true},
      {"a FIFO", "", true, "It is not a regular file", false},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(The_User_Data.directory);
    std::filesystem::create_directories(The_User_Data.directory);
    if (c.fifo)
      ASSERT_EQ(mkfifo(Path("Bea").c_str(), 0600), 0);
    else
      Write(Path("Bea"), c.bytes);
    Boxes.clear();
    Change_To(1);
    const std::vector<std::string> left = Files_In(The_User_Data.directory);
    ASSERT_EQ(left.size(), 1u);
    const std::string kept = The_User_Data.directory + left[0];
    const std::string outcome = c.aside ? ", and the file is kept as " + kept : " and the file is left as it is";
    EXPECT_EQ(Boxes, (std::vector<std::string>{"WARNING: Unable to read file " + Path("Bea") + "\n" + c.reason +
                                               ": the built-in color cycles are used" + outcome + "."}));
    EXPECT_EQ(window->current, window->defaults);
    EXPECT_EQ(window->pristine, 1023u);
    if (c.aside) {
      EXPECT_EQ(left[0].rfind("Bea.clr.damaged-", 0), 0u) << left[0];
      EXPECT_EQ(Read(kept), c.bytes);
      // The next save makes a new file and leaves the kept one alone.
      Paint_Wedge(4, 0, Red);
      Answer = IDYES;
      EXPECT_TRUE(window->Can_Close());
      EXPECT_EQ(Read(kept), c.bytes);
      EXPECT_TRUE(std::filesystem::is_regular_file(Path("Bea")));
    } else {
      Paint_Wedge(4, 0, Red);
      Answer = IDYES;
      EXPECT_FALSE(window->Can_Close());  // the save fails: the program stays
      EXPECT_TRUE(std::filesystem::is_fifo(Path("Bea")));
    }
    Change_To(0);
  }
}

// A cycle file this user may not read is neither replaced nor deleted, not
// even by a Save All of the built-in cycles (which deletes a user's file).
TEST_F(Color_Cycle_Test, A_File_That_Cannot_Be_Opened_Is_Never_Replaced_Or_Deleted) {
  Make();
  Write(Path("Bea"), "someone's cycles");
  chmod(Path("Bea").c_str(), 0200);
  Ordinary_User_Scope ordinary(root_);
  Change_To(1);
  EXPECT_EQ(Boxes, (std::vector<std::string>{"WARNING: Unable to read file " + Path("Bea") +
                                             "\nYou have no permission to read the file: the built-in color cycles "
                                             "are used and the file is left as it is."}));
  Boxes.clear();
  window->Cmd_Save_All();
  Paint_Wedge(4, 0, Red);
  Answer = IDYES;
  EXPECT_FALSE(window->Can_Close());
  const std::string refused =
      "WARNING: Unable to write file " + Path("Bea") +
      "\nYou have no permission to read the file: the changes to the color cycles are not saved.";
  EXPECT_EQ(Boxes, (std::vector<std::string>{refused, "Program Exit: Save changes to color cycles?", refused}));
  struct stat info;
  ASSERT_EQ(stat(Path("Bea").c_str(), &info), 0);
  EXPECT_EQ(info.st_size, off_t(std::string("someone's cycles").size()));
}

TEST_F(Color_Cycle_Test, A_Change_Of_User_Offers_To_Save_And_Leaves_Nothing_For_The_Eraser) {
  Make();
  Paint_Wedge(4, 0, Red);
  Answer = IDYES;
  Change_To(1);
  EXPECT_EQ(Boxes, (std::vector<std::string>{"User Change: Save changes to color cycles belonging to Ann?"}));
  EXPECT_TRUE(std::filesystem::exists(Path("Ann")));
  EXPECT_EQ(window->current, window->defaults);  // Bea has no file
  EXPECT_EQ(window->Selected_Index(), 0);
  // Nothing of Ann's painting is taken back in Bea's cycles.
  EXPECT_FALSE(window->Erase());
  EXPECT_EQ(eraser->Client, nullptr);

  Paint_Wedge(4, 1, Red);
  Answer = IDNO;
  Boxes.clear();
  Change_To(0);
  EXPECT_EQ(Boxes.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(Path("Bea")));
  EXPECT_EQ(window->current[4].colors[0], Red);  // Ann's saved cycles

  // The same user going to a level without cycles is asked without a name.
  Paint_Wedge(4, 1, Red);
  Boxes.clear();
  The_User_Database->At(0)->level = 2;
  Answer = IDYES;
  Change_To(0, true);
  EXPECT_EQ(Boxes, (std::vector<std::string>{"User Change: Save changes to color cycles?"}));
  EXPECT_FALSE(window->IsWindowVisible());
}

// The system ends the program (a logout): nobody is asked. A
// demonstration's changes go; the person's are kept, as Yes keeps them, and
// the program ends even when they cannot be.
TEST_F(Color_Cycle_Test, The_System_Ending_The_Program_Keeps_The_Changes_Without_Asking) {
  Make();
  Paint_Wedge(2, 1, Red);
  TDesktop::Current().Request_End();
  Answer = IDCANCEL;  // a question would keep the program open
  struct Case {
    const char* name;
    bool demonstration, disk_full, saved;
  };
  for (const Case& c : {Case{"demonstration", true, false, false}, Case{"full disk", false, true, false},
                        Case{"person's changes", false, false, true}}) {
    SCOPED_TRACE(c.name);
    Set_Demonstration_Running(c.demonstration);
    Fail_Atomic_Write_After(c.disk_full ? 0 : -1);
    EXPECT_TRUE(window->Can_Close());
    EXPECT_EQ(std::filesystem::exists(Path("Ann")), c.saved);
  }
  Set_Demonstration_Running(false);
  for (const std::string& box : Boxes) EXPECT_EQ(box.find("Program Exit"), std::string::npos) << box;
}

// Pictures with each cycle chosen; then exit asks only with unsaved changes.
TEST_F(Color_Cycle_Test, Snapshots_With_Each_Cycle_Chosen_And_Exit_Asks_Only_With_Unsaved_Changes) {
  Make();
  for (int c = 0; c < 10; ++c) {
    window->Select_Cycle(c / 5, c % 5);
    stage.Idle();
    stage.session.Snapshot("color_cycles_" + std::to_string(c + 1), Place);
  }
  EXPECT_TRUE(window->Can_Close());
  Paint_Wedge(2, 1, Red);
  for (auto [answer, closes] : {std::pair{IDCANCEL, false}, {IDNO, true}, {IDYES, true}}) {
    Answer = answer;
    EXPECT_EQ(window->Can_Close(), closes) << answer;
    EXPECT_EQ(std::filesystem::exists(Path("Ann")), answer == IDYES) << answer;
  }
  EXPECT_EQ(Boxes, std::vector<std::string>(3, "Program Exit: Save changes to color cycles?"));

  // A save that fails at exit (a full disk) keeps the program open with the
  // edits.
  Paint_Wedge(2, 2, Red);
  Boxes.clear();
  Fail_Atomic_Write_After(0);
  Answer = IDYES;
  EXPECT_FALSE(window->Can_Close());
  EXPECT_NE(window->dirty, 0u);
  EXPECT_EQ(Boxes.size(), 2u);
}

}  // namespace
