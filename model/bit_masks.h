// Single-bit masks and their complements for 8-, 16- and 32-bit words: a bit
// is set with OR of its mask, cleared with AND of its clear mask and tested
// with AND of its mask. Constant, so any thread may read them.
#pragma once

#include <array>
#include <cstdint>

namespace bit_masks_detail {
template <typename Word, int N>
constexpr std::array<Word, N> Make_Masks(bool complement) {
  std::array<Word, N> masks{};
  for (int i = 0; i < N; ++i) {
    Word bit = static_cast<Word>(Word{1} << i);
    masks[i] = complement ? static_cast<Word>(~bit) : bit;
  }
  return masks;
}
}  // namespace bit_masks_detail

inline constexpr std::array<uint8_t, 8> Bit_Mask_8 = bit_masks_detail::Make_Masks<uint8_t, 8>(false);
inline constexpr std::array<uint8_t, 8> Bit_Clear_Mask_8 =
    bit_masks_detail::Make_Masks<uint8_t, 8>(true);
inline constexpr std::array<uint16_t, 16> Bit_Mask_16 =
    bit_masks_detail::Make_Masks<uint16_t, 16>(false);
inline constexpr std::array<uint16_t, 16> Bit_Clear_Mask_16 =
    bit_masks_detail::Make_Masks<uint16_t, 16>(true);
inline constexpr std::array<uint32_t, 32> Bit_Mask_32 =
    bit_masks_detail::Make_Masks<uint32_t, 32>(false);
inline constexpr std::array<uint32_t, 32> Bit_Clear_Mask_32 =
    bit_masks_detail::Make_Masks<uint32_t, 32>(true);
