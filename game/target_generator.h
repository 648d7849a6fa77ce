// The maker of match-game targets from the palettes' shapes and
// manipulators. So far it makes none.
#pragma once

class TWindow;
class Transform_Palette;

class Target_Generator {
 public:
  Target_Generator(TWindow* shape_palette, Transform_Palette* manipulator_palette, TWindow* drawing_window);
  ~Target_Generator();
  Target_Generator(const Target_Generator&) = delete;
  Target_Generator& operator=(const Target_Generator&) = delete;

  TWindow* Shape_Palette;
  Transform_Palette* Manipulator_Palette;
  TWindow* Drawing_Window;
};
