// Offsets for scattering the dots of an n x n blot: made once from the
// program's generator, squared so that they crowd round the centre, and
// read round and round.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi/geometry.h"

class Circular_Distribution {
 public:
  // n odd, 3 to 15.
  explicit Circular_Distribution(int32_t n);

  // The next offset, back to the first after the last.
  TPoint Next() {
    if (++Cursor >= int32_t(Entries.size())) Cursor = 0;
    return Entries[size_t(Cursor)];
  }
  int32_t Count() const { return int32_t(Entries.size()); }
  const std::vector<TPoint>& Offsets() const { return Entries; }

 private:
  int32_t Cursor = -1;
  std::vector<TPoint> Entries;
};

// The distributions by blot size 0..15; the odd sizes 3 to 15 exist.
using Distribution_Table = std::array<std::unique_ptr<Circular_Distribution>, 16>;
Distribution_Table Make_Distribution_Table();

// The change of a dot's size with its depth 0..17: near dots are bigger.
inline constexpr std::array<int32_t, 18> Depth_Size_Table = {7, 6, 5, 4, 3, 2, 1, 0, 0,
                                                             0, 0, -1, -2, -3, -4, -5, -6, -7};
