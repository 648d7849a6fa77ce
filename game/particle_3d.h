// A point moving through the fireworks' world under gravity (along z) and
// air drag. An oscillating particle moves its path's centre instead and is
// drawn circling round it.
#pragma once

#include "game/oscillation_3d.h"

class Particle_3D {
 public:
  Particle_3D() = default;
  // Copies would point their oscillation at the original.
  Particle_3D(const Particle_3D&) = delete;
  Particle_3D& operator=(const Particle_3D&) = delete;

  // One step of step ms.
  void Move(float step, float gravity, float drag);

  float x = 0.0f, y = 0.0f, z = 0.0f;
  float vx = 0.0f, vy = 0.0f, vz = 0.0f;
  bool Oscillating = false;
  Oscillation_3D Oscillation;
  float cx = 0.0f, cy = 0.0f, cz = 0.0f;
};
