// A rocket or a star of a firework: a particle that remembers where it was
// drawn on the screen during its last 36 steps, so that a frame draws its
// trail without projecting anything again. The trail walk goes over the
// window of those positions that a frame shows, far end first for a
// particle moving away from the eye (so nearer dots cover farther ones).
#pragma once

#include <array>
#include <cstdint>

#include "game/particle_3d.h"
#include "platform/gdi/geometry.h"

class Firework;
class Perspective_View_3D;

struct Trail_Position {
  int32_t x = 0;
  int32_t y = 0;
  // 0 (near) to 17 (far).
  int32_t depth = 0;
};

class Firework_Particle : public Particle_3D {
 public:
  static constexpr int32_t Ring_Size = 36;
  static constexpr int32_t Deepest = 17;

  // Stores the projection of the position as the newest trail position;
  // a position outside the frame (or behind the eye) marks the particle
  // stopped.
  void Record(const Perspective_View_3D& view, const TRect& frame);

  // Opens the walk over the last positions a trail of length steps shows;
  // false when it shows none.
  bool Open_Window(int32_t length);
  bool Walk_Used_Up() const { return Cursor == End_Index; }
  // Moves the cursor one position on.
  void Step_Walk();
  const Trail_Position& At_Cursor() const { return Trail[size_t(Cursor)]; }
  const Trail_Position& Newest_Position() const { return Trail[size_t(Newest)]; }

  Firework* Owner = nullptr;
  bool Burning = false;
  bool Stopped = false;
  std::array<Trail_Position, Ring_Size> Trail{};
  int32_t Recorded = 0;
  int32_t Newest = Ring_Size - 1;
  int32_t Fade = 0;

  // The walk of the frame being drawn.
  bool Forward = true;
  int32_t Start_Index = 0;
  int32_t End_Index = 0;
  int32_t Cursor = 0;
  int32_t Remaining = 0;
};
