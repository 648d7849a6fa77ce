// The five kinds of firework of the show and the choice among them by the
// player's level. Times are milliseconds, speeds world units a millisecond.
#pragma once

#include <array>
#include <cstdint>

// How a star circles round its path: kind 1 about its direction of flight,
// kind 2 about the horizontal across it, 0 not at all.
struct Oscillation_Parameters {
  int32_t Kind = 0;
  float Radius = 0.0f;
  // Turns a second in the table; radians a millisecond once prepared.
  float Angular_Speed = 0.0f;
  // Fractions of the burst speed in the table; squared speeds once prepared.
  float Lower = 0.0f;
  float Upper = 1.0f;
};

struct Firework_Type {
  int32_t Step = 30;
  int32_t Frame_Interval = 90;
  int32_t Trail_Time = 300;
  int32_t Burn_Time = 1500;
  int32_t Launch_Gap = 1800;
  int32_t Launch_Delay = 180;
  float Explosion_Speed = 0.02f;
  int32_t Ignition_Delay = 0;
  int32_t Explosion_Divisor = 240;
  int32_t Burn_Out_Divisor = 360;
  int32_t Stars = 100;
  float Launch_Speed = 0.0025f;
  float Burst_Speed = 0.0009f;
  float Gravity = 7.5e-7f;
  float Drag = 0.003f;
  int32_t Dot_Size_Offset = 1;
  // 0 a ring, 1 a sphere.
  int32_t Burst_Kind = 1;
  // Trails in the star's colour and glittering sparkles, else white trails
  // and star-shaped sparkles.
  bool Colored_Trails = false;
  bool Oscillating = false;
  Oscillation_Parameters Oscillation;
  // Palette indices, chosen for each firework.
  uint8_t Trail_Color = 255;
  uint8_t Star_Color = 255;

  // Trail length in steps.
  int32_t Trail_Steps() const;
};

inline constexpr int Firework_Type_Count = 5;
using Firework_Type_Table = std::array<Firework_Type, Firework_Type_Count>;

// The table with turns made radians a millisecond and the speed window made
// squared speeds, ready for the simulation.
Firework_Type_Table Prepared_Firework_Types();

// A type for a player of level index 0..4, drawn with the program's
// generator.
int32_t Choose_Firework_Type(int32_t level_index);

// A uniform number in (0, 1) from the program's generator.
float Uniform_Random();
