#include <stdlib.h>

#include <filesystem>
#include <set>

#include "toolkit/program_messages.h"
#include "app/user_dialog.h"

#include "platform/window/command_enabler.h"
#include "app/user_level_window.h"
#include "app/user_list_window.h"
#include "platform/window/message_box.h"
#include "tests/toolkit/widget_fixture.h"
#include "toolkit/ext_edit.h"
#include "toolkit/rectangular_button.h"
#include "users/user_data.h"
#include "users/user_database.h"

class User_Dialog_Test : public Widget_Test {
 protected:
  User_Dialog_Test() {
    char pattern[] = "/tmp/quendar-dialog-XXXXXX";
    root = mkdtemp(pattern);
    setenv("XDG_DATA_HOME", root.c_str(), 1);
    The_User_Data.directory = root + "/";
    Set_Message_Box_Hook([this](const TMessage_Box_Request& r) {
      Boxes.push_back(r.caption + ": " + r.text);
      return Answer;
    });
  }
  ~User_Dialog_Test() override {
    delete dialog;
    delete The_User_Database;
    Set_Message_Box_Hook(nullptr);
    std::filesystem::remove_all(root);
  }
  // Opens the dialog (not modally, so the test can look between steps) on a
  // database of the named users.
  void Open(std::vector<std::string> names, int32_t current) {
    The_User_Database = new User_Database(For_Stream);
    for (const auto& name : names) The_User_Database->Add_User(std::make_unique<User>(0, name.c_str()));
    The_User_Database->Set_Current(current);
    Show();
  }
  void Show() { dialog = Made(new User_Dialog(main, nullptr, TRect(40, 30, 760, 570))); }
  User_Database& Copy() { return *dialog->Edited(); }
  std::pair<int32_t, int32_t> Count_And_Current() { return {Copy().Count(), Copy().current_index}; }
  User_List_Window& List() { return *dialog->List(); }
  User_Level_Window& Levels() { return *dialog->Levels(); }
  void Key(UINT vk) { headless->Key(vk), Run_Until_Idle(); }
  void Type(const std::string& text, bool enter = false) {
    List().Field().SetText(text), Run_Until_Idle();
    if (enter) Key(VK_RETURN);
  }
  TPoint Screen(TWindow& window, TPoint p) { return window.ClientToScreen(p), p; }
  // Drags the avatar by its middle until its foot is at foot: up, across,
  // down, a few pixels a move so the cursor's confinement follows.
  void Drag_Avatar_To(TPoint foot, bool release = true) {
    const TRect body = Levels().Avatar().Body_At(Levels().Foot());
    TPoint grab((body.left + body.right) / 2, (body.top + body.bottom) / 2);
    const TPoint offset(Levels().Foot().x - grab.x, Levels().Foot().y - grab.y);
    Move(Screen(Levels(), grab));
    Press(Screen(Levels(), grab));
    auto go = [&](TPoint to) {
      while (grab != to) {
        grab.x += std::clamp(to.x - grab.x, -3, 3);
        grab.y += std::clamp(to.y - grab.y, -3, 3);
        Move(Screen(Levels(), grab));
      }
    };
    const int top = Levels().Avatar().Box_At(Levels().Foot()).Height() + 2;
    go(TPoint(grab.x, top));
    go(TPoint(foot.x - offset.x, top));
    go(TPoint(foot.x - offset.x, foot.y - offset.y));
    if (release) Release(Screen(Levels(), grab));
  }

  static void Snap(const std::string& name) {
    Widget_Sheet sheet(812, 628);
    sheet.Add_Screen(TRect(0, 0, 800, 600), name);
    sheet.Save(name);
  }

  std::string root;
  User_Dialog* dialog = nullptr;
  std::vector<std::string> Boxes;
  int Answer = IDYES;
};

TEST_F(User_Dialog_Test, NewNamesGoInAtTheirPlaceAndDuplicatesAreRefused) {
  Open({"Ann", "Comet", "Sample"}, -1);
  EXPECT_TRUE(List().Editing());
  EXPECT_EQ(List().Edited_Index(), -1);
  EXPECT_EQ(Desk().Focus(), List().Field().GetHandle());
  for (UINT vk : {UINT('B'), UINT('O'), UINT('B'), UINT(VK_RETURN)}) Key(vk);
  EXPECT_EQ(Copy().At(1)->name, "bob");
  EXPECT_EQ(Copy().current_index, 1);
  EXPECT_EQ(Levels().Avatar().Shown_Name(), "bob");
  EXPECT_FALSE(List().Editing());

  // Enter opens the field on the current user without committing it.
  Key(VK_RETURN);
  ASSERT_TRUE(List().Editing());
  Type("SAMPLE", true);
  EXPECT_EQ(Boxes, std::vector<std::string>{
                       "User List Update: SAMPLE already appears on the user list.\nDuplicate names are not allowed."});
  EXPECT_TRUE(List().Editing());
  Type("a/b", true);
  EXPECT_EQ(Boxes.size(), 2u);
  EXPECT_EQ(Copy().At(1)->name, "bob");
  Type("BOB", true);  // a change of case is a rename
  EXPECT_EQ(Copy().At(1)->name, "BOB");
  EXPECT_EQ(The_User_Database->At(1)->name, "Comet");  // only the copy changes
}

// Letters the names' code page has no place for (Chinese, an emoji) never
// reach the name, and the person is told once for what was typed in one go.
TEST_F(User_Dialog_Test, CharactersOutsideTheNamesCodePageAreRefusedWithAWord) {
  Open({"Ann"}, -1);
  ASSERT_TRUE(List().Editing());
  TInput_Event typed;
  typed.kind = TInput_Event::Kind::Char;
  for (uint32_t c : {0x4E2Du, 0x1F600u, 0xE9u}) {
    typed.code = c;
    headless->Inject(typed);
  }
  Run_Until_Idle();
  EXPECT_EQ(List().Field().GetText(), "\xE9");
  EXPECT_EQ(Boxes, std::vector<std::string>{"User List Update: Some of the characters typed cannot be used in "
                                            "names.\nPlease use other letters."});
  typed.code = 0x4E2D;
  headless->Inject(typed);
  Run_Until_Idle();
  EXPECT_EQ(Boxes.size(), 2u);
  EXPECT_TRUE(List().Editing());
}

// The list's menu commands: Edit Name (5011), Delete (5012), Font (5013)
// and Color (5014), enabled only with a listed user marked.
TEST_F(User_Dialog_Test, TheListsMenuCommandsActOnTheMarkedUser) {
  Open({"Ann", "Bob", "Comet"}, -1);
  const auto enabled = [&] {
    std::vector<bool> out;
    for (UINT id : {5011u, 5012u, 5013u, 5014u}) {
      TCommandEnabler probe(id);
      List().EvCommandEnable(probe);
      out.push_back(probe.Enabled());
    }
    return out;
  };
  EXPECT_EQ(enabled(), std::vector<bool>(4, false));  // the default user
  Key(VK_ESCAPE);
  Key(VK_DOWN);
  ASSERT_EQ(Copy().current_index, 0);
  EXPECT_EQ(enabled(), std::vector<bool>(4, true));

  List().EvCommand(User_List_Window::Edit_Command, HWND(), 0);
  Run_Until_Idle();
  EXPECT_TRUE(List().Editing());
  EXPECT_EQ(List().Edited_Index(), 0);
  EXPECT_EQ(List().Field().GetText(), "Ann");
  Key(VK_ESCAPE);

  for (UINT id : {User_List_Window::Font_Command, User_List_Window::Color_Command}) {
    Boxes.clear();
    List().EvCommand(id, HWND(), 0);
    EXPECT_EQ(Boxes, std::vector<std::string>{": Not Implemented Yet"}) << id;
  }

  Boxes.clear();
  Answer = IDNO;
  List().EvCommand(User_List_Window::Delete_Command, HWND(), 0);
  EXPECT_EQ(Boxes, std::vector<std::string>{"Confirmation: Delete Ann?"});
  EXPECT_EQ(Copy().Count(), 3);
  Answer = IDYES;
  List().EvCommand(User_List_Window::Delete_Command, HWND(), 0);
  Run_Until_Idle();
  EXPECT_EQ(Copy().Count(), 2);
  EXPECT_EQ(Copy().Find_User("Ann"), -1);
  EXPECT_EQ(The_User_Database->Count(), 3);  // only the copy changes
}

TEST_F(User_Dialog_Test, EmptyingANameDeletesTheEditedUserNeverTheDefault) {
  Open({"Ann", "Comet"}, 0);
  Key(VK_RETURN);
  Type("");
  Answer = IDNO;
  Key(VK_UP);  // commits before leaving for "New"
  EXPECT_EQ(Boxes, std::vector<std::string>{"Confirmation: Delete Ann?"});
  EXPECT_EQ(Count_And_Current(), std::pair(2, -1));

  Answer = IDYES;
  for (UINT vk : {VK_DOWN, VK_DOWN, VK_DELETE}) Key(vk);  // the last user: the new last is chosen
  EXPECT_EQ(Count_And_Current(), std::pair(1, 0));
  Key(VK_DELETE);  // the only user: "New" is chosen
  EXPECT_EQ(Count_And_Current(), std::pair(0, -1));
  EXPECT_EQ(List().Highlighted(), 0);
  Key(VK_DELETE);
  EXPECT_EQ(Boxes.size(), 3u);
}

TEST_F(User_Dialog_Test, SixteenUsersScrollAndPageThroughTheList) {
  std::vector<std::string> names;
  for (char c = 'A'; c < 'A' + 16; ++c) names.push_back(std::string("User ") + c);
  Open(names, 15);
  const int n = List().Row_Count(), page = n - 3;
  ASSERT_LE(n, 16);
  ASSERT_TRUE(List().Arrows_Shown());
  EXPECT_EQ(List().First(), 15 - n + 4);  // the current user on the last user row
  EXPECT_EQ(List().Highlighted(), n - 2);
  The_User_Database->At(3)->points = 12345;
  Copy().At(3)->points = 12345;
  const int any = -99;
  const struct {
    UINT vk;
    int index, first;
  } walk[] = {{VK_HOME, 0, 0},      {VK_NEXT, page - 1, any},
              // From the last user row: a page on, within the list.
              {VK_NEXT, 15, 16 - page}, {VK_DOWN, 15, any}, {VK_PRIOR, 16 - page, any}, {VK_PRIOR, 0, 0},
              {VK_UP, -1, any},         {VK_DOWN, 0, any},  {VK_DOWN, 1, any},          {VK_END, 15, 16 - page}};
  for (const auto& w : walk) {
    Key(w.vk);
    EXPECT_EQ(Copy().current_index, w.index) << w.vk;
    EXPECT_TRUE(w.first == any || List().First() == w.first) << w.vk << " shows from " << List().First();
  }
  // A click on a row chooses the user seen there.
  const TPoint row_2(List().Row(2).left + 5, List().Row(2).top + 5);
  Click(Screen(List(), row_2));
  EXPECT_EQ(Copy().current_index, 16 - page);
  Snap("user_dialog_sixteen_users");
  Key(VK_RETURN);
  for (UINT vk : {'Z', 'E', 'D'}) Key(vk);
  Snap("user_dialog_edit_in_progress");
}

TEST_F(User_Dialog_Test, NamesInTheRowsTheArrowsTakeAreWipedWhenTheArrowsAppear) {
  std::vector<std::string> names;
  for (char c = 'A'; c < 'A' + 15; ++c) names.push_back(std::string("User ") + c);
  Open({"User A"}, 0);
  const int n = List().Row_Count();
  delete dialog;
  delete The_User_Database;
  names.resize(size_t(n - 1));
  Open(names, 0);
  ASSERT_FALSE(List().Arrows_Shown());
  Key(VK_UP);
  Key(VK_RETURN);
  Type("Zed", true);
  ASSERT_TRUE(List().Arrows_Shown());
  Run_Until_Idle();
  // Beside each arrow, where names stood, only the background is left.
  for (int row : {1, n - 1}) {
    const TRect r = List().Row(row);
    std::set<uint32_t> colours;
    for (int x = r.left; x < r.left + r.Width() / 5; ++x)
      for (int y = r.top; y < r.bottom; ++y) {
        const TPoint p = Screen(List(), {x, y});
        colours.insert(Screen_Pixel(p.x, p.y));
      }
    EXPECT_EQ(colours.size(), 1u) << "row " << row;
  }
}

TEST_F(User_Dialog_Test, TheLevelDigitsAreWrittenLargeEnoughToRead) {
  Open({"Ann"}, 0);
  // The dialog as the 800 column lays it out: digits of at least 16 pixels.
  for (int i = 0; i < 5; ++i) EXPECT_GE(Levels().Button(i).Caption_Font_Height(1), 16) << i;
}

TEST_F(User_Dialog_Test, LevelKeysAndButtonsWalkTheAvatarAndSetTheLevelAtOnce) {
  Open({"Ann"}, 0);
  EXPECT_EQ(Levels().Foot(), Levels().Stand_Point(0));
  Key('3');
  EXPECT_EQ(Copy().At(0)->level, 2);
  EXPECT_EQ(Levels().Motion_State(), User_Level_Window::Walking);
  Advance(3000, 33);
  EXPECT_EQ(Levels().Motion_State(), User_Level_Window::Idle);
  EXPECT_EQ(Levels().Foot(), Levels().Stand_Point(2));
  Levels().Choose_Level(2);  // the level it has: nothing
  EXPECT_EQ(Levels().Motion_State(), User_Level_Window::Idle);
  // The ground line between its points, and flat beyond its ends.
  EXPECT_EQ(Levels().Ground_Height(-100), Levels().Ground_Height(0));
  EXPECT_EQ(Levels().Ground_Height(Levels().Stand_Point(0).x), Levels().Stand_Point(0).y);
  EXPECT_EQ(Levels().Ground_Height(5000), Levels().Stand_Point(4).y);
  // "New" shows the default user, whose level the next new user gets.
  Key(VK_UP);
  EXPECT_EQ(Levels().Avatar().Shown_Name(), "");
  Levels().SendMessage(WM_COMMAND, User_Level_Window::First_Button_Id + 4);
  EXPECT_EQ(Copy().default_user.level, 4);
}

TEST_F(User_Dialog_Test, TheAvatarDroppedOnEachStepTakesThatLevel) {
  Open({"Comet"}, 0);
  for (int step : {3, 1, 4, 0, 2}) {
    SCOPED_TRACE(step);
    Drag_Avatar_To(Levels().Stand_Point(step), false);
    EXPECT_TRUE(Desk().Cursor_Clip().has_value());
    if (step == 4) Snap("user_dialog_avatar_mid_drag");
    Release(Desk().Cursor_Pos());
    EXPECT_FALSE(Desk().Cursor_Clip().has_value());
    EXPECT_EQ(Copy().At(0)->level, step);  // with no motion needed too
    Advance(3000, 33);
    EXPECT_EQ(Levels().Foot(), Levels().Stand_Point(step));
  }
  // Dropped in the air above step 4: it falls, then walks to its place.
  TPoint air = Levels().Stand_Point(4);
  air.x -= Levels().Step(4).Width() / 3;
  air.y -= Levels().Step(4).Height() / 2;
  Drag_Avatar_To(air);
  EXPECT_EQ(Copy().At(0)->level, 4);
  EXPECT_EQ(Levels().Motion_State(), User_Level_Window::Falling);
  Advance(5000, 33);
  EXPECT_EQ(Levels().Foot(), Levels().Stand_Point(4));
}

TEST_F(User_Dialog_Test, EveryWayADragEndsFreesTheCursor) {
  const std::function<void()> endings[] = {
      [this] { Levels().SendMessage(Mouse_Lost_Message); },
      [this] { dialog->SendMessage(WM_ACTIVATE, WA_INACTIVE); },
      [this] { dialog->SendMessage(WM_COMMAND, User_Dialog::Cancel_Id); },
      [this] { dialog->Destroy(); },
  };
  for (const auto& end : endings) {
    Open({"Comet"}, 0);
    Drag_Avatar_To(Levels().Stand_Point(2), false);
    ASSERT_TRUE(Desk().Cursor_Clip().has_value());
    end();
    Run_Until_Idle();
    EXPECT_FALSE(Desk().Cursor_Clip().has_value());
    Release(Desk().Cursor_Pos());
    delete dialog;
    dialog = nullptr;
    delete The_User_Database;
  }
}

TEST_F(User_Dialog_Test, OkInstallsTheCopyWithTheNameBeingTypedAndCancelKeepsAll) {
  Open({"Ann", "Comet"}, 1);
  Key(VK_RETURN);
  Type("Maple");
  dialog->SendMessage(WM_COMMAND, User_Dialog::Cancel_Id);
  EXPECT_EQ(The_User_Database->At(1)->name, "Comet");
  EXPECT_FALSE(std::filesystem::exists(User_Database::File_Path()));
  delete dialog;
  Show();
  Key(VK_RETURN);
  Type("Maple");
  Levels().Choose_Level(3);
  dialog->SendMessage(WM_COMMAND, User_Dialog::OK_Id);
  EXPECT_EQ(The_User_Database->At(1)->name, "Maple");
  EXPECT_EQ(The_User_Database->current_user->level, 3);
  EXPECT_EQ(The_User_Database->current_user->source_record, &The_User_Database->previous_user);
  EXPECT_EQ(The_User_Database->previous_user.name, "Comet");
  EXPECT_TRUE(std::filesystem::exists(User_Database::File_Path()));
}

// A box the list shows takes the keyboard while it is up and gives it back
// to the list (or to the field) however it is answered.
TEST_F(User_Dialog_Test, TheListKeepsItsKeysAfterEveryBoxItShows) {
  struct Case {
    const char* name;
    std::vector<UINT> answer;
    int32_t count_after;
  };
  const Case cases[] = {{"Yes by Enter", {VK_RETURN}, 2},
                        {"No by Tab and Enter", {VK_TAB, VK_RETURN}, 3},
                        {"No by Tab and Space", {VK_TAB, VK_SPACE}, 3}};
  Answer = 0;  // the real box
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Open({"Ann", "Bob", "Comet"}, 1);
    headless->Key(VK_DELETE);
    for (UINT vk : c.answer) headless->Key(vk);
    Run_Until_Idle();
    EXPECT_EQ(Copy().Count(), c.count_after);
    EXPECT_EQ(Desk().Focus(), List().GetHandle());
    Key(VK_UP);
    EXPECT_EQ(Copy().current_index, 0);
    delete dialog;
    dialog = nullptr;
    delete The_User_Database;
  }
  // The duplicate-name warning: the field keeps the keyboard and its text.
  Open({"Ann", "Bob"}, 1);
  Key(VK_RETURN);
  Type("ann");
  headless->Key(VK_RETURN);
  headless->Key(VK_ESCAPE);
  Run_Until_Idle();
  EXPECT_TRUE(List().Editing());
  EXPECT_EQ(Desk().Focus(), List().Field().GetHandle());
  Key(VK_ESCAPE);  // the field's own Esc closes it, not the dialog
  EXPECT_FALSE(List().Editing());
  EXPECT_TRUE(dialog->IsWindow());
  // A click on a row gives the list the keyboard wherever it was.
  dialog->SetFocus();
  int steps = 0;
  Click(List().User_Row_Point("Ann", steps));
  Key(VK_DOWN);
  EXPECT_EQ(Copy().current_index, 1);
}

// Without a mouse: Tab reaches OK, Cancel and Help in turn, Enter presses
// the one reached, Esc cancels.
TEST_F(User_Dialog_Test, TabReachesTheButtonsEnterPressesThemAndEscCancels) {
  Open({"Ann", "Comet"}, 0);
  std::vector<HWND> reached;
  for (int i = 0; i < 4; ++i) {
    Key(VK_TAB);
    reached.push_back(Desk().Focus());
  }
  const std::vector<HWND> order = {dialog->ChildWithId(User_Dialog::OK_Id)->GetHandle(),
                                   dialog->ChildWithId(User_Dialog::Cancel_Id)->GetHandle(),
                                   dialog->ChildWithId(User_Dialog::Help_Id)->GetHandle(), List().GetHandle()};
  EXPECT_EQ(reached, order);
  // Enter in the list is the list's: it opens the field.
  Key(VK_RETURN);
  EXPECT_TRUE(List().Editing());
  Key(VK_ESCAPE);
  // Esc in the list cancels: nothing is installed.
  Key(VK_DELETE);
  Key(VK_ESCAPE);
  EXPECT_FALSE(dialog->IsWindow());
  EXPECT_EQ(The_User_Database->Count(), 2);
  delete dialog;
  Show();
  Key(VK_DELETE);
  Key(VK_TAB);
  Key(VK_RETURN);  // OK
  EXPECT_FALSE(dialog->IsWindow());
  EXPECT_EQ(The_User_Database->Count(), 1);
}

// The list shows when it has the keys: lines round the marked row, gone
// when the keys move on (to the buttons, or into the name field) and back
// round the marked row when they return.
TEST_F(User_Dialog_Test, TheListShowsWhenItHasTheKeys) {
  Open({"Ann", "Comet"}, 0);
  // The top and left lines of a frame, as on the screen.
  auto frame_pixels = [&](const TRect& frame) {
    std::set<uint32_t> colours;
    auto add = [&](int x, int y) {
      const TPoint p = Screen(List(), {x, y});
      colours.insert(Screen_Pixel(p.x, p.y));
    };
    for (int x = frame.left; x < frame.right; ++x) add(x, frame.top);
    for (int y = frame.top; y < frame.bottom; ++y) add(frame.left, y);
    return colours;
  };
  const std::set<uint32_t> shown = {Scheme_Xrgb(1)}, hidden = {Scheme_Xrgb(0)};
  const TRect ann = List().Focus_Frame();
  ASSERT_FALSE(ann.IsEmpty());
  EXPECT_EQ(frame_pixels(ann), shown) << "the list has the keys when the dialog opens on a user";
  Key(VK_DOWN);
  const TRect comet = List().Focus_Frame();
  EXPECT_GT(comet.top, ann.top);
  EXPECT_EQ(frame_pixels(comet), shown) << "the frame follows the marker";
  EXPECT_EQ(frame_pixels(ann), hidden) << "and leaves no line behind";
  Key(VK_TAB);
  EXPECT_EQ(frame_pixels(comet), hidden) << "OK has the keys";
  for (int i = 0; i < 3; ++i) Key(VK_TAB);
  EXPECT_EQ(frame_pixels(comet), shown) << "back in the list";
  Key(VK_RETURN);
  ASSERT_TRUE(List().Editing());
  EXPECT_EQ(frame_pixels(comet), hidden) << "the name field has the keys";
  Key(VK_ESCAPE);
  EXPECT_EQ(frame_pixels(comet), shown) << "the field closed, the list has them again";
  // A renamed user moves to its sorted row, and the frame with it.
  Key(VK_UP);
  Key(VK_RETURN);
  Type("Zed", true);
  ASSERT_EQ(List().Focus_Frame(), comet);
  EXPECT_EQ(frame_pixels(comet), shown);
  EXPECT_EQ(frame_pixels(ann), hidden) << "the renamed user's old row keeps no line";
  Snap("user_list_focus");
}
