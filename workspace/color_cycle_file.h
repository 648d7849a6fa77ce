// The colour-cycle file: the ten cycles of the colour cycles window as the
// object-stream header followed by 55 raw 32-bit RGB values (red in the low
// byte), cycle k taking exactly k values, 225 bytes in all. The built-in
// cycles are the same bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "model/color_transform.h"

class TPalette;

inline constexpr int Color_Cycle_Count = 10;
inline constexpr size_t Color_Cycle_Value_Count = 55;
inline constexpr size_t Color_Cycle_File_Size = 5 + 4 * Color_Cycle_Value_Count;
inline constexpr uint32_t Color_Cycle_Block_Id = 4406;

// Cycle k (1..10) is entry k - 1.
using Color_Cycles = std::array<Color_Transform, Color_Cycle_Count>;

// How a stored RGB value becomes the colour kept in memory (the program's
// nearest colour).
using Color_Snap = TColor (*)(TColor rgb);

// The file's bytes. Cycle k gives its first k slots whatever its count;
// index-form colours are written as the RGB of their entry in palette.
std::vector<uint8_t> Color_Cycle_Bytes(const Color_Cycles& cycles, const TPalette& palette);

// Reads the bytes into cycles, each value through snap, every count raised
// to the slots read. Only a whole file is taken: a wrong header, a length
// other than 225 bytes or a value that is not plain RGB leaves cycles as
// they were and answers false.
bool Read_Color_Cycle_Bytes(std::span<const uint8_t> bytes, Color_Cycles& cycles, Color_Snap snap);
