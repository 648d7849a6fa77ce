// Arbitrary bytes as a colour-cycle file: the reader takes all of a whole
// file or none of it, never reads past the bytes, and what it takes writes
// back the same bytes when the values are kept as read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "model/gui_colors.h"
#include "workspace/color_cycle_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static GUI_Colors colors;
  Color_Cycles cycles{};
  cycles[2].count = 1;
  const Color_Cycles before = cycles;
  const bool read = Read_Color_Cycle_Bytes(std::span<const uint8_t>(data, size), cycles, [](TColor rgb) { return rgb; });
  if (!read) {
    if (!(cycles == before)) std::abort();
    return 0;
  }
  if (size != Color_Cycle_File_Size) std::abort();
  for (int k = 1; k <= Color_Cycle_Count; ++k)
    if (cycles[size_t(k - 1)].count != k) std::abort();
  const std::vector<uint8_t> written = Color_Cycle_Bytes(cycles, *colors.Palette);
  if (written != std::vector<uint8_t>(data, data + size)) std::abort();
  return 0;
}
