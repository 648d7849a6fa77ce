#include "game/firework_particle.h"

#include <algorithm>

#include "model/perspective_view_3d.h"

namespace {

int32_t Ring_Index(int32_t i) {
  return ((i % Firework_Particle::Ring_Size) + Firework_Particle::Ring_Size) % Firework_Particle::Ring_Size;
}

}  // namespace

void Firework_Particle::Record(const Perspective_View_3D& view, const TRect& frame) {
  Newest = Ring_Index(Newest + 1);
  Recorded = std::min(Recorded + 1, Ring_Size);
  const Projected_Point p = view.Project(x, y, z);
  if (p.behind || p.x < frame.left || p.x >= frame.right || p.y < frame.top || p.y >= frame.bottom) Stopped = true;
  Trail[size_t(Newest)] = {p.x, p.y, std::clamp(p.depth, 0, Deepest)};
}

bool Firework_Particle::Open_Window(int32_t length) {
  const int32_t elapsed = length - Fade;
  const int32_t n = std::min(Recorded, elapsed);
  if (n < 1) {
    Start_Index = End_Index = Cursor = Newest;
    Remaining = 0;
    return false;
  }
  Forward = vy >= 0.0f;
  if (Forward) {
    Start_Index = Ring_Index(Newest - n + 1);
    End_Index = Newest;
    Remaining = elapsed - n;
  } else {
    Start_Index = Newest;
    End_Index = Ring_Index(Newest - n + 1);
    Remaining = elapsed;
  }
  Cursor = Start_Index;
  return true;
}

void Firework_Particle::Step_Walk() {
  if (Forward) {
    Cursor = Ring_Index(Cursor + 1);
    ++Remaining;
  } else {
    Cursor = Ring_Index(Cursor - 1);
    --Remaining;
  }
}
