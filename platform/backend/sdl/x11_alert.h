// A message box drawn with nothing but the X server's black, white and
// "fixed" font, for the one box that must be read on any display: the
// refusal of a display with too few colours, where the program's own
// true-colour drawing would show black. It takes the keyboard when it
// appears; Return, keypad Enter, Esc or Space, a click on OK or the close
// button of a window manager answers it.
#pragma once

#include <string>

class TX11_Alert {
 public:
  // Shows caption and text (Windows-1252, which the font's Latin-1 shows
  // alike for what the program says; lines broken at '\n') until answered;
  // false when there is no X display to show it on.
  static bool Show(const std::string& caption, const std::string& text);
};
