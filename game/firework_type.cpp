#include "game/firework_type.h"

#include <algorithm>

#include "toolkit/small_utilities.h"

namespace {

constexpr double Two_Pi = 6.283185307179586;

Firework_Type Type(int32_t trail_time, int32_t burn_time, int32_t stars, float burst_speed, int32_t dot_offset,
                   int32_t burst_kind, bool colored, bool oscillating, Oscillation_Parameters oscillation) {
  Firework_Type t;
  t.Trail_Time = trail_time;
  t.Burn_Time = burn_time;
  t.Stars = stars;
  t.Burst_Speed = burst_speed;
  t.Dot_Size_Offset = dot_offset;
  t.Burst_Kind = burst_kind;
  t.Colored_Trails = colored;
  t.Oscillating = oscillating;
  t.Oscillation = oscillation;
  return t;
}

// Cumulative percentages of the types by level index.
constexpr int32_t Type_Bounds[5][Firework_Type_Count] = {
    {100, 100, 100, 100, 100}, {50, 100, 100, 100, 100}, {35, 50, 80, 95, 100},
    {35, 50, 80, 95, 100},     {35, 50, 80, 95, 100},
};

}  // namespace

int32_t Firework_Type::Trail_Steps() const { return Step > 0 ? std::clamp(Trail_Time / Step, 0, 36) : 0; }

Firework_Type_Table Prepared_Firework_Types() {
  Firework_Type_Table table = {
      Type(120, 1600, 50, 0.00075f, 1, 0, false, false, {0, 0.01f, 200, 0, 1}),
      Type(300, 1500, 100, 0.0009f, 1, 1, false, false, {0, 0.01f, 200, 0, 1}),
      Type(450, 1500, 100, 0.0009f, 3, 1, true, false, {0, 0.005f, 10, 0.05f, 0.25f}),
      Type(300, 1500, 100, 0.0009f, 1, 1, false, true, {1, 0.005f, 10, 0.02f, 0.28f}),
      Type(300, 1500, 100, 0.0009f, 1, 1, true, true, {2, 0.025f, 3, 0.2f, 0.95f}),
  };
  for (Firework_Type& t : table) {
    Oscillation_Parameters& o = t.Oscillation;
    o.Angular_Speed = float(o.Angular_Speed * Two_Pi * 0.001);
    const float lower = t.Burst_Speed * o.Lower, upper = t.Burst_Speed * o.Upper;
    o.Lower = lower * lower;
    o.Upper = upper * upper;
  }
  return table;
}

int32_t Choose_Firework_Type(int32_t level_index) {
  const int32_t row = std::clamp(level_index, 0, 4);
  const int32_t pick = Next_Random() % 100;
  for (int32_t i = 0; i < Firework_Type_Count; ++i)
    if (pick <= Type_Bounds[row][i]) return i;
  return Firework_Type_Count - 1;
}

float Uniform_Random() { return float(Next_Random()) * 4.656612873077393e-10f; }
