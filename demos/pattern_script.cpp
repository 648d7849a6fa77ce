// The pattern script: one fixed list of gestures per level that fills,
// adds shapes, applies and iterates manipulators, reviews and undoes.
#include <initializer_list>
#include <utility>

#include "demos/simulated_user.h"
#include "model/shape_drawing.h"
#include "users/user_database.h"
#include "workspace/color_cycle_window.h"
#include "workspace/color_wheel.h"
#include "workspace/drawing_window.h"

namespace {

constexpr uint32_t Held = Simulated_User::Pause_Pressed | Simulated_User::Pause_After;
constexpr uint32_t Around = Simulated_User::Pause_Before | Simulated_User::Pause_After;
constexpr uint32_t Pressed = Simulated_User::Pause_Pressed;
constexpr int Review = 0, Iterate = 1, Undo = 2, Clear = 3;
constexpr int Home_Key = 36;

}  // namespace

void Simulated_User::Click_Slot_With_Tab(int32_t section, int32_t n, uint32_t slot_bits) {
  TPoint tab;
  const TPoint slot = Slot(section, n, &tab);
  Left_Click(tab, Around);
  Left_Click(slot, slot_bits);
}

void Simulated_User::Append_Pattern_Script() {
  if (!Wheel || !Drawing) return;
  const int32_t level = The_User_Database ? The_User_Database->current_user->Level_Index() : 0;
  const TPoint glide_point(Slot(0, 0).x, Corner(Iterate).y);
  const Shape_Drawing* picture = Drawing->Current_Drawing();
  if (picture && !picture->Blank) Left_Click(Corner(Clear), Held);
  Append_Level_Steps(level, glide_point);
  Append_Pattern_Ending(level);
}

void Simulated_User::Append_Level_Steps(int32_t level, TPoint g) {
  auto color = [this](int i) { Left_Click(Wheel->Color_Screen_Point(i), Held); };
  auto region = [this](int i) { Left_Click(Wheel->Region_Screen_Point(i), Held); };
  auto at = [this](float u, float v) { Left_Click(Drawing->Screen_Point(Point_2D(u, v)), Around); };
  auto shape = [this](int i) { Left_Click(Shape_Button_Point(i), Held); };
  auto slot = [this](int n, uint32_t bits = Held) { Left_Click(Slot(0, n), bits); };
  auto tab_slot = [this](int s, int n, uint32_t bits = Held) { Click_Slot_With_Tab(s, n, bits); };
  auto iterate = [&] {
    Left_Click(Corner(Iterate), Pressed);
    Glide(g);
    Hold(250);
  };
  switch (level) {
    case 0:
      color(19), at(0.1f, 0.1f), color(37), shape(7), slot(4);
      iterate();
      region(26), at(0.5f, 0.49f);
      Left_Click(Wheel->Eraser_Screen_Point(), Around);
      slot(2);
      Left_Click(Corner(Undo), Held);
      return;
    case 1:
      color(36), at(0.1f, 0.1f), color(34), shape(1), slot(7);
      region(35), at(0.25f, 0.75f);
      region(34), at(0.75f, 0.25f);
      color(36), at(0.75f, 0.75f);
      slot(7);
      region(34), at(0.125f, 0.125f), at(0.625f, 0.625f);
      slot(7), slot(7);
      return;
    case 2:
      color(7), at(0.1f, 0.1f), color(36), shape(11), slot(8);
      iterate();
      Left_Click(Corner(Review), Pressed);
      Pause(2000);
      Left_Click(Corner(Undo), Held);
      for (int r : {29, 25, 25}) region(r), at(0.375f, 0.375f), slot(8);
      region(34), at(0.375f, 0.375f);
      slot(9), slot(0), slot(0);
      return;
    case 3:
      color(34), at(0.1f, 0.1f), region(1), shape(12);
      tab_slot(3, 3), tab_slot(1, 4);
      tab_slot(3, 0, Pressed), Pause(500), slot(0);
      tab_slot(0, 5);
      iterate();
      tab_slot(1, 7);
      iterate();
      tab_slot(3, 0, Pressed), Pause(500), slot(0, Pressed), Pause(500);
      slot(7);
      iterate();
      return;
    case 4:
      color(10), at(0.1f, 0.1f);
      if (Color_Cycles && Color_Cycles->Shown_Row() == 0) Left_Click(Color_Cycles->Row_Button_Screen_Point(), Held);
      if (Color_Cycles) Left_Click(Color_Cycles->Cell_Screen_Point(4), Held);
      shape(6);
      tab_slot(4, 1);
      for (auto [u, v] : {std::pair{0.835f, 0.609f}, {0.165f, 0.609f}, {0.293f, 0.215f}, {0.707f, 0.215f}}) at(u, v);
      tab_slot(1, 6), slot(6);
      for (int i = 0; i < 7; ++i) slot(0);
      at(0.5f, 0.47f);
      tab_slot(0, 0);
      Left_Click(Corner(Iterate), Pressed);
      Glide(g);
      Pause(10000);
      Left_Click(Corner(Iterate), Pressed);
      return;
    default: return;
  }
}

void Simulated_User::Append_Pattern_Ending(int32_t level) {
  Left_Click(Corner(Review), Pressed);
  if (level != 3) {
    Pause(2000);
    Left_Click(Corner(Undo), Pressed);
    Pause(500);
    return;
  }
  // Reviewing by hand: the held "Reverse" corner repeats its step.
  const TPoint reverse = Corner(0);
  Glide(reverse);
  Pause(500);
  Append(User_Action::Left_Down, -1, reverse);
  Pause(17850);
  Append(User_Action::Left_Up, -1, reverse);
  Pause(250);
  Append(User_Action::Key_Down, Home_Key);
  Append(User_Action::Key_Up, Home_Key);
  for (int i = 0; i < 4; ++i) Left_Click(Corner(1), Held);
  Left_Click(Corner(3), Pressed);
  if (Gallery_Save_Count != 0) Append_Gallery_Script();
  else Pause(1000);
  Left_Click(Corner(Clear), Pressed);
  Append_Second_Drawing();
  Pause(500);
}

void Simulated_User::Append_Second_Drawing() {
  auto color = [this](int i) { Left_Click(Wheel->Color_Screen_Point(i), Held); };
  auto region = [this](int i) { Left_Click(Wheel->Region_Screen_Point(i), Held); };
  auto at = [this](float u, float v) { Left_Click(Drawing->Screen_Point(Point_2D(u, v)), Around); };
  auto shape = [this](int i) { Left_Click(Shape_Button_Point(i), Held); };
  auto slot = [this](int n) { Left_Click(Slot(0, n), Held); };
  constexpr int Overlay = 14, Trapezoid = 9, Horse_Shoe = 11, Star = 13;
  region(7), at(0.1f, 0.1f);
  shape(Overlay);
  slot(1);
  region(16);
  shape(Trapezoid), shape(Trapezoid);
  Left_Click(Wheel->Eraser_Screen_Point(), Around), at(0.88f, 0.118f);
  shape(Trapezoid);
  region(35), shape(Horse_Shoe), shape(Horse_Shoe);
  shape(Overlay), slot(1);
  color(36);
  for (int i : {Star, Overlay, Star, Overlay}) shape(i);
  region(9), at(0.25f, 0.75f), at(0.75f, 0.25f);
  slot(4);
  shape(Overlay);
  Click_Slot_With_Tab(0, 4, Held), slot(4);
  slot(5), slot(5);
  region(32), shape(Star);
}
