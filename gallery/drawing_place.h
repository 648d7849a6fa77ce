// Where a drawing sits in the gallery store: a grid cell, the bin list or
// one of the fixed slots. Passed and compared by value.
#pragma once

#include <cstdint>

struct Drawing_Place {
  static constexpr int32_t None = 0;
  static constexpr int32_t Grid = 1;
  static constexpr int32_t Bin = 2;
  static constexpr int32_t Slot = 3;

  // The fixed slots of the drop points; slots 3 and 4 only ever empty.
  static constexpr int32_t Main_Slot = 0;
  static constexpr int32_t Clipboard_Slot = 1;
  static constexpr int32_t Printer_Slot = 2;
  static constexpr int32_t Slot_Count = 5;
  static constexpr int32_t Grid_Side = 12;

  int32_t kind = 0;  // None, Grid, Bin or Slot
  int32_t a = 0;     // row 0..11; bin position (0 front, -1 back, else from the front); slot 0..4
  int32_t b = 0;     // column 0..11; 0 otherwise

  // Two places are the same when kind and a agree and, in the grid, b too.
  friend bool operator==(const Drawing_Place& x, const Drawing_Place& y) {
    return x.kind == y.kind && x.a == y.a && (x.kind != Grid || x.b == y.b);
  }
  bool Is_Grid_Cell() const { return kind == Grid && a >= 0 && a < Grid_Side && b >= 0 && b < Grid_Side; }
  bool Is_Slot() const { return kind == Slot && a >= 0 && a < Slot_Count; }
};
