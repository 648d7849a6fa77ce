#include "game/oscillation_3d.h"

#include <cmath>

#include "game/particle_3d.h"
#include "model/affine_transform_3d.h"

Oscillation_3D::Oscillation_3D(Particle_3D* particle, const Oscillation_Parameters& parameters, float step)
    : Particle(particle), Parameters(parameters), Rotation(1.0f, parameters.Angular_Speed * step, 1) {
  const float x = Uniform_Random() - 0.5f;
  const float y = Uniform_Random() - 0.5f;
  const float length = std::sqrt(x * x + y * y);
  if (length == 0.0f) {
    Offset_X = parameters.Radius;
    Offset_Y = 0.0f;
    return;
  }
  Offset_X = x * parameters.Radius / length;
  Offset_Y = y * parameters.Radius / length;
}

void Oscillation_3D::Apply() {
  if (!Particle) return;
  Particle_3D& p = *Particle;
  const float speed2 = p.vx * p.vx + p.vy * p.vy + p.vz * p.vz;
  if (speed2 < Parameters.Lower || speed2 >= Parameters.Upper) return;
  const Point_2D turned = Rotation.Map_Point(Offset_X, Offset_Y);
  Offset_X = turned.x;
  Offset_Y = turned.y;
  Point_3D offset{Offset_X, Offset_Y, 0.0f};
  if (Parameters.Kind == 1) {
    offset = Affine_Transform_3D(p.vx, p.vy, p.vz, 2).Map_Point(Offset_X, Offset_Y, 0.0f);
  } else if (Parameters.Kind == 2) {
    offset = Affine_Transform_3D(p.vy, -p.vx, 0.0f, 2).Map_Point(Offset_X, Offset_Y, 0.0f);
  }
  p.x += offset.x;
  p.y += offset.y;
  p.z += offset.z;
}
