// The built-in colour cycles: ten cycles, cycle k holding k colours, as raw
// 32-bit colour values (red in the low byte) after the stream header. The
// colours are the program's own (the table index beside each); the one
// colour of cycle 1 is never used for colouring and is no table colour.
#include <cstdint>

#include "model/opstream.h"
#include "tools/blocks/block_maker.h"

namespace {

constexpr uint32_t Cycle_Colors[55] = {
    // cycle 1
    0x97C9E7,
    // cycle 2: 5, 26
    0x648A1F, 0xAAFFFF,
    // cycle 3: 7, 11, 6
    0x8A541F, 0x551F8A, 0x8A8A1F,
    // cycle 4: 1, 0, 13, 14
    0x1F558A, 0x1F1F8A, 0x0074E9, 0x00E9E9,
    // cycle 5: 30, 28, 24, 33, 26
    0xFFFFAA, 0xAAFFAA, 0xAAAAFF, 0xFFAAD4, 0xAAFFFF,
    // cycle 6: 5, 16, 4, 15, 3, 27
    0x648A1F, 0x00E900, 0x1F8A1F, 0x00E9AF, 0x1F8A6F, 0xAAFFE9,
    // cycle 7: 31, 32, 33, 22, 23, 12, 13
    0xFFD4AA, 0xFFAAAA, 0xFFAAD4, 0xE900E9, 0x7400E9, 0x0000E9, 0x0074E9,
    // cycle 8: 8, 7, 19, 6, 5, 17, 29, 37
    0x8A1F1F, 0x8A541F, 0xE97400, 0x8A8A1F, 0x648A1F, 0x97E900, 0xE1FFAA, 0xFFFFFF,
    // cycle 9: 10, 22, 34, 9, 21, 33, 8, 20, 32
    0x8A1F8A, 0xE900E9, 0xFFAAFF, 0x8A1F54, 0xE90074, 0xFFAAD4, 0x8A1F1F, 0xE90000, 0xFFAAAA,
    // cycle 10: 12, 22, 21, 20, 19, 18, 16, 15, 14, 13
    0x0000E9, 0xE900E9, 0xE90074, 0xE90000, 0xE97400, 0xE9E900, 0x00E900, 0x00E9AF, 0x00E9E9, 0x0074E9,
};

Block_Bytes Make_Color_Cycles_4406() {
  Block_Bytes bytes;
  opstream out(bytes);
  for (uint32_t value : Cycle_Colors) out.Write_Word(value);
  if (!out.Good()) return {};
  return bytes;
}

Block_Registration color_cycles_4406("color_cycles_4406.bin", &Make_Color_Cycles_4406);

}  // namespace
