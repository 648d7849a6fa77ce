// One entry of the demonstration driver's action queue: a gesture at a
// screen point, a key stroke, or a wait.
#pragma once

#include <cstdint>

struct User_Action {
  enum Kind : uint32_t {
    Glide = 1,  // move the pointer to (x, y) in steps
    Left_Down = 2,
    Left_Up = 3,
    Right_Down = 4,
    Right_Up = 5,
    Key_Down = 6,  // param: virtual key
    Key_Up = 7,
    Pause = 8,  // param: milliseconds added to the next event's delay
    Hold = 9,   // param: milliseconds; blocks playback while it is last
  };

  uint32_t kind = Pause;
  int32_t x = 0;
  int32_t y = 0;
  int32_t param = -1;

  bool operator==(const User_Action&) const = default;
};
