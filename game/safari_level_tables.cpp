#include "game/safari_level_tables.h"

#include <algorithm>
#include <bit>

int32_t Safari_Level_Tables::Stage_Points(int32_t level, int32_t a) {
  const int64_t number = std::clamp(level, 0, 4) + 1;
  return int32_t(std::min<int64_t>(100, number * a * a));
}

Safari_Pair Safari_Level_Tables::Choose_Step(Safari_Pair p, int32_t a, int32_t bound) {
  p.a = a;
  const int32_t r = p.b % a;
  if (r == 0) return p;
  p.b -= r;
  if (a - r < r && p.b + a <= bound) p.b += a;
  if (p.b < a) p.b = a;
  return p;
}

Safari_Pair Safari_Level_Tables::Drop_Album(Safari_Pair p, int32_t n, int32_t bound) {
  n = std::clamp(n, 1, std::max(bound, 1));
  if (n == p.b) return p;
  if (n < p.a) return {n, n};
  const int32_t r = n % p.a;
  if (r == 0)
    p.b = n;
  else if (n > p.b)
    p.b = n - r + p.a > bound ? n - r : n - r + p.a;
  else
    p.b = n - r;
  return p;
}

Safari_Pair Safari_Level_Tables::Raise(Safari_Pair p) {
  for (const Safari_Pair& q : Presets)
    if (Key(q) > Key(p)) return q;
  return p;
}

Safari_Pair Safari_Level_Tables::Lower(Safari_Pair p) {
  for (auto it = Presets.rbegin(); it != Presets.rend(); ++it)
    if (Key(*it) < Key(p)) return *it;
  return p;
}

bool Safari_Level_Tables::Fits(Safari_Pair p, int32_t level) {
  const int32_t key = Key(p);
  return key >= Entry(Initial_Step_Count, level) && key <= Entry(Largest_Key, level) &&
         p.b <= Entry(Step_Count_Bound, level) && p.a >= 1 && p.b >= p.a;
}

void Safari_Streak::Record(bool success) {
  if (success) {
    ++Successes;
    Failures = 0;
    History = uint16_t(History | (1u << Position));
  } else {
    ++Failures;
    Successes = 0;
    History = uint16_t(History & ~(1u << Position));
  }
  Position = Position == 9 ? 0 : Position + 1;
}

int Safari_Streak::Successes_In_History() const { return std::popcount(unsigned(History & 0x3FFu)); }
