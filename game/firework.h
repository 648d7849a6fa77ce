// One firework of the show: a rocket that rises from below the frame,
// slows, and bursts into a sphere or a ring of stars that glow for a while,
// burn out and fade. Positions are recorded projected as they move.
#pragma once

#include <array>
#include <cstdint>

#include "game/firework_particle.h"
#include "game/firework_type.h"
#include "model/affine_transform_3d.h"
#include "model/perspective_view_3d.h"
#include "platform/gdi/geometry.h"

class Firework {
 public:
  static constexpr int32_t Max_Stars = 100;

  Firework(const Firework_Type& type, const Perspective_View_3D& view, const TRect& frame);
  Firework(const Firework&) = delete;
  Firework& operator=(const Firework&) = delete;

  // Sends the rocket off from a random place near the middle of the ground.
  void Launch(int32_t now);
  void Launch(int32_t now, const Point_3D& position, const Point_3D& velocity);
  void Explode(int32_t now);
  // One step of the type's length.
  void Move(int32_t now);

  bool Launched() const { return Launch_Time >= 0; }
  bool Exploded() const { return Explosion_Time >= 0; }
  Firework_Particle& Rocket() { return Particles[0]; }
  // Star i, 1 to the type's star count.
  Firework_Particle& Star(int32_t i) { return Particles[size_t(i)]; }
  int32_t Stars() const { return Type.Stars; }

  Firework_Type Type;
  Perspective_View_3D View;
  TRect Frame;
  std::array<Firework_Particle, Max_Stars + 1> Particles;
  int32_t Trail_Length = 0;
  int32_t Launch_Time = -1;
  int32_t Explosion_Time = -1;
  int32_t Ignition_Time = -1;
  int32_t First_Unfinished = 1;

 private:
  void Move_Particle(Firework_Particle& particle);
  void Sphere_Burst();
  void Ring_Burst();
};
