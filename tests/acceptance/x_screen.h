// The X server's screen as pixels (0x00RRGGBB, rows top first); kept apart
// so that Xlib's macros meet no other header.
#pragma once

#include <cstdint>
#include <vector>

class X_Screen {
 public:
  X_Screen();
  ~X_Screen();
  X_Screen(const X_Screen&) = delete;
  X_Screen& operator=(const X_Screen&) = delete;

  bool Open() const { return display_ != nullptr; }
  // The whole screen; empty on failure.
  std::vector<uint32_t> Whole() const;
  // Paints the bare screen (the root window) in one colour (0x00RRGGBB) at
  // once, for a test that needs the screen to change.
  void Paint_Bare_Screen(uint32_t rgb) const;
  // The top-left width x height of the root window; empty on failure.
  std::vector<uint32_t> Pixels(int width, int height) const;
  // The width x height pixels from (left, top); empty on failure.
  std::vector<uint32_t> Area(int left, int top, int width, int height) const;
  // Whether keys typed now reach a shown window: the one with the input
  // focus, or while the focus follows the pointer the one under it. Not
  // before the program's window is on the screen.
  bool Keys_Reach_A_Window() const;

 private:
  void* display_;
};
