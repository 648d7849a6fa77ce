// One manipulation step of a match-game target: the map set applied, whether
// it is applied until the picture stops changing, and where in the
// manipulator palette it came from.
//
// The set is a counted reference to an immutable set: the palette may drop
// or replace its manipulator while a target that used it is still realised
// or replayed.
#pragma once

#include <cstdint>
#include <memory>

#include "model/transform_set_2d.h"

struct Transform_Step {
  std::shared_ptr<const Transform_Set_2D> set;
  bool repeat = false;
  // The palette section, -1 for a step recorded from the player's drawing.
  int32_t section = -1;
  // Position within the section over its pages of ten (page = index / 10,
  // cell = index % 10); -1 for a recorded step.
  int32_t index = -1;
};
