// The demonstrations' shared parts: the panels' screen points, the pass
// cycle that replays a script as user "Demo" through the Name and Level
// dialog, and the starters that set the mode.
#include "demos/simulated_user.h"

#include "manipulators/transform_palette.h"
#include "toolkit/round_button.h"
#include "users/user_database.h"
#include "users/user_names.h"
#include "workspace/color_cycle_window.h"
#include "workspace/drawing_window.h"
#include "workspace/shape_palette.h"

namespace {

const char* const Demo_User = "Demo";
constexpr uint32_t Last_Pass = 4;

const User* Current_User() { return The_User_Database ? The_User_Database->current_user : nullptr; }

bool Current_User_Is_Demo() {
  const User* user = Current_User();
  return user && Same_Name_Ignoring_Case(user->name, Demo_User);
}

}  // namespace

// ---- Screen points

TPoint Simulated_User::Button_Point(const Round_Button* button) const {
  if (!button) return TPoint();
  const TRect r = button->GetClientRect();
  TPoint p((r.left + r.right) >> 1, (r.top + r.bottom) >> 1);
  button->ClientToScreen(p);
  return p;
}

TPoint Simulated_User::Shape_Button_Point(int index) const {
  if (!Shapes) return TPoint();
  const TWindow* button = Shapes->Buttons[size_t(std::clamp(index, 0, Shape_Palette::Button_Count - 1))];
  if (!button) return TPoint();
  const TRect r = button->GetWindowRect();
  return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

TPoint Simulated_User::Corner(int k) const { return Drawing ? Drawing->Corner_Screen_Point(k) : TPoint(); }

TPoint Simulated_User::Slot(int32_t section, int32_t n, TPoint* tab) const {
  TPoint unused;
  if (!Manipulators) return tab ? (*tab = TPoint()) : TPoint();
  return Manipulators->Slot_Screen_Points(section, n, tab ? tab : &unused);
}

// ---- Starters

void Simulated_User::Color_Mixing_Demo() {
  Set_Mode(Color_Mixing_Mode);
  Append_Color_Mixing_Script();
  Start_Playback();
}

void Simulated_User::Pattern_Demo() {
  Set_Mode(Pattern_Mode);
  Gallery_Save_Count = 0;
  Append_Pattern_Script();
  Left_Click(Button_Point(Help_Button), Pause_Pressed);
  Start_Playback();
}

void Simulated_User::Multi_Level_Pattern_Demo() {
  // Every pass changes the level, the first one the user too.
  Offer_Saves();
  Set_Mode(Pattern_Mode);
  Pass_Count = 0;
  Gallery_Save_Count = 0;
  Begin_Pass_Cycle(0);
}

void Simulated_User::Manipulator_Demo() {
  const User* user = Current_User();
  if (!(user && Current_User_Is_Demo() && user->Level_Index() == 3)) Offer_Saves();
  Set_Mode(Manipulator_Mode);
  Pass_Count = 3;
  Begin_Pass_Cycle(3);
}

// Asked while the person can still answer: once the demonstration plays,
// a change of user drops unsaved changes without a word.
void Simulated_User::Offer_Saves() {
  if (Manipulators) Manipulators->Offer_Save_Before_Demonstration();
  if (Color_Cycles) Color_Cycles->Offer_Save_Before_Demonstration();
}

void Simulated_User::Begin_Pass_Cycle(int32_t level_index) {
  const User* user = Current_User();
  Saved_User_Name = user ? user->name : std::string();
  // Whatever "Demo" does meanwhile, the user file names the person as
  // current: a program ended or killed in the middle starts as them.
  if (The_User_Database) The_User_Database->person_away = Saved_User_Name;
  if (user && Current_User_Is_Demo() && user->Level_Index() == level_index) {
    Next_Demo_Pass();
    return;
  }
  Pass_Pending = 1;
  Left_Click(Button_Point(Name_Button), Pause_Pressed);
  Start_Playback();
}

// ---- The pass cycle

void Simulated_User::Bring_Back_Person() {
  User_Database* db = The_User_Database;
  if (!db || !db->person_away) return;
  if (Person_Host) Person_Host->Close_User_Dialog();
  const std::string person = *db->person_away;
  const int32_t index = person.empty() ? -1 : db->Find_User(person);
  if (index != db->current_index && Person_Host) Person_Host->Return_To_User(person);
}

void Simulated_User::Select_Demo_User(const Demo_User_Dialog& dialog) {
  Pause(500);
  const bool cycle_start = (Demo_Mode == Pattern_Mode && Pass_Count == 0) || (Demo_Mode == Manipulator_Mode && Pass_Count == 3);
  if (cycle_start) {
    if (!The_User_Database || The_User_Database->Find_User(Demo_User) < 0) {
      Left_Click(dialog.First_Row_Point(), Pause_Before | Pause_After);
      Type_Text(Demo_User);
    } else if (!Current_User_Is_Demo()) {
      Select_User_Row(dialog, Demo_User);
    }
  }
  if (Pass_Count <= Last_Pass) Left_Click(dialog.Level_Column_Point(int(Pass_Count)), Pause_Pressed | Pause_After);
  else Select_User_Row(dialog, Saved_User_Name);
  Left_Click(dialog.OK_Button_Point(), Pause_Pressed);
  Start_Playback();
}

void Simulated_User::Select_User_Row(const Demo_User_Dialog& dialog, const std::string& name) {
  int steps = 0;
  const TPoint row = dialog.User_Row_Point(name, steps);
  for (int i = 0; i < -steps; ++i) Left_Click(dialog.Scroll_Up_Point(), 0);
  for (int i = 0; i < steps; ++i) Left_Click(dialog.Scroll_Down_Point(), 0);
  Left_Click(row, Pause_Before | Pause_After);
}

void Simulated_User::Next_Demo_Pass() {
  Pass_Pending = 0;
  Pause(200);
  if (Pass_Count > Last_Pass) {
    Left_Click(Button_Point(Help_Button), Pause_Pressed);
  } else {
    if (Demo_Mode == Pattern_Mode) {
      Append_Pattern_Script();
      Append_Gallery_Script();
      ++Pass_Count;
    } else if (Demo_Mode == Manipulator_Mode) {
      Append_Manipulator_Script();
      Pass_Count = Last_Pass + 1;
    }
    if (Pass_Count <= Last_Pass || !Same_Name_Ignoring_Case(Saved_User_Name, Demo_User)) {
      Pass_Pending = 1;
      Left_Click(Button_Point(Name_Button), Pause_Pressed);
    } else {
      Left_Click(Button_Point(Help_Button), Pause_Pressed);
    }
  }
  Start_Playback();
}
