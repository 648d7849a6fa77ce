#include "game/particle_3d.h"

void Particle_3D::Move(float step, float gravity, float drag) {
  const float dx = vx * step, dy = vy * step, dz = vz * step;
  if (Oscillating) {
    cx += dx, cy += dy, cz += dz;
    x = cx, y = cy, z = cz;
    Oscillation.Apply();
  } else {
    x += dx, y += dy, z += dz;
  }
  vx -= drag * dx;
  vy -= drag * dy;
  vz -= drag * dz;
  vz -= step * gravity;
}
