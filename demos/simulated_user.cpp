#include "demos/simulated_user.h"

#include "toolkit/demonstration_state.h"
#include "users/caption_owner.h"

Simulated_User* The_Simulated_User = nullptr;

Simulated_User::Simulated_User(TWindow* shape_palette, TWindow* color_wheel, TWindow* drawing_window,
                               TWindow* editor, Transform_Palette* manipulator_palette, Safari_Controls* safari,
                               TWindow* color_cycles, Round_Button* gallery_button, Round_Button* name_button,
                               Round_Button* help_button)
    : Shape_Palette(shape_palette),
      Color_Wheel(color_wheel),
      Drawing_Window(drawing_window),
      Editor(editor),
      Manipulator_Palette(manipulator_palette),
      Safari(safari),
      Color_Cycles(color_cycles),
      Gallery_Button(gallery_button),
      Name_Button(name_button),
      Help_Button(help_button) {
  The_Simulated_User = this;
}

Simulated_User::~Simulated_User() {
  Set_Demonstration_Running(false);
  if (The_Simulated_User == this) The_Simulated_User = nullptr;
}

bool Simulated_User::Running() const { return Demonstration_Running(); }

void Simulated_User::End_Demonstration() {
  if (!Running()) return;
  Set_Demonstration_Running(false);
  Pass_Pending = 0;
  if (The_Caption_Owner) The_Caption_Owner->Update_Caption();
}

void Simulated_User::Cancel() { End_Demonstration(); }
