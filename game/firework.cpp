#include "game/firework.h"

#include <algorithm>
#include <cmath>

#include "model/affine_transform_2d.h"
#include "toolkit/small_utilities.h"
#include "toolkit/standard_random.h"

namespace {

constexpr double Two_Pi = 6.283185307179586;

// v scaled to length r; a zero vector stays as it is.
Point_3D Scaled_To(Point_3D v, float r) {
  const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  if (length == 0.0f) return v;
  const float f = r / length;
  return {v.x * f, v.y * f, v.z * f};
}

}  // namespace

Firework::Firework(const Firework_Type& type, const Perspective_View_3D& view, const TRect& frame)
    : Type(type), View(view), Frame(frame) {
  Type.Stars = std::clamp(Type.Stars, 0, Max_Stars);
  Trail_Length = Type.Trail_Steps();
  for (Firework_Particle& p : Particles) p.Owner = this;
}

void Firework::Launch(int32_t now) {
  const float u = Uniform_Random() - 0.5f;
  const float x = std::fabs(u) * u;
  const float v = Uniform_Random() - 0.5f;
  const float y = v * v * v;
  // The sideways drift is never negative.
  const float k = Type.Launch_Speed * 0.005f;
  const float vx = Uniform_Random() * k;
  const float vy = Uniform_Random() * k;
  Launch(now, {x, y, -0.5f}, {vx, vy, Type.Launch_Speed});
}

void Firework::Launch(int32_t now, const Point_3D& position, const Point_3D& velocity) {
  Launch_Time = now;
  Firework_Particle& rocket = Rocket();
  rocket.Burning = false;
  rocket.x = position.x, rocket.y = position.y, rocket.z = position.z;
  rocket.vx = velocity.x, rocket.vy = velocity.y, rocket.vz = velocity.z;
}

void Firework::Move_Particle(Firework_Particle& particle) {
  particle.Move(float(Type.Step), Type.Gravity, Type.Drag);
  particle.Record(View, Frame);
}

void Firework::Move(int32_t now) {
  if (!Launched()) return;
  if (!Exploded()) {
    Move_Particle(Rocket());
    return;
  }
  bool light = false;
  if (Ignition_Time < 0 && now - Explosion_Time > Type.Ignition_Delay) {
    Ignition_Time = now;
    light = true;
  }
  for (int32_t i = 1; i <= Type.Stars; ++i) {
    Firework_Particle& star = Star(i);
    if (star.Stopped) {
      ++star.Fade;
      continue;
    }
    Move_Particle(star);
    if (light) {
      star.Burning = true;
    } else if (star.Burning) {
      if (now - Ignition_Time > Type.Burn_Time && Type.Burn_Out_Divisor > 0 &&
          Standard_Random() % Type.Burn_Out_Divisor < Type.Step)
        star.Burning = false;
    } else if (Ignition_Time >= 0) {
      ++star.Fade;
    }
  }
}

void Firework::Explode(int32_t now) {
  Explosion_Time = now;
  if (Type.Ignition_Delay == 0) Ignition_Time = now;
  const Firework_Particle& rocket = Rocket();
  for (int32_t i = 1; i <= Type.Stars; ++i) {
    Firework_Particle& star = Star(i);
    star.x = rocket.x, star.y = rocket.y, star.z = rocket.z;
    star.Burning = Type.Ignition_Delay == 0;
    if (!Type.Oscillating) continue;
    star.Oscillating = true;
    star.cx = star.x, star.cy = star.y, star.cz = star.z;
    if (Next_Random() & 1) Type.Oscillation.Angular_Speed = -Type.Oscillation.Angular_Speed;
    star.Oscillation = Oscillation_3D(&star, Type.Oscillation, float(Type.Step));
  }
  if (Type.Burst_Kind == 1)
    Sphere_Burst();
  else
    Ring_Burst();
  for (int32_t i = 1; i <= Type.Stars; ++i) {
    Firework_Particle& star = Star(i);
    star.vx += rocket.vx, star.vy += rocket.vy, star.vz += rocket.vz;
  }
}

void Firework::Sphere_Burst() {
  // Each star takes a random direction until the directions taken lean too
  // far one way; the next then points back along the sum, so the burst
  // stays round.
  const float r = Type.Burst_Speed;
  std::array<Point_3D, Max_Stars> v;
  Point_3D s{0.0f, 0.0f, 0.0f};
  for (int32_t i = 0; i < Type.Stars; ++i) {
    Point_3D d = s;
    if (s.x * s.x + s.y * s.y + s.z * s.z <= 2.0f * r * r) {
      d.x = Uniform_Random() - 0.5f;
      d.y = Uniform_Random() - 0.5f;
      d.z = Uniform_Random() - 0.5f;
    }
    d = Scaled_To(d, r);
    s.x -= d.x, s.y -= d.y, s.z -= d.z;
    v[size_t(i)] = d;
  }
  // Ordered by speed away from the eye, so that stars drawn later are nearer.
  std::stable_sort(v.begin(), v.begin() + Type.Stars, [](const Point_3D& a, const Point_3D& b) { return a.y < b.y; });
  for (int32_t i = 0; i < Type.Stars; ++i) {
    Firework_Particle& star = Star(i + 1);
    star.vx = v[size_t(i)].x, star.vy = v[size_t(i)].y, star.vz = v[size_t(i)].z;
  }
}

void Firework::Ring_Burst() {
  const int32_t stars = Type.Stars;
  if (stars < 1) return;
  const float r = Type.Burst_Speed;
  const Affine_Transform_2D turn(1.0f, float(Two_Pi / stars), 1);
  const Affine_Transform_3D tilt(Uniform_Random() - 0.5f, -1.0f, 1.0f, 2);
  auto give = [&](int32_t i, float a, float b) {
    if (i < 1 || i > stars) return;
    const Point_3D d = tilt.Map_Point(b, a, 0.0f);
    Firework_Particle& star = Star(i);
    star.vx = d.x, star.vy = d.y, star.vz = d.z;
  };
  Point_2D p(-r, 0.0f);
  give(1, p.x, p.y);
  for (int32_t i = 1; i <= stars / 2 - 1; ++i) {
    p = turn.Map_Point(p.x, p.y);
    give(2 * i, p.x, p.y);
    give(2 * i + 1, p.x, -p.y);
  }
  if (stars % 2 == 0 && stars >= 2) give(stars, r, 0.0f);
}
