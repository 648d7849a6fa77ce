// The palette and its page window through the window system: loading each
// level, the change of user with its questions, files, the editor's return,
// the menu's commands and enablers with the clipboard, and what the drawing
// window is handed.
#include "manipulators/transform_palette.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <utility>

#include "manipulators/manipulator_file.h"
#include "manipulators/shape_transform_window.h"
#include "model/affine_transform_2d.h"
#include "model/opstream.h"
#include "platform/system/atomic_file.h"
#include "platform/window/desktop.h"
#include "platform/window/message_box.h"
#include "tests/toolkit/widget_fixture.h"
#include "toolkit/program_messages.h"

namespace {

class Fake_Users : public Palette_Users {
 public:
  Person Current() const override { return current; }
  Person Previous() const override { return previous; }
  bool Same_Person() const override { return same_person; }
  bool Previous_Exists() const override { return true; }
  bool Previous_Removed_With_Files() const override { return false; }
  bool File_Flag(const std::string& name, int32_t level) const override {
    auto it = flags.find(name + std::to_string(level));
    return it != flags.end() && it->second;
  }
  void Set_File_Flag(const std::string& name, int32_t level, bool on) override { flags[name + std::to_string(level)] = on; }
  std::string File_Path(const std::string& name, int32_t level) const override {
    return dir + "/" + name + ", level " + std::to_string(level + 1) + ".man";
  }
  void Save_Database() override { ++saves; }
  bool Data_Directory_Writable() const override { return writable; }
  bool Demonstration_Running() const override { return demo; }

  // A change of user as the user dialog makes it.
  void Change_To(const std::string& name, int32_t level, bool same) {
    previous = current;
    current = {name, level};
    same_person = same;
  }

  Person current{"Ann", 3}, previous{"Ann", 3};
  bool same_person = true, writable = true, demo = false;
  std::map<std::string, bool> flags;
  std::string dir;
  int saves = 0;
};

class Fake_Editor : public Manipulator_Editor {
 public:
  void Open(Shape_Transform& copy, char*, TWindow&) override {
    opened = &copy;
    ++opens;
  }
  Shape_Transform* opened = nullptr;
  int opens = 0;
};

std::unique_ptr<Affine_Transform_2D> Square(float s, float e, float f) {
  return std::make_unique<Affine_Transform_2D>(s, 0.0f, e, 0.0f, s, f);
}

}  // namespace

class Palette_Test : public Widget_Test {
 protected:
  Palette_Test() : Widget_Test(1024) {}
  void SetUp() override {
    Widget_Test::SetUp();
    dir = std::filesystem::temp_directory_path() / ("palette_test_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    users.dir = dir.string();
    Set_Message_Box_Hook([this](const TMessage_Box_Request& r) {
      asked.push_back(r.caption + ": " + r.text);
      return answer;
    });
  }
  void TearDown() override {
    Set_Message_Box_Hook(nullptr);
    Fail_Atomic_Write_After(-1);
    palette = nullptr;
    Widget_Test::TearDown();
    std::filesystem::remove_all(dir);
  }
  Transform_Palette* Open(int32_t level, int32_t height = 700) {
    users.current = users.previous = {"Ann", level};
    palette = new Transform_Palette(main, TPoint(10, 10), height, &editor, users);
    EXPECT_TRUE(palette->Create());
    Run_Until_Idle();
    return palette;
  }
  Shape_Transform_Window& Win() { return *palette->Window(); }
  // Clicks a slot of the page shown (window coordinates to screen).
  void Click_Slot(int slot) { Click(Win().Slot_Screen_Point(slot)); }
  // Whether each command is enabled.
  std::vector<bool> Enabled(std::initializer_list<UINT> ids) {
    std::vector<bool> out;
    for (UINT id : ids) out.push_back(Win().Enabled_Command(id));
    return out;
  }
  void Command(UINT id) {
    Win().EvCommand(id, HWND(), 0);
    Run_Until_Idle();
  }
  void Snapshot_Level(int32_t level) {
    const TRect r = palette->GetWindowRect();
    const int sections = palette->Section_Count;
    Contact_Sheet sheet((r.Width() + 12) * sections + 12, r.Height() + 40);
    for (int s = 0; s < sections; ++s) {
      palette->Select_Section(s);
      Run_Until_Idle();
      sheet.Add_Screen(r, "level " + std::to_string(level + 1) + " section " + std::to_string(s + 1));
    }
    sheet.Save("manipulator_palette_level_" + std::to_string(level + 1));
  }
  std::vector<std::string> Take_Asked() { return std::exchange(asked, {}); }

  Fake_Users users;
  Fake_Editor editor;
  Transform_Palette* palette = nullptr;
  std::filesystem::path dir;
  std::vector<std::string> asked;
  int answer = IDYES;
};

TEST_F(Palette_Test, Each_Level_Loads_Its_Set_With_Or_Without_Tabs) {
  const int totals[] = {5, 8, 10, 48, 48};
  for (int32_t level = 0; level < 5; ++level) {
    Open(level);
    EXPECT_EQ(palette->Total(), totals[level]) << level;
    EXPECT_EQ(palette->Section_Count, level >= 3 ? 5 : 1);
    EXPECT_EQ(palette->Dividers.size(), level >= 3 ? 5u : 0u);
    EXPECT_EQ(Win().Buttons_Visible(), level >= 3);
    EXPECT_EQ(palette->Source_Id, 4401 + level);
    EXPECT_FALSE(palette->Modified);
    // Every page of a built-in set is its section's first.
    for (int s = 0; s < palette->Section_Count; ++s) EXPECT_EQ(palette->Section(s).Page_Count(), 1);
    Snapshot_Level(level);
    delete palette;
  }
}

TEST_F(Palette_Test, A_Chosen_Manipulator_Outlives_Its_Deletion) {
  Open(3);
  Click_Slot(1);
  auto chosen = palette->Selected_Manipulator();
  ASSERT_NE(chosen, nullptr);
  EXPECT_EQ(chosen->Count(), 1);
  const Shape_Transform* stored = Win().Page()->At(1);
  EXPECT_EQ(static_cast<const Transform_Set_2D*>(stored), chosen.get());
  Command(Cm_Cut);
  EXPECT_EQ(palette->Total(), 47);
  EXPECT_TRUE(palette->Modified);
  // The drawing window's reference still reads the same maps.
  EXPECT_EQ(chosen.use_count(), 1);
  EXPECT_EQ(dynamic_cast<const Affine_Transform_2D&>(*chosen->Map(0)).eM11, -1.0f);
  EXPECT_EQ(palette->Selected_Manipulator(), nullptr);
  // Paste stores "copy of" the cut one.
  Command(Cm_Paste);
  EXPECT_EQ(palette->Total(), 48);
  EXPECT_STREQ(Win().Page()->Selected()->Name(), "copy of Flip About Vertical");
}

TEST_F(Palette_Test, Clicks_Select_And_Apply_And_Refusals_Beep) {
  Open(0);
  Click_Slot(2);
  EXPECT_EQ(Win().Page()->Selected_Slot(), 2);
  Click_Slot(2);  // again: applied again
  // Busy palette: nothing changes.
  palette->Enabled = false;
  Click_Slot(3);
  EXPECT_EQ(Win().Page()->Selected_Slot(), 2);
  palette->Enabled = true;
  // An empty slot is no hit.
  Click_Slot(7);
  EXPECT_EQ(Win().Page()->Selected_Slot(), 2);
  // A point in the cell's corner, outside its round outline, is no hit.
  bool hit = true;
  Win().Hit_Test(Win().Grid_Origin.Offset_By(1, 1), &hit);
  EXPECT_FALSE(hit);
  // Level 1: no menu, no New or Edit.
  EXPECT_FALSE(Win().Enabled_Command(Cm_Cut) && palette->Custom_Files());
}

TEST_F(Palette_Test, The_Arrow_Under_The_Top_Square_Stays_Visible_Without_Room_Below_It) {
  // The height the main window gives it at 1024 x 768: the grid starts
  // above the top square's bottom.
  Open(0, 576 + 2 * 6);
  ASSERT_LT(Win().Grid.top, Win().Top_Square.bottom);
  EXPECT_GE(Win().Arrow_Box.Height(), Win().S / 6);
}

TEST_F(Palette_Test, Files_Round_Trip_And_A_Failed_Save_Changes_Nothing) {
  Open(3);
  Command(Cm_New);
  ASSERT_NE(editor.opened, nullptr);
  editor.opened->Add_Map(Square(0.5f, 0, 0));
  for (int i = 0; i < 11; ++i) editor.opened->Add_Map(Square(0.1f, 0.05f * i, 0.5f));
  editor.opened->Set_Name("twelve");
  palette->Edit_Done(1);
  EXPECT_EQ(palette->Section(4).Total(), 11);
  EXPECT_TRUE(palette->Modified);

  Fail_Atomic_Write_After(0);
  EXPECT_FALSE(palette->Write_User_File(users.current));
  EXPECT_TRUE(palette->Modified);
  EXPECT_EQ(Take_Asked(), std::vector<std::string>{"WARNING: Unable to write file " +
                                                   users.File_Path(users.current.name, users.current.level) +
                                                   "\nThe disk is full: the manipulators are not saved."});
  Fail_Atomic_Write_After(-1);

  ASSERT_TRUE(palette->Write_User_File(users.current));
  EXPECT_FALSE(palette->Modified);
  EXPECT_EQ(palette->Source_Id, Transform_Palette::File_Source);
  EXPECT_TRUE(users.File_Flag("Ann", 3));
  const std::string path = users.File_Path("Ann", 3);
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> first((std::istreambuf_iterator<char>(in)), {});

  // A second palette reads it back in the same places and writes the same bytes.
  Transform_Palette* again = new Transform_Palette(main, TPoint(400, 10), 700, &editor, users);
  ASSERT_TRUE(again->Create());
  EXPECT_EQ(again->Source_Id, Transform_Palette::File_Source);
  EXPECT_STREQ(again->Section(4).At(10)->Name(), "twelve");
  std::vector<uint8_t> second;
  opstream os(second);
  again->Write_All(os);
  EXPECT_EQ(first, second);

  // A file damaged before its first record is refused and the collection
  // kept; the file goes aside whole, under a name that says so.
  const auto damage = [&](size_t size) {
    std::filesystem::remove(path);
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(first.data()), long(size));
  };
  const auto aside = [&] {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
      if (entry.path().string().rfind(path + ".damaged-", 0) == 0) found.push_back(entry.path().string());
    return found;
  };
  damage(20);
  EXPECT_FALSE(again->Read_File(path));
  EXPECT_EQ(again->Total(), 49);
  ASSERT_EQ(aside().size(), 1u);
  EXPECT_EQ(Take_Asked(), std::vector<std::string>{"WARNING: Unable to read file " + path +
                                                   "\nThe file is damaged: no shape manipulator in it could be used, "
                                                   "and the file is kept as " + aside()[0] + "."});
  EXPECT_EQ(std::filesystem::file_size(aside()[0]), 20u);
  std::filesystem::remove(aside()[0]);

  // Damaged later, every record read whole before the damage is kept, and
  // the user's file holds them again.
  damage(300);
  EXPECT_TRUE(again->Read_File(path));
  EXPECT_EQ(again->Total(), 2);
  ASSERT_EQ(aside().size(), 1u);
  EXPECT_EQ(Take_Asked(), std::vector<std::string>{"WARNING: Unable to read file " + path +
                                                   "\nThe file is damaged: the 2 shape manipulators read whole are "
                                                   "kept, and the file is kept as " + aside()[0] + "."});
  EXPECT_EQ(std::filesystem::file_size(aside()[0]), 300u);
  std::ifstream kept(path, std::ios::binary);
  std::vector<uint8_t> rewritten((std::istreambuf_iterator<char>(kept)), {});
  EXPECT_EQ(Read_Manipulator_File(rewritten)->size(), 2u);
  EXPECT_FALSE(again->Modified);
}

TEST_F(Palette_Test, Change_Of_User_Asks_And_Reloads) {
  Open(3);
  Command(Cm_Duplicate);  // nothing selected: refused
  EXPECT_FALSE(palette->Modified);
  Click_Slot(0);
  Command(Cm_Duplicate);
  EXPECT_TRUE(palette->Modified);

  for (int a : {IDNO, IDYES}) {
    answer = a;
    users.Change_To(a == IDNO ? "Bob" : "Ann", 3, false);
    palette->Change_User();
    Run_Until_Idle();
    EXPECT_EQ(Take_Asked(), std::vector<std::string>{"User Change: Save changes to shape manipulators belonging to " +
                                                     users.previous.name + "?"});
    EXPECT_FALSE(palette->Modified);
    EXPECT_EQ(palette->Total(), 48);  // reloaded
    EXPECT_EQ(std::filesystem::exists(users.File_Path("Ann", 3)), false);
    Click_Slot(0);
    Command(Cm_Duplicate);
  }
  // Yes writes the leaving user's file.
  answer = IDYES;
  users.Change_To("Cy", 3, false);
  palette->Change_User();
  EXPECT_TRUE(std::filesystem::exists(users.File_Path("Bob", 3)));
  EXPECT_TRUE(users.File_Flag("Bob", 3));
  Take_Asked();

  // Not writable, or a demonstration: no question.
  Click_Slot(0);
  Command(Cm_Duplicate);
  users.writable = false;
  users.Change_To("Dee", 3, false);
  palette->Change_User();
  EXPECT_TRUE(Take_Asked().empty());

  // Down to level 3: the tabs go and the buttons hide; back to 4 they return.
  users.writable = true;
  for (int32_t level : {2, 3}) {
    users.Change_To("Dee", level, true);
    palette->Change_User();
    EXPECT_EQ(palette->Dividers.size(), level == 3 ? 5u : 0u);
    EXPECT_EQ(palette->Total(), level == 3 ? 48 : 10);
    EXPECT_EQ(Win().Buttons_Visible(), level == 3);
  }
}

TEST_F(Palette_Test, Edited_Manipulators_Move_Or_Survive_A_Full_Section) {
  Open(3);
  palette->Select_Section(1);
  Click_Slot(0);
  Command(Cm_Edit);
  ASSERT_NE(editor.opened, nullptr);
  for (int i = 0; i < 3; ++i) editor.opened->Add_Map(Square(0.2f, 0.2f * i, 0));  // 2 -> 5 images
  palette->Edit_Done(1);
  EXPECT_EQ(palette->Section(1).Total(), 9);
  EXPECT_EQ(palette->Section(4).Total(), 11);
  EXPECT_EQ(palette->Section(4).Page_Count(), 2);
  EXPECT_EQ(palette->Dividers[4].Sub_Dividers.size(), 2u);
  EXPECT_EQ(palette->Dividers[4].Sub_Dividers[1].Label, "5A");

  // Fill section 3 (four images) to forty, then edit a two-image one into it.
  while (palette->Section(3).Total() < 40) palette->Duplicate(*palette->Section(3).At(0));
  EXPECT_EQ(palette->Dividers[3].Sub_Dividers.back().Label, "4C");
  palette->Select_Section(1);
  Click_Slot(0);
  const Shape_Transform* original = Win().Page()->Selected();
  Command(Cm_Edit);
  editor.opened->Add_Map(Square(0.2f, 0, 0.5f));
  editor.opened->Add_Map(Square(0.2f, 0.5f, 0.5f));
  const int opens = editor.opens;
  palette->Edit_Done(1);
  EXPECT_EQ(editor.opens, opens + 1);  // back in the editor
  EXPECT_EQ(Take_Asked().back(), "WARNING: The isn't room for another shape manipulator with 4 images.");
  palette->Edit_Done(2);  // and cancelled: the original stays
  EXPECT_EQ(palette->Section(1).At(0), original);
  EXPECT_FALSE(palette->Editing());

  // Keeping a copy with no images deletes the original.
  Click_Slot(0);
  Command(Cm_Edit);
  editor.opened->Clear();
  palette->Edit_Done(1);
  EXPECT_EQ(palette->Section(1).Total(), 8);
  EXPECT_NE(palette->Section(1).At(0), original);
}

TEST_F(Palette_Test, Moves_Enablers_And_Walks) {
  Open(3);
  EXPECT_EQ(Enabled({Cm_Paste, Cm_Undo_Changes, Cm_Recall_Custom, Cm_New}), (std::vector<bool>{0, 0, 0, 1}));
  palette->Select_Section(2);
  while (palette->Section(2).Total() < 12) palette->Duplicate(*palette->Section(2).At(0));
  palette->Select_Cell(2, 8);  // row 4, column 0
  EXPECT_EQ(Enabled({Cm_Move_Left, Cm_Move_Right, Cm_Move_Down}), (std::vector<bool>{0, 1, 1}));
  Shape_Transform* moving = Win().Page()->Selected();
  Command(Cm_Move_Down);
  EXPECT_EQ(Win().Page(), palette->Section(2).Page(1));
  EXPECT_EQ(Win().Page()->Selected_Slot(), 0);
  EXPECT_EQ(Win().Page()->Selected(), moving);
  EXPECT_TRUE(Win().Enabled_Command(Cm_Move_Up));
  Command(Cm_Move_Up);
  EXPECT_EQ(palette->Section(2).At(8), moving);
  EXPECT_TRUE(Win().Enabled_Command(Cm_Undo_Changes));

  // While editing everything but Paste and the file commands is refused.
  Command(Cm_New);
  EXPECT_EQ(Enabled({Cm_Edit, Cm_New}), (std::vector<bool>{0, 0}));
  palette->Edit_Done(2);

  // The walk for the game: only the seven-image manipulator of "5+".
  for (int images : {7, -1}) {
    Manipulator_Iterator it = palette->First_With_Images(images);
    int found = 0;
    while (auto m = palette->Next_With_Images(it)) found += images < 0 || m->Count() == 7 ? 1 : 100;
    EXPECT_EQ(found, images < 0 ? palette->Total() : 1);
  }
}

TEST_F(Palette_Test, A_Failed_Reload_Keeps_The_Changes) {
  Open(3);
  ASSERT_TRUE(palette->Write_User_File(users.current));
  Click_Slot(0);
  Command(Cm_Duplicate);
  std::filesystem::remove(users.File_Path("Ann", 3));
  answer = IDYES;
  palette->Undo_Changes();
  EXPECT_TRUE(palette->Modified);  // nothing reloaded
  EXPECT_EQ(palette->Total(), 49);
  // Can_Close asks; Cancel keeps the program open.
  answer = IDCANCEL;
  Take_Asked();
  EXPECT_FALSE(palette->CanClose());
  EXPECT_EQ(Take_Asked(), std::vector<std::string>{"Program Exit: Save changes to shape manipulators?"});
}

// The system ends the program (a logout): nobody is asked. A
// demonstration's changes go; the person's are kept, as Yes keeps them, and
// the program ends even when they cannot be.
TEST_F(Palette_Test, The_System_Ending_The_Program_Keeps_The_Changes_Without_Asking) {
  Open(3);
  Click_Slot(0);
  Command(Cm_Duplicate);
  ASSERT_TRUE(palette->Modified);
  TDesktop::Current().Request_End();
  answer = IDCANCEL;  // a question would keep the program open
  struct Case {
    const char* name;
    bool demonstration, disk_full, saved;
  };
  for (const Case& c : {Case{"demonstration", true, false, false}, Case{"full disk", false, true, false},
                        Case{"person's changes", false, false, true}}) {
    SCOPED_TRACE(c.name);
    users.demo = c.demonstration;
    Fail_Atomic_Write_After(c.disk_full ? 0 : -1);
    EXPECT_TRUE(palette->CanClose());
    EXPECT_EQ(std::filesystem::exists(users.File_Path("Ann", 3)), c.saved);
  }
  for (const std::string& box : Take_Asked()) EXPECT_EQ(box.find("Program Exit"), std::string::npos) << box;
}

// A stored record without images is never placed: the palette shows only
// what can be applied.
TEST_F(Palette_Test, Records_Without_Images_Are_Not_Placed) {
  Open(3);
  Shape_Transform one, empty, two;
  one.Add_Map(Square(0.5f, 0, 0));
  one.Set_Name("one");
  empty.Set_Name("empty");
  two.Add_Map(Square(0.5f, 0.5f, 0));
  two.Set_Name("two");
  std::vector<uint8_t> bytes;
  opstream os(bytes);
  Write_Manipulator_Records(os, {&one, &empty, &two});
  const std::string path = users.File_Path("Ann", 3);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
  ASSERT_TRUE(palette->Read_File(path));
  EXPECT_EQ(palette->Total(), 2);
  EXPECT_TRUE(Take_Asked().empty());
}

// Save Changes, Undo Changes, Recall Original and Recall Custom with the
// questions each asks, and what each answer leaves.
TEST_F(Palette_Test, Save_And_Recall_Commands_Ask_And_Keep_Or_Replace_The_File) {
  Open(3);
  const std::string path = users.File_Path("Ann", 3);
  const auto file_total = [&] {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    auto read = Read_Manipulator_File(bytes);
    return read ? int(read->size()) : -1;
  };
  // No file yet: Save Changes writes without a question.
  Click_Slot(0);
  Command(Cm_Duplicate);
  Command(Cm_Save_Changes);
  EXPECT_TRUE(Take_Asked().empty());
  EXPECT_EQ(file_total(), 49);
  EXPECT_EQ(palette->Source_Id, Transform_Palette::File_Source);
  EXPECT_FALSE(palette->Modified);

  // Unchanged, Recall Original asks whether to keep the file; Yes keeps it
  // and shows the built-in set.
  answer = IDYES;
  Command(Cm_Recall_Original);
  EXPECT_EQ(Take_Asked(), std::vector<std::string>{"Recall Original: Retain customized shape manipulators for future use?"});
  EXPECT_EQ(palette->Total(), 48);
  EXPECT_EQ(file_total(), 49);
  EXPECT_NE(palette->Source_Id, Transform_Palette::File_Source);

  // Showing the built-in set over a saved file, Save Changes asks first:
  // No writes nothing.
  Click_Slot(0);
  Command(Cm_Cut);
  EXPECT_EQ(palette->Total(), 47);
  answer = IDNO;
  Command(Cm_Save_Changes);
  EXPECT_EQ(Take_Asked(), std::vector<std::string>{"Save Changes: Overwrite previously saved manipulator changes?"});
  EXPECT_EQ(file_total(), 49);

  // Recall Custom asks before losing the changes: No keeps them, Yes reads
  // the file.
  answer = IDNO;
  Command(Cm_Recall_Custom);
  EXPECT_EQ(Take_Asked(), std::vector<std::string>{"Recall Custom: Recent changes will be lost, proceed?"});
  EXPECT_EQ(palette->Total(), 47);
  EXPECT_TRUE(palette->Modified);
  answer = IDYES;
  Command(Cm_Recall_Custom);
  EXPECT_EQ(Take_Asked(), std::vector<std::string>{"Recall Custom: Recent changes will be lost, proceed?"});
  EXPECT_EQ(palette->Total(), 49);
  EXPECT_FALSE(palette->Modified);
  EXPECT_EQ(palette->Source_Id, Transform_Palette::File_Source);

  // Changed, Recall Original offers to save: Cancel changes nothing, Yes
  // saves and then shows the built-in set.
  Click_Slot(0);
  Command(Cm_Cut);
  answer = IDCANCEL;
  Command(Cm_Recall_Original);
  EXPECT_EQ(Take_Asked(), std::vector<std::string>{"Recall Original: Save customized shape manipulators for future use?"});
  EXPECT_EQ(palette->Total(), 48);
  EXPECT_TRUE(palette->Modified);
  answer = IDYES;
  Command(Cm_Recall_Original);
  EXPECT_EQ(Take_Asked().size(), 1u);
  EXPECT_EQ(file_total(), 48);
  EXPECT_EQ(palette->Total(), 48);
  EXPECT_FALSE(palette->Modified);

  // Over the built-in set, a change and Recall Original say the saved file
  // would be overwritten; Yes then overwrites it.
  Click_Slot(0);
  Command(Cm_Cut);
  Command(Cm_Recall_Original);
  EXPECT_EQ(Take_Asked(), std::vector<std::string>{std::string("Recall Original: Save customized shape manipulators "
                                                               "for future use?") + Overwrite_Note});
  EXPECT_EQ(file_total(), 47);
  EXPECT_EQ(palette->Total(), 48);
}
