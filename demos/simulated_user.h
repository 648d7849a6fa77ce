// The demonstration driver, as the rest of the program sees it: one object,
// reached through The_Simulated_User, told the panels it would drive. So
// far there are no demonstrations: it never runs and never has a pass
// pending.
#pragma once

#include <cstdint>

#include "help/help_window.h"

class Round_Button;
class Safari_Controls;
class TWindow;
class Transform_Palette;

class Simulated_User : public Demonstration_Starter {
 public:
  // Becomes The_Simulated_User.
  Simulated_User(TWindow* shape_palette, TWindow* color_wheel, TWindow* drawing_window, TWindow* editor,
                 Transform_Palette* manipulator_palette, Safari_Controls* safari, TWindow* color_cycles,
                 Round_Button* gallery_button, Round_Button* name_button, Round_Button* help_button);
  ~Simulated_User() override;
  Simulated_User(const Simulated_User&) = delete;
  Simulated_User& operator=(const Simulated_User&) = delete;

  // While a demonstration replays input (the mouse arbiter then records no
  // input and the caption shows how to stop it).
  bool Running() const;
  // Clears the demonstration mode and refreshes the caption.
  void End_Demonstration();
  // Stops a demonstration at once (the cancel chord).
  void Cancel();
  void Next_Demo_Pass() { Pass_Pending = 0; }
  void Release_Hold() {}
  void Select_Demo_User(TWindow*) {}
  void Set_Gallery_Window(TWindow* gallery) { Gallery_Window = gallery; }

  // The demonstrations the help pages start. None plays yet: each only
  // notes which one was asked for.
  void Start_Game_Demo(int32_t difficulty) override { Last_Demonstration = difficulty; }
  void Color_Mixing_Demo() override { Last_Demonstration = 2; }
  void Pattern_Demo() override { Last_Demonstration = 3; }
  void Multi_Level_Pattern_Demo() override { Last_Demonstration = 4; }
  void Manipulator_Demo() override { Last_Demonstration = 5; }
  int32_t Last_Demonstration = -1;

  // A demonstration pass waits for a change of user.
  uint8_t Pass_Pending = 0;

  TWindow* Shape_Palette;
  TWindow* Color_Wheel;
  TWindow* Drawing_Window;
  TWindow* Editor;
  Transform_Palette* Manipulator_Palette;
  Safari_Controls* Safari;
  TWindow* Color_Cycles;
  Round_Button* Gallery_Button;
  Round_Button* Name_Button;
  Round_Button* Help_Button;
  TWindow* Gallery_Window = nullptr;
};

// The one driver, null while none exists.
extern Simulated_User* The_Simulated_User;
