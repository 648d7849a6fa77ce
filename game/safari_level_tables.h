// The safari's rules by user level, and the arithmetic of the two numbers
// the player sets: the first visible step a (how many steps each stage
// adds) and the step count b (how many steps the whole chain has).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "users/level_tables.h"

struct Safari_Pair {
  int32_t a = 1;
  int32_t b = 1;
  bool operator==(const Safari_Pair&) const = default;
};

struct Safari_Level_Tables {
  // Five entries each, by level index 0 to 4.
  static constexpr std::array<int32_t, 5> Initial_Step_Count = {1, 2, 3, 3, 3};
  static constexpr std::array<int32_t, 5> Step_Count_Bound = {2, 4, 6, 6, 6};
  static constexpr Level_Table Preset_Mode = {1, 1, 1, 1, 1};
  static constexpr std::array<int32_t, 5> Largest_Key = {8, 22, 36, 36, 36};
  static constexpr Level_Table Automatic_Adjustment = {0, 0, 0, 0, 0};

  // The presets in table order; not sorted by key: (4,4) stands before (3,6).
  static constexpr std::array<Safari_Pair, 10> Presets = {
      {{1, 1}, {1, 2}, {1, 3}, {2, 2}, {2, 4}, {3, 3}, {4, 4}, {3, 6}, {5, 5}, {6, 6}}};

  static int32_t Entry(const std::array<int32_t, 5>& table, int32_t level) {
    return table[size_t(level < 0 ? 0 : level > 4 ? 4 : level)];
  }

  static int32_t Key(Safari_Pair p) { return (p.a - 1) * 6 + p.b; }

  // What one stage is worth at level index level: min(100, level number x a x a).
  static int32_t Stage_Points(int32_t level, int32_t a);

  // A new first visible step a: b moves to the nearer multiple of a (a tie
  // goes down), and down again when that passes the bound.
  static Safari_Pair Choose_Step(Safari_Pair p, int32_t a, int32_t bound);

  // The album dropped on the cell for n: left of a both numbers become n;
  // else b becomes a multiple of a, rounded up when the album moved right
  // and down when it moved left. n is clamped to 1..bound first.
  static Safari_Pair Drop_Album(Safari_Pair p, int32_t n, int32_t bound);

  // The next preset up (first in table order whose key exceeds p's) and
  // down (walking back from the last, the first whose key is below p's);
  // p itself when there is none.
  static Safari_Pair Raise(Safari_Pair p);
  static Safari_Pair Lower(Safari_Pair p);

  // Whether p suits level: its key within the level's initial step count
  // and largest key, and b within the bound.
  static bool Fits(Safari_Pair p, int32_t level);
};

// The outcomes of the recent runs, for the automatic adjustment.
struct Safari_Streak {
  uint16_t History = 0;  // bits 0..9, one per recent run
  int32_t Position = 0;  // 0..9
  int32_t Successes = 0;
  int32_t Failures = 0;

  void Clear() { *this = Safari_Streak(); }
  void Record(bool success);
  int Successes_In_History() const;
  // Raise after five successes in a row or nine of the last ten.
  bool Raise_Due() const { return Successes >= 5 || Successes_In_History() >= 9; }
  bool Lower_Due() const { return Failures > 2; }
};
