#include "workspace/color_cycle_file.h"

#include "model/gui_colors.h"
#include "model/ipstream.h"
#include "model/opstream.h"

namespace {

constexpr uint32_t Stream_Version = 0x101;

}  // namespace

std::vector<uint8_t> Color_Cycle_Bytes(const Color_Cycles& cycles, const TPalette& palette) {
  std::vector<uint8_t> bytes;
  opstream out(bytes);
  for (int k = 1; k <= Color_Cycle_Count; ++k)
    for (int i = 0; i < k; ++i) out.Write_Word(Palette_Color_To_RGB(cycles[size_t(k - 1)].colors[size_t(i)], palette));
  return bytes;
}

bool Read_Color_Cycle_Bytes(std::span<const uint8_t> bytes, Color_Cycles& cycles, Color_Snap snap) {
  // A file of any other length is cut short or is some other file; either
  // way none of it is taken.
  if (bytes.size() != Color_Cycle_File_Size || bytes[0] != ':') return false;
  ipstream in(bytes);
  if (in.Read_Version() != Stream_Version || in.Fail()) return false;
  Color_Cycles read = cycles;
  for (int k = 1; k <= Color_Cycle_Count; ++k) {
    Color_Transform& cycle = read[size_t(k - 1)];
    for (int i = 0; i < k; ++i) {
      const TColor value(in.Read_Word32());
      if (!value.Is_Rgb()) return false;
      cycle.colors[size_t(i)] = snap(value);
      if (cycle.count < i + 1) cycle.count = i + 1;
    }
  }
  if (in.Fail()) return false;
  cycles = read;
  return true;
}
