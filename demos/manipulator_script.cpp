// The manipulator script: a new custom manipulator, named, built from four
// reshaped copies of the unit square, iterated, edited again and iterated.
#include "demos/simulated_user.h"

#include "manipulators/shape_transform_window.h"
#include "manipulators/transform_edit_window.h"
#include "manipulators/transform_palette.h"

namespace {

constexpr uint32_t Held = Simulated_User::Pause_Pressed | Simulated_User::Pause_After;
constexpr uint32_t Around = Simulated_User::Pause_Before | Simulated_User::Pause_After;
constexpr uint32_t Pressed = Simulated_User::Pause_Pressed;
constexpr int Add = 0, Delete = 1, Iterate = 1, OK = 3;
constexpr int Square = 1;

TPoint Plus(TPoint p, TSize d) { return TPoint(p.x + d.cx, p.y + d.cy); }

}  // namespace

void Simulated_User::Append_Manipulator_Script() {
  if (!Editor || !Manipulators || !Manipulators->Window()) return;
  const Shape_Transform_Window& page = *Manipulators->Window();
  const TPoint g(Slot(0, 0).x, Corner(Iterate).y);
  auto e = [this](float u, float v) { return Editor->Screen_Point(Point_2D(u, v)); };
  auto h = [this](int c, int r) { return Editor->Handle_Offset(c, r); };
  // A copy's corner, then the same point moved onto one of its handles.
  auto pick = [&](float u, float v, int c, int r) {
    Left_Click(e(u, v), Around);
    Left_Click(Plus(e(u, v), h(c, r)), Around);
  };
  auto copy_start = [&] {  // steps 5 to 7 of the first copy
    pick(0, 1, 0, 0);
    pick(1, 0, 2, 1);
    Drag(e(1, 0), Plus(e(0.5f, 0.5f), TSize(1, 1)));
  };
  auto iterate = [&] {
    Left_Click(Corner(Iterate), Pressed);
    Glide(g);
    Hold(250);
  };

  Left_Click(page.New_Button_Screen_Point(), Held);
  Pause(500);
  Left_Click(Editor->Title_Field_Screen_Point(), Around);
  Type_Text("Demo Manipulator");

  Left_Click(Corner(Add), Held);
  copy_start();
  pick(0.25f, 0.5f, 0, 0);
  pick(0.25f, 1, 1, 0);
  Drag(e(0.25f, 1), e(0.75f, 1));
  pick(0.75f, 1, 3, 0);
  Drag(e(0.75f, 1), e(0.75f, -0.1f));
  Pause(500);

  Left_Click(Corner(Add), Held);
  copy_start();
  pick(0.25f, 0.5f, 0, 0);
  pick(0.25f, 1, 1, 0);
  Drag(e(0.25f, 1), e(0.75f, 1));
  Pause(500);

  Left_Click(Corner(Add), Held);
  copy_start();
  Drag(e(0.125f, 0.95f), e(0.05f, 0.875f));
  Pause(500);

  Left_Click(Corner(Add), Held);
  pick(0, 0, 0, 0);
  pick(1, 1, 2, 1);
  Drag(e(1, 1), e(0.5f, 0.5f));
  Drag(e(0.125f, 0.45f), e(0.05f, 0.125f));
  Pause(500);

  Left_Click(Corner(OK), Held);
  Pause(500);
  Left_Click(Shape_Button_Point(Square), Held);
  iterate();
  Glide(g);
  Pause(2000);

  Left_Click(page.Edit_Button_Screen_Point(), Held);
  Pause(500);
  Left_Click(e(0.55f, 0.75f), Around);
  Left_Click(Corner(Delete), Pressed);
  Left_Click(e(0.55f, 0.25f), Around);
  Left_Click(Corner(Delete), Pressed);
  Drag(e(-0.02f, 1.02f), e(0.55f, -0.05f));
  pick(0.25f, 0.5f, 1, 0);
  Drag(e(0.25f, 0.5f), e(0.5f, 0.5f));
  pick(0.5f, 0.5f, 0, 0);
  pick(0.75f, 1, 2, 1);
  Drag(e(0.75f, 1), e(0.85f, 1.1f));
  pick(0.5f, 1.1f, 2, 0);
  Drag(e(0.5f, 1.1f), e(1.1f, 1.1f));
  Left_Click(Corner(OK), Held);
  Pause(500);
  iterate();
  Pause(2000);
}
