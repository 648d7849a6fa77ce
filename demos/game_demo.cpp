// The match-game demonstration: the safari controls set to the level's
// demonstration setting, a run started, and each target rebuilt by clicking
// its start shape and the very manipulators that made it.
#include <algorithm>

#include "demos/simulated_user.h"
#include "game/safari_controls.h"
#include "game/shape_target.h"
#include "manipulators/transform_palette.h"
#include "model/shape.h"
#include "users/user_database.h"

namespace {

struct Setting {
  int32_t a, b;  // first visible step, step count
};

// By level index and difficulty (0 easy, 1 more challenging); level 5 has
// no game.
constexpr Setting Game_Demo_Setting_Table[5][2] = {
    {{1, 1}, {2, 2}}, {{1, 2}, {4, 4}}, {{1, 3}, {3, 6}}, {{1, 4}, {2, 6}}, {{0, 0}, {0, 0}}};

constexpr uint32_t Held = Simulated_User::Pause_Pressed | Simulated_User::Pause_After;
constexpr uint32_t Around = Simulated_User::Pause_Before | Simulated_User::Pause_After;

}  // namespace

void Simulated_User::Start_Game_Demo(int32_t difficulty) {
  if (!Safari || !The_User_Database) return;
  Set_Mode(Game_Mode);
  Game_Step_Counter = 0;
  const int32_t level = The_User_Database->current_user->Level_Index();
  const Setting wanted = Game_Demo_Setting_Table[level][std::clamp(difficulty, 0, 1)];
  Saved_Safari_Setting = std::pair(Safari->A, Safari->B);
  if (Manipulators) Saved_Tab_Point = Manipulators->Current_Tab_Screen_Point();
  Pause(250);
  if (Safari->Run_In_Progress()) {
    Left_Click(Safari->Panel_Screen_Point(), Pause_Before);
    Pause(1250);
  }
  int32_t a = Safari->A;
  const int32_t b = Safari->B;
  if (wanted.a != a || wanted.b != b) {
    if (wanted.a != a && a > 1) {
      Left_Click(Safari->Control_Screen_Point(1), Around);
      a = 1;
    }
    if (wanted.b != b) {
      Drag(Safari->Control_Screen_Point(b + 1), Safari->Control_Screen_Point(wanted.b + 1));
      Pause(250);
    }
    if (wanted.a != a) Left_Click(Safari->Control_Screen_Point(wanted.a), Around);
  }
  Left_Click(Safari->Control_Screen_Point(0), Pause_Before);
  Hold(250);
  Start_Playback();
}

void Simulated_User::Solve_Target(Shape_Target& target) {
  Release_Hold();
  Pause(250);
  if (Game_Step_Counter == 0 && target.Start_Shape())
    Left_Click(Shape_Button_Point(std::min<int32_t>(target.Start_Shape()->Shape_Number, 14)), Held);
  target.Rewind_Steps();
  int32_t section = 0, index = 0;
  bool repeat = false;
  for (uint32_t i = 0; i < Game_Step_Counter; ++i) target.Next_Step(section, index, repeat);
  while (int32_t(Game_Step_Counter) < target.Step_Count()) {
    Pause(250);
    target.Next_Step(section, index, repeat);
    TPoint tab;
    const TPoint slot = Slot(section, index, &tab);
    if (tab != TPoint() && tab != Saved_Tab_Point) {
      Saved_Tab_Point = tab;
      Left_Click(tab, Around);
    }
    Left_Click(slot, Pause_Pressed);
    ++Game_Step_Counter;
  }
  Hold(250);
  Start_Playback();
}

void Simulated_User::Next_Game_Round() {
  Release_Hold();
  Pause(1250);
  Left_Click(Button_Point(Help_Button), Pause_Pressed);
  Start_Playback();
}

void Simulated_User::Put_Back_Safari_Setting() {
  if (!Saved_Safari_Setting) return;
  const auto [a, b] = *Saved_Safari_Setting;
  Saved_Safari_Setting.reset();
  if (Safari) Safari->Put_Back_Setting(a, b);
}
