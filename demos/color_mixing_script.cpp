// The colour-mixing demonstration: wheel colours into the mixer, a star,
// fills with plain and mixed colours, then back to help.
#include "demos/simulated_user.h"

#include "workspace/color_wheel.h"
#include "workspace/drawing_window.h"

void Simulated_User::Append_Color_Mixing_Script() {
  if (!Wheel || !Drawing) return;
  constexpr uint32_t Held = Pause_Pressed | Pause_After, Around = Pause_Before | Pause_After;
  const TPoint corner = Drawing->Screen_Point(Point_2D(0.1, 0.1));
  auto mixer = [this](int which) { return Wheel->Mixer_Screen_Point(which); };

  if (Wheel->Mixer_Holds_Color()) Left_Click(mixer(3), Around);
  if (Wheel->Selected_Color() != 13) Left_Click(Wheel->Color_Screen_Point(13), Held);

  Left_Click(mixer(1), Around);
  Left_Click(Wheel->Region_Screen_Point(24), Held);
  Left_Click(mixer(1), Around);
  Left_Click(mixer(2), Around);
  Left_Click(Shape_Button_Point(13), Held);

  for (int region : {12, 24}) {
    Left_Click(Wheel->Region_Screen_Point(region), Held);
    Left_Click(corner, Pause_Before);
    Pause(500);
  }

  Left_Click(mixer(3), Around);
  for (int color : {37, 36}) {
    Left_Click(Wheel->Color_Screen_Point(color), Held);
    Left_Click(mixer(1), Around);
  }
  Left_Click(mixer(2), Around);
  Left_Click(corner, Around);

  Left_Click(mixer(3), Pause_Before);
  Pause(1000);
  Left_Click(Button_Point(Help_Button), Pause_Pressed);
}
