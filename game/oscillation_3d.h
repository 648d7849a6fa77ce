// The circling of an oscillating star: an offset turning by a fixed angle
// every step, set upright in the plane across the star's flight and added
// to the position of the path's centre. It only acts while the star's speed
// lies within the type's window, so stars circle as they slow down.
#pragma once

#include "game/firework_type.h"
#include "model/affine_transform_2d.h"

class Particle_3D;

class Oscillation_3D {
 public:
  Oscillation_3D() = default;
  // A random starting offset of the radius; the turn of one step.
  Oscillation_3D(Particle_3D* particle, const Oscillation_Parameters& parameters, float step);

  // Adds the offset of this step to the particle's position.
  void Apply();

  float Offset_X = 0.0f;
  float Offset_Y = 0.0f;

 private:
  Particle_3D* Particle = nullptr;
  Oscillation_Parameters Parameters;
  Affine_Transform_2D Rotation;
};
